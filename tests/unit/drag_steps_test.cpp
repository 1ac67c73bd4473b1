// Each mouse drag step's effect per pixel, and the limits that hold whatever the drag.
#include <cmath>
#include <random>
#include <gtest/gtest.h>

#include "app/mesh_slots.h"
#include "app/scene_state.h"
#include "input/drag_steps.h"
#include "mesh/mesh_prepare.h"
#include "mesh/vector_math.h"

namespace {

// A 600 x 600 window, the start-up camera and the built-in sphere.
struct Drag : testing::Test {
    ViewWindow window = {600, 600};
    OrbitCamera camera = {{0, 0, 3}, {0, 0, 0}, {0, 0, -1}, 3, 3, 90, 0};
    Mesh sphere;
    void SetUp() override { setUpSphereMesh(sphere); }
};

// A file mesh with one face and one vertex whose normals have the fitted lengths.
void makeFileMesh(Mesh& m, float extent)
{
    m = Mesh{};
    m.loaded = m.hasGeometry = true;
    m.extent = extent;
    m.scale = 1.5f / extent;
    Vertex v;
    v.normal[2] = m.scale;
    m.vertices.push_back(v);
    Face f;
    f.normal[2] = 1;
    m.faces.push_back(f);
}

} // namespace

TEST_F(Drag, translateMeshMovesFourOverWidthPerPixelAndStaysInView)
{
    translateMesh(sphere, window, {300, 300, 310, 305});
    EXPECT_NEAR(sphere.translateX, 10 * 4.0 / 600, 1e-5);
    EXPECT_NEAR(sphere.translateY, 5 * 4.0 / 600, 1e-5);
    // far to the right and up: clamped at the orthographic extents
    translateMesh(sphere, window, {310, 305, 5000, 5000});
    EXPECT_FLOAT_EQ(sphere.translateX, 2);
    EXPECT_FLOAT_EQ(sphere.translateY, 2);
    translateMesh(sphere, window, {5000, 5000, -9000, -9000});
    EXPECT_FLOAT_EQ(sphere.translateX, -2);
    EXPECT_FLOAT_EQ(sphere.translateY, -2);
    // the limit in x widens with the window's aspect
    translateMesh(sphere, {1200, 600}, {600, 300, 20000, 300});
    EXPECT_FLOAT_EQ(sphere.translateX, 4);
}

TEST_F(Drag, scaleMeshAddsFourOverWidthTimesExtentPerPixel)
{
    Mesh m;
    makeFileMesh(m, 0.5f);
    scaleMesh(m, window, {300, 300, 303, 300});
    EXPECT_NEAR(m.scale, 3.0 + 3 * 4.0 / (600 * 0.5), 1e-5);
    EXPECT_FLOAT_EQ(m.previousScale, 3.0f);
    // normals follow the scale: vertex normals keep the length `scale`
    EXPECT_NEAR(m.vertices[0].normal[2], m.scale, 1e-5);
    EXPECT_NEAR(m.faces[0].normal[2], m.scale / 3.0, 1e-5);
    // vertical movement does nothing
    float before = m.scale;
    scaleMesh(m, window, {303, 300, 303, 17});
    EXPECT_FLOAT_EQ(m.scale, before);
}

TEST_F(Drag, scaleStopsAtTheSmallestAndLargestScale)
{
    scaleMesh(sphere, window, {300, 300, -100000, 300});
    EXPECT_FLOAT_EQ(sphere.scale, 0.00001f);
    scaleMesh(sphere, window, {-100000, 300, 100000, 300});
    EXPECT_FLOAT_EQ(sphere.scale, 2.0f); // 4 / extent for the sphere
    Mesh m;
    makeFileMesh(m, 0.25f);
    scaleMesh(m, window, {100000, 300, 300000, 300});
    EXPECT_FLOAT_EQ(m.scale, 16.0f);
    EXPECT_NEAR(m.vertices[0].normal[2], 16.0f, 1e-3);
}

TEST_F(Drag, lightMovesEightOverSizePerPixelAndStaysWithinSix)
{
    float position[4] = {1, 1, 1.5f, 0};
    translateLightXY(position, window, {300, 300, 301, 302});
    EXPECT_NEAR(position[0], 1 + 8.0 / 600, 1e-5);
    EXPECT_NEAR(position[1], 1 + 2 * 8.0 / 600, 1e-5);
    EXPECT_FLOAT_EQ(position[3], 0);
    translateLightXY(position, window, {301, 302, 100000, -100000});
    EXPECT_FLOAT_EQ(position[0], 6);
    EXPECT_FLOAT_EQ(position[1], -6);
    // depth: dragging down brings it toward the start-up viewer; x does nothing
    const float z = position[2];
    translateLightZ(position, window, {300, 300, 450, 299});
    EXPECT_NEAR(position[2], z + 8.0 / 600, 1e-5);
    EXPECT_FLOAT_EQ(position[0], 6);
    translateLightZ(position, window, {450, 299, 300, -100000});
    EXPECT_FLOAT_EQ(position[2], 6);
    translateLightZ(position, window, {300, -100000, 300, 100000});
    EXPECT_FLOAT_EQ(position[2], -6);
}

