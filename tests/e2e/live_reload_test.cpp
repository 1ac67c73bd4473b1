// Editing the shader files, and the files they include, while the viewer runs:
// every edit is either taken up or refused with a clear report, on the console
// and over the picture, and the viewer never ends for it.
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "viewer.h"
#include "waiting.h"

namespace {

// How often `text` occurs in `s`.
int occurrences(const std::string& s, const std::string& text)
{
    int n = 0;
    for (size_t at = s.find(text); at != std::string::npos; at = s.find(text, at + 1))
        n++;
    return n;
}

// `text` with the first `from` replaced by `to`.
std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// `text` with `line` inserted as its line number `number`.
std::string withLine(const std::string& text, int number, const std::string& line)
{
    size_t at = 0;
    for (int i = 1; i < number; i++)
        at = text.find('\n', at) + 1;
    return text.substr(0, at) + line + "\n" + text.substr(at);
}

const char RELOADED[] = "Reloaded vp_reflection.cg and fp_reflection.cg.\n";
const char REFUSED[] = "Shader reload failed; drawing with the previous programs.\n";

// Waits for the reload verdict `verdict` after `mark` and returns what the viewer
// printed up to it, moving `mark` past it; "" when none came within ten seconds.
std::string awaitVerdict(Viewer& viewer, const std::string& verdict, size_t& mark)
{
    std::string out;
    if (!waitUntil([&] { return (out = appStdout(viewer.app)).find(verdict, mark) != std::string::npos; },
                   10000))
        return "";
    const size_t at = out.find(verdict, mark);
    const std::string report = out.substr(mark, at + verdict.size() - mark);
    mark = at + verdict.size();
    return report;
}

} // namespace

