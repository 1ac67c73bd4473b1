// Frame-rate benchmark against the machine's limit: the real viewer and the
// lean reference program (lean_viewer) each on a private Xvfb, drawing the same
// mesh, measured in turns in the same run: one runs while the other is stopped.
// The cost of a frame is the CPU time of the program and of its X server over
// the frames it drew (a preloaded library counts the drawing window's swaps):
// on a shared machine it holds within about 10 % where frames per second swing
// threefold. Prints, as RESULT lines: start-up to the first frame, resident
// memory at rest, and per mesh both programs' CPU ms per frame, fps and ratio.
#include <signal.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app_run.h"
#include "panel_layout.h"
#include "swap_counter.h"
#include "waiting.h"
#include "x11_window.h"
#include "xvfb.h"

namespace {

const int ROUNDS = 3;        // turns of each program per mesh
const int PHASE_MS = 2000;   // one turn
const int SETTLE_MS = 400;   // after a program is let run again, before measuring
const int STARTS = 3;        // series of fresh starts of each program, each on an empty shader cache
const int SESSIONS = 4;      // starts in a series
const int SESSION_MS = 1500; // each start's session, long enough for the shader cache to be written

uint64_t nowNs()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return uint64_t(t.tv_sec) * 1000000000u + uint64_t(t.tv_nsec);
}

bool control(const std::string& layoutPath, const std::string& name, int& x, int& y)
{
    PanelControl found;
    for (int tries = 0; tries < 100; tries++) {
        if (readPanelControl(layoutPath, name, found)) {
            x = found.x + found.width / 2;
            y = found.y + found.height / 2;
            return true;
        }
        sleepMs(50);
    }
    return false;
}

// A torus of 2 x around x across quads, wound outward, as a .m file.
bool writeTorus(const std::string& path, int around, int across)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    const double pi = 3.14159265358979;
    for (int i = 0; i < around; i++)
        for (int j = 0; j < across; j++) {
            const double u = 2 * pi * i / around, v = 2 * pi * j / across, r = 1 + 0.4 * std::cos(v);
            fprintf(f, "Vertex %d %.6f %.6f %.6f\n", i * across + j + 1, r * std::cos(u), r * std::sin(u),
                    0.4 * std::sin(v));
        }
    int face = 1;
    for (int i = 0; i < around; i++)
        for (int j = 0; j < across; j++) {
            const int a = i * across + j + 1, b = ((i + 1) % around) * across + j + 1,
                      c = ((i + 1) % around) * across + (j + 1) % across + 1,
                      d = i * across + (j + 1) % across + 1;
            fprintf(f, "Face %d %d %d %d\nFace %d %d %d %d\n", face, a, b, c, face + 1, a, c, d);
            face += 2;
        }
    return fclose(f) == 0;
}

// One program under measurement: its process, its X server, its swap counter.
struct Runner {
    AppRun app;
    const XvfbServer* server = nullptr;
    SwapCounter* counter = nullptr;
    std::string counterPath;
    uint64_t started = 0;
    double cpu = 0;      // CPU ms over the measured turns
    uint64_t frames = 0; // drawn in them
    double seconds = 0;  // their wall time
    // CPU ms of the process up to its first frame, and of the X server up to when
    // the frame was seen
    double startupCpu = 0;
};

// Runs that ended, kept until the benchmark ends: their output readers may still
// hold the output record, which must not be destroyed last by a reader thread.
std::vector<AppRun> endedRuns;

bool start(Runner& r, const std::vector<std::string>& argv, const std::string& dir,
           std::vector<std::string> env)
{
    if (r.app.output) {
        stopApp(r.app);
        endedRuns.push_back(r.app);
        r.app = AppRun{};
    }
    {
        std::ofstream counterFile(r.counterPath, std::ios::binary | std::ios::trunc);
        SwapCounter zero = {};
        counterFile.write(reinterpret_cast<const char*>(&zero), sizeof zero);
    }
    if (!r.counter) {
        int fd = open(r.counterPath.c_str(), O_RDWR);
        r.counter =
            static_cast<SwapCounter*>(mmap(nullptr, sizeof(SwapCounter), PROT_READ, MAP_SHARED, fd, 0));
        close(fd);
    }
    env.push_back("LD_PRELOAD=" SWAP_COUNTER_LIBRARY);
    env.push_back("MESHSHADE_SWAP_COUNTER=" + r.counterPath);
    const std::string display = getenv("DISPLAY");
    setenv("DISPLAY", r.server->display.c_str(), 1);
    const double serverCpu = cpuMs(r.server->pid);
    r.started = nowNs();
    const bool ok = startApp(r.app, argv, dir, env);
    setenv("DISPLAY", display.c_str(), 1);
    if (!ok) return false;
    while (r.counter->swaps == 0 && appRunning(r.app) && nowNs() - r.started < 120000000000ull)
        sleepMs(1);
    if (r.counter->swaps == 0) {
        fprintf(stderr, "%s drew no frame:\n%s%s\n", argv[0].c_str(), appStdout(r.app).c_str(),
                appStderr(r.app).c_str());
        return false;
    }
    // the CPU time to the first frame, on a loaded machine steadier than the wall time
    r.startupCpu = double(r.counter->firstSwapCpuNs) / 1e6 + cpuMs(r.server->pid) - serverCpu;
    r.cpu = 0;
    r.frames = 0;
    r.seconds = 0;
    return true;
}

