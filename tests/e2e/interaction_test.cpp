// The mouse, the popup menu and the keys in the real window.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include "viewer.h"
#include "waiting.h"

namespace {

enum {
    ENTRY_TRANSLATE_MESH = 1,
    ENTRY_SCALE_MESH,
    ENTRY_ROTATE_MESH,
    ENTRY_TRANSLATE_LIGHT_XY,
    ENTRY_TRANSLATE_LIGHT_Z,
    ENTRY_ROTATE_CAMERA,
    ENTRY_RESET_ALL,
    ENTRY_RESET_LIGHT,
    ENTRY_HELP,
    ENTRY_EXIT,
};

const char HELP_TEXT[] = "\n---Help Menu---\n\nh - help menu\nq - quit\n\n"
                         "All other control aspects of the program are either attached to the mouse\n"
                         "buttons or the control window.  The menu attached to the right mouse button\n"
                         "has the functions for the left mouse button, viewing options, and other\n"
                         "utility type functions.  The middle mouse button controls camera zooming."
                         "\n\n---------------\n\n";

// A region of the screen after `act`, once it has changed and then holds still
// over two looks: a menu that opens.
template <typename Act> Picture screenAfter(int x, int y, int width, int height, Act act)
{
    const Picture before = captureScreen(x, y, width, height);
    act();
    Picture last = before;
    for (int waited = 0; waited < 3000 && countDifferent(before, last, 0) == 0; waited += 50) {
        sleepMs(50);
        last = captureScreen(x, y, width, height);
    }
    for (int tries = 0, stable = 0; tries < 30 && stable < 2; tries++) {
        sleepMs(100);
        Picture next = captureScreen(x, y, width, height);
        stable = countDifferent(last, next, 0) == 0 ? stable + 1 : 0;
        last = std::move(next);
    }
    return last;
}

struct Interaction : ViewerTest {
    // Standard output written after `mark` characters.
    std::string outputSince(size_t mark) { return appStdout(viewer.app).substr(mark); }
};

// Where the brightest pixels of the sphere (radius about 120 pixels about the
// window's centre) are: its highlight.
void highlightCentre(const Picture& p, double& cx, double& cy)
{
    auto onSphere = [](int x, int y) { return (x - 300) * (x - 300) + (y - 300) * (y - 300) < 100 * 100; };
    auto brightness = [&p](int x, int y) { return p.at(x, y)[0] + p.at(x, y)[1] + p.at(x, y)[2]; };
    int brightest = 0;
    for (int y = 150; y < 450; y++)
        for (int x = 150; x < 450; x++)
            if (onSphere(x, y)) brightest = std::max(brightest, brightness(x, y));
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = 150; y < 450; y++)
        for (int x = 150; x < 450; x++)
            if (onSphere(x, y) && brightness(x, y) >= brightest - 12) {
                sx += x, sy += y, n++;
            }
    cx = sx / n;
    cy = sy / n;
}

} // namespace

