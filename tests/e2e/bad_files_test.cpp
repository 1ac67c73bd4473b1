// Bad files in the working directory at start-up: each gets a clear message,
// and the viewer either runs on (meshes, cube maps) or ends with a failure
// status (shader programs, a model that cannot be shown). None crashes, and a
// bad model saved over a shown one leaves the last good model.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "bmp_writer.h"
#include "model_files.h"
#include "viewer.h"
#include "waiting.h"
#include "xvfb.h"

namespace {

std::string randomBytes(size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes)
        c = char(random() & 0xff);
    return bytes;
}

std::string bmp(int width, int height)
{
    std::vector<uint8_t> rgb(size_t(width) * height * 3, 90);
    std::vector<uint8_t> file = encodeBmp(rgb, width, height);
    return std::string(file.begin(), file.end());
}

// Starts the viewer on a prepared directory; it must come up, draw, and say `message` on stderr.
void expectRunsOnWith(void (*prepare)(const std::string& dir), const std::string& message)
{
    Viewer viewer;
    std::string why;
    ASSERT_TRUE(startViewer(viewer, why, {}, prepare)) << why;
    Picture picture = frame(viewer);
    EXPECT_TRUE(appRunning(viewer.app));
    std::string errors = stopViewer(viewer);
    EXPECT_NE(errors.find(message), std::string::npos) << errors.substr(0, 3000);
    EXPECT_EQ(errors.find("OpenGL error"), std::string::npos) << errors.substr(0, 3000);
    EXPECT_EQ(viewer.app.exitSignal == SIGSEGV || viewer.app.exitSignal == SIGABRT, false);
    EXPECT_EQ(picture.width, 600);
}

// Starts the viewer on a prepared directory; it must end with status 1 after the runtime's report.
void expectFailsWith(void (*prepare)(const std::string& dir), const std::string& message)
{
    sharedXvfb();
    std::string dir = makeWorkDir();
    prepare(dir);
    AppRun app;
    ASSERT_TRUE(startApp(app, {programPath()}, dir));
    const bool ended = waitForExit(app, 30000);
    stopApp(app);
    removeDir(dir);
    ASSERT_TRUE(ended);
    EXPECT_EQ(app.exitStatus, 1);
    std::string out = appStdout(app);
    EXPECT_NE(out.find(message), std::string::npos) << out.substr(0, 3000);
    EXPECT_NE(out.find("Cg error, exiting...\n"), std::string::npos) << out.substr(0, 3000);
}

} // namespace

TEST(BadMeshFile, emptyFileLeavesAnEmptyMesh)
{
    expectRunsOnWith([](const std::string& dir) { writeFile(dir + "/cessna_color500.m", ""); },
                     "cessna_color500.m: no vertices; the mesh is empty");
}

TEST(BadMeshFile, binaryFileIsReportedAsEmpty)
{
    // noise has next to no line that starts with a keyword
    expectRunsOnWith(
        [](const std::string& dir) { writeFile(dir + "/cessna_color500.m", randomBytes(300000, 5)); },
        "cessna_color500.m: no vertices; the mesh is empty");
}

TEST(BadMeshFile, binaryAfterTheKeywordsIsReportedInBrief)
{
    expectRunsOnWith(
        [](const std::string& dir) {
            std::string text;
            for (unsigned i = 0; i < 2000; i++)
                text += (i % 2 ? "Face " : "Vertex ") + randomBytes(40, i) + "\n";
            writeFile(dir + "/cessna_color500.m", text);
        },
        "more malformed lines skipped");
}

TEST(BadMeshFile, enormousFileLoadsAndDraws)
{
    expectRunsOnWith(
        [](const std::string& dir) {
            // a 300 x 300 grid: 90,601 vertices and 180,000 faces, about 10 MB, shown
            // at start-up in the aircraft's place, so drawn from vertex buffers
            std::string text;
            const int n = 300;
            char line[96];
            for (int y = 0; y <= n; y++)
                for (int x = 0; x <= n; x++) {
                    snprintf(line, sizeof line, "Vertex %d %g %g %g\n", y * (n + 1) + x + 1, x * 0.01,
                             y * 0.01, 0.05 * ((x + y) % 7));
                    text += line;
                }
            int face = 1;
            for (int y = 0; y < n; y++)
                for (int x = 0; x < n; x++) {
                    int a = y * (n + 1) + x + 1, b = a + 1, c = a + n + 1, d = c + 1;
                    snprintf(line, sizeof line, "Face %d %d %d %d\nFace %d %d %d %d\n", face, a, b, d,
                             face + 1, a, d, c);
                    face += 2;
                    text += line;
                }
            writeFile(dir + "/cessna_color500.m", text);
        },
        "");
}

