// The viewer under test, driven through the X server. Each step waits, with a
// deadline, on what the viewer shows it has done: frames drawn, a menu window
// mapped or gone, a panel report written.
#include "viewer.h"

#include <cstdlib>

#include "panel_layout.h"
#include "waiting.h"
#include "xvfb.h"

namespace {

// What the viewer may take for anything it is asked, a sanitized build on a
// loaded machine included (milliseconds).
const int DEADLINE_MS = 10000;
// Frames for input to come through: the frame being drawn when an event arrives
// may not have seen it, the next one has.
const int EVENT_FRAMES = 2;
// A click in the panel acts a frame after the press (the release is held back a
// frame) and shows in the frame after that.
const int PANEL_FRAMES = 4;

// Whether the top-level window at the drawing-window point (x, y) is a menu: a
// popup menu is a window of its own, mapped over the drawing window.
bool menuAt(const Viewer& viewer, int x, int y)
{
    const Window shown = windowAt(viewer.window.x + x, viewer.window.y + y);
    return shown != 0 && shown != viewer.window.id;
}

} // namespace

bool startViewer(Viewer& viewer, std::string& why, const std::vector<std::string>& env,
                 void (*prepare)(const std::string& dir))
{
    sharedXvfb();
    viewer.dir = makeWorkDir();
    if (prepare) prepare(viewer.dir);
    viewer.layoutPath = viewer.dir + "/panel-layout.txt";
    if (!openFrameCounter(viewer.frames, viewer.dir + "/frame-count")) {
        why = "cannot make a frame counter in " + viewer.dir;
        return false;
    }
    std::vector<std::string> environment = {"MESHSHADE_CHECK_GL=1",
                                            "MESHSHADE_PANEL_LAYOUT=" + viewer.layoutPath};
    // the counter is preloaded in front of whatever the test preloads
    std::string preload;
    for (const std::string& e : env)
        if (e.rfind("LD_PRELOAD=", 0) == 0)
            preload = e.substr(11);
        else
            environment.push_back(e);
    for (const std::string& e : frameCounterEnvironment(viewer.frames, preload))
        environment.push_back(e);
    std::vector<std::string> command = {programPath()};
    command.insert(command.end(), viewer.args.begin(), viewer.args.end());
    if (!startApp(viewer.app, command, viewer.dir, environment)) {
        why = "cannot start " + programPath();
        return false;
    }
    if (!findWindow("Mesh display", viewer.window, 30000) || !findWindow("Controls", viewer.panel, 10000)) {
        why = "no windows; stdout: " + appStdout(viewer.app) + " stderr: " + appStderr(viewer.app);
        return false;
    }
    // the panel reports its layout once it has drawn a frame, after start-up is through
    waitUntil([&] { return !readFile(viewer.layoutPath).empty() || !appRunning(viewer.app); }, 20000);
    if (!readFile(viewer.layoutPath).empty() && waitFrames(viewer, EVENT_FRAMES)) return true;
    why = "the viewer drew no frame; stdout: " + appStdout(viewer.app) + " stderr: " + appStderr(viewer.app);
    return false;
}

std::string stopViewer(Viewer& viewer)
{
    stopApp(viewer.app);
    closeFrameCounter(viewer.frames);
    removeDir(viewer.dir);
    return viewer.app.output ? appStderr(viewer.app) : std::string();
}

bool waitForMenu(Viewer& viewer, int x, int y, bool open)
{
    return waitUntil([&] { return menuAt(viewer, x, y) == open || !appRunning(viewer.app); }, DEADLINE_MS) &&
           appRunning(viewer.app);
}

bool waitFrames(Viewer& viewer, int count, int timeoutMs)
{
    const uint64_t until = framesDrawn(viewer.frames) + uint64_t(count);
    return waitUntil([&] { return framesDrawn(viewer.frames) >= until || !appRunning(viewer.app); },
                     timeoutMs, 5) &&
           framesDrawn(viewer.frames) >= until;
}

void chooseMenuEntry(Viewer& viewer, int index, int x, int y)
{
    // entries are about 25 pixels high and start at the pointer
    const int entryX = x + 30, entryY = y + 12 + 25 * index;
    clickAt(viewer.window, x, y, 3);
    waitForMenu(viewer, entryX, entryY, true);
    clickAt(viewer.window, entryX, entryY, 1);
    waitForMenu(viewer, entryX, entryY, false);
    waitFrames(viewer, EVENT_FRAMES);
}

