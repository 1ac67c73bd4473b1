// Start-up of the real program under a private Xvfb: the drawing window, and the
// required-extension check; and its end when a window or the display goes away.
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>
#include <gtest/gtest.h>

#include "app_run.h"
#include "viewer.h"
#include "waiting.h"
#include "x11_window.h"
#include "xvfb.h"

// The drawing window at 600 x 600, or the size --size gives; the panel beside it.
TEST(Startup, opensTheDrawingWindowAt600By600OrItsGivenSizeWithThePanelBeside)
{
    sharedXvfb();
    std::string dir = makeWorkDir();
    const struct {
        std::vector<std::string> args;
        int width, height, panelX;
    } cases[] = {{{}, 600, 600, 720}, {{"--size", "800x450"}, 800, 450, 920}};
    for (const auto& c : cases) {
        AppRun app;
        std::vector<std::string> command = {programPath()};
        command.insert(command.end(), c.args.begin(), c.args.end());
        ASSERT_TRUE(startApp(app, command, dir));
        WindowInfo window, panel;
        const bool found = findWindow("Mesh display", window, 20000) && findWindow("Controls", panel, 20000);
        if (!found) stopApp(app);
        ASSERT_TRUE(found) << appStdout(app) << appStderr(app);
        EXPECT_EQ(window.width, c.width);
        EXPECT_EQ(window.height, c.height);
        EXPECT_EQ(window.x, 100);
        EXPECT_EQ(window.y, 100);
        EXPECT_EQ(panel.x, c.panelX);
        EXPECT_EQ(panel.y, 100);
        EXPECT_TRUE(appRunning(app));
        stopApp(app);
    }
    removeDir(dir);
}

TEST(Startup, missingMultitextureIsReportedAndEndsWithFailure)
{
    sharedXvfb();
    std::string dir = makeWorkDir();
    AppRun app;
    ASSERT_TRUE(startApp(app, {programPath()}, dir, {std::string("LD_PRELOAD=") + HIDE_MULTITEXTURE_SHIM}));
    const bool ended = waitForExit(app, 20000);
    stopApp(app);
    ASSERT_TRUE(ended);
    EXPECT_EQ(app.exitStatus, 1);
    std::string out = appStdout(app);
    EXPECT_NE(out.find("Necessary extensions unsupported: GL_ARB_multitexture \n"), std::string::npos) << out;
    // it ends before the image library or any cube map is touched, and before the meshes
    EXPECT_EQ(out.find("Reading coordinates"), std::string::npos) << out;
    removeDir(dir);
}

namespace {

// What a window manager sends when the user closes a window.
void sendDeleteWindow(Window window)
{
    Display* display = testDisplay();
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
}

} // namespace

TEST(Ending, windowDestroyedByAnotherClientEndsAtOnceWithFailure)
{
    // it used to hang in some runs: ten fresh runs
    for (int run = 0; run < 10; run++) {
        Viewer viewer;
        std::string why;
        ASSERT_TRUE(startViewer(viewer, why)) << why;
        XDestroyWindow(testDisplay(), viewer.window.id);
        XSync(testDisplay(), False);
        EXPECT_TRUE(waitForExit(viewer.app, 2000)) << "run " << run;
        stopViewer(viewer);
        EXPECT_EQ(viewer.app.exitStatus, 1) << "run " << run;
        const std::string out = appStdout(viewer.app);
        EXPECT_NE(out.find("meshshade: a window was destroyed by another client: "), std::string::npos)
            << "run " << run << ": " << out;
    }
}

TEST(Ending, lostDisplayEndsAtOnceWithFailure)
{
    // a server of its own, killed under the running viewer
    const std::string shared = sharedXvfb().display;
    XvfbServer server;
    ASSERT_TRUE(startXvfb(server));
    setenv("DISPLAY", shared.c_str(), 1);
    const std::string dir = makeWorkDir();
    const std::string layout = dir + "/panel-layout.txt";
    AppRun app;
    bool drawing = startApp(app, {programPath()}, dir,
                            {"DISPLAY=" + server.display, "MESHSHADE_PANEL_LAYOUT=" + layout});
    // the panel reports its controls once the first frames are drawn
    drawing = drawing && waitUntil([&] { return !readFile(layout).empty() || !appRunning(app); }, 30000);
    drawing = drawing && appRunning(app) && !readFile(layout).empty();
    kill(server.pid, SIGKILL);
    waitpid(server.pid, nullptr, 0);
    server.pid = -1;
    const bool ended = drawing && waitForExit(app, 2000);
    stopApp(app);
    removeDir(dir);
    ASSERT_TRUE(drawing) << appStdout(app) << appStderr(app);
    EXPECT_TRUE(ended);
    EXPECT_EQ(app.exitStatus, 1);
    EXPECT_NE(appStdout(app).find("meshshade: the X display was lost\n"), std::string::npos)
        << appStdout(app);
}

TEST(Ending, windowManagerCloseOfEitherWindowEndsWithSuccess)
{
    for (bool panel : {false, true}) {
        Viewer viewer;
        std::string why;
        ASSERT_TRUE(startViewer(viewer, why)) << why;
        sendDeleteWindow(panel ? viewer.panel.id : viewer.window.id);
        EXPECT_TRUE(waitForExit(viewer.app, 2000)) << (panel ? "Controls" : "Mesh display");
        stopViewer(viewer);
        EXPECT_EQ(viewer.app.exitStatus, 0) << (panel ? "Controls" : "Mesh display");
        EXPECT_EQ(appStdout(viewer.app).find("meshshade:"), std::string::npos) << appStdout(viewer.app);
    }
}
