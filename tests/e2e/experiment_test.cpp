// A shading experiment of one's own in the real viewer: the programs' own
// parameters become panel controls whose values survive reloads, the inputs
// reach the programs, start values and time come from the command line, and
// the shipped examples load and answer their parameters.
#include <cmath>
#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include "viewer.h"
#include "waiting.h"
#include "xvfb.h"

namespace {

// A toon shader of one's own: it declares only some of the shipped programs'
// parameters (and misspells one), and parameters of every kind of its own.
const char EXPERIMENT_VP[] =
    "#version 120\n"
    "uniform mat4 modelViewProj;\n"
    "uniform mat4 modelView;\n"
    "uniform mat4 modelViewIT;\n"
    "uniform vec4 lightPosition;\n"
    "uniform vec3 diffColour; // colour\n"
    "varying vec3 normal;\n"
    "varying vec3 toLight;\n"
    "void vp_reflection()\n"
    "{\n"
    "    gl_Position = modelViewProj * gl_Vertex;\n"
    "    normal = (modelViewIT * vec4(gl_Normal, 0.0)).xyz;\n"
    "    toLight = lightPosition.xyz - (modelView * gl_Vertex).xyz + 0.01 * diffColour;\n"
    "}\n";
const char EXPERIMENT_FP[] = "#version 120\n"
                             "uniform float bands = 4.0; // min=1 max=16 step=1\n"
                             "uniform vec3 tint = vec3(1.0, 0.5, 0.2); // colour\n"
                             "uniform int count = 3;\n"
                             "uniform bvec2 flags = bvec2(true, false);\n"
                             "uniform mat3 turn;\n"
                             "uniform float odd; // min=5 max=1\n"
                             "uniform float u_time;\n"
                             "uniform vec2 u_mouse;\n"
                             "varying vec3 normal;\n"
                             "varying vec3 toLight;\n"
                             "void fp_reflection()\n"
                             "{\n"
                             "    float d = max(dot(normalize(normal), normalize(toLight)), 0.0);\n"
                             "    vec3 c = tint * floor(d * bands) / bands;\n"
                             "    c += 0.01 * vec3(float(count), flags.x ? 1.0 : 0.0, odd);\n"
                             "    c += 0.01 * (turn[0] + fract(u_time));\n"
                             "    // a green dot under the pointer\n"
                             "    if (distance(gl_FragCoord.xy, u_mouse) < 4.0) c = vec3(0.0, 1.0, 0.0);\n"
                             "    gl_FragColor = vec4(c, 1.0);\n"
                             "}\n";

const char RELOADED[] = "Reloaded vp_reflection.cg and fp_reflection.cg.\n";

// Waits for the next "Reloaded" after `mark` and moves `mark` past it.
bool awaitReload(Viewer& viewer, size_t& mark)
{
    if (!waitForStdout(viewer.app, RELOADED, 10000, mark)) return false;
    mark = appStdout(viewer.app).find(RELOADED, mark) + sizeof RELOADED - 1;
    return true;
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

int greenPixels(const Picture& p, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            n += p.at(x, y)[0] < 40 && p.at(x, y)[1] > 215 && p.at(x, y)[2] < 40;
    return n;
}

} // namespace

TEST(Experiment, ownParametersAreControlsWhoseValuesSurviveReloads)
{
    Viewer viewer;
    // any option lets the programs leave out parameters of the shipped ones;
    // --time pauses time, so the pictures hold still
    viewer.args = {"--time", "0", "--set", "count=2"};
    std::string why;
    ASSERT_TRUE(startViewer(viewer, why, {}, [](const std::string& dir) {
        writeFile(dir + "/vp_reflection.cg", EXPERIMENT_VP);
        writeFile(dir + "/fp_reflection.cg", EXPERIMENT_FP);
    })) << why;
    const std::string fpPath = viewer.dir + "/fp_reflection.cg";
    size_t mark = 0;

    // Start-up: a control for each parameter of the programs' own, named after
    // it, with its initializer (or the --set value); none for what the viewer feeds
    EXPECT_EQ(panelValue(viewer, "YourParameters"), "open");
    EXPECT_EQ(panelValue(viewer, "bands"), "4.000");
    EXPECT_EQ(panelValue(viewer, "tint.r") + panelValue(viewer, "tint.g") + panelValue(viewer, "tint.b"),
              "1.0000.5000.200");
    EXPECT_EQ(panelValue(viewer, "tint"), "colour");
    EXPECT_EQ(panelValue(viewer, "count"), "2.000");
    EXPECT_EQ(panelValue(viewer, "flags.x") + panelValue(viewer, "flags.y"), "onoff");
    EXPECT_EQ(panelValue(viewer, "turn"), "not-editable");
    EXPECT_EQ(panelValue(viewer, "diffColour"), "colour");
    EXPECT_EQ(panelValue(viewer, "PauseTime"), "on");
    for (const char* fed : {"lightPosition", "modelView", "u_time", "u_mouse"})
        EXPECT_EQ(panelValue(viewer, fed), "") << fed;
    EXPECT_NE(appStderr(viewer.app).find("fp_reflection.cg:7: `odd': min=5 is above max=1"),
              std::string::npos)
        << appStderr(viewer.app);
    // every control of the shipped panel still shows, above the new section
    int x, y, w, h;
    ASSERT_TRUE(panelControl(viewer, "ShaderToggle", x, y, w, h));
    ASSERT_TRUE(updateWindowInfo(viewer.panel));
    EXPECT_LE(y + h, viewer.panel.height);

    // The pointer over the drawing window is u_mouse, counted from the bottom left
    movePointer(viewer.window, 300, 300);
    Picture start = frame(viewer);
    EXPECT_GT(greenPixels(start, 295, 295, 306, 306), 20);
    movePointer(viewer.window, 5, 5);
    start = frame(viewer);
    EXPECT_EQ(greenPixels(start, 0, 0, 600, 600), 0);

    // A drag on "bands" changes the picture at once, in whole steps
    ASSERT_TRUE(dragPanelField(viewer, "bands", 60));
    const std::string dragged = panelValue(viewer, "bands");
    const float bands = std::stof(dragged);
    EXPECT_GT(bands, 4.5f);
    EXPECT_EQ(bands, std::round(bands));
    const Picture banded = frame(viewer);
    EXPECT_GT(countDifferent(start, banded, 20, 100, 100, 500, 500), 500);

    // An unrelated edit keeps the dragged value and the picture
    const std::string edited = std::string(EXPERIMENT_FP) + "// an unrelated edit\n";
    writeFile(fpPath, edited);
    ASSERT_TRUE(awaitReload(viewer, mark)) << appStdout(viewer.app);
    EXPECT_EQ(panelValue(viewer, "bands"), dragged);
    EXPECT_LT(countDifferent(frame(viewer), banded, 24), 600 * 600 / 200);

    // A new initializer in the file is the new value
    writeFile(fpPath, replaced(edited, "bands = 4.0", "bands = 3.0"));
    ASSERT_TRUE(awaitReload(viewer, mark)) << appStdout(viewer.app);
    EXPECT_EQ(panelValue(viewer, "bands"), "3.000");
    EXPECT_EQ(panelValue(viewer, "count"), "2.000");

    // "Default Parameters" brings back every initializer
    ASSERT_TRUE(dragPanelField(viewer, "tint.g", -200));
    EXPECT_EQ(panelValue(viewer, "tint.g"), "0.000");
    ASSERT_TRUE(clickPanelControl(viewer, "DefaultParameters"));
    EXPECT_EQ(panelValue(viewer, "tint.g"), "0.500");
    EXPECT_EQ(panelValue(viewer, "count"), "3.000");

    std::string errors = stopViewer(viewer);
    EXPECT_EQ(errors.find("OpenGL error"), std::string::npos) << errors;
}

namespace {

Picture readPng(const std::string& path)
{
    Picture picture;
    int channels = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &picture.width, &picture.height, &channels, 3);
    if (!pixels) return Picture();
    picture.rgb.assign(pixels, pixels + size_t(picture.width) * size_t(picture.height) * 3);
    stbi_image_free(pixels);
    return picture;
}

// The picture --screenshot writes with these arguments of a square facing the
// camera, shaded red by the time's fraction, green across the window by
// u_resolution and blue by a parameter.
Picture screenshot(const std::vector<std::string>& arguments, int& status, std::string& errors)
{
    sharedXvfb();
    const std::string dir = makeWorkDir();
    writeFile(dir + "/square.m", "Vertex 1 -1 -1 0\nVertex 2 1 -1 0\nVertex 3 1 1 0\nVertex 4 -1 1 0\n"
                                 "Face 1 1 2 3\nFace 2 1 3 4\n");
    writeFile(dir + "/vp_reflection.cg", "#version 120\n"
                                         "void vp_reflection() { gl_Position = ftransform(); }\n");
    writeFile(dir + "/fp_reflection.cg",
              "#version 120\n"
              "uniform float u_time;\n"
              "uniform vec2 u_resolution;\n"
              "uniform float level = 0.5;\n"
              "void fp_reflection()\n"
              "{\n"
              "    gl_FragColor = vec4(fract(u_time), gl_FragCoord.x / u_resolution.x, level, 1.0);\n"
              "}\n");
    std::vector<std::string> command = {programPath(), "--size", "200x100", "--screenshot",
                                        dir + "/shot.png"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    command.push_back(dir + "/square.m");
    AppRun app;
    EXPECT_TRUE(startApp(app, command, dir));
    EXPECT_TRUE(waitForExit(app, 30000));
    status = app.exitStatus;
    errors = appStderr(app);
    Picture picture = readPng(dir + "/shot.png");
    removeDir(dir);
    return picture;
}

} // namespace

TEST(Experiment, setAndTimeGiveTheSamePictureOnEveryRun)
{
    int status = -1;
    std::string errors;
    const Picture first = screenshot({"--time", "2.25", "--set", "level=1"}, status, errors);
    EXPECT_EQ(status, 0) << errors;
    ASSERT_EQ(first.width, 200);
    const Picture again = screenshot({"--set", "level=1", "--time", "2.25"}, status, errors);
    EXPECT_EQ(countDifferent(first, again, 0), 0);
    // red is the time's fraction and blue the --set value on the square; green
    // follows x across the window's width
    const unsigned char* middle = first.at(100, 50);
    EXPECT_NEAR(middle[0], 64, 3);
    EXPECT_NEAR(middle[1], 128, 3);
    EXPECT_EQ(middle[2], 255);
    EXPECT_NEAR(first.at(120, 50)[1], 154, 3);

    // another time is another picture; an undeclared name is a warning, a wrong
    // number of values a usage error
    const Picture later = screenshot({"--time", "2.5"}, status, errors);
    EXPECT_NEAR(later.at(100, 50)[0], 128, 3);
    EXPECT_NEAR(later.at(100, 50)[2], 128, 3);
    screenshot({"--set", "lavel=1"}, status, errors);
    EXPECT_EQ(status, 0);
    EXPECT_NE(errors.find("--set lavel=1: the programs declare no parameter `lavel'"), std::string::npos)
        << errors;
    screenshot({"--set", "level=1,2"}, status, errors);
    EXPECT_EQ(status, 2);
    EXPECT_NE(errors.find("`level' is a float and takes 1 value"), std::string::npos) << errors;
}

namespace {

// The picture --screenshot writes of the bunny shaded by a shipped example,
// started in an empty folder, as from the repository's: everything but the
// example's programs comes from the shipped files.
Picture exampleScreenshot(const std::string& example, const std::vector<std::string>& arguments, int& status,
                          std::string& errors)
{
    sharedXvfb();
    const std::string dir = makeTempDir();
    std::vector<std::string> command = {programPath(),    "--shaders", MESHSHADE_EXAMPLES_DIR "/" + example,
                                        "--size",         "200x200",   "--screenshot",
                                        dir + "/shot.png"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    command.push_back(runDirectory() + "/bunny500.m");
    AppRun app;
    EXPECT_TRUE(startApp(app, command, dir, {"MESHSHADE_CHECK_GL=1"}));
    EXPECT_TRUE(waitForExit(app, 30000));
    status = app.exitStatus;
    errors = appStderr(app);
    Picture picture = readPng(dir + "/shot.png");
    removeDir(dir);
    return picture;
}

} // namespace

TEST(Experiment, shippedExamplesLoadCleanlyAndAnswerTheirParameters)
{
    // each example as shipped, then with one of its own parameters (or the time) changed
    struct Run {
        const char* example;
        std::vector<std::string> shipped, changed;
    } runs[] = {
        {"toon", {}, {"--set", "bands=1"}},
        {"rim", {}, {"--set", "rimStrength=0"}},
        {"stripes", {"--time", "1"}, {"--time", "1.4"}},
        {"marble", {}, {"--set", "turbulence=0"}},
    };
    for (const Run& run : runs) {
        int status = -1;
        std::string errors;
        const Picture shipped = exampleScreenshot(run.example, run.shipped, status, errors);
        EXPECT_EQ(status, 0) << run.example << ": " << errors;
        // no annotation the viewer does not understand, no OpenGL error
        EXPECT_EQ(errors, "") << run.example;
        ASSERT_EQ(shipped.width, 200) << run.example;
        const Picture changed = exampleScreenshot(run.example, run.changed, status, errors);
        EXPECT_EQ(status, 0) << run.example << ": " << errors;
        EXPECT_GT(countDifferent(shipped, changed, 30, 50, 50, 150, 150), 400) << run.example;
    }

    // a folder that is not there ends the viewer at once, with one line
    int status = -1;
    std::string errors;
    exampleScreenshot("tooon", {}, status, errors);
    EXPECT_EQ(status, 1);
    EXPECT_NE(
        errors.find("meshshade: --shaders " MESHSHADE_EXAMPLES_DIR "/tooon: No such file or directory\n"),
        std::string::npos)
        << errors;
}
