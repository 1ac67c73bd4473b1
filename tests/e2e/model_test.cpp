// A user's own model on the command line: the options and exit statuses, the
// --screenshot picture, and one viewer run that shows the model fitted in the
// middle, lists it in the panel and takes up edits of the file live.
#include <chrono>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <thread>
#include <gtest/gtest.h>
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include "model_files.h"
#include "viewer.h"
#include "waiting.h"
#include "xvfb.h"

namespace {

// A closed cube of side 4 about (1002, -998, 2), far from the origin and wound
// inward, with the colour `material` of model.mtl ("green" or "red").
std::string cubeObj(const std::string& material)
{
    return "mtllib model.mtl\nusemtl " + material + "\n" + objText(cubeModel(1000, -1000, 0, 4, true));
}
const char MTL[] = "newmtl green\nKd 0.1 0.9 0.1\nnewmtl red\nKd 0.9 0.1 0.1\n";

struct Ended {
    int status = -1;
    std::string out, err;
};

// Runs the program with `args` in `dir` until it ends by itself.
Ended runToEnd(const std::string& dir, const std::vector<std::string>& args)
{
    sharedXvfb();
    AppRun app;
    std::vector<std::string> command = {programPath()};
    command.insert(command.end(), args.begin(), args.end());
    Ended ended;
    EXPECT_TRUE(startApp(app, command, dir));
    EXPECT_TRUE(waitForExit(app, 60000)) << (args.empty() ? "" : args[0]);
    stopApp(app);
    ended.status = app.exitStatus;
    ended.out = appStdout(app);
    ended.err = appStderr(app);
    return ended;
}

// Mean colour of the middle 100 x 100 pixels, where a fitted mesh is drawn.
RegionStats middle(const Picture& p)
{
    return regionStats(p, p.width / 2 - 50, p.height / 2 - 50, p.width / 2 + 50, p.height / 2 + 50);
}

bool greenish(const RegionStats& s)
{
    return s.meanG > s.meanR + 25 && s.meanG > s.meanB + 25;
}

bool reddish(const RegionStats& s)
{
    return s.meanR > s.meanG + 25 && s.meanR > s.meanB + 25;
}

} // namespace