TEST(LiveReload, editsComeInOrAreRefusedAndTheViewerAlwaysRunsOn)
{
    Viewer viewer;
    std::string why;
    ASSERT_TRUE(startViewer(viewer, why, {"MESHSHADE_STATE_REPORT=state.txt"})) << why;
    // state that must survive the reloads: the mesh shown, a panel value, a toggle, the camera
    ASSERT_TRUE(clickPanelControl(viewer, "Mesh"));
    ASSERT_TRUE(clickPanelControl(viewer, "Bunny"));
    ASSERT_TRUE(dragPanelField(viewer, "OtherShadingAmount", -30));
    drag(viewer, 2, 300, 300, 330, 300, 5); // zoom in a little
    Picture original = frame(viewer);
    // read once the picture holds still, so that the drag has come through whole
    const std::string weight = panelValue(viewer, "OtherShadingAmount");

    const std::string vpPath = viewer.dir + "/vp_reflection.cg", fpPath = viewer.dir + "/fp_reflection.cg";
    const std::string vpGood = readFile(vpPath), fpGood = readFile(fpPath);
    size_t mark = 0;

    const std::string swappedColours =
        fpGood.substr(0, fpGood.rfind('}')) + "    gl_FragColor.rgb = gl_FragColor.bgr;\n}\n";
    writeFile(fpPath, swappedColours);
    ASSERT_NE(awaitVerdict(viewer, RELOADED, mark), "") << appStdout(viewer.app);
    Picture swapped = frame(viewer);
    EXPECT_GT(countDifferent(original, swapped, 40, 150, 150, 450, 450), 3000);
    EXPECT_EQ(countDifferent(original, swapped, 12, 0, 0, 60, 60), 0);

    // an included file: an edit of it alone reloads both programs, and its
    // faults are told with its own name and line
    const std::string coloursPath = viewer.dir + "/colours.glsl";
    const std::string arranged =
        withLine(fpGood.substr(0, fpGood.rfind('}')), 2, "#include \"colours.glsl\"") +
        "    gl_FragColor.rgb = arrange(gl_FragColor.rgb);\n}\n";
    writeFile(coloursPath, "vec3 arrange(vec3 c)\n{\n    return c.rgb;\n}\n");
    writeFile(fpPath, arranged);
    ASSERT_NE(awaitVerdict(viewer, RELOADED, mark), "") << appStdout(viewer.app);
    EXPECT_LT(countDifferent(frame(viewer), original, 24), 600 * 600 / 200);
    writeFile(coloursPath, "vec3 arrange(vec3 c)\n{\n    return c.bgr;\n}\n");
    ASSERT_NE(awaitVerdict(viewer, RELOADED, mark), "") << appStdout(viewer.app);
    EXPECT_LT(countDifferent(frame(viewer), swapped, 24), 600 * 600 / 200);
    writeFile(coloursPath, "vec3 arrange(vec3 c)\n{\n    return c.bgr * notDeclared;\n}\n");
    std::string report = awaitVerdict(viewer, REFUSED, mark);
    EXPECT_NE(report.find("\ncolours.glsl:3("), std::string::npos) << report;

    // A refused reload shows over the top of the picture, at most a third of
    // it; the rest is drawn by the last good programs.
    const Picture refused = frame(viewer);
    EXPECT_GT(countDifferent(refused, swapped, 40, 0, 10, 600, 50), 560 * 40 * 9 / 10);
    EXPECT_LT(countDifferent(refused, swapped, 24, 0, 200, 600, 600), 600 * 400 / 200);

    // a broken edit: the compiler's report with the file's line, and the last good programs go on
    writeFile(fpPath, swappedColours + "broken here\n");
    report = awaitVerdict(viewer, REFUSED, mark);
    const int brokenLine = int(std::count(swappedColours.begin(), swappedColours.end(), '\n')) + 1;
    EXPECT_NE(report.find("fp_reflection.cg:" + std::to_string(brokenLine) + "("), std::string::npos)
        << report;
    EXPECT_TRUE(appRunning(viewer.app));
    // the box tells the new report
    EXPECT_GT(countDifferent(frame(viewer), refused, 40, 0, 45, 600, 90), 200);
    EXPECT_LT(countDifferent(frame(viewer), swapped, 24, 0, 200, 600, 600), 600 * 400 / 200);

    // Each edit below starts from the good files; the viewer must take it up or
    // refuse it with the report named, and go on drawing either way.
    struct Edit {
        const char* what;
        std::string vertex, fragment;
        const char* verdict;
        std::string report; // a line the report must hold
    };
    const Edit edits[] = {
        {"a varying the vertex program does not write", vpGood,
         withLine(replaced(fpGood, "gl_FragColor = vec4(colour * shadow, 1.0);",
                           "gl_FragColor = vec4(colour * shadow + notWritten, 1.0);"),
                  2, "varying vec3 notWritten;"),
         REFUSED, "fp_reflection.cg"},
        {"a parameter of another type",
         replaced(vpGood, "uniform vec4 lightPosition;", "uniform vec3 lightPosition;"), fpGood, REFUSED,
         "vp_reflection.cg: parameter `lightPosition' is declared `vec3'; the viewer needs `vec4'\n"
         "Unable to get program parameters from vertex shader\n"},
        {"a varying changed in both files",
         replaced(replaced(vpGood, "varying float eta;", "varying vec2 eta;"), "eta = etaRatio;",
                  "eta = vec2(etaRatio);"),
         replaced(replaced(fpGood, "varying float eta;", "varying vec2 eta;"), "refract(I, N, eta)",
                  "refract(I, N, eta.x)"),
         RELOADED, ""},
        {"a parameter declared only inside #if 0",
         replaced(vpGood, "uniform float aw;", "#if 0\nuniform float aw;\n#endif\nconst float aw = 1.0;"),
         fpGood, REFUSED, "vp_reflection.cg: parameter `aw' is not declared\n"},
        {"a parameter declared through a macro",
         replaced(vpGood, "uniform float aw;", "#define FLOAT_PARAM uniform float\nFLOAT_PARAM aw;"), fpGood,
         RELOADED, ""},
        {"#error in a file with #version", vpGood, withLine(fpGood, 10, "#error stop"), REFUSED,
         "fp_reflection.cg:10("},
        {"#error in a file without #version", vpGood,
         withLine(fpGood.substr(fpGood.find('\n') + 1), 7, "#error stop"), REFUSED, "fp_reflection.cg:7("},
        {"a block comment from the #version line on", vpGood,
         replaced(fpGood, "#version 120\n", "#version 120 /* the comment\n  goes on */\n"), RELOADED, ""},
        {"a byte-order mark", vpGood, "\xEF\xBB\xBF" + fpGood, RELOADED, ""},
        {"a NUL byte", vpGood, withLine(fpGood, 5, std::string("// \0", 4)), REFUSED,
         "fp_reflection.cg:5: error: a NUL byte"},
    };
    std::string vertexOnDisk = vpGood, fragmentOnDisk = swappedColours + "broken here\n";
    for (const Edit& edit : edits) {
        if (edit.vertex != vertexOnDisk) writeFile(vpPath, vertexOnDisk = edit.vertex);
        if (edit.fragment != fragmentOnDisk) writeFile(fpPath, fragmentOnDisk = edit.fragment);
        report = awaitVerdict(viewer, edit.verdict, mark);
        EXPECT_NE(report, "") << edit.what << ": no \"" << edit.verdict << "\" in\n" << appStdout(viewer.app);
        EXPECT_NE(report.find(edit.report), std::string::npos) << edit.what << ":\n" << report;
    }
    EXPECT_LT(countDifferent(frame(viewer), original, 24, 0, 200, 600, 600), 600 * 400 / 200);

    // files that are no text file at all: refused at once, never waited on or read without end
    const long peakBefore = residentKiB(viewer.app.pid, "VmHWM:");
    std::remove(fpPath.c_str());
    ASSERT_EQ(mkdir(fpPath.c_str(), 0755), 0);
    EXPECT_NE(awaitVerdict(viewer, REFUSED, mark).find("fp_reflection.cg: is a directory\n"),
              std::string::npos);
    rmdir(fpPath.c_str());
    ASSERT_EQ(mkfifo(fpPath.c_str(), 0644), 0);
    EXPECT_NE(awaitVerdict(viewer, REFUSED, mark).find("fp_reflection.cg: is a named pipe"),
              std::string::npos);
    std::remove(fpPath.c_str());
    ASSERT_EQ(symlink("/dev/zero", fpPath.c_str()), 0);
    EXPECT_NE(awaitVerdict(viewer, REFUSED, mark).find("fp_reflection.cg: is a device"), std::string::npos);
    EXPECT_LT(residentKiB(viewer.app.pid, "VmHWM:") - peakBefore, 64 * 1024);
    std::remove(fpPath.c_str());

    // mending the files brings the programs back, with the viewer's state as it
    // was, and takes the box away
    writeFile(vpPath, vpGood);
    writeFile(fpPath, fpGood);
    EXPECT_NE(awaitVerdict(viewer, RELOADED, mark), "");
    EXPECT_LT(countDifferent(frame(viewer), original, 24), 600 * 600 / 200);
    EXPECT_EQ(panelValue(viewer, "Mesh"), "Bunny");
    EXPECT_EQ(panelValue(viewer, "OtherShadingAmount"), weight);
    EXPECT_NE(readFile(viewer.dir + "/state.txt").find("mesh 1\n"), std::string::npos);
    EXPECT_EQ(occurrences(appStdout(viewer.app), RELOADED), 8);
    EXPECT_TRUE(appRunning(viewer.app));

    std::string errors = stopViewer(viewer);
    EXPECT_EQ(errors.find("OpenGL error"), std::string::npos) << errors;
}
