// The arithmetic of the mouse drags: double precision, stored as float.
#include "input/drag_steps.h"

#include <cmath>

#include "app/lighting.h"
#include "app/scene_state.h"
#include "input/trackball.h"
#include "mesh/mesh_prepare.h"
#include "mesh/vector_math.h"

// Limits of the light position (world units) and of the zoomed eye distance.
static const float LIGHT_LIMIT = 6.0f;
static const double ZOOM_NEAREST = 1.5;
static const double ZOOM_FARTHEST = 12.5;
static const float SMALLEST_SCALE = 0.00001f;
// Shorter trackball axes come from (nearly) parallel points and carry no direction.
static const float MIN_TRACKBALL_AXIS = 1e-6f;

static float clampLight(float v)
{
    if (v > LIGHT_LIMIT) return LIGHT_LIMIT;
    if (v < -LIGHT_LIMIT) return -LIGHT_LIMIT;
    return v;
}

void translateMesh(Mesh& mesh, const ViewWindow& window, const DragMove& move)
{
    const double dx = double(pixelToWorldX(window, move.toX)) - pixelToWorldX(window, move.fromX);
    const double dy = double(pixelToWorldY(window, move.toY)) - pixelToWorldY(window, move.fromY);
    mesh.translateX = float(mesh.translateX + dx);
    mesh.translateY = float(mesh.translateY + dy);
    keepMeshInView(mesh, window, CLAMP_X_AND_Y);
}

void trackballIncrement(const ViewWindow& window, const DragMove& move, float& angle, float axis[3])
{
    float p0[3], p1[3];
    projectToSphere(window, move.fromX, move.fromY, p0);
    projectToSphere(window, move.toX, move.toY, p1);
    crossProduct(p0, p1, axis);
    angle = angleBetween(p0, p1);
    // (nearly) parallel points give no usable axis: no rotation this step
    if (!std::isfinite(angle) || !(vectorLength(axis) > MIN_TRACKBALL_AXIS)) angle = 0;
}

void scaleMesh(Mesh& m, const ViewWindow& window, const DragMove& move)
{
    m.previousScale = m.scale;
    m.scale =
        float(m.previousScale +
              2.0 * (double(pixelToUnitX(window, move.toX)) - pixelToUnitX(window, move.fromX)) / m.extent);
    const float largest = 4.0f / m.extent;
    if (m.scale < SMALLEST_SCALE)
        m.scale = SMALLEST_SCALE;
    else if (m.scale > largest)
        m.scale = largest;
    if (m.hasGeometry && m.previousScale > 0) {
        scaleMeshNormals(m, float(double(m.scale) / m.previousScale));
    }
}

void translateLightXY(float position[3], const ViewWindow& window, const DragMove& move)
{
    const double dx = 2.0 * (double(pixelToWorldX(window, move.toX)) - pixelToWorldX(window, move.fromX));
    const double dy = 2.0 * (double(pixelToWorldY(window, move.toY)) - pixelToWorldY(window, move.fromY));
    position[0] = clampLight(float(position[0] + dx));
    position[1] = clampLight(float(position[1] + dy));
}

void translateLightZ(float position[3], const ViewWindow& window, const DragMove& move)
{
    // dragging down brings the light toward the viewer of the start-up camera
    const double dz = 2.0 * (double(pixelToWorldY(window, move.fromY)) - pixelToWorldY(window, move.toY));
    position[2] = clampLight(float(position[2] + dz));
}

void orbitCamera(OrbitCamera& camera, const ViewWindow& window, const DragMove& move)
{
    const double dx = double(pixelToWorldX(window, move.toX)) - pixelToWorldX(window, move.fromX);
    const double dy = double(pixelToWorldY(window, move.fromY)) - pixelToWorldY(window, move.toY);
    camera.azimuth = float(camera.azimuth + 45.0 * dx);
    camera.elevation = float(camera.elevation + 90.0 * dy);
    const double r = camera.radius;
    const double az = camera.azimuth * PI / 180.0;
    const double el = camera.elevation * PI / 180.0;
    camera.eye[0] = float(r * std::cos(el) * std::cos(az));
    camera.eye[1] = float(r * std::sin(el));
    camera.eye[2] = float(r * std::cos(el) * std::cos(PI / 2.0 - az));
    camera.eyeDistance = unitVectorTowards(camera.eye, camera.lookAt, camera.viewDirection);
}

