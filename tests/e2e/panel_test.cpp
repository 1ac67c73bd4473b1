// The "Controls" window driving the real viewer.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <gtest/gtest.h>

#include "viewer.h"
#include "waiting.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

struct PanelWindow : ViewerTest {
    void chooseMesh(const char* item)
    {
        ASSERT_TRUE(clickPanelControl(viewer, "Mesh"));
        ASSERT_TRUE(clickPanelControl(viewer, item)) << item;
        ASSERT_EQ(panelValue(viewer, "Mesh"), item);
    }
};

} // namespace

TEST_F(PanelWindow, showsBesideTheDrawingWindowWithItsStartValues)
{
    EXPECT_GE(viewer.panel.x, viewer.window.x + viewer.window.width);
    EXPECT_EQ(panelValue(viewer, "lightAmbientRed"), "0.600");
    EXPECT_EQ(panelValue(viewer, "lightSpecularBlue"), "0.800");
    EXPECT_EQ(panelValue(viewer, "materialSpecularBlue"), "0.400");
    EXPECT_EQ(panelValue(viewer, "Shininess"), "65.000");
    EXPECT_EQ(panelValue(viewer, "Eta"), "0.900");
    EXPECT_EQ(panelValue(viewer, "OtherShadingAmount"), "0.500");
    EXPECT_EQ(panelValue(viewer, "ShadowReduction"), "on");
    EXPECT_EQ(panelValue(viewer, "Mesh"), "Cessna");
    EXPECT_EQ(panelValue(viewer, "Sky1"), "on");
}

TEST_F(PanelWindow, lightColourSpinnerChangesThePicture)
{
    Picture before = frame(viewer);
    ASSERT_TRUE(dragPanelField(viewer, "lightDiffuseGreen", -400));
    EXPECT_EQ(panelValue(viewer, "lightDiffuseGreen"), "0.000");
    Picture after = frame(viewer);
    EXPECT_GT(countDifferent(before, after, 15, 100, 150, 500, 450), 1000);
    // the sky is not lit: it stays as it was
    EXPECT_EQ(countDifferent(before, after, 12, 0, 0, 80, 80), 0);
    ASSERT_TRUE(clickPanelControl(viewer, "DefaultLight"));
    EXPECT_EQ(panelValue(viewer, "lightDiffuseGreen"), "0.600");
}

TEST_F(PanelWindow, meshChoicesShowTheirMeshes)
{
    Picture cessna = frame(viewer);
    chooseMesh("Bunny");
    Picture bunny = frame(viewer);
    chooseMesh("Sphere");
    Picture sphere = frame(viewer);
    EXPECT_GT(countDifferent(cessna, bunny, 40, 150, 150, 450, 450), 20000);
    EXPECT_GT(countDifferent(bunny, sphere, 40, 150, 150, 450, 450), 10000);
    chooseMesh("Cessna");
    EXPECT_LT(countDifferent(frame(viewer), cessna, 24), 600 * 600 / 100);
}

TEST_F(PanelWindow, shaderToggleSwitchesOnlyTheCurrentMesh)
{
    Picture shadedCessna = frame(viewer);
    ASSERT_TRUE(clickPanelControl(viewer, "ShaderToggle"));
    Picture plainCessna = frame(viewer);
    EXPECT_GT(countDifferent(shadedCessna, plainCessna, 40, 100, 150, 500, 450), 3000);
    // the sphere starts without shaders and gets them; the aircraft keeps its own flag
    chooseMesh("Sphere");
    Picture plainSphere = frame(viewer);
    ASSERT_TRUE(clickPanelControl(viewer, "ShaderToggle"));
    Picture shadedSphere = frame(viewer);
    EXPECT_GT(countDifferent(plainSphere, shadedSphere, 40, 200, 200, 400, 400), 5000);
    chooseMesh("Cessna");
    EXPECT_LT(countDifferent(frame(viewer), plainCessna, 24), 600 * 600 / 100);
}

TEST_F(PanelWindow, defaultButtonsRestoreTheirValues)
{
    ASSERT_TRUE(dragPanelField(viewer, "PhongShadingAmount", -300));
    ASSERT_TRUE(dragPanelField(viewer, "materialDiffuseRed", -300));
    EXPECT_EQ(panelValue(viewer, "PhongShadingAmount"), "0.000");
    ASSERT_TRUE(clickPanelControl(viewer, "DefaultShading"));
    EXPECT_EQ(panelValue(viewer, "PhongShadingAmount"), "1.000");
    // not the start value 0.9
    EXPECT_EQ(panelValue(viewer, "Eta"), "0.980");
    ASSERT_TRUE(clickPanelControl(viewer, "DefaultMaterial"));
    EXPECT_EQ(panelValue(viewer, "materialDiffuseRed"), "0.900");
}

TEST_F(PanelWindow, spinnersStayWithinTheirLimits)
{
    ASSERT_TRUE(dragPanelField(viewer, "Shininess", 700));
    EXPECT_EQ(panelValue(viewer, "Shininess"), "100.000");
    ASSERT_TRUE(dragPanelField(viewer, "lightAmbientBlue", 700));
    EXPECT_EQ(panelValue(viewer, "lightAmbientBlue"), "1.000");
    // A quick drag: the press and a first move off the field reach the panel
    // before it draws again. The drag is still the pressed field's.
    int x, y, w, h;
    ASSERT_TRUE(panelControl(viewer, "Eta", x, y, w, h));
    movePointer(viewer.panel, x + w / 2, y + h / 2);
    waitFrames(viewer);
    pressButton(1);
    movePointer(viewer.panel, x - 10, y + h / 2);
    waitFrames(viewer);
    for (int left = 100; left <= 700; left += 100) {
        movePointer(viewer.panel, x - left, y + h / 2);
        waitFrames(viewer, 1);
    }
    waitFrames(viewer);
    releaseButton(1);
    EXPECT_EQ(panelValue(viewer, "Eta"), "0.000");
}

