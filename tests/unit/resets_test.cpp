// Reset All and Reset Light put back exactly what they promise, and nothing else.
#include <cmath>
#include <gtest/gtest.h>

#include "app/resets.h"
#include "app/scene_state.h"
#include "mesh/mesh_prepare.h"

static float length3(const float* v)
{
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

// A prepared one-triangle mesh, as loading leaves it: extent 2, scale 0.75,
// unit face normal, vertex normals of length `scale`.
//
//   (0,2) C
//         |  .
//   (0,0) A--B (2,0)
static void makeTriangleSlot(Mesh& m)
{
    m = Mesh{};
    m.hasGeometry = m.loaded = m.filled = m.useShaders = true;
    m.extent = 2.0f;
    m.scale = 0.75f;
    m.rotationRef = m.rotation;
    for (int i = 0; i < 16; i++)
        m.rotation[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    const float p[3][3] = {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}};
    for (const auto& q : p) {
        Vertex v;
        for (int k = 0; k < 3; k++)
            v.position[k] = q[k];
        v.normal[2] = m.scale;
        m.vertices.push_back(v);
    }
    Face f;
    f.corners[0] = 1, f.corners[1] = 2, f.corners[2] = 3;
    f.normal[2] = 1;
    m.faces.push_back(f);
}

// What a scale drag does: new scale, normals multiplied by the ratio.
static void scaleBy(Mesh& m, float newScale)
{
    m.previousScale = m.scale;
    m.scale = newScale;
    scaleMeshNormals(m, m.scale / m.previousScale);
}

TEST(Resets, resetAllRestoresFitRotationOffsetsAndLightButKeepsViewingState)
{
    restoreStartValues();
    makeTriangleSlot(meshes[2]);
    currentMesh = &meshes[2];
    Mesh& m = meshes[2];
    scaleBy(m, 1.9f);
    scaleBy(m, 0.01f);
    scaleBy(m, 0.3f);
    m.translateX = 1.2f;
    m.translateY = -0.7f;
    m.rotation[1] = 0.5f;
    m.filled = false;
    m.smoothShading = false;
    m.showNormals = true;
    light.position[0] = 5;
    light.ambient[1] = 0.1f;
    eyePosition[2] = 7;
    interactionMode = ScaleMesh;

    testing::internal::CaptureStdout();
    resetAll();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Resetting all...\n");

    EXPECT_FLOAT_EQ(m.scale, 0.75f);
    EXPECT_NEAR(length3(m.vertices[0].normal), 0.75f, 1e-5);
    EXPECT_NEAR(length3(m.faces[0].normal), 1.0f, 1e-5);
    EXPECT_FLOAT_EQ(m.translateX, 0);
    EXPECT_FLOAT_EQ(m.translateY, 0);
    for (int i = 0; i < 16; i++)
        EXPECT_FLOAT_EQ(m.rotation[i], (i % 5 == 0) ? 1.0f : 0.0f);
    EXPECT_FLOAT_EQ(light.position[0], 1);
    EXPECT_FLOAT_EQ(light.ambient[1], 0.6f);
    // untouched: viewing flags, camera, mode
    EXPECT_FALSE(m.filled);
    EXPECT_TRUE(m.showNormals);
    EXPECT_FLOAT_EQ(eyePosition[2], 7);
    EXPECT_EQ(interactionMode, ScaleMesh);
}

TEST(Resets, resetAllGivesTheSphereScaleOne)
{
    restoreStartValues();
    Mesh& s = meshes[0];
    s.loaded = true;
    s.extent = 2;
    s.scale = 1.7f;
    s.rotationRef = s.rotation;
    currentMesh = &s;
    testing::internal::CaptureStdout();
    resetAll();
    testing::internal::GetCapturedStdout();
    EXPECT_FLOAT_EQ(s.scale, 1.0f);
    EXPECT_FLOAT_EQ(s.previousScale, 1.7f);
}

TEST(Resets, resetLightRestoresColoursAndPositionOnly)
{
    restoreStartValues();
    makeTriangleSlot(meshes[1]);
    currentMesh = &meshes[1];
    meshes[1].translateX = 0.4f;
    for (int i = 0; i < 3; i++) {
        light.position[i] = -3;
        light.ambient[i] = light.diffuse[i] = light.specular[i] = 0.05f;
    }
    light.ambient[3] = 0.5f; // alpha is not the defaults' business
    lightPointers[2] = nullptr;

    testing::internal::CaptureStdout();
    resetLight();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Resetting the Light...\n");

    EXPECT_FLOAT_EQ(light.position[0], 1);
    EXPECT_FLOAT_EQ(light.position[1], 1);
    EXPECT_FLOAT_EQ(light.position[2], 1.5f);
    EXPECT_FLOAT_EQ(light.position[3], 0);
    for (int i = 0; i < 3; i++) {
        EXPECT_FLOAT_EQ(light.ambient[i], 0.6f);
        EXPECT_FLOAT_EQ(light.diffuse[i], 0.6f);
        EXPECT_FLOAT_EQ(light.specular[i], 0.8f);
    }
    EXPECT_FLOAT_EQ(light.ambient[3], 0.5f);
    EXPECT_EQ(lightPointers[2], light.diffuse);
    EXPECT_FLOAT_EQ(meshes[1].translateX, 0.4f);
}
