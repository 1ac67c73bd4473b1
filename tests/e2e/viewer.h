// The real viewer under a private Xvfb, for end-to-end tests: started in a
// temporary working directory with copies of its files, with the OpenGL error
// check on and the panel reporting where its controls are.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app_run.h"
#include "frame_counter.h"
#include "x11_window.h"

struct Viewer {
    std::string dir;               // its working directory
    std::vector<std::string> args; // command-line arguments, set before startViewer
    AppRun app;
    WindowInfo window;      // "Mesh display"
    WindowInfo panel;       // "Controls"
    std::string layoutPath; // where the panel writes its control positions
    FrameCounter frames;    // frames the drawing window has drawn
    // A test that stops early must not leave the viewer running.
    ~Viewer()
    {
        stopApp(app);
        closeFrameCounter(frames);
    }
};

// Starts the viewer in a fresh working directory (prepared by `prepare`, which
// may change or delete files first) and waits for both windows and the first
// frames. False, with the reason in `why`, when it does not come up.
bool startViewer(Viewer& viewer, std::string& why, const std::vector<std::string>& env = {},
                 void (*prepare)(const std::string& dir) = nullptr);
// Ends the viewer (if still running) and removes its directory. Returns the
// standard error text, in which the OpenGL check reports its errors.
std::string stopViewer(Viewer& viewer);

// Waits until the viewer has drawn `count` more frames; both windows redraw every
// frame, so input sent before has come through once two have. False when the
// viewer ended or the time ran out first.
bool waitFrames(Viewer& viewer, int count = 2, int timeoutMs = 10000);

// Waits until a popup menu covers the drawing-window point (x, y) (`open`), or
// until none does; false when the viewer ended or the time ran out first.
bool waitForMenu(Viewer& viewer, int x, int y, bool open);

// Popup menu of the drawing window: right click at the window point (x, y),
// then a left click on entry `index` (0 "Viewing", 1 "Translate Mesh", ...).
void chooseMenuEntry(Viewer& viewer, int index, int x = 40, int y = 40);
// The same for entry `index` of the "Viewing" submenu (0 "Toggle Projection", ...).
void chooseViewingEntry(Viewer& viewer, int index, int x = 40, int y = 40);

// Where the panel control `name` is (panel pixels), from the panel's report.
bool panelControl(Viewer& viewer, const std::string& name, int& x, int& y, int& w, int& h);
// What a panel control shows now ("0.600", "on", "Cessna", ...); "" when it is not shown.
std::string panelValue(Viewer& viewer, const std::string& name);
// Clicks the middle of a panel control; false when the panel does not show it.
bool clickPanelControl(Viewer& viewer, const std::string& name);

// Main-window picture once what was asked for shows and it holds still over a
// few frames. `delayMs` adds a pause first, for a change the viewer gives no sign
// of. For a picture that moves, wait on frames and capture.
Picture frame(Viewer& viewer, int delayMs = 0);
// A window's picture after the viewer has drawn `frames` more frames.
Picture captureAfterFrames(Viewer& viewer, const WindowInfo& window, int frames);
// A drag in the drawing window with `button` (1 left, 2 middle), in `steps` motion events.
void drag(Viewer& viewer, int button, int x0, int y0, int x1, int y1, int steps = 10);
// A horizontal drag over a panel field by `dx` pixels, slow enough for the panel to follow.
bool dragPanelField(Viewer& viewer, const std::string& name, int dx);

// A test with the viewer started as a user starts it, ended afterwards with a
// check that no frame had an OpenGL error.
struct ViewerTest : testing::Test {
    Viewer viewer;
    void SetUp() override;
    void TearDown() override;
};