TEST(BadCubeMap, truncatedFaceIsReportedAndShowsGrey)
{
    expectRunsOnWith(
        [](const std::string& dir) {
            std::string path = dir + "/cubemaps/sky_negx.bmp";
            writeFile(path, readFile(path).substr(0, 1000));
        },
        "Warning: cannot load cube-map face cubemaps/sky_negx.bmp: is cut off");
}

TEST(BadCubeMap, faceOfAnotherSizeIsScaledToItsSet)
{
    expectRunsOnWith([](const std::string& dir) { writeFile(dir + "/cubemaps/sky_posz.bmp", bmp(200, 200)); },
                     "sky_posz.bmp is 200 x 200, not 512 x 512");
}

TEST(BadCubeMap, filesThatAreNoImageOrHurtImageLibrariesAreReported)
{
    // files that crashed an earlier image library or made it ask for gigabytes
    expectRunsOnWith(
        [](const std::string& dir) {
            writeFile(dir + "/cubemaps/sky_posx.bmp", readFile(MESHSHADE_BAD_IMAGES "/crash-01.bmp"));
            writeFile(dir + "/cubemaps/sky_negy.bmp", readFile(MESHSHADE_BAD_IMAGES "/crash-08.bmp"));
            writeFile(dir + "/cubemaps/sky_posz.bmp", readFile(MESHSHADE_BAD_IMAGES "/oom-05.bmp"));
            writeFile(dir + "/cubemaps/sky_negz.bmp", "not a picture\n");
        },
        "Warning: cannot load cube-map face cubemaps/sky_posx.bmp: is not an image the viewer can read");
}

TEST(BadCubeMap, wholeSetMissingShowsGrey)
{
    expectRunsOnWith([](const std::string& dir) { removeDir(dir + "/cubemaps"); }, "sky_negz.bmp");
}

TEST(BadShaderFile, emptyProgramEndsWithTheReport)
{
    expectFailsWith([](const std::string& dir) { writeFile(dir + "/vp_reflection.cg", ""); },
                    "vp_reflection.cg");
}

TEST(BadShaderFile, binaryProgramEndsWithTheReport)
{
    expectFailsWith(
        [](const std::string& dir) { writeFile(dir + "/fp_reflection.cg", randomBytes(4000, 9)); },
        "fp_reflection.cg");
}

TEST(BadShaderFile, pipeDeviceAndNulByteEndWithALineNamingFileAndReason)
{
    // neither a pipe without a writer nor an endless device may hold start-up up
    expectFailsWith(
        [](const std::string& dir) {
            std::remove((dir + "/fp_reflection.cg").c_str());
            mkfifo((dir + "/fp_reflection.cg").c_str(), 0644);
        },
        "fp_reflection.cg: is a named pipe (FIFO), not a regular file\n");
    expectFailsWith(
        [](const std::string& dir) {
            std::remove((dir + "/fp_reflection.cg").c_str());
            symlink("/dev/zero", (dir + "/fp_reflection.cg").c_str());
        },
        "fp_reflection.cg: is a device, not a regular file\n");
    expectFailsWith(
        [](const std::string& dir) {
            std::string text = readFile(dir + "/vp_reflection.cg");
            writeFile(dir + "/vp_reflection.cg", text.insert(text.find('\n', text.find('\n') + 1), 1, '\0'));
        },
        "vp_reflection.cg:2: error: a NUL byte; a program file must be plain text\n");
}

TEST(BadShaderFile, includesThatCannotBeMadeEndWithALineNamingTheirPlace)
{
    // an include of a pipe without a writer neither holds start-up up nor is read
    expectFailsWith(
        [](const std::string& dir) {
            mkfifo((dir + "/pipe.glsl").c_str(), 0644);
            const std::string text = readFile(dir + "/fp_reflection.cg");
            writeFile(dir + "/fp_reflection.cg", text.substr(0, text.find('\n') + 1) +
                                                     "#include \"pipe.glsl\"\n" +
                                                     text.substr(text.find('\n') + 1));
        },
        "fp_reflection.cg:2: error: cannot include \"pipe.glsl\": is a named pipe (FIFO), not a regular "
        "file\n");
    expectFailsWith(
        [](const std::string& dir) {
            writeFile(dir + "/self.glsl", "// includes itself\n#include \"self.glsl\"\n");
            writeFile(dir + "/vp_reflection.cg",
                      "#include \"self.glsl\"\n" + readFile(dir + "/vp_reflection.cg"));
        },
        "self.glsl:2: error: include cycle: self.glsl -> self.glsl\n");
}