double firstFrameMs(const Runner& r)
{
    return double(r.counter->firstSwapNs - r.started) / 1e6;
}

// One turn: the program runs alone (with its X server) for PHASE_MS.
void turn(Runner& r)
{
    kill(r.app.pid, SIGCONT);
    sleepMs(SETTLE_MS);
    const double cpu = cpuMs(r.app.pid) + cpuMs(r.server->pid);
    const uint64_t frames = r.counter->swaps, from = nowNs();
    sleepMs(PHASE_MS);
    r.cpu += cpuMs(r.app.pid) + cpuMs(r.server->pid) - cpu;
    r.frames += r.counter->swaps - frames;
    r.seconds += double(nowNs() - from) / 1e9;
    kill(r.app.pid, SIGSTOP);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Start-up to the first frame of both programs on the shipped aircraft, each
// started afresh SESSIONS times in a row on a Mesa shader cache of its own that
// starts empty: the first start after installing, the second, and a start once
// the cache has settled. Most of a first start is the software renderer compiling
// shaders, which the cache saves; a program's second session still compiles some
// (the cache fills over a few sessions). Each session runs long enough for the
// cache to be written. Prints the medians over STARTS such series, of CPU time
// (the program to its first frame, its X server until the frame was seen) and
// of wall time.
bool measureStartUp(Runner& viewer, Runner& lean, const std::vector<std::string>& viewerArgv,
                    const std::string& dir, const std::vector<std::string>& viewerEnv)
{
    std::vector<double> cpu[2][SESSIONS], wall[2][SESSIONS]; // [program][session]
    for (int round = 0; round < STARTS; round++)
        for (int program = 0; program < 2; program++) {
            Runner& r = program == 0 ? viewer : lean;
            const std::string cache =
                dir + "/shader-cache-" + std::to_string(round) + "-" + std::to_string(program);
            std::vector<std::string> env = program == 0 ? viewerEnv : std::vector<std::string>{};
            env.push_back("MESA_SHADER_CACHE_DIR=" + cache);
            const std::vector<std::string> argv =
                program == 0 ? viewerArgv : std::vector<std::string>{LEAN_VIEWER, "cessna_color500.m"};
            for (int session = 0; session < SESSIONS; session++) {
                if (!start(r, argv, dir, env)) return false;
                cpu[program][session].push_back(r.startupCpu);
                wall[program][session].push_back(firstFrameMs(r));
                // Mesa writes its cache in the background
                sleepMs(SESSION_MS);
                stopApp(r.app);
            }
        }
    const struct {
        int session;
        const char* kind;
    } kinds[] = {{0, "first"}, {1, "second"}, {SESSIONS - 1, "settled"}};
    for (const auto& k : kinds)
        printf("RESULT startup_cpu_ms_%s %.0f\nRESULT lean_startup_cpu_ms_%s %.0f\n"
               "RESULT startup_ms_%s %.0f\nRESULT lean_startup_ms_%s %.0f\n",
               k.kind, median(cpu[0][k.session]), k.kind, median(cpu[1][k.session]), k.kind,
               median(wall[0][k.session]), k.kind, median(wall[1][k.session]));
    fflush(stdout);
    return true;
}

void measure(const char* label, Runner& viewer, Runner& lean)
{
    viewer.cpu = lean.cpu = 0;
    viewer.frames = lean.frames = 0;
    viewer.seconds = lean.seconds = 0;
    kill(lean.app.pid, SIGSTOP);
    for (int round = 0; round < ROUNDS; round++) {
        turn(viewer);
        turn(lean);
    }
    kill(viewer.app.pid, SIGCONT);
    kill(lean.app.pid, SIGCONT);
    const double viewerMs = viewer.cpu / double(viewer.frames ? viewer.frames : 1);
    const double leanMs = lean.cpu / double(lean.frames ? lean.frames : 1);
    printf("RESULT cpu_ms_per_frame_%s %.2f\nRESULT lean_cpu_ms_per_frame_%s %.2f\n", label, viewerMs, label,
           leanMs);
    printf("RESULT fps_%s %.1f\nRESULT lean_fps_%s %.1f\nRESULT ratio_%s %.2f\n", label,
           double(viewer.frames) / viewer.seconds, label, double(lean.frames) / lean.seconds, label,
           viewerMs / leanMs);
    fflush(stdout);
}

} // namespace

