// The arithmetic of the mouse drags: double precision, stored as float.
#include "input/drag_steps.h"

#include <cmath>

#include "app/lighting.h"
#include "app/scene_state.h"
#include "input/trackball.h"
#include "mesh/mesh_prepare.h"
#include "mesh/vector_math.h"
#include "render/projection.h"

static const double PI = 3.141592653589793;

// Limits of the light position (world units) and of the zoomed eye distance.
static const float LIGHT_LIMIT = 6.0f;
static const double ZOOM_NEAREST = 1.5;
static const double ZOOM_FARTHEST = 12.5;
static const float SMALLEST_SCALE = 0.00001f;
// Shorter trackball axes come from (nearly) parallel points and carry no direction.
static const float MIN_TRACKBALL_AXIS = 1e-6f;

static void anchor(int x, int yf)
{
    lastMouseX = x;
    lastMouseY = yf;
}

static float clampLight(float v)
{
    if (v > LIGHT_LIMIT) return LIGHT_LIMIT;
    if (v < -LIGHT_LIMIT) return -LIGHT_LIMIT;
    return v;
}

static void uploadLightFromPointers()
{
    uploadLight(lightPointers[0], lightPointers[2], lightPointers[1], lightPointers[3]);
}

// viewDirection = lookAtPoint - eyePosition, normalised; eyeDistance its length.
static void aimCamera()
{
    for (int i = 0; i < 3; i++)
        viewDirection[i] = lookAtPoint[i] - eyePosition[i];
    eyeDistance = vectorLength(viewDirection);
    if (eyeDistance > 0)
        for (int i = 0; i < 3; i++)
            viewDirection[i] /= eyeDistance;
}

void translateMeshStep(int x, int yf)
{
    const double dx = double(pixelToWorldX(x)) - pixelToWorldX(lastMouseX);
    const double dy = double(pixelToWorldY(yf)) - pixelToWorldY(lastMouseY);
    anchor(x, yf);
    currentMesh->translateX = float(currentMesh->translateX + dx);
    currentMesh->translateY = float(currentMesh->translateY + dy);
    keepMeshInView(CLAMP_X_AND_Y);
}

void rotateMeshStep(int x, int yf)
{
    float p0[3], p1[3];
    projectToSphere(lastMouseX, lastMouseY, p0);
    projectToSphere(x, yf, p1);
    crossProduct(p0, p1, trackballAxis);
    trackballAngle = angleBetween(p0, p1);
    // (nearly) parallel points give no usable axis: no rotation this step
    if (!std::isfinite(trackballAngle) || !(vectorLength(trackballAxis) > MIN_TRACKBALL_AXIS))
        trackballAngle = 0;
    anchor(x, yf);
}

void scaleMeshStep(int x)
{
    Mesh& m = *currentMesh;
    m.previousScale = m.scale;
    m.scale = float(m.previousScale + 2.0 * (double(pixelToUnitX(x)) - pixelToUnitX(lastMouseX)) / m.extent);
    const float largest = 4.0f / m.extent;
    if (m.scale < SMALLEST_SCALE)
        m.scale = SMALLEST_SCALE;
    else if (m.scale > largest)
        m.scale = largest;
    lastMouseX = x;
    if (m.hasGeometry && m.previousScale > 0) {
        scaleMeshNormals(m, float(double(m.scale) / m.previousScale));
    }
}

void translateLightXYStep(int x, int yf)
{
    const double dx = 2.0 * (double(pixelToWorldX(x)) - pixelToWorldX(lastMouseX));
    const double dy = 2.0 * (double(pixelToWorldY(yf)) - pixelToWorldY(lastMouseY));
    anchor(x, yf);
    float* position = lightPointers[0];
    position[0] = clampLight(float(position[0] + dx));
    position[1] = clampLight(float(position[1] + dy));
    uploadLightFromPointers();
}

void translateLightZStep(int x, int yf)
{
    // dragging down brings the light toward the viewer of the start-up camera
    const double dz = 2.0 * (double(pixelToWorldY(lastMouseY)) - pixelToWorldY(yf));
    anchor(x, yf);
    float* position = lightPointers[0];
    position[2] = clampLight(float(position[2] + dz));
    uploadLightFromPointers();
}

void rotateCameraStep(int x, int yf)
{
    const double dx = double(pixelToWorldX(x)) - pixelToWorldX(lastMouseX);
    const double dy = double(pixelToWorldY(lastMouseY)) - pixelToWorldY(yf);
    anchor(x, yf);
    cameraAzimuth = float(cameraAzimuth + 45.0 * dx);
    cameraElevation = float(cameraElevation + 90.0 * dy);
    const double r = cameraRadius;
    const double az = cameraAzimuth * PI / 180.0;
    const double el = cameraElevation * PI / 180.0;
    eyePosition[0] = float(r * std::cos(el) * std::cos(az));
    eyePosition[1] = float(r * std::sin(el));
    eyePosition[2] = float(r * std::cos(el) * std::cos(PI / 2.0 - az));
    aimCamera();
}

void zoomStep(int x, int yf)
{
    for (int i = 0; i < 3; i++)
        viewDirection[i] = lookAtPoint[i] - eyePosition[i];
    eyeDistance = vectorLength(viewDirection);
    const double step = 2.0 * (double(pixelToWorldX(x)) - pixelToWorldX(lastMouseX)) +
                        2.0 * (double(pixelToWorldY(yf)) - pixelToWorldY(lastMouseY));
    anchor(x, yf);
    if (!(eyeDistance > 0)) return;
    double candidate[3], squared = 0;
    for (int i = 0; i < 3; i++) {
        candidate[i] = eyePosition[i] + step * viewDirection[i] / eyeDistance;
        squared += candidate[i] * candidate[i];
    }
    const double distance = std::sqrt(squared);
    // a step that would cross a limit is ignored whole
    if (distance > ZOOM_NEAREST && distance < ZOOM_FARTHEST) {
        for (int i = 0; i < 3; i++)
            eyePosition[i] = float(candidate[i]);
        aimCamera();
        cameraRadius = eyeDistance;
    }
}
