// Face and vertex normals, the fit of a mesh into the view, and the set-up of
// the three slots at start-up.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>

#include "../fuzz/mesh_checks.h"
#include "mesh/mesh_reader.h"
#include "mesh/vector_math.h"
#include "mesh_test_files.h"

static void expectTriple(const float* v, float x, float y, float z)
{
    EXPECT_NEAR(v[0], x, 1e-6f);
    EXPECT_NEAR(v[1], y, 1e-6f);
    EXPECT_NEAR(v[2], z, 1e-6f);
}

static bool isIdentity(const float* m)
{
    for (int i = 0; i < 16; i++)
        if (m[i] != ((i % 5 == 0) ? 1.0f : 0.0f)) return false;
    return true;
}

//   (0,1) C
//         | .
//   (0,0) A--B (1,0)      corners A, B, C: counter-clockwise seen from +z
TEST(MeshPrepare, singleTriangleGetsNormalsCentroidAndScale)
{
    const std::string vertices = "Vertex 1 0 0 0\nVertex 2 1 0 0\nVertex 3 0 1 0\n";

    // Straight after reading: unit face normal, centre, vertex normals as sums.
    Mesh read;
    std::string path = writeTempMesh(vertices + "Face 1 1 2 3\n");
    testing::internal::CaptureStdout();
    ASSERT_EQ(readMeshFile(read, path.c_str()), 0);
    testing::internal::GetCapturedStdout();
    unlink(path.c_str());
    ASSERT_EQ(read.faces.size(), 1u);
    expectTriple(read.faces[0].normal, 0, 0, 1);
    expectTriple(read.faces[0].centre, 1.0f / 3, 1.0f / 3, 0);
    for (const Vertex& v : read.vertices)
        expectTriple(v.normal, 0, 0, 1);

    // After the fit.
    Loaded r = loadMeshText(vertices + "Face 1 1 2 3\n");
    const Mesh& m = meshes[1];
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(m.loaded);
    EXPECT_FLOAT_EQ(m.extent, 1); // the y extent 1 is not greater than the x extent 1
    EXPECT_FLOAT_EQ(m.scale, 1.5f);
    expectTriple(m.centroid, 1.0f / 3, 1.0f / 3, 0);
    expectTriple(m.faces[0].normal, 0, 0, 1); // face normals keep unit length
    for (const Vertex& v : m.vertices)
        expectTriple(v.normal, 0, 0, 1.5f);

    // The other winding turns the normal round.
    loadMeshText(vertices + "Face 1 1 3 2\n");
    expectTriple(meshes[1].faces[0].normal, 0, 0, -1);
    expectTriple(meshes[1].vertices[0].normal, 0, 0, -1.5f);
}

TEST(MeshPrepare, loadedSlotIsSetUpForDrawing)
{
    restoreStartValues();
    meshes[2].previousScale = 7; // not the fit's business
    Loaded r = loadMeshText("Vertex 1 0 0 0\nVertex 2 2 0 0\nVertex 3 0 2 0\nFace 1 1 2 3\n", 2);
    const Mesh& m = meshes[2];
    EXPECT_EQ(currentMesh, &meshes[2]);
    EXPECT_EQ(currentMeshIndex, 2);
    EXPECT_TRUE(m.loaded);
    EXPECT_TRUE(m.hasGeometry);
    EXPECT_FALSE(m.showNormals);
    EXPECT_TRUE(m.filled);
    EXPECT_FALSE(m.smoothShading);
    EXPECT_TRUE(m.useShaders);
    EXPECT_EQ(m.translateX, 0);
    EXPECT_EQ(m.translateY, 0);
    EXPECT_TRUE(isIdentity(m.rotation));
    EXPECT_EQ(m.rotationRef, m.rotation);
    EXPECT_FLOAT_EQ(m.scale, 0.75f);
    EXPECT_EQ(r.out, "Reading coordinates from " + r.path + "\n");
}

