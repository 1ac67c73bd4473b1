// What the drawing window shows: the aircraft in front of the sky, the sky
// sets, outlines, normal lines, the projections, the sphere, a missing face.
#include <cstdio>
#include <gtest/gtest.h>

#include "viewer.h"

namespace {

// Menu entries, by position in the main menu.
enum { ENTRY_SCALE_MESH = 2, ENTRY_RESET_ALL = 7 };
// "Viewing" entries
enum { VIEW_PROJECTION = 0, VIEW_NORMALS = 1, VIEW_FILLING = 2 };

struct Render : ViewerTest {
    // The sky alone: the mesh scaled down to nothing, then everything reset.
    Picture skyOnly()
    {
        chooseMenuEntry(viewer, ENTRY_SCALE_MESH);
        drag(viewer, 1, 590, 300, 5, 300, 20);
        Picture sky = frame(viewer);
        chooseMenuEntry(viewer, ENTRY_RESET_ALL);
        return sky;
    }
};

bool reddish(const unsigned char* c)
{
    return c[0] > c[1] + 60 && c[0] > c[2] + 60;
}

} // namespace

TEST_F(Render, firstFrameShowsTheAircraftInTheCentreWithTheSkyAround)
{
    Picture first = frame(viewer);
    Picture sky = skyOnly();
    Picture again = frame(viewer);
    // the mesh covers a good part of the centre and none of the corners
    int centre = countDifferent(first, sky, 40, 200, 200, 400, 400);
    EXPECT_GT(centre, 200 * 200 / 10);
    EXPECT_EQ(countDifferent(first, sky, 12, 0, 0, 60, 60), 0);
    EXPECT_EQ(countDifferent(first, sky, 12, 540, 540, 600, 600), 0);
    // blue sky above, and the reset brings the first picture back
    RegionStats top = regionStats(sky, 0, 0, 600, 100);
    EXPECT_GT(top.meanB, top.meanR + 30);
    EXPECT_LT(countDifferent(first, again, 24), 600 * 600 / 100);
}

TEST_F(Render, skySetsLookDifferent)
{
    Picture day = frame(viewer);
    size_t mark = appStdout(viewer.app).size();
    ASSERT_TRUE(clickPanelControl(viewer, "Sky2"));
    ASSERT_TRUE(waitForStdout(viewer.app, "1\n", 5000, mark));
    Picture dusk = frame(viewer);
    RegionStats a = regionStats(day, 0, 0, 600, 120), b = regionStats(dusk, 0, 0, 600, 120);
    EXPECT_GT(std::abs(a.meanB - b.meanB) + std::abs(a.meanR - b.meanR), 60);
    mark = appStdout(viewer.app).size();
    ASSERT_TRUE(clickPanelControl(viewer, "Lobby"));
    ASSERT_TRUE(waitForStdout(viewer.app, "2\n", 5000, mark));
    Picture lobby = frame(viewer);
    EXPECT_GT(countDifferent(lobby, dusk, 40), 600 * 600 / 2);
    mark = appStdout(viewer.app).size();
    ASSERT_TRUE(clickPanelControl(viewer, "Sky1"));
    ASSERT_TRUE(waitForStdout(viewer.app, "0\n", 5000, mark));
    EXPECT_LT(countDifferent(frame(viewer), day, 24), 600 * 600 / 100);
}

TEST_F(Render, outlinesDrawFarFewerMeshPixelsThanFilledFaces)
{
    // the bunny, large on screen; without the shaders it is plainly lit, far from the sky's colours
    ASSERT_TRUE(clickPanelControl(viewer, "Mesh"));
    ASSERT_TRUE(clickPanelControl(viewer, "Bunny"));
    ASSERT_TRUE(clickPanelControl(viewer, "ShaderToggle"));
    Picture sky = skyOnly();
    int filled = countDifferent(frame(viewer), sky, 30);
    chooseViewingEntry(viewer, VIEW_FILLING);
    int outlined = countDifferent(frame(viewer), sky, 30);
    EXPECT_GT(filled, 5000);
    EXPECT_GT(outlined, 300);
    EXPECT_LT(outlined, filled / 2);
}

