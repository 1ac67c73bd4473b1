// Start-up of the real program under a private Xvfb: the drawing window, and the
// required-extension check.
#include <gtest/gtest.h>

#include "app_run.h"
#include "x11_window.h"
#include "xvfb.h"

TEST(Startup, opensTheDrawingWindowAt600By600)
{
    sharedXvfb();
    std::string dir = makeWorkDir();
    AppRun app;
    ASSERT_TRUE(startApp(app, {programPath()}, dir));
    WindowInfo window;
    const bool found = findWindow("Mesh display", window, 20000);
    if (!found) stopApp(app);
    ASSERT_TRUE(found) << appStdout(app) << appStderr(app);
    EXPECT_EQ(window.width, 600);
    EXPECT_EQ(window.height, 600);
    EXPECT_EQ(window.x, 100);
    EXPECT_EQ(window.y, 100);
    EXPECT_TRUE(appRunning(app));
    stopApp(app);
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