TEST_F(Interaction, everyModeEntryPrintsItsMessage)
{
    // The first menu of a run, and its "Viewing" submenu, are drawn where their
    // entries are from the start: no black band on top, no black box. The main
    // menu, drawn again once the submenu has opened, keeps its own size.
    const WindowInfo& window = viewer.window;
    Picture firstRow =
        screenAfter(window.x + 40, window.y + 40, 150, 20, [&] { clickAt(window, 40, 40, 3); });
    EXPECT_GT(regionStats(firstRow, 60, 3, 150, 18).meanR, 50);
    Picture menus = screenAfter(window.x + 40, window.y + 40, 285, 75, [&] { movePointer(window, 70, 52); });
    EXPECT_GT(regionStats(menus, 175, 5, 285, 75).meanR, 50) << "the submenu";
    EXPECT_GT(regionStats(menus, 60, 3, 150, 18).meanR, 50) << "the main menu's first row";
    clickAt(viewer.window, 70, 52 + 25 * ENTRY_TRANSLATE_MESH, 1);
    ASSERT_TRUE(waitForStdout(viewer.app, "Translate Mode\n", 3000));

    const struct {
        int entry;
        const char* line;
    } modes[] = {{ENTRY_TRANSLATE_MESH, "Translate Mode\n"},
                 {ENTRY_SCALE_MESH, "Scale Mode\n"},
                 {ENTRY_ROTATE_MESH, "Rotate Mode\n"},
                 {ENTRY_TRANSLATE_LIGHT_XY, "Translate Light Mode\n"},
                 {ENTRY_TRANSLATE_LIGHT_Z, "Translate Light Depth Mode\n"},
                 {ENTRY_ROTATE_CAMERA, "Camera Rotate Mode\n"}};
    for (const auto& mode : modes) {
        size_t mark = appStdout(viewer.app).size();
        chooseMenuEntry(viewer, mode.entry);
        ASSERT_TRUE(waitForStdout(viewer.app, mode.line, 3000, mark));
        EXPECT_EQ(outputSince(mark), mode.line);
    }
}

TEST_F(Interaction, resetsPrintTheirTwoLinesInOrder)
{
    size_t mark = appStdout(viewer.app).size();
    chooseMenuEntry(viewer, ENTRY_RESET_ALL);
    ASSERT_TRUE(waitForStdout(viewer.app, "Resetting all...\n", 3000));
    EXPECT_EQ(outputSince(mark), "Resetting All...\nResetting all...\n");
    mark = appStdout(viewer.app).size();
    chooseMenuEntry(viewer, ENTRY_RESET_LIGHT);
    ASSERT_TRUE(waitForStdout(viewer.app, "Resetting the Light...\n", 3000));
    EXPECT_EQ(outputSince(mark), "Resetting lighting...\nResetting the Light...\n");
}

TEST_F(Interaction, helpEntryAndHKeysPrintTheHelpText)
{
    size_t mark = appStdout(viewer.app).size();
    chooseMenuEntry(viewer, ENTRY_HELP);
    ASSERT_TRUE(waitForStdout(viewer.app, "---------------\n\n", 3000));
    EXPECT_EQ(outputSince(mark), HELP_TEXT);
    for (bool shift : {false, true}) {
        mark = appStdout(viewer.app).size();
        movePointer(viewer.window, 300, 300);
        typeKey(XK_h, shift);
        waitUntil([&] { return outputSince(mark).size() >= sizeof HELP_TEXT - 1; }, 3000);
        EXPECT_EQ(outputSince(mark), HELP_TEXT) << (shift ? "H" : "h");
    }
    // other keys only redraw
    mark = appStdout(viewer.app).size();
    typeKey(XK_x);
    typeKey(XK_space);
    ASSERT_TRUE(waitFrames(viewer));
    EXPECT_EQ(outputSince(mark), "");
    EXPECT_TRUE(appRunning(viewer.app));
}

TEST_F(Interaction, exitEntryPrintsAndEndsWithSuccess)
{
    size_t mark = appStdout(viewer.app).size();
    chooseMenuEntry(viewer, ENTRY_EXIT);
    ASSERT_TRUE(waitForExit(viewer.app, 5000));
    EXPECT_EQ(viewer.app.exitStatus, 0);
    EXPECT_EQ(outputSince(mark), "Exiting...\n");
}

