// The frame: folding the trackball increment into the mesh's rotation, and big
// meshes drawn from buffers as they are drawn face by face.
#define GL_GLEXT_PROTOTYPES
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <random>
#include <vector>
#include <GL/freeglut.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include "app/lighting.h"
#include "app/mesh_slots.h"
#include "app/scene_state.h"
#include "input/drag_steps.h"
#include "io/image_file.h"
#include "mesh/mesh_prepare.h"
#include "render/cube_map.h"
#include "render/frame.h"
#include "render/mesh_buffers.h"
#include "render/projection.h"
#include "shading/shader_setup.h"

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

namespace {

const int SIDE = 300; // pixels of the test picture

// Renders display() into a framebuffer of its own and reads it back.
std::vector<unsigned char> renderFrame(size_t bufferedAbove)
{
    bufferedDrawFaces = bufferedAbove;
    GLuint framebuffer, colour, depth;
    glGenFramebuffers(1, &framebuffer);
    glGenRenderbuffers(1, &colour);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, SIDE, SIDE);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, SIDE, SIDE);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    reshape(SIDE, SIDE);
    display();
    std::vector<unsigned char> pixels(size_t(SIDE) * SIDE * 4);
    glReadPixels(0, 0, SIDE, SIDE, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteRenderbuffers(1, &colour);
    glDeleteRenderbuffers(1, &depth);
    return pixels;
}

// Pixels whose colour differs by more than `tolerance` in some channel.
int differentPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b, int tolerance)
{
    int count = 0;
    for (size_t i = 0; i < a.size(); i += 4)
        for (size_t c = 0; c < 3; c++)
            if (std::abs(a[i + c] - b[i + c]) > tolerance) {
                count++;
                break;
            }
    return count;
}

} // namespace

// The aircraft has faces of its own colours among plain ones, so it tests the
// material runs as well as the geometry.
TEST(Frame, meshFromBuffersLooksAsDrawnFaceByFace)
{
    restoreStartValues();
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(MESHSHADE_RUN_DIR);
    mainWindow = glutGetWindow();
    initImages();
    loadCubeMap("sky");
    if (!ShaderBindings.vertexProgram) setupShaders();
    initLighting();
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 0);
    std::string why;
    loadMeshSlot(2, "cessna_color500.m", why);
    std::filesystem::current_path(previous);
    ASSERT_TRUE(meshes[2].loaded);
    currentMesh = &meshes[2];
    Mesh& mesh = meshes[2];
    eyePosition[2] = cameraRadius;
    lookAtPoint[2] = 0;
    upVector[1] = 1;
    // turned a little, so that the aircraft shows its side and many colours
    trackballAngle = 30;
    trackballAxis[0] = 1;
    trackballAxis[1] = 1;
    renderFrame(SIZE_MAX);
    trackballAngle = 0;
    mesh.loaded = false;
    const auto skyOnly = renderFrame(SIZE_MAX);
    mesh.loaded = true;

    const struct {
        const char* name;
        bool filled, smooth, shaders, normals;
    } cases[] = {
        {"smooth, shaders", true, true, true, false},
        {"flat, shaders", true, false, true, false},
        {"smooth, no shaders", true, true, false, false},
        {"flat, no shaders", true, false, false, false},
        {"outlines", false, true, true, false},
        {"normal lines", true, true, false, true},
        {"outlines, normal lines", false, false, false, true},
    };
    for (const auto& c : cases) {
        mesh.filled = c.filled;
        mesh.smoothShading = c.smooth;
        glShadeModel(c.smooth ? GL_SMOOTH : GL_FLAT);
        mesh.useShaders = c.shaders;
        mesh.showNormals = c.normals;
        const auto faceByFace = renderFrame(SIZE_MAX);
        const auto fromBuffers = renderFrame(0);
        EXPECT_GT(differentPixels(faceByFace, skyOnly, 20), c.filled ? 2000 : 500) << c.name;
        EXPECT_LE(differentPixels(faceByFace, fromBuffers, 2), 20) << c.name;
        EXPECT_EQ(differentPixels(faceByFace, fromBuffers, 40), 0) << c.name;
    }
    // a rescale of the normals reaches the buffers
    scaleMeshNormals(mesh, 0.5f);
    mesh.filled = true;
    mesh.useShaders = false;
    EXPECT_LE(differentPixels(renderFrame(SIZE_MAX), renderFrame(0), 2), 20);
    releaseMeshBuffers();
    bufferedDrawFaces = 20000;
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