// The panel is drawn only when what it shows may have changed, and then always.
TEST_F(PanelWindow, mouseAndMenuChangesShowInThePanelWhichIsDrawnOnlyForThem)
{
    // The count once it holds still for 800 ms: the last change may still be
    // settling on a busy machine, but a panel drawn all the time never rests.
    auto framesAfterRest = [&] {
        std::string before = panelValue(viewer, "PanelFrames"), after;
        for (int tries = 0; tries < 6; tries++, before = after) {
            sleepMs(800);
            after = panelValue(viewer, "PanelFrames");
            if (after == before) return std::stol(after);
        }
        ADD_FAILURE() << "the panel was drawn on while nothing in it changed";
        return -1L;
    };
    const long atStart = framesAfterRest();
    // a drag in the drawing window changes nothing the panel shows; before any
    // menu choice it orbits the camera, so the sky turns too
    const Picture before = frame(viewer);
    drag(viewer, 1, 300, 300, 360, 320);
    EXPECT_GT(countDifferent(before, frame(viewer), 12, 0, 0, 60, 60), 100);
    EXPECT_EQ(framesAfterRest(), atStart);

    // input in the panel
    ASSERT_TRUE(dragPanelField(viewer, "lightAmbientRed", -400));
    EXPECT_EQ(panelValue(viewer, "lightAmbientRed"), "0.000");
    const long afterDrag = framesAfterRest();
    EXPECT_GT(afterDrag, atStart);
    // a value changed from the drawing window's menu: "Reset Light" after a colour edit
    chooseMenuEntry(viewer, 8); // "Reset Light"
    EXPECT_EQ(panelValue(viewer, "lightAmbientRed"), "0.600");
    const long afterMenu = framesAfterRest();
    EXPECT_GT(afterMenu, afterDrag);

    // an open list goes on being drawn without input, a frame for every frame of
    // the drawing window (a panel at rest draws three at most); closed, the
    // panel rests again
    ASSERT_TRUE(clickPanelControl(viewer, "Mesh"));
    const long listOpen = std::stol(panelValue(viewer, "PanelFrames"));
    ASSERT_TRUE(waitFrames(viewer, 10));
    EXPECT_GT(std::stol(panelValue(viewer, "PanelFrames")), listOpen + 5);
    ASSERT_TRUE(clickPanelControl(viewer, "Cessna"));
    EXPECT_GT(framesAfterRest(), afterMenu);
}

TEST_F(PanelWindow, ctrlClickTypesAValueAndAnEarlierShiftDoesNotSpeedDrags)
{
    // Shift held for a key in the panel, then let go: a later drag runs at the normal pace
    int x, y, w, h;
    ASSERT_TRUE(panelControl(viewer, "DefaultShading", x, y, w, h));
    movePointer(viewer.panel, x + w + 60, y + h / 2);
    typeKey(XK_a, true);
    ASSERT_TRUE(dragPanelField(viewer, "lightAmbientRed", -20));
    const float red = std::stof(panelValue(viewer, "lightAmbientRed"));
    EXPECT_GT(red, 0.45f);
    EXPECT_LT(red, 0.6f);

    // Ctrl-click turns a field into text entry; it is typed into once it shows as such
    ASSERT_TRUE(panelControl(viewer, "Eta", x, y, w, h));
    movePointer(viewer.panel, x + w / 2, y + h / 2);
    const Picture hovered = captureAfterFrames(viewer, viewer.panel, 3);
    Display* display = testDisplay();
    const KeyCode ctrl = XKeysymToKeycode(display, XK_Control_L);
    XTestFakeKeyEvent(display, ctrl, True, CurrentTime);
    clickAt(viewer.panel, x + w / 2, y + h / 2, 1);
    waitUntil(
        [&] {
            const Picture now = captureAfterFrames(viewer, viewer.panel, 1);
            return countDifferent(hovered, now, 20, x, y, x + w, y + h) > 0;
        },
        3000, 0);
    XTestFakeKeyEvent(display, ctrl, False, CurrentTime);
    for (unsigned long key : {XK_0, XK_period, XK_2, XK_5, XK_Return})
        typeKey(key);
    EXPECT_EQ(panelValue(viewer, "Eta"), "0.250");
}

TEST(PanelMeshList, showsTheMeshThatIsDrawnWhenTheAircraftFileIsMissing)
{
    Viewer viewer;
    std::string why;
    ASSERT_TRUE(startViewer(viewer, why, {}, [](const std::string& dir) {
        std::remove((dir + "/cessna_color500.m").c_str());
    })) << why;
    EXPECT_EQ(panelValue(viewer, "Mesh"), "Bunny");
    // the missing mesh can be chosen: it falls back to the sphere, and the list follows
    ASSERT_TRUE(clickPanelControl(viewer, "Mesh"));
    ASSERT_TRUE(clickPanelControl(viewer, "Cessna"));
    EXPECT_TRUE(waitForStdout(viewer.app, "Object not initialized. Defaulting to shpere.\n", 3000));
    EXPECT_EQ(panelValue(viewer, "Mesh"), "Sphere");
    stopViewer(viewer);
}