TEST_F(Render, normalLinesAddPixels)
{
    Picture plain = frame(viewer);
    chooseViewingEntry(viewer, VIEW_NORMALS);
    Picture normals = frame(viewer);
    int added = countDifferent(normals, plain, 40);
    EXPECT_GT(added, 1500);
    chooseViewingEntry(viewer, VIEW_NORMALS);
    EXPECT_LT(countDifferent(frame(viewer), plain, 24), added / 10);
}

TEST_F(Render, bunnyNormalLinesAreRedWithoutShaders)
{
    ASSERT_TRUE(clickPanelControl(viewer, "Mesh"));
    ASSERT_TRUE(clickPanelControl(viewer, "Bunny"));
    ASSERT_TRUE(clickPanelControl(viewer, "ShaderToggle"));
    Picture plain = frame(viewer);
    chooseViewingEntry(viewer, VIEW_NORMALS);
    Picture normals = frame(viewer);
    // the fixed-function lines take the panel material: red
    int redBefore = countPixels(plain, reddish), redAfter = countPixels(normals, reddish);
    EXPECT_GT(redAfter, redBefore + 300);
}

TEST_F(Render, orthographicAndPerspectiveFramesDiffer)
{
    Picture perspective = frame(viewer);
    chooseViewingEntry(viewer, VIEW_PROJECTION);
    Picture orthographic = frame(viewer);
    EXPECT_GT(countDifferent(perspective, orthographic, 40), 600 * 600 / 10);
    chooseViewingEntry(viewer, VIEW_PROJECTION);
    EXPECT_LT(countDifferent(frame(viewer), perspective, 24), 600 * 600 / 100);
}

TEST_F(Render, sphereSlotShowsARoundDiscSolidOrWire)
{
    Picture sky = skyOnly();
    ASSERT_TRUE(clickPanelControl(viewer, "Mesh"));
    ASSERT_TRUE(clickPanelControl(viewer, "Sphere"));
    Picture solid = frame(viewer);
    // a disc about the window centre: as wide as it is high
    int left = 600, right = -1, top = 600, bottom = -1;
    for (int yy = 0; yy < 600; yy++)
        for (int xx = 0; xx < 600; xx++) {
            const unsigned char *a = solid.at(xx, yy), *b = sky.at(xx, yy);
            if (std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) > 60) {
                left = std::min(left, xx), right = std::max(right, xx);
                top = std::min(top, yy), bottom = std::max(bottom, yy);
            }
        }
    ASSERT_GT(right, left);
    EXPECT_NEAR((left + right) / 2.0, 300, 8);
    EXPECT_NEAR((top + bottom) / 2.0, 300, 8);
    EXPECT_NEAR(right - left, bottom - top, 10);
    EXPECT_GT(right - left, 150);
    int solidPixels = countDifferent(solid, sky, 30);
    chooseViewingEntry(viewer, VIEW_FILLING);
    int wirePixels = countDifferent(frame(viewer), sky, 30);
    EXPECT_LT(wirePixels, solidPixels);
    EXPECT_GT(wirePixels, 1000);
}

TEST(RenderFiles, missingCubeMapFaceIsReportedAndTheViewerRunsOn)
{
    Viewer viewer;
    std::string why;
    ASSERT_TRUE(startViewer(viewer, why, {}, [](const std::string& dir) {
        std::remove((dir + "/cubemaps/sky_posy.bmp").c_str());
    })) << why;
    Picture picture = frame(viewer);
    EXPECT_TRUE(appRunning(viewer.app));
    std::string errors = stopViewer(viewer);
    EXPECT_NE(errors.find("cubemaps/sky_posy.bmp"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("OpenGL error"), std::string::npos) << errors;
    EXPECT_GT(picture.width, 0);
}