void zoomCamera(OrbitCamera& camera, const ViewWindow& window, const DragMove& move)
{
    // a step that leaves the eye where it is leaves this direction unnormalised
    for (int i = 0; i < 3; i++)
        camera.viewDirection[i] = camera.lookAt[i] - camera.eye[i];
    camera.eyeDistance = vectorLength(camera.viewDirection);
    if (!(camera.eyeDistance > 0)) return;
    const double step = 2.0 * (double(pixelToWorldX(window, move.toX)) - pixelToWorldX(window, move.fromX)) +
                        2.0 * (double(pixelToWorldY(window, move.toY)) - pixelToWorldY(window, move.fromY));
    double candidate[3], squared = 0;
    for (int i = 0; i < 3; i++) {
        candidate[i] = camera.eye[i] + step * camera.viewDirection[i] / camera.eyeDistance;
        squared += candidate[i] * candidate[i];
    }
    const double distance = std::sqrt(squared);
    // a step that would cross a limit is ignored whole
    if (distance > ZOOM_NEAREST && distance < ZOOM_FARTHEST) {
        for (int i = 0; i < 3; i++)
            camera.eye[i] = float(candidate[i]);
        camera.eyeDistance = unitVectorTowards(camera.eye, camera.lookAt, camera.viewDirection);
        camera.radius = camera.eyeDistance;
    }
}

// The move from the drag's anchor to (x, yf), which becomes the new anchor.
static DragMove moveTo(int x, int yf)
{
    const DragMove move = {lastMouseX, lastMouseY, x, yf};
    lastMouseX = x;
    lastMouseY = yf;
    return move;
}

// The viewer's camera as one record, and back (lookAtPoint never changes).
static OrbitCamera viewerCamera()
{
    OrbitCamera camera;
    for (int i = 0; i < 3; i++) {
        camera.eye[i] = eyePosition[i];
        camera.lookAt[i] = lookAtPoint[i];
        camera.viewDirection[i] = viewDirection[i];
    }
    camera.eyeDistance = eyeDistance;
    camera.radius = cameraRadius;
    camera.azimuth = cameraAzimuth;
    camera.elevation = cameraElevation;
    return camera;
}

static void storeViewerCamera(const OrbitCamera& camera)
{
    for (int i = 0; i < 3; i++) {
        eyePosition[i] = camera.eye[i];
        viewDirection[i] = camera.viewDirection[i];
    }
    eyeDistance = camera.eyeDistance;
    cameraRadius = camera.radius;
    cameraAzimuth = camera.azimuth;
    cameraElevation = camera.elevation;
}

static void uploadLightFromPointers()
{
    uploadLight(lightPointers[0], lightPointers[2], lightPointers[1], lightPointers[3]);
}

void translateMeshStep(int x, int yf)
{
    translateMesh(*currentMesh, drawingWindow(), moveTo(x, yf));
}

void rotateMeshStep(int x, int yf)
{
    trackballIncrement(drawingWindow(), moveTo(x, yf), trackballAngle, trackballAxis);
}

void scaleMeshStep(int x)
{
    scaleMesh(*currentMesh, drawingWindow(), moveTo(x, lastMouseY));
}

void translateLightXYStep(int x, int yf)
{
    translateLightXY(lightPointers[0], drawingWindow(), moveTo(x, yf));
    uploadLightFromPointers();
}

void translateLightZStep(int x, int yf)
{
    translateLightZ(lightPointers[0], drawingWindow(), moveTo(x, yf));
    uploadLightFromPointers();
}

void rotateCameraStep(int x, int yf)
{
    OrbitCamera camera = viewerCamera();
    orbitCamera(camera, drawingWindow(), moveTo(x, yf));
    storeViewerCamera(camera);
}

void zoomStep(int x, int yf)
{
    OrbitCamera camera = viewerCamera();
    zoomCamera(camera, drawingWindow(), moveTo(x, yf));
    storeViewerCamera(camera);
}