// Stops what the benchmark started, however it ends.
struct Cleanup {
    XvfbServer* servers[2];
    Runner* runners[2];
    ~Cleanup()
    {
        for (Runner* r : runners) {
            if (r->app.pid > 0) kill(r->app.pid, SIGCONT);
            stopApp(r->app);
        }
        for (XvfbServer* s : servers)
            stopXvfb(*s);
    }
};

int main()
{
    // the viewer's server last: DISPLAY stays on it for finding and clicking its panel
    XvfbServer leanServer, viewerServer;
    if (!startXvfb(leanServer) || !startXvfb(viewerServer)) return 1;
    Runner viewer, lean;
    viewer.server = &viewerServer;
    lean.server = &leanServer;
    Cleanup cleanup = {{&leanServer, &viewerServer}, {&viewer, &lean}};
    const std::string dir = makeWorkDir(), layoutPath = dir + "/layout";
    viewer.counterPath = dir + "/viewer_swaps";
    lean.counterPath = dir + "/lean_swaps";
    const std::vector<std::string> viewerArgv = {programPath()},
                                   viewerEnv = {"MESHSHADE_PANEL_LAYOUT=" + layoutPath};

    if (!measureStartUp(viewer, lean, viewerArgv, dir, viewerEnv)) return 1;

    // Shipped meshes: the start-up view, then the other two through the panel.
    if (!start(viewer, viewerArgv, dir, viewerEnv)) return 1;
    if (!start(lean, {LEAN_VIEWER, "cessna_color500.m"}, dir, {})) return 1;
    sleepMs(2000); // at rest: the start-up view, two seconds in
    printf("RESULT memory_at_rest_kib %ld\nRESULT lean_memory_at_rest_kib %ld\n",
           residentKiB(viewer.app.pid, "VmRSS:"), residentKiB(lean.app.pid, "VmRSS:"));
    printf("RESULT own_memory_at_rest_kib %ld\nRESULT lean_own_memory_at_rest_kib %ld\n",
           residentKiB(viewer.app.pid, "RssAnon:"), residentKiB(lean.app.pid, "RssAnon:"));
    measure("aircraft", viewer, lean);

    WindowInfo panel;
    if (!findWindow("Controls", panel, 10000)) {
        fprintf(stderr, "no panel window\n");
        return 1;
    }
    const struct {
        const char* item;
        const char* label;
        const char* leanArgument;
    } others[] = {{"Bunny", "bunny", "bunny500.m"}, {"Sphere", "sphere", "sphere"}};
    for (const auto& other : others) {
        int x, y;
        if (!control(layoutPath, "Mesh", x, y)) {
            fprintf(stderr, "the panel reports no mesh list\n");
            return 1;
        }
        clickAt(panel, x, y, 1);
        sleepMs(300);
        if (!control(layoutPath, other.item, x, y)) {
            fprintf(stderr, "the mesh list has no %s\n", other.item);
            return 1;
        }
        clickAt(panel, x, y, 1);
        // the click is through before the pointer leaves the list
        sleepMs(500);
        movePointer(panel, 5, 735); // off the controls: no hover
        sleepMs(1000);
        stopApp(lean.app);
        if (!start(lean, {LEAN_VIEWER, other.leanArgument}, dir, {})) return 1;
        measure(other.label, viewer, lean);
    }

    // Big meshes: the viewer shows them in the aircraft's place at start-up.
    const struct {
        const char* label;
        int around, across;
    } big[] = {{"faces100k", 250, 200}, {"faces1m", 1000, 500}};
    for (const auto& mesh : big) {
        stopApp(viewer.app);
        stopApp(lean.app);
        const std::string path = dir + "/cessna_color500.m";
        if (!writeTorus(path, mesh.around, mesh.across)) return 1;
        if (!start(viewer, viewerArgv, dir, viewerEnv)) return 1;
        printf("RESULT startup_to_first_frame_ms_%s %.0f\nRESULT startup_cpu_ms_%s %.0f\n", mesh.label,
               firstFrameMs(viewer), mesh.label, viewer.startupCpu);
        if (!start(lean, {LEAN_VIEWER, "cessna_color500.m"}, dir, {})) return 1;
        sleepMs(1000);
        measure(mesh.label, viewer, lean);
    }
    removeDir(dir);
    return 0;
}
