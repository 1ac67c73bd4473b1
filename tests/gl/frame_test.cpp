// The frame's folding of the trackball increment into the mesh's rotation.
#include <cmath>
#include <random>
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "app/scene_state.h"
#include "input/drag_steps.h"
#include "render/frame.h"

namespace {

// A file slot without faces: drawMesh folds the rotation and draws nothing.
void makeEmptyFileSlot(Mesh& m)
{
    m = Mesh{};
    m.loaded = m.hasGeometry = m.filled = true;
    m.scale = m.extent = 1;
    m.rotationRef = m.rotation;
    for (int i = 0; i < 16; i++)
        m.rotation[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

} // namespace

TEST(Frame, everyFrameTurnsTheMeshByTheIncrementAboutAWorldAxis)
{
    restoreStartValues();
    makeEmptyFileSlot(meshes[2]);
    currentMesh = &meshes[2];
    trackballAngle = 90;
    trackballAxis[2] = 2; // any length
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    drawMesh();
    const float* r = meshes[2].rotation;
    EXPECT_NEAR(r[0], 0, 1e-6);
    EXPECT_NEAR(r[1], 1, 1e-6); // x turned onto y
    drawMesh();
    EXPECT_NEAR(r[0], -1, 1e-6);
    // no increment, or no axis: nothing changes
    trackballAngle = 0;
    drawMesh();
    EXPECT_NEAR(r[0], -1, 1e-6);
    trackballAngle = 30;
    trackballAxis[2] = 0;
    drawMesh();
    EXPECT_NEAR(r[0], -1, 1e-6);
}

TEST(Frame, rotationStaysFiniteAndRigidAfterThousandsOfRandomDrags)
{
    restoreStartValues();
    windowWidth = windowHeight = 600;
    makeEmptyFileSlot(meshes[1]);
    currentMesh = &meshes[1];
    std::mt19937 random(11);
    std::uniform_int_distribution<int> pixel(-2000, 2600);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (int i = 0; i < 5000; i++) {
        rotateMeshStep(pixel(random), pixel(random));
        drawMesh();
    }
    const float* r = meshes[1].rotation;
    for (int i = 0; i < 16; i++)
        ASSERT_TRUE(std::isfinite(r[i]));
    // columns stay unit length: the accumulated matrix is still a rotation
    for (int c = 0; c < 3; c++)
        EXPECT_NEAR(r[4 * c] * r[4 * c] + r[4 * c + 1] * r[4 * c + 1] + r[4 * c + 2] * r[4 * c + 2], 1.0,
                    1e-3);
}
