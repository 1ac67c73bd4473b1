// The projection the reshape callback builds, the view clamp, and the viewing
// toggles, on a real OpenGL context.
#include <cmath>

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "app/scene_state.h"
#include "render/projection.h"

namespace {

struct Projection : testing::Test {
    void SetUp() override
    {
        restoreStartValues();
        perspectiveProjection = 1;
        Mesh& s = meshes[0];
        s.loaded = true;
        s.scale = 1;
        s.extent = 2;
        s.filled = true;
        s.rotationRef = s.rotation;
        currentMesh = &s;
    }
};

void projectionMatrix(float m[16])
{
    glGetFloatv(GL_PROJECTION_MATRIX, m);
}

} // namespace

TEST_F(Projection, perspectiveIs45DegreesWithTheWindowAspect)
{
    reshape(600, 300);
    float m[16];
    projectionMatrix(m);
    const double f = 1.0 / std::tan(22.5 * 3.141592653589793 / 180.0);
    EXPECT_NEAR(m[0], f / 2.0, 1e-5);
    EXPECT_NEAR(m[5], f, 1e-5);
    // near 0.5, far 40
    EXPECT_NEAR(m[10], -(40 + 0.5) / (40 - 0.5), 1e-5);
    EXPECT_NEAR(m[14], -2 * 40 * 0.5 / (40 - 0.5), 1e-5);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 600);
    EXPECT_EQ(viewport[3], 300);
    GLint mode;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(Projection, orthographicSpansTwoEachWayWidenedByTheAspect)
{
    perspectiveProjection = 0;
    reshape(400, 400);
    float m[16];
    projectionMatrix(m);
    EXPECT_NEAR(m[0], 2.0 / 4.0, 1e-6); // -2 .. 2
    EXPECT_NEAR(m[5], 2.0 / 4.0, 1e-6);
    reshape(800, 400);
    projectionMatrix(m);
    EXPECT_NEAR(m[0], 2.0 / 8.0, 1e-6); // -4 .. 4
    EXPECT_NEAR(m[5], 2.0 / 4.0, 1e-6);
}

TEST_F(Projection, toggleRebuildsAtOnceAndTwiceRestores)
{
    reshape(500, 500);
    float before[16], ortho[16], after[16];
    projectionMatrix(before);
    viewingMenu(VIEW_TOGGLE_PROJECTION);
    EXPECT_EQ(perspectiveProjection, 0);
    projectionMatrix(ortho);
    EXPECT_NEAR(ortho[15], 1.0f, 1e-6); // orthographic: no perspective divide
    viewingMenu(VIEW_TOGGLE_PROJECTION);
    projectionMatrix(after);
    for (int i = 0; i < 16; i++)
        EXPECT_FLOAT_EQ(after[i], before[i]);
}

TEST_F(Projection, zeroSizeKeepsTheLastProjectionAndTheOffsets)
{
    reshape(600, 600);
    float before[16], after[16];
    projectionMatrix(before);
    currentMesh->translateX = 1.9f;
    reshape(0, 0);
    reshape(600, 0);
    projectionMatrix(after);
    for (int i = 0; i < 16; i++) {
        EXPECT_FLOAT_EQ(after[i], before[i]);
        EXPECT_TRUE(std::isfinite(after[i]));
    }
    EXPECT_FLOAT_EQ(currentMesh->translateX, 1.9f);
    reshape(600, 600);
    projectionMatrix(after);
    EXPECT_FLOAT_EQ(after[5], before[5]);
}

TEST_F(Projection, narrowingTheWindowPushesTheMeshBackInXOnly)
{
    reshape(1200, 600);
    currentMesh->translateX = 3.5f;
    currentMesh->translateY = -1.7f;
    reshape(600, 600);
    EXPECT_FLOAT_EQ(currentMesh->translateX, 2.0f);
    EXPECT_FLOAT_EQ(currentMesh->translateY, -1.7f);
    currentMesh->translateX = -9;
    reshape(600, 600);
    EXPECT_FLOAT_EQ(currentMesh->translateX, -2.0f);
}

TEST_F(Projection, clampTestsScaledCentroidPlusOffsetStrictly)
{
    reshape(600, 600);
    Mesh& m = *currentMesh;
    m.scale = 2;
    m.centroid[0] = 0.5f;
    m.centroid[1] = -0.25f;
    m.translateX = 1.0f; // exactly on the limit: 2 * 0.5 + 1 = 2
    m.translateY = 5;
    keepMeshInView(CLAMP_X);
    EXPECT_FLOAT_EQ(m.translateX, 1.0f);
    EXPECT_FLOAT_EQ(m.translateY, 5);
    keepMeshInView(CLAMP_X_AND_Y);
    EXPECT_FLOAT_EQ(m.translateY, 2 + 0.5f);
    m.translateX = 1.5f;
    keepMeshInView(CLAMP_X);
    EXPECT_FLOAT_EQ(m.translateX, 1.0f);
}

TEST_F(Projection, togglesFlipOnlyTheCurrentMeshAndShadingSetsTheModel)
{
    Mesh& other = meshes[2];
    other.loaded = true;
    other.filled = true;
    viewingMenu(VIEW_TOGGLE_NORMALS);
    viewingMenu(VIEW_TOGGLE_FILLING);
    EXPECT_TRUE(currentMesh->showNormals);
    EXPECT_FALSE(currentMesh->filled);
    EXPECT_FALSE(other.showNormals);
    EXPECT_TRUE(other.filled);

    // first toggle on a mesh marked flat while the model is smooth: flag on, still smooth
    glShadeModel(GL_SMOOTH);
    currentMesh->smoothShading = false;
    GLint model;
    viewingMenu(VIEW_TOGGLE_SHADING);
    glGetIntegerv(GL_SHADE_MODEL, &model);
    EXPECT_TRUE(currentMesh->smoothShading);
    EXPECT_EQ(model, GL_SMOOTH);
    viewingMenu(VIEW_TOGGLE_SHADING);
    glGetIntegerv(GL_SHADE_MODEL, &model);
    EXPECT_FALSE(currentMesh->smoothShading);
    EXPECT_EQ(model, GL_FLAT);
    // switching meshes does not re-apply the model
    currentMesh = &other;
    glGetIntegerv(GL_SHADE_MODEL, &model);
    EXPECT_EQ(model, GL_FLAT);

    int projection = perspectiveProjection;
    viewingMenu(99);
    EXPECT_EQ(perspectiveProjection, projection);
}