// A vertex shared by a large face and a small one: each face weighs the same.
//
//   big face A B C in the plane z = 0 (normal +z), 10 units a side;
//   small face A D E in the plane x = 0 (normal +x), 0.1 units a side.
TEST(MeshPrepare, largeAndSmallFacesWeighTheSameInAVertexNormal)
{
    loadMeshText("Vertex 1 0 0 0\n"
                 "Vertex 2 10 0 0\n"
                 "Vertex 3 0 10 0\n"
                 "Vertex 4 0 0.1 0\n"
                 "Vertex 5 0 0 0.1\n"
                 "Face 1 1 2 3\n"
                 "Face 2 1 4 5\n");
    const Mesh& m = meshes[1];
    ASSERT_EQ(m.faces.size(), 2u);
    expectTriple(m.faces[1].normal, 1, 0, 0);
    EXPECT_FLOAT_EQ(m.scale, 0.15f);
    const float s = m.scale / std::sqrt(2.0f);
    expectTriple(m.vertices[0].normal, s, 0, s);
    EXPECT_NEAR(vectorLength(m.vertices[0].normal), m.scale, 1e-6f);
    expectTriple(m.vertices[1].normal, 0, 0, m.scale);
    expectTriple(m.vertices[3].normal, m.scale, 0, 0);
}

TEST(MeshPrepare, extentComesFromXAndYOnly)
{
    // a box 1 wide (x), 2 high (y) and 10 deep (z)
    loadMeshText("Vertex 1 0 0 0\nVertex 2 1 2 10\nVertex 3 0.5 1 -0\n");
    EXPECT_FLOAT_EQ(meshes[1].extent, 2);
    EXPECT_FLOAT_EQ(meshes[1].scale, 0.75f);
    // wider than high, and deep again
    loadMeshText("Vertex 1 -3 0 0\nVertex 2 1 2 100\n");
    EXPECT_FLOAT_EQ(meshes[1].extent, 4);
    expectTriple(meshes[1].centroid, -1, 1, 50);
}

TEST(MeshPrepare, degenerateInputGivesZeroNormalsAndFiniteFit)
{
    // collinear corners, and a vertex no face uses
    Loaded r = loadMeshText("Vertex 1 0 0 0\nVertex 2 1 0 0\nVertex 3 2 0 0\nVertex 4 0 1 0\nFace 1 1 2 3\n");
    const Mesh* m = &meshes[1];
    ASSERT_EQ(m->faces.size(), 1u);
    expectTriple(m->faces[0].normal, 0, 0, 0);
    expectTriple(m->faces[0].centre, 1, 0, 0);
    for (const Vertex& v : m->vertices)
        expectTriple(v.normal, 0, 0, 0);
    EXPECT_EQ(findMeshFault(*m), nullptr);
    EXPECT_EQ(r.err, "");

    // no vertices at all: an empty mesh at the origin
    loadMeshText("# empty\n");
    EXPECT_TRUE(m->loaded);
    expectTriple(m->centroid, 0, 0, 0);
    EXPECT_FLOAT_EQ(m->extent, 1);
    EXPECT_FLOAT_EQ(m->scale, 1.5f);
    EXPECT_EQ(findMeshFault(*m), nullptr);

    // a single vertex, or all on one x and y, has no extent: fitted as 1 wide
    for (const char* text : {"Vertex 1 5 6 7\n", "Vertex 1 5 6 7\nVertex 2 5 6 -7\n"}) {
        r = loadMeshText(text);
        EXPECT_FLOAT_EQ(m->extent, 1);
        EXPECT_FLOAT_EQ(m->scale, 1.5f);
        EXPECT_FLOAT_EQ(m->centroid[0], 5);
        EXPECT_NE(r.err.find("fitted as if 1 unit wide"), std::string::npos) << r.err;
        EXPECT_EQ(findMeshFault(*m), nullptr);
    }

    // an extent too small for 1.5 / extent to be a float
    loadMeshText("Vertex 1 0 0 0\nVertex 2 1e-40 0 0\nVertex 3 0 1e-40 0\nFace 1 1 2 3\n");
    EXPECT_FLOAT_EQ(m->extent, 1);
    expectTriple(m->faces[0].normal, 0, 0, 1);
    EXPECT_EQ(findMeshFault(*m), nullptr);

    // coordinates near the float limit: differences and squares would overflow a float
    loadMeshText("Vertex 1 -3e38 -3e38 0\nVertex 2 3e38 -3e38 0\nVertex 3 -3e38 3e38 3e38\nFace 1 1 2 3\n");
    EXPECT_EQ(findMeshFault(*m), nullptr);
    EXPECT_FLOAT_EQ(m->extent, FLT_MAX);
    EXPECT_GT(m->scale, 0);
    EXPECT_NEAR(vectorLength(m->faces[0].normal), 1, 1e-6f);
    EXPECT_NEAR(m->faces[0].normal[1], -1 / std::sqrt(5.0f), 1e-6f); // (B - A) x (C - A) = (0, -2, 4) a^2
}

