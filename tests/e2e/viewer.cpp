// The viewer under test, driven through the X server.
#include "viewer.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "xvfb.h"

static void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool startViewer(Viewer& viewer, std::string& why, const std::vector<std::string>& env,
                 void (*prepare)(const std::string& dir))
{
    sharedXvfb();
    viewer.dir = makeWorkDir();
    if (prepare) prepare(viewer.dir);
    viewer.layoutPath = viewer.dir + "/panel-layout.txt";
    std::vector<std::string> environment = {"MESHSHADE_CHECK_GL=1",
                                            "MESHSHADE_PANEL_LAYOUT=" + viewer.layoutPath};
    environment.insert(environment.end(), env.begin(), env.end());
    if (!startApp(viewer.app, {programPath()}, viewer.dir, environment)) {
        why = "cannot start " + programPath();
        return false;
    }
    if (!findWindow("Mesh display", viewer.window, 30000) || !findWindow("Controls", viewer.panel, 10000)) {
        why = "no windows; stdout: " + appStdout(viewer.app) + " stderr: " + appStderr(viewer.app);
        return false;
    }
    // the panel reports its layout once it has drawn a frame, after start-up is through
    for (int waited = 0; waited < 20000; waited += 50) {
        std::ifstream layout(viewer.layoutPath);
        if (layout.good() && layout.peek() != EOF) {
            sleepMs(300);
            return true;
        }
        if (!appRunning(viewer.app)) break;
        sleepMs(50);
    }
    why = "the viewer drew no frame; stdout: " + appStdout(viewer.app) + " stderr: " + appStderr(viewer.app);
    return false;
}

std::string stopViewer(Viewer& viewer)
{
    stopApp(viewer.app);
    removeDir(viewer.dir);
    return viewer.app.output ? appStderr(viewer.app) : std::string();
}

void chooseMenuEntry(Viewer& viewer, int index, int x, int y)
{
    clickAt(viewer.window, x, y, 3);
    sleepMs(300);
    // entries are about 25 pixels high and start at the pointer
    clickAt(viewer.window, x + 30, y + 12 + 25 * index, 1);
    sleepMs(300);
}

void chooseViewingEntry(Viewer& viewer, int index, int x, int y)
{
    clickAt(viewer.window, x, y, 3);
    sleepMs(300);
    // hover "Viewing" to open the submenu to the right, then slide across into it
    movePointer(viewer.window, x + 30, y + 12);
    sleepMs(300);
    for (int dx = 60; dx <= 200; dx += 35) {
        movePointer(viewer.window, x + dx, y + 12);
        sleepMs(80);
    }
    clickAt(viewer.window, x + 200, y + 12 + 25 * index, 1);
    sleepMs(300);
}

// Finds a control's line in the panel's report.
static bool panelLine(Viewer& viewer, const std::string& name, int& x, int& y, int& w, int& h,
                      std::string& value)
{
    for (int tries = 0; tries < 40; tries++) {
        std::ifstream layout(viewer.layoutPath);
        std::string line;
        while (std::getline(layout, line)) {
            std::istringstream fields(line);
            std::string control;
            if (fields >> control >> x >> y >> w >> h >> value && control == name) return true;
        }
        sleepMs(50);
    }
    return false;
}

bool panelControl(Viewer& viewer, const std::string& name, int& x, int& y, int& w, int& h)
{
    std::string value;
    return panelLine(viewer, name, x, y, w, h, value);
}

std::string panelValue(Viewer& viewer, const std::string& name)
{
    sleepMs(200); // a frame or two for the panel to show the latest value
    int x, y, w, h;
    std::string value;
    return panelLine(viewer, name, x, y, w, h, value) ? value : std::string();
}

bool clickPanelControl(Viewer& viewer, const std::string& name)
{
    int x, y, w, h;
    if (!panelControl(viewer, name, x, y, w, h)) return false;
    clickAt(viewer.panel, x + w / 2, y + h / 2, 1);
    sleepMs(200);
    return true;
}

Picture frame(Viewer& viewer, int delayMs)
{
    // A busy machine may be slow to draw what was just asked for: wait until the
    // picture holds still over three looks.
    Picture last = captureAfter(viewer.window, delayMs);
    int stable = 0;
    for (int tries = 0; tries < 30 && stable < 2; tries++) {
        Picture next = captureAfter(viewer.window, 150);
        stable = countDifferent(last, next, 0) == 0 ? stable + 1 : 0;
        last = std::move(next);
    }
    return last;
}

void drag(Viewer& viewer, int button, int x0, int y0, int x1, int y1, int steps)
{
    movePointer(viewer.window, x0, y0);
    sleepMs(50);
    pressButton(button);
    sleepMs(50);
    for (int i = 1; i <= steps; i++) {
        movePointer(viewer.window, x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
        sleepMs(30);
    }
    sleepMs(50);
    releaseButton(button);
    sleepMs(100);
}

bool dragPanelField(Viewer& viewer, const std::string& name, int dx)
{
    int x, y, w, h;
    if (!panelControl(viewer, name, x, y, w, h)) return false;
    const int cx = x + w / 2, cy = y + h / 2;
    // The panel reads input once a frame, and a sanitized build on a busy machine
    // draws few frames: it must see the press on the field and the last move
    // before the release.
    movePointer(viewer.panel, cx, cy);
    sleepMs(100);
    pressButton(1);
    sleepMs(250);
    const int steps = 12;
    for (int i = 1; i <= steps; i++) {
        movePointer(viewer.panel, cx + dx * i / steps, cy);
        sleepMs(40);
    }
    sleepMs(250);
    releaseButton(1);
    sleepMs(100);
    return true;
}

void ViewerTest::SetUp()
{
    std::string why;
    ASSERT_TRUE(startViewer(viewer, why)) << why;
}

void ViewerTest::TearDown()
{
    std::string errors = stopViewer(viewer);
    EXPECT_EQ(errors.find("OpenGL error"), std::string::npos) << errors;
}