TEST_F(Drag, cameraTurns180DegreesAcrossTheWindowAtItsRadius)
{
    orbitCamera(camera, window, {0, 300, 600, 300});
    EXPECT_NEAR(camera.azimuth, 90 + 180, 1e-3);
    EXPECT_NEAR(vectorLength(camera.eye), 3.0, 1e-5);
    EXPECT_NEAR(camera.eye[2], -3.0, 1e-4);
    EXPECT_NEAR(camera.viewDirection[2], 1.0, 1e-5);
    EXPECT_NEAR(camera.eyeDistance, 3.0, 1e-5);
    // a drag up lowers the elevation
    orbitCamera(camera, window, {300, 300, 300, 301});
    EXPECT_NEAR(camera.elevation, -90 * 4.0 / 600, 1e-4);
}

TEST_F(Drag, cameraOverThePoleKeepsEveryValueFinite)
{
    orbitCamera(camera, window, {300, 0, 300, 150}); // elevation exactly -90 degrees
    EXPECT_FLOAT_EQ(camera.elevation, -90);
    const OrbitCamera& c = camera;
    for (float v : {c.eye[0], c.eye[1], c.eye[2], c.viewDirection[0], c.viewDirection[1], c.viewDirection[2],
                    c.eyeDistance})
        EXPECT_TRUE(std::isfinite(v));
}

TEST_F(Drag, zoomStaysStrictlyBetweenOneAndAHalfAndTwelveAndAHalf)
{
    zoomCamera(camera, window, {300, 300, 301, 300}); // right: toward the target
    EXPECT_NEAR(camera.eye[2], 3 - 8.0 / 600, 1e-5);
    EXPECT_NEAR(camera.radius, 3 - 8.0 / 600, 1e-5);
    // a step that would cross the near limit is ignored whole
    float before = camera.eye[2];
    zoomCamera(camera, window, {301, 300, 451, 300}); // 2 world units closer: 0.98 from the origin
    EXPECT_FLOAT_EQ(camera.eye[2], before);
    // small steps stop short of 1.5
    for (int i = 0; i < 400; i++)
        zoomCamera(camera, window, {300, 300, 301, 300});
    EXPECT_GT(camera.eye[2], 1.5f);
    EXPECT_LT(camera.eye[2], 1.5f + 8.0f / 600 + 1e-5f);
    // and of 12.5 the other way
    for (int i = 0; i < 3000; i++)
        zoomCamera(camera, window, {300, 300, 300, 299});
    EXPECT_LT(camera.eye[2], 12.5f);
    EXPECT_GT(camera.eye[2], 12.5f - 8.0f / 600 - 1e-5f);
}

TEST_F(Drag, trackballIncrementTurnsAndParallelPointsGiveNone)
{
    float angle, axis[3];
    trackballIncrement(window, {300, 300, 330, 300}, angle, axis);
    EXPECT_GT(angle, 0);
    EXPECT_GT(axis[1], 0); // a drag to the right turns about +y
    trackballIncrement(window, {330, 300, 330, 300}, angle, axis);
    EXPECT_FLOAT_EQ(angle, 0);

    // thousands of random moves never give a non-finite increment
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pixel(-3000, 3600);
    for (int i = 0; i < 20000; i++) {
        trackballIncrement(window, {pixel(random), pixel(random), pixel(random), pixel(random)}, angle, axis);
        ASSERT_TRUE(std::isfinite(angle));
        for (float c : axis)
            ASSERT_TRUE(std::isfinite(c));
    }
}

// The steps the mouse callbacks call: they act on the current mesh, the light and
// the camera of the viewer, and re-anchor the drag at the pointer.
TEST(DragSteps, workOnTheViewerStateAndReanchorTheDrag)
{
    restoreStartValues();
    windowWidth = windowHeight = 600;
    initSphereSlot();
    eyePosition[2] = 3;
    viewDirection[2] = -1;
    eyeDistance = 3;
    lastMouseX = lastMouseY = 300;

    translateMeshStep(310, 305);
    EXPECT_NEAR(meshes[0].translateX, 10 * 4.0 / 600, 1e-5);
    EXPECT_EQ(lastMouseX, 310);
    EXPECT_EQ(lastMouseY, 305);
    scaleMeshStep(313); // re-anchors x alone
    EXPECT_NEAR(meshes[0].scale, 1 + 3 * 4.0 / (600 * 2), 1e-5);
    EXPECT_EQ(lastMouseX, 313);
    EXPECT_EQ(lastMouseY, 305);
    translateLightXYStep(314, 305);
    EXPECT_NEAR(light.position[0], 1 + 8.0 / 600, 1e-5);
    translateLightZStep(314, 304);
    EXPECT_NEAR(light.position[2], 1.5 + 8.0 / 600, 1e-5);
    rotateMeshStep(344, 304);
    EXPECT_GT(trackballAngle, 0);
    // 300 pixels right: a quarter turn, the eye on the -x axis looking at the origin
    rotateCameraStep(644, 304);
    EXPECT_NEAR(cameraAzimuth, 180, 1e-3);
    EXPECT_NEAR(eyePosition[0], -3, 1e-4);
    EXPECT_NEAR(viewDirection[0], 1, 1e-5);
    zoomStep(645, 304);
    EXPECT_NEAR(eyePosition[0], -3 + 8.0 / 600, 1e-5);
    EXPECT_NEAR(cameraRadius, 3 - 8.0 / 600, 1e-5);
    EXPECT_EQ(lastMouseX, 645);
}