TEST(CommandLine, optionsAndModelsThatCannotBeShownEndWithTheirStatusAndOneMessage)
{
    const std::string dir = makeWorkDir();
    writeFile(dir + "/model.obj", cubeObj("green"));
    writeFile(dir + "/model.mtl", MTL);
    writeFile(dir + "/lines.obj", "v 0 0 0\nv 1 0 0\nl 1 2\n");

    Ended help = runToEnd(dir, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: meshshade [options] [MODEL]\n", 0), 0u) << help.out;
    EXPECT_NE(help.out.find("  --screenshot FILE "), std::string::npos) << help.out;
    EXPECT_NE(help.out.find(".png, .jpg or .jpeg, .bmp, .tga"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("  --size WxH "), std::string::npos) << help.out;
    EXPECT_EQ(help.err, "");

    Ended unknown = runToEnd(dir, {"--frobnicate", "model.obj"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err.rfind("meshshade: unknown option --frobnicate\nUsage: meshshade", 0), 0u)
        << unknown.err;
    EXPECT_EQ(unknown.out, "");
    Ended noValue = runToEnd(dir, {"model.obj", "--init="});
    EXPECT_EQ(noValue.status, 2);
    EXPECT_EQ(
        noValue.err.rfind("meshshade: --init needs the name of the folder to make\nUsage: meshshade", 0), 0u)
        << noValue.err;
    // a size the window cannot have, a picture format that is not written: nothing starts
    const std::string sizeProblem = ": give WIDTHxHEIGHT in pixels, each 16 to 4096, such as 800x450\n";
    const std::string formatProblem =
        ": the file's extension names the picture's format: .png, .jpg (or .jpeg), .bmp, .tga\n";
    const struct {
        std::vector<std::string> args;
        std::string message;
    } refused[] = {
        {{"--size", "0x600"}, "--size 0x600" + sizeProblem},
        {{"--size=-640x480"}, "--size -640x480" + sizeProblem},
        {{"--size", "800x4097"}, "--size 800x4097" + sizeProblem},
        {{"--size", "99999999999x2"}, "--size 99999999999x2" + sizeProblem},
        {{"--size", "800"}, "--size 800" + sizeProblem},
        {{"--size", "800x450x2"}, "--size 800x450x2" + sizeProblem},
        {{"--screenshot", "shot.gif"}, "--screenshot shot.gif" + formatProblem},
        {{"--screenshot", "shot"}, "--screenshot shot" + formatProblem},
    };
    for (const auto& c : refused) {
        std::vector<std::string> args = c.args;
        args.push_back("model.obj");
        Ended ended = runToEnd(dir, args);
        EXPECT_EQ(ended.status, 2) << c.args[0];
        EXPECT_EQ(ended.err.rfind("meshshade: " + c.message + "Usage: meshshade", 0), 0u) << ended.err;
    }
    struct stat absent;
    EXPECT_NE(stat((dir + "/shot.gif").c_str(), &absent), 0);

    // one line naming the path and the reason, and no window: never the default scene
    const struct {
        std::string model, message;
    } unreadable[] = {
        {"absent.obj", "meshshade: cannot show absent.obj: No such file or directory\n"},
        {".", "meshshade: cannot show .: is a directory\n"},
        {"lines.obj",
         "meshshade: cannot show lines.obj: it holds no faces (points and lines are not drawn)\n"},
    };
    for (const auto& c : unreadable) {
        Ended ended = runToEnd(dir, {c.model});
        EXPECT_EQ(ended.status, 1) << c.model;
        EXPECT_EQ(ended.err, c.message);
        EXPECT_EQ(ended.out.find("Reading coordinates"), std::string::npos) << ended.out;
    }

    // --screenshot: the drawing window's picture, the model fitted in the middle
    Ended shot = runToEnd(dir, {"--screenshot", "shot.png", "model.obj"});
    EXPECT_EQ(shot.status, 0) << shot.err;
    EXPECT_NE(shot.out.find("model.obj: the faces were wound inward; turned outward\n"), std::string::npos)
        << shot.out;
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load((dir + "/shot.png").c_str(), &width, &height, &channels, 3);
    ASSERT_TRUE(pixels);
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.rgb.assign(pixels, pixels + size_t(width) * height * 3);
    stbi_image_free(pixels);
    EXPECT_EQ(width, 600);
    EXPECT_EQ(height, 600);
    RegionStats centre = middle(picture);
    EXPECT_TRUE(greenish(centre)) << centre.meanR << " " << centre.meanG << " " << centre.meanB;
    // the corners show the sky, not the model
    RegionStats corner = regionStats(picture, 0, 0, 40, 40);
    EXPECT_FALSE(greenish(corner));

    // --size and a JPEG picture: the whole wide window, the model still in the middle
    Ended wide = runToEnd(dir, {"--size", "800x450", "--screenshot", "wide.JPG", "model.obj"});
    EXPECT_EQ(wide.status, 0) << wide.err;
    EXPECT_NE(wide.out.find("Wrote wide.JPG (800 x 450 pixels).\n"), std::string::npos) << wide.out;
    const std::string jpeg = readFile(dir + "/wide.JPG");
    EXPECT_EQ(jpeg.substr(0, 3), "\xFF\xD8\xFF");
    pixels = stbi_load((dir + "/wide.JPG").c_str(), &width, &height, &channels, 3);
    ASSERT_TRUE(pixels);
    Picture widePicture;
    widePicture.width = width;
    widePicture.height = height;
    widePicture.rgb.assign(pixels, pixels + size_t(width) * height * 3);
    stbi_image_free(pixels);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 450);
    centre = middle(widePicture);
    EXPECT_TRUE(greenish(centre)) << centre.meanR << " " << centre.meanG << " " << centre.meanB;
    for (int x : {0, 760}) {
        corner = regionStats(widePicture, x, 0, x + 40, 40);
        EXPECT_FALSE(greenish(corner)) << x;
    }

    // --sky: a panorama of one colour is the sky all round; one that cannot be read ends with 1
    std::vector<float> panorama(64 * 32 * 3);
    for (size_t i = 0; i < panorama.size(); i += 3) {
        panorama[i] = 0.9f;
        panorama[i + 1] = 0.02f;
        panorama[i + 2] = 0.8f;
    }
    ASSERT_TRUE(stbi_write_hdr((dir + "/sky.hdr").c_str(), 64, 32, 3, panorama.data()));
    Ended sky = runToEnd(dir, {"--sky", "sky.hdr", "--screenshot", "sky.png", "model.obj"});
    EXPECT_EQ(sky.status, 0) << sky.err;
    pixels = stbi_load((dir + "/sky.png").c_str(), &width, &height, &channels, 3);
    ASSERT_TRUE(pixels);
    picture.rgb.assign(pixels, pixels + size_t(width) * height * 3);
    stbi_image_free(pixels);
    corner = regionStats(picture, 0, 0, 40, 40);
    EXPECT_TRUE(corner.meanR > 180 && corner.meanG < 90 && corner.meanB > 160)
        << corner.meanR << " " << corner.meanG << " " << corner.meanB;
    Ended noSky = runToEnd(dir, {"--sky", "nowhere", "model.obj"});
    EXPECT_EQ(noSky.status, 1);
    EXPECT_EQ(noSky.err.rfind("meshshade: nowhere: ", 0), 0u) << noSky.err;
    removeDir(dir);
}

TEST(ModelViewer, showsTheModelFirstListsItAndTakesUpEditsOfItsFile)
{
    Viewer viewer;
    viewer.args = {"--sky", "night.hdr", "model.obj"};
    std::string why;
    ASSERT_TRUE(startViewer(viewer, why, {}, [](const std::string& dir) {
        writeFile(dir + "/model.obj", cubeObj("green"));
        writeFile(dir + "/model.mtl", MTL);
        // a sky of one dark grey, all round
        std::vector<float> night(32 * 16 * 3, 0.004f);
        stbi_write_hdr((dir + "/night.hdr").c_str(), 32, 16, 3, night.data());
    })) << why;

    // 1,000 units off the origin, yet fitted into the middle of the window
    Picture first = frame(viewer);
    RegionStats centre = middle(first);
    EXPECT_TRUE(greenish(centre)) << centre.meanR << " " << centre.meanG << " " << centre.meanB;
    EXPECT_EQ(panelValue(viewer, "Mesh"), "model.obj");
    // the built-in meshes stay one click away, and the model is listed above them
    ASSERT_TRUE(clickPanelControl(viewer, "Mesh"));
    int modelX, modelY, cessnaX, cessnaY, w, h;
    ASSERT_TRUE(panelControl(viewer, "Model", modelX, modelY, w, h));
    ASSERT_TRUE(panelControl(viewer, "Cessna", cessnaX, cessnaY, w, h));
    EXPECT_LT(modelY, cessnaY);
    ASSERT_TRUE(clickPanelControl(viewer, "Cessna"));
    EXPECT_EQ(panelValue(viewer, "Mesh"), "Cessna");
    ASSERT_TRUE(clickPanelControl(viewer, "Mesh"));
    ASSERT_TRUE(clickPanelControl(viewer, "Model"));
    EXPECT_EQ(panelValue(viewer, "Mesh"), "model.obj");

    // the user's sky is the fourth sky of the panel, chosen at start, and can be chosen again
    auto dark = [](const Picture& p) {
        RegionStats corner = regionStats(p, 0, 0, 40, 40);
        return corner.meanR < 40 && corner.meanG < 40 && corner.meanB < 40;
    };
    EXPECT_EQ(panelValue(viewer, "UserSky"), "on");
    EXPECT_TRUE(dark(first));
    ASSERT_TRUE(clickPanelControl(viewer, "Sky1"));
    EXPECT_FALSE(dark(frame(viewer)));
    ASSERT_TRUE(clickPanelControl(viewer, "UserSky"));
    EXPECT_TRUE(dark(frame(viewer)));

    // A new colour saved over the file comes in, in the slot that is shown.
    writeFile(viewer.dir + "/model.obj", cubeObj("red") + "# saved again\n");
    EXPECT_TRUE(waitForStdout(viewer.app, "Reloaded model.obj (12 faces).\n", 3000)) << appStdout(viewer.app);
    Picture reloaded = frame(viewer);
    centre = middle(reloaded);
    EXPECT_TRUE(reddish(centre)) << centre.meanR << " " << centre.meanG << " " << centre.meanB;
    EXPECT_EQ(panelValue(viewer, "Mesh"), "model.obj");

    // A broken save keeps the last good model, with the reason on stderr.
    writeFile(viewer.dir + "/model.obj", "v 0 0 0\nv nan 1 0\nv 0 1 0\nf 1 2 3\n");
    for (int waited = 0; waited < 3000 && appStderr(viewer.app).find("last good") == std::string::npos;
         waited += 50)
        sleepMs(50);
    EXPECT_NE(appStderr(viewer.app)
                  .find("meshshade: model.obj: a vertex has a coordinate that is not a finite "
                        "number; the last good model stays\n"),
              std::string::npos)
        << appStderr(viewer.app);
    EXPECT_TRUE(appRunning(viewer.app));
    EXPECT_LT(countDifferent(frame(viewer), reloaded, 8), 600);

    std::string errors = stopViewer(viewer);
    EXPECT_EQ(errors.find("OpenGL error"), std::string::npos) << errors;
}

// From a folder that holds only the model, the viewer takes the rest from its
// shipped files and says where from; without a model or an option it reads the
// working directory only and fails there as it always did. --init refuses a
// folder that holds files.
TEST(RunFromAnyFolder, shippedFilesStandInOnlyWhenAModelOrAnOptionIsGiven)
{
    const std::string dir = makeTempDir();
    writeFile(dir + "/model.obj", cubeObj("green"));
    writeFile(dir + "/model.mtl", MTL);
    char* shipped = realpath(runDirectory().c_str(), nullptr);
    ASSERT_TRUE(shipped);
    const std::string announced = std::string("Files not in this folder are taken from ") + shipped + "\n";
    free(shipped);

    Ended shot = runToEnd(dir, {"--screenshot", "shot.png", "model.obj"});
    EXPECT_EQ(shot.status, 0) << shot.err;
    EXPECT_NE(shot.out.find(announced), std::string::npos) << shot.out;
    EXPECT_EQ(shot.err.find("cube-map face"), std::string::npos) << shot.err;
    struct stat picture;
    EXPECT_EQ(stat((dir + "/shot.png").c_str(), &picture), 0);

    Ended plain = runToEnd(dir, {});
    EXPECT_EQ(plain.status, 1);
    EXPECT_EQ(plain.out.find("Files not in this folder"), std::string::npos) << plain.out;
    EXPECT_NE(plain.out.find("Cg error, exiting...\n"), std::string::npos) << plain.out.substr(0, 2000);

    Ended version = runToEnd(dir, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("meshshade ", 0), 0u) << version.out;
    EXPECT_EQ(version.out.find('\n'), version.out.size() - 1) << version.out;

    const std::string model = readFile(dir + "/model.obj");
    Ended refused = runToEnd(dir, {"--init", dir});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("is not an empty folder; nothing was written"), std::string::npos)
        << refused.err;
    EXPECT_EQ(readFile(dir + "/model.obj"), model);
    EXPECT_NE(stat((dir + "/vp_reflection.cg").c_str(), &picture), 0);
    removeDir(dir);
}

// --init makes a workspace where the viewer started without arguments runs on
// the copies and takes up an edit of a shader file.
TEST(RunFromAnyFolder, workspaceMadeByInitRunsPlainAndTakesUpShaderEdits)
{
    Viewer viewer;
    std::string why;
    ASSERT_TRUE(startViewer(viewer, why, {}, [](const std::string& dir) {
        removeDir(dir);
        Ended made = runToEnd(".", {"--init", dir});
        EXPECT_EQ(made.status, 0) << made.err;
        EXPECT_NE(made.out.find("cd " + dir + " && "), std::string::npos) << made.out;
    })) << why;
    EXPECT_EQ(appStdout(viewer.app).find("Files not in this folder"), std::string::npos);
    EXPECT_EQ(appStderr(viewer.app).find("cube-map face"), std::string::npos) << appStderr(viewer.app);

    writeFile(viewer.dir + "/vp_reflection.cg", readFile(viewer.dir + "/vp_reflection.cg") + "// edited\n");
    EXPECT_TRUE(waitForStdout(viewer.app, "Reloaded vp_reflection.cg and fp_reflection.cg.\n", 5000))
        << appStdout(viewer.app);
    std::string errors = stopViewer(viewer);
    EXPECT_EQ(errors.find("OpenGL error"), std::string::npos) << errors;
}