TEST(MeshPrepare, sphereSlotGetsItsFixedValues)
{
    restoreStartValues();
    initSphereSlot();
    const Mesh& s = meshes[0];
    EXPECT_TRUE(s.loaded);
    EXPECT_FALSE(s.hasGeometry);
    EXPECT_FALSE(s.showNormals);
    EXPECT_TRUE(s.filled);
    EXPECT_FALSE(s.smoothShading);
    EXPECT_FALSE(s.useShaders);
    EXPECT_FLOAT_EQ(s.scale, 1);
    EXPECT_FLOAT_EQ(s.previousScale, 1);
    EXPECT_FLOAT_EQ(s.extent, 2);
    EXPECT_TRUE(isIdentity(s.rotation));
    EXPECT_EQ(s.rotationRef, s.rotation);
    expectTriple(s.boundsMax, 1, 1, 1);
    expectTriple(s.boundsMin, -1, -1, -1);
    expectTriple(s.centroid, 0, 0, 0);
    EXPECT_TRUE(s.vertices.empty());
    EXPECT_TRUE(s.faces.empty());
}

// Start-up order: sphere, slot 1, slot 2, then the check that the shown slot is set up.
static void startUp(const char* bunny, const char* cessna)
{
    restoreStartValues();
    testing::internal::CaptureStdout();
    initSphereSlot();
    std::string why;
    loadMeshSlot(1, bunny, why);
    loadMeshSlot(2, cessna, why);
    keepLoadedSlotCurrent();
    testing::internal::GetCapturedStdout();
}

TEST(MeshPrepare, missingFileLeavesItsSlotUnsetAndAnotherSlotShown)
{
    const std::string good = writeTempMesh("Vertex 1 0 0 0\nVertex 2 1 0 0\nVertex 3 0 1 0\nFace 1 1 2 3\n");
    const char* missing = "/nonexistent/cessna_color500.m";

    startUp(good.c_str(), missing);
    EXPECT_TRUE(meshes[1].loaded);
    EXPECT_EQ(meshes[1].faces.size(), 1u);
    EXPECT_FALSE(meshes[2].loaded);
    EXPECT_FALSE(meshes[2].hasGeometry);
    EXPECT_EQ(meshes[2].rotationRef, nullptr);
    EXPECT_EQ(meshes[2].scale, 0);
    EXPECT_EQ(currentMeshIndex, 1);
    EXPECT_EQ(currentMesh, &meshes[1]); // the bunny rather than the unset slot

    startUp(missing, missing);
    EXPECT_EQ(currentMeshIndex, 0);
    EXPECT_EQ(currentMesh, &meshes[0]); // the sphere
    EXPECT_TRUE(currentMesh->loaded);

    startUp(missing, good.c_str());
    EXPECT_FALSE(meshes[1].loaded);
    EXPECT_EQ(currentMesh, &meshes[2]);
    EXPECT_EQ(currentMeshIndex, 2);

    startUp(good.c_str(), good.c_str());
    EXPECT_EQ(currentMesh, &meshes[2]); // nothing to mend
    EXPECT_EQ(meshes[1].faces.size(), 1u);
    unlink(good.c_str());
}

TEST(MeshPrepare, fileSlotWhoseFittedCentroidLiesOutOfViewClampsWhereItIsDrawn)
{
    // 1 unit across, 1000 units up: scale 1.5, scale * centroid 1500 units up
    Loaded far = loadMeshText("Vertex 1 0 1000 0\nVertex 2 1 1000 0\nVertex 3 0 1001 0\nFace 1 1 2 3\n");
    EXPECT_TRUE(meshes[1].clampDrawnCentroid);
    Loaded near = loadMeshText("Vertex 1 0 1 0\nVertex 2 1 1 0\nVertex 3 0 2 0\nFace 1 1 2 3\n");
    EXPECT_FALSE(meshes[1].clampDrawnCentroid);
}
