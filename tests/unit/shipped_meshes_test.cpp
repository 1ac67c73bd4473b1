// The two mesh files the viewer ships with: they load cleanly, hold what they
// should, and are closed surfaces seen from outside.
#include <gtest/gtest.h>

#include "mesh_test_files.h"
#include "mesh/vector_math.h"

namespace {

// Six times the enclosed volume: positive when the faces run counter-clockwise seen from outside.
double signedVolume(const Mesh& m)
{
    double volume = 0;
    for (const Face& f : m.faces) {
        const float* a = m.vertices[f.corners[0] - 1].position;
        const float* b = m.vertices[f.corners[1] - 1].position;
        const float* c = m.vertices[f.corners[2] - 1].position;
        float bc[3];
        crossProduct(b, c, bc);
        volume += dotProduct(a, bc);
    }
    return volume;
}

Loaded loadShipped(const char* name, int slot)
{
    restoreStartValues();
    Loaded r;
    r.path = std::string(MESHSHADE_DATA_DIR) + "/" + name;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    std::string why;
    EXPECT_TRUE(loadMeshSlot(slot, r.path.c_str(), why)) << why;
    r.err = testing::internal::GetCapturedStderr();
    r.out = testing::internal::GetCapturedStdout();
    return r;
}

} // namespace

TEST(ShippedMeshes, bunnyLoadsWithoutWarningAsAClosedOutwardSurface)
{
    Loaded r = loadShipped("bunny500.m", 1);
    const Mesh& m = meshes[1];
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "Reading coordinates from " + r.path + "\n");
    EXPECT_EQ(m.vertices.size(), 500u);
    EXPECT_EQ(m.faces.size(), 996u);
    EXPECT_GT(signedVolume(m), 0);
    // the fit leaves the normal lines (a hundredth of a unit) visible: a mesh about 0.2 across
    EXPECT_NEAR(m.extent, 0.2, 0.05);
    // its scaled centroid (0.61 up) lies in view: the view clamp stays on scale * centroid + offset
    EXPECT_FALSE(m.clampDrawnCentroid);
}

TEST(ShippedMeshes, aircraftLoadsWithoutWarningWithEveryFaceColoured)
{
    Loaded r = loadShipped("cessna_color500.m", 2);
    const Mesh& m = meshes[2];
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(r.err, "");
    EXPECT_NEAR(double(m.vertices.size()), 500, 50);
    EXPECT_GT(m.faces.size(), 800u);
    EXPECT_GT(signedVolume(m), 0);
    for (const Face& f : m.faces)
        ASSERT_TRUE(f.material.hasOwnMaterial);
    EXPECT_NEAR(m.extent, 0.2, 0.1);
    EXPECT_FALSE(m.clampDrawnCentroid);
}
