// Editing the shader files while the viewer runs.
#include <chrono>
#include <thread>
#include <gtest/gtest.h>

#include "viewer.h"

namespace {

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// How often `text` occurs in `s`.
int occurrences(const std::string& s, const std::string& text)
{
    int n = 0;
    for (size_t at = s.find(text); at != std::string::npos; at = s.find(text, at + 1))
        n++;
    return n;
}

const char RELOADED[] = "Reloaded vp_reflection.cg and fp_reflection.cg.\n";

} // namespace

TEST(LiveReload, editedProgramsComeInAndABrokenEditKeepsTheLastGoodOnes)
{
    Viewer viewer;
    std::string why;
    ASSERT_TRUE(startViewer(viewer, why, {"MESHSHADE_STATE_REPORT=state.txt"})) << why;
    // state that must survive the reloads: the mesh shown, a panel value, a toggle, the camera
    ASSERT_TRUE(clickPanelControl(viewer, "Mesh"));
    ASSERT_TRUE(clickPanelControl(viewer, "Bunny"));
    ASSERT_TRUE(dragPanelField(viewer, "OtherShadingAmount", -30));
    const std::string weight = panelValue(viewer, "OtherShadingAmount");
    drag(viewer, 2, 300, 300, 330, 300, 5); // zoom in a little
    Picture original = frame(viewer);

    const std::string path = viewer.dir + "/fp_reflection.cg";
    const std::string good = readFile(path);
    const std::string edited =
        good.substr(0, good.rfind('}')) + "    gl_FragColor.rgb = gl_FragColor.bgr;\n}\n";
    writeFile(path, edited);
    ASSERT_TRUE(waitForStdout(viewer.app, RELOADED, 5000)) << appStdout(viewer.app);
    Picture swapped = frame(viewer);
    EXPECT_GT(countDifferent(original, swapped, 40, 150, 150, 450, 450), 3000);
    EXPECT_EQ(countDifferent(original, swapped, 12, 0, 0, 60, 60), 0);

    // a broken edit: the compiler's report with the file's line, and the last good programs go on
    size_t mark = appStdout(viewer.app).size();
    writeFile(path, edited + "broken here\n");
    ASSERT_TRUE(
        waitForStdout(viewer.app, "Shader reload failed; drawing with the previous programs.\n", 5000));
    std::string report = appStdout(viewer.app).substr(mark);
    const int brokenLine = int(std::count(edited.begin(), edited.end(), '\n')) + 1;
    EXPECT_NE(report.find("fp_reflection.cg:" + std::to_string(brokenLine)), std::string::npos) << report;
    EXPECT_TRUE(appRunning(viewer.app));
    EXPECT_LT(countDifferent(frame(viewer), swapped, 24), 600 * 600 / 200);

    // programs that compile alone but do not fit together are refused the same way
    mark = appStdout(viewer.app).size();
    const size_t afterVersion = edited.find('\n') + 1;
    writeFile(path, edited.substr(0, afterVersion) + "varying vec3 notWrittenByTheVertexProgram;\n" +
                        edited.substr(afterVersion, edited.rfind('}') - afterVersion) +
                        "    gl_FragColor.rgb += notWrittenByTheVertexProgram;\n}\n");
    for (int i = 0; i < 100 && appStdout(viewer.app).find("Shader reload failed", mark) == std::string::npos;
         i++)
        sleepMs(50);
    EXPECT_NE(appStdout(viewer.app).find("Shader reload failed", mark), std::string::npos);
    EXPECT_TRUE(appRunning(viewer.app));

    // mending the file brings the programs back
    writeFile(path, good);
    for (int i = 0; i < 100 && occurrences(appStdout(viewer.app), RELOADED) < 2; i++)
        sleepMs(50);
    EXPECT_EQ(occurrences(appStdout(viewer.app), RELOADED), 2);
    EXPECT_LT(countDifferent(frame(viewer), original, 24), 600 * 600 / 200);
    EXPECT_EQ(panelValue(viewer, "Mesh"), "Bunny");
    EXPECT_EQ(panelValue(viewer, "OtherShadingAmount"), weight);
    EXPECT_NE(readFile(viewer.dir + "/state.txt").find("mesh 1\n"), std::string::npos);

    std::string errors = stopViewer(viewer);
    EXPECT_EQ(errors.find("OpenGL error"), std::string::npos) << errors;
}