TEST_F(Interaction, leftDragInRotateMeshTurnsWhileHeldAndStopsOnReleaseOrMenu)
{
    chooseMenuEntry(viewer, ENTRY_ROTATE_MESH);
    movePointer(viewer.window, 300, 300);
    pressButton(1);
    waitFrames(viewer, 1);
    movePointer(viewer.window, 306, 300);
    waitFrames(viewer);
    // held still: every frame turns the mesh further
    Picture a = captureAfterFrames(viewer, viewer.window, 1);
    Picture b = captureAfterFrames(viewer, viewer.window, 10);
    EXPECT_GT(countDifferent(a, b, 30, 150, 150, 450, 450), 500);
    // the sky does not move with the mesh
    EXPECT_EQ(countDifferent(a, b, 12, 0, 0, 80, 80), 0);
    releaseButton(1);
    Picture c = frame(viewer), d = captureAfterFrames(viewer, viewer.window, 10);
    EXPECT_LT(countDifferent(c, d, 30), 50);

    // a menu opened during a drag takes the left release: the turning stops all the same
    movePointer(viewer.window, 300, 300);
    pressButton(1);
    waitFrames(viewer, 1);
    movePointer(viewer.window, 306, 300);
    waitFrames(viewer);
    // in place: another motion event, even to the same point, would end the turning itself
    pressButton(3);
    releaseButton(3);
    ASSERT_TRUE(waitForMenu(viewer, 336, 312, true));
    releaseButton(1);
    // the menu opens at the pointer and covers the window's lower right quarter
    waitFrames(viewer);
    Picture e = captureAfterFrames(viewer, viewer.window, 1);
    Picture f = captureAfterFrames(viewer, viewer.window, 10);
    EXPECT_LT(countDifferent(e, f, 30, 100, 150, 290, 450), 20);
    const size_t mark = appStdout(viewer.app).size();
    clickAt(viewer.window, 336, 312 + 25 * ENTRY_SCALE_MESH, 1);
    ASSERT_TRUE(waitForStdout(viewer.app, "Scale Mode\n", 3000)) << outputSince(mark);
}

TEST_F(Interaction, middleDragZoomsTheMeshLarger)
{
    Picture before = frame(viewer);
    // right and up move the eye toward the target
    drag(viewer, 2, 200, 400, 320, 280, 12);
    Picture after = frame(viewer);
    // the aircraft now reaches closer to the window's left and right edges
    auto span = [](const Picture& picture, const Picture& reference) {
        int left = 600, right = -1;
        for (int y = 150; y < 450; y++)
            for (int x = 0; x < 600; x++)
                if (std::abs(picture.at(x, y)[0] - reference.at(x, y)[0]) > 40) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        return right - left;
    };
    // what differs between the two frames is the mesh, bigger in the second
    EXPECT_GT(countDifferent(before, after, 40), 5000);
    EXPECT_GT(span(after, before), 300);
}

TEST_F(Interaction, lightDragMovesTheHighlight)
{
    // the sphere under the fixed-function light shows a clear highlight
    ASSERT_TRUE(clickPanelControl(viewer, "Mesh"));
    ASSERT_TRUE(clickPanelControl(viewer, "Sphere"));
    Picture before = frame(viewer);
    chooseMenuEntry(viewer, ENTRY_TRANSLATE_LIGHT_XY);
    // left and down: the light moves to -x and -y, and the highlight with it
    drag(viewer, 1, 300, 300, 200, 400, 10);
    Picture after = frame(viewer);
    double x0, y0, x1, y1;
    highlightCentre(before, x0, y0);
    highlightCentre(after, x1, y1);
    EXPECT_LT(x1, x0 - 20);
    EXPECT_GT(y1, y0 + 20);
}

TEST_F(Interaction, quitKeysEndSilentlyWithSuccess)
{
    std::string why;
    for (unsigned long key : {XK_q, XK_Q, XK_Escape}) {
        if (!appRunning(viewer.app)) {
            stopViewer(viewer);
            ASSERT_TRUE(startViewer(viewer, why)) << why;
        }
        size_t mark = appStdout(viewer.app).size();
        movePointer(viewer.window, 300, 300);
        typeKey(key, key == XK_Q);
        ASSERT_TRUE(waitForExit(viewer.app, 5000)) << key;
        EXPECT_EQ(viewer.app.exitStatus, 0);
        EXPECT_EQ(outputSince(mark), "");
    }
}