// Model files that crash Debian's assimp (signals 6 and 11) or make it take
// gigabytes, found by fuzzing, and the line each ends with.
const struct {
    const char* name;
    const char* end;
} BAD_MODELS[] = {
    {"fuzz-crash-1d65f7ae.ply", "the importer failed (signal 11)"},
    // our PLY reader refuses this one's header before assimp sees it
    {"fuzz-crash-4ed091bc.ply", "a PLY element line without a name and count"},
    {"fuzz-crash-5a9c52a3.ply", "the importer failed (signal 11)"},
    {"fuzz-crash-d13d0b57.fbx", "the importer failed (signal 6)"},
    {"fuzz-oom-1ebd7ef8.dae", "the importer needs more than 257 MiB"},
    {"fuzz-oom-c7c8b278.dae", "the importer needs more than 257 MiB"},
    {"fuzz-timeout-c466c973.dae", "the importer needs more than 257 MiB"},
    {"fuzz-oom-00c6968e.3ds", "the importer needs more than 257 MiB"},
};

// The good model a live viewer starts with, in the format of the bad ones saved over it.
static std::string liveFormat;

// Under AddressSanitizer the importer reports assimp's faults itself and ends
// with status 1, and its heap differs: any one reason is taken there.
#if defined(__SANITIZE_ADDRESS__)
const bool SANITIZED = true;
#else
const bool SANITIZED = false;
#endif

// Whether `text` is the line `start` + `end` + `finish`, or under the sanitizer any such line.
static bool isLine(const std::string& text, const std::string& start, const char* end,
                   const std::string& finish)
{
    if (!SANITIZED) return text == start + end + finish;
    return text.rfind(start, 0) == 0 && text.size() >= start.size() + finish.size() &&
           text.compare(text.size() - finish.size(), finish.size(), finish) == 0 &&
           std::count(text.begin(), text.end(), '\n') == 1;
}

TEST(BadModelFile, importerCrashesAndBlowUpsEndAStartWithALineAndLeaveALiveViewerItsLastGoodModel)
{
    sharedXvfb();
    const std::string dir = makeWorkDir();
    for (const auto& bad : BAD_MODELS) {
        writeFile(dir + "/" + bad.name, readFile(std::string(MESHSHADE_BAD_MODELS "/") + bad.name));
        AppRun app;
        const auto started = std::chrono::steady_clock::now();
        ASSERT_TRUE(startApp(app, {programPath(), bad.name}, dir));
        const bool ended = waitForExit(app, 30000);
        stopApp(app);
        EXPECT_TRUE(ended)
            << bad.name << " after "
            << std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count() << " s";
        EXPECT_EQ(app.exitStatus, 1) << bad.name;
        EXPECT_TRUE(
            isLine(appStderr(app), std::string("meshshade: cannot show ") + bad.name + ": ", bad.end, "\n"))
            << appStderr(app);
    }
    removeDir(dir);

    for (const char* format : {"ply", "fbx", "dae"}) {
        liveFormat = format;
        Viewer viewer;
        viewer.args = {"model." + liveFormat};
        std::string why;
        ASSERT_TRUE(startViewer(viewer, why, {}, [](const std::string& at) {
            writeFile(at + "/model." + liveFormat,
                      liveFormat == "ply" ? binaryPly(cubeModel(0, 0, 0, 1))
                                          : readFile(MESHSHADE_GOOD_MODELS "/cube." + liveFormat));
        })) << why;
        const Picture good = frame(viewer);
        for (const auto& bad : BAD_MODELS) {
            if (std::string(bad.name).substr(std::string(bad.name).rfind('.') + 1) != liveFormat) continue;
            const size_t before = appStderr(viewer.app).size();
            writeFile(viewer.dir + "/model." + liveFormat,
                      readFile(std::string(MESHSHADE_BAD_MODELS "/") + bad.name));
            std::string line;
            EXPECT_TRUE(waitUntil(
                [&] {
                    const std::string err = appStderr(viewer.app);
                    const size_t end = err.find('\n', before);
                    if (end != std::string::npos) line = err.substr(before, end + 1 - before);
                    return end != std::string::npos;
                },
                30000))
                << bad.name;
            EXPECT_TRUE(isLine(line, "meshshade: model." + liveFormat + ": ", bad.end,
                               "; the last good model stays\n"))
                << bad.name << ": " << line;
            EXPECT_TRUE(appRunning(viewer.app)) << bad.name;
        }
        EXPECT_LT(countDifferent(frame(viewer), good, 8), 600) << liveFormat;
        const std::string errors = stopViewer(viewer);
        EXPECT_EQ(errors.find("OpenGL error"), std::string::npos) << errors;
    }
}
