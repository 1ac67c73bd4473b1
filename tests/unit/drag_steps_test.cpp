// Each mouse drag step's effect per pixel, and the limits that hold whatever the drag.
#include <cmath>
#include <random>
#include <gtest/gtest.h>

#include "app/scene_state.h"
#include "input/drag_steps.h"

namespace {

// A 600 x 600 window, the start-up camera, and a prepared sphere slot current.
struct Drag : testing::Test {
    void SetUp() override
    {
        restoreStartValues();
        windowWidth = windowHeight = 600;
        eyePosition[2] = 3;
        upVector[1] = 1;
        viewDirection[2] = -1;
        eyeDistance = 3;
        Mesh& s = meshes[0];
        s.loaded = true;
        s.scale = s.previousScale = 1;
        s.extent = 2;
        s.rotationRef = s.rotation;
        currentMesh = &s;
    }
    void press(int x, int yf)
    {
        lastMouseX = x;
        lastMouseY = yf;
    }
};

// A mesh slot with one face and one vertex whose normals have the fitted lengths.
void makeFileSlot(Mesh& m, float extent)
{
    m = Mesh{};
    m.loaded = m.hasGeometry = true;
    m.extent = extent;
    m.scale = 1.5f / extent;
    m.rotationRef = m.rotation;
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
    press(300, 300);
    translateMeshStep(310, 305);
    EXPECT_NEAR(currentMesh->translateX, 10 * 4.0 / 600, 1e-5);
    EXPECT_NEAR(currentMesh->translateY, 5 * 4.0 / 600, 1e-5);
    EXPECT_EQ(lastMouseX, 310);
    EXPECT_EQ(lastMouseY, 305);
    // far to the right and up: clamped at the orthographic extents
    translateMeshStep(5000, 5000);
    EXPECT_FLOAT_EQ(currentMesh->translateX, 2);
    EXPECT_FLOAT_EQ(currentMesh->translateY, 2);
    translateMeshStep(-9000, -9000);
    EXPECT_FLOAT_EQ(currentMesh->translateX, -2);
    EXPECT_FLOAT_EQ(currentMesh->translateY, -2);
}

TEST_F(Drag, translateLimitInXWidensWithTheWindowAspect)
{
    windowWidth = 1200;
    press(600, 300);
    translateMeshStep(20000, 300);
    EXPECT_FLOAT_EQ(currentMesh->translateX, 4);
}

TEST_F(Drag, scaleMeshAddsFourOverWidthTimesExtentPerPixel)
{
    Mesh& m = meshes[2];
    makeFileSlot(m, 0.5f);
    currentMesh = &m;
    press(300, 300);
    scaleMeshStep(303);
    EXPECT_NEAR(m.scale, 3.0 + 3 * 4.0 / (600 * 0.5), 1e-5);
    EXPECT_FLOAT_EQ(m.previousScale, 3.0f);
    // normals follow the scale: vertex normals keep the length `scale`
    EXPECT_NEAR(m.vertices[0].normal[2], m.scale, 1e-5);
    EXPECT_NEAR(m.faces[0].normal[2], m.scale / 3.0, 1e-5);
    // vertical movement does nothing, and lastMouseY is kept
    float before = m.scale;
    lastMouseY = 17;
    scaleMeshStep(303);
    EXPECT_FLOAT_EQ(m.scale, before);
    EXPECT_EQ(lastMouseY, 17);
}

TEST_F(Drag, scaleStopsAtTheSmallestAndLargestScale)
{
    press(300, 300);
    scaleMeshStep(-100000);
    EXPECT_FLOAT_EQ(currentMesh->scale, 0.00001f);
    scaleMeshStep(100000);
    EXPECT_FLOAT_EQ(currentMesh->scale, 2.0f); // 4 / extent for the sphere
    Mesh& m = meshes[1];
    makeFileSlot(m, 0.25f);
    currentMesh = &m;
    scaleMeshStep(300000);
    EXPECT_FLOAT_EQ(m.scale, 16.0f);
    EXPECT_NEAR(m.vertices[0].normal[2], 16.0f, 1e-3);
}

TEST_F(Drag, lightMovesEightOverSizePerPixelAndStaysWithinSix)
{
    press(300, 300);
    translateLightXYStep(301, 302);
    EXPECT_NEAR(light.position[0], 1 + 8.0 / 600, 1e-5);
    EXPECT_NEAR(light.position[1], 1 + 2 * 8.0 / 600, 1e-5);
    EXPECT_FLOAT_EQ(light.position[3], 0);
    translateLightXYStep(100000, -100000);
    EXPECT_FLOAT_EQ(light.position[0], 6);
    EXPECT_FLOAT_EQ(light.position[1], -6);
    // depth: dragging down brings it toward the start-up viewer; x does nothing
    press(300, 300);
    const float z = light.position[2];
    translateLightZStep(450, 299);
    EXPECT_NEAR(light.position[2], z + 8.0 / 600, 1e-5);
    EXPECT_FLOAT_EQ(light.position[0], 6);
    translateLightZStep(300, -100000);
    EXPECT_FLOAT_EQ(light.position[2], 6);
    translateLightZStep(300, 100000);
    EXPECT_FLOAT_EQ(light.position[2], -6);
}

TEST_F(Drag, cameraTurns180DegreesAcrossTheWindowAtItsRadius)
{
    press(0, 300);
    rotateCameraStep(600, 300);
    EXPECT_NEAR(cameraAzimuth, 90 + 180, 1e-3);
    EXPECT_NEAR(std::sqrt(eyePosition[0] * eyePosition[0] + eyePosition[1] * eyePosition[1] +
                          eyePosition[2] * eyePosition[2]),
                3.0, 1e-5);
    EXPECT_NEAR(eyePosition[2], -3.0, 1e-4);
    EXPECT_NEAR(viewDirection[2], 1.0, 1e-5);
    EXPECT_NEAR(eyeDistance, 3.0, 1e-5);
    // a drag up lowers the elevation
    press(300, 300);
    rotateCameraStep(300, 301);
    EXPECT_NEAR(cameraElevation, -90 * 4.0 / 600, 1e-4);
}

TEST_F(Drag, cameraOverThePoleKeepsEveryValueFinite)
{
    press(300, 0);
    rotateCameraStep(300, 150); // elevation exactly -90 degrees
    EXPECT_FLOAT_EQ(cameraElevation, -90);
    for (float v : {eyePosition[0], eyePosition[1], eyePosition[2], viewDirection[0], viewDirection[1],
                    viewDirection[2], eyeDistance})
        EXPECT_TRUE(std::isfinite(v));
}

TEST_F(Drag, zoomStaysStrictlyBetweenOneAndAHalfAndTwelveAndAHalf)
{
    press(300, 300);
    zoomStep(301, 300); // right: toward the target
    EXPECT_NEAR(eyePosition[2], 3 - 8.0 / 600, 1e-5);
    EXPECT_NEAR(cameraRadius, 3 - 8.0 / 600, 1e-5);
    // a step that would cross the near limit is ignored whole
    float before = eyePosition[2];
    zoomStep(301 + 150, 300); // 2 world units closer: 0.98 from the origin
    EXPECT_FLOAT_EQ(eyePosition[2], before);
    // small steps stop short of 1.5
    for (int i = 0; i < 400; i++)
        zoomStep(lastMouseX + 1, 300);
    EXPECT_GT(eyePosition[2], 1.5f);
    EXPECT_LT(eyePosition[2], 1.5f + 8.0f / 600 + 1e-5f);
    // and of 12.5 the other way
    for (int i = 0; i < 3000; i++)
        zoomStep(lastMouseX, lastMouseY - 1);
    EXPECT_LT(eyePosition[2], 12.5f);
    EXPECT_GT(eyePosition[2], 12.5f - 8.0f / 600 - 1e-5f);
}

TEST_F(Drag, rotateMeshSetsTheIncrementAndParallelPointsGiveNone)
{
    press(300, 300);
    rotateMeshStep(330, 300);
    EXPECT_GT(trackballAngle, 0);
    EXPECT_GT(trackballAxis[1], 0); // a drag to the right turns about +y
    EXPECT_EQ(lastMouseX, 330);
    rotateMeshStep(330, 300);
    EXPECT_FLOAT_EQ(trackballAngle, 0);

    // thousands of random steps never give a non-finite increment
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pixel(-3000, 3600);
    for (int i = 0; i < 20000; i++) {
        rotateMeshStep(pixel(random), pixel(random));
        ASSERT_TRUE(std::isfinite(trackballAngle));
        for (float c : trackballAxis)
            ASSERT_TRUE(std::isfinite(c));
    }
}