void chooseViewingEntry(Viewer& viewer, int index, int x, int y)
{
    const int entryX = x + 200, entryY = y + 12 + 25 * index;
    clickAt(viewer.window, x, y, 3);
    waitForMenu(viewer, x + 30, y + 12, true);
    // hover "Viewing" to open the submenu to the right, then slide across into it
    movePointer(viewer.window, x + 30, y + 12);
    waitForMenu(viewer, entryX, entryY, true);
    for (int dx = 60; dx <= 200; dx += 35) {
        movePointer(viewer.window, x + dx, y + 12);
        waitFrames(viewer, 1);
    }
    clickAt(viewer.window, entryX, entryY, 1);
    waitForMenu(viewer, entryX, entryY, false);
    waitFrames(viewer, EVENT_FRAMES);
}

// Finds a control in the panel's report once it stays put over a frame: a list
// that opens may be placed anew in its second frame.
static bool panelLine(Viewer& viewer, const std::string& name, PanelControl& control)
{
    PanelControl last;
    bool listed = false;
    for (int tries = 0; tries < 20; tries++) {
        const bool now = readPanelControl(viewer.layoutPath, name, control);
        if (now && listed && control.x == last.x && control.y == last.y && control.width == last.width &&
            control.height == last.height)
            return true;
        listed = now;
        last = control;
        if (!waitFrames(viewer, 1)) break;
    }
    return false;
}

bool panelControl(Viewer& viewer, const std::string& name, int& x, int& y, int& w, int& h)
{
    PanelControl control;
    if (!panelLine(viewer, name, control)) return false;
    x = control.x, y = control.y, w = control.width, h = control.height;
    return true;
}

std::string panelValue(Viewer& viewer, const std::string& name)
{
    // the panel shows the latest value in the frames after a change
    waitFrames(viewer, EVENT_FRAMES);
    PanelControl control;
    return panelLine(viewer, name, control) ? control.value : std::string();
}

bool clickPanelControl(Viewer& viewer, const std::string& name)
{
    int x, y, w, h;
    if (!panelControl(viewer, name, x, y, w, h)) return false;
    clickAt(viewer.panel, x + w / 2, y + h / 2, 1);
    waitFrames(viewer, PANEL_FRAMES);
    return true;
}

Picture frame(Viewer& viewer, int delayMs)
{
    // What was asked for shows in the frames after; a picture that holds still
    // over three looks a frame or more apart has it all.
    if (delayMs > 0) sleepMs(delayMs);
    waitFrames(viewer, EVENT_FRAMES);
    Picture last = capture(viewer.window);
    for (int tries = 0, stable = 0; tries < 30 && stable < 2; tries++) {
        waitFrames(viewer, EVENT_FRAMES);
        Picture next = capture(viewer.window);
        stable = countDifferent(last, next, 0) == 0 ? stable + 1 : 0;
        last = std::move(next);
    }
    return last;
}

Picture captureAfterFrames(Viewer& viewer, const WindowInfo& window, int frames)
{
    waitFrames(viewer, frames);
    return capture(window);
}

void drag(Viewer& viewer, int button, int x0, int y0, int x1, int y1, int steps)
{
    // one event a frame, as a hand would send them
    movePointer(viewer.window, x0, y0);
    waitFrames(viewer, 1);
    pressButton(button);
    waitFrames(viewer, 1);
    for (int i = 1; i <= steps; i++) {
        movePointer(viewer.window, x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
        waitFrames(viewer, 1);
    }
    releaseButton(button);
    waitFrames(viewer, EVENT_FRAMES);
}

bool dragPanelField(Viewer& viewer, const std::string& name, int dx)
{
    int x, y, w, h;
    if (!panelControl(viewer, name, x, y, w, h)) return false;
    // Two presses within a few pixels (6) and ImGui's double-click time (0.3 s,
    // by the panel's frames, which the driver cannot see) open the field's text
    // entry instead of a drag: a drag one way and then the other on one field
    // would press twice in one place. So a press never lands where the last did.
    static int lastX = -100, lastY = -100;
    int px = x + w / 2;
    const int py = y + h / 2;
    if (std::abs(px - lastX) < 10 && std::abs(py - lastY) < 10) px = lastX < px ? px + 10 : px - 10;
    lastX = px, lastY = py;
    // The panel reads input once a frame: it must see the pointer on the field,
    // then the press, and the last move before the release, each in a frame of
    // its own; the moves between come about a frame apart, as from a hand.
    movePointer(viewer.panel, px, py);
    waitFrames(viewer, EVENT_FRAMES);
    pressButton(1);
    waitFrames(viewer, EVENT_FRAMES);
    const int steps = 12;
    for (int i = 1; i <= steps; i++) {
        movePointer(viewer.panel, px + dx * i / steps, py);
        waitFrames(viewer, i == steps ? EVENT_FRAMES : 1);
    }
    releaseButton(1);
    waitFrames(viewer, EVENT_FRAMES);
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
