// Frame-rate benchmark: the real viewer under a private Xvfb, each mesh slot
// shown for a fixed number of frames. Buffer swaps are counted from outside by
// a preloaded library. Prints the time from process start to the first frame,
// the resident memory at rest in the start-up view, and frames per second per slot.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/mman.h>
#include <thread>
#include <time.h>
#include <unistd.h>

#include "app_run.h"
#include "x11_window.h"
#include "xvfb.h"

namespace {

struct SwapCounter {
    volatile uint64_t swaps;
    volatile uint64_t firstSwapNs;
};

const int FRAMES_PER_SLOT = 300;

uint64_t nowNs()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return uint64_t(t.tv_sec) * 1000000000u + uint64_t(t.tv_nsec);
}

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool control(const std::string& layoutPath, const std::string& name, int& x, int& y)
{
    for (int tries = 0; tries < 100; tries++) {
        std::ifstream layout(layoutPath);
        std::string control, value;
        int cx, cy, w, h;
        // name x y width height value
        while (layout >> control >> cx >> cy >> w >> h >> value)
            if (control == name) {
                x = cx + w / 2;
                y = cy + h / 2;
                return true;
            }
        sleepMs(50);
    }
    return false;
}

long residentKiB(pid_t pid, const char* field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    long value = -1;
    while (status >> key) {
        if (key == field) {
            status >> value;
            return value;
        }
    }
    return -1;
}

} // namespace

// Stops what the benchmark started, however it ends.
struct Cleanup {
    XvfbServer* server;
    AppRun* app;
    ~Cleanup()
    {
        stopApp(*app);
        stopXvfb(*server);
    }
};

int main()
{
    XvfbServer server;
    if (!startXvfb(server)) return 1;
    AppRun app;
    Cleanup cleanup = {&server, &app};
    std::string dir = makeWorkDir();
    std::string counterPath = dir + "/swaps", layoutPath = dir + "/layout";
    {
        std::ofstream counterFile(counterPath, std::ios::binary);
        SwapCounter zero = {0, 0};
        counterFile.write(reinterpret_cast<const char*>(&zero), sizeof zero);
    }
    int fd = open(counterPath.c_str(), O_RDWR);
    auto* counter =
        static_cast<SwapCounter*>(mmap(nullptr, sizeof(SwapCounter), PROT_READ, MAP_SHARED, fd, 0));
    close(fd);

    const uint64_t started = nowNs();
    if (!startApp(app, {programPath()}, dir,
                  {"LD_PRELOAD=" SWAP_COUNTER_LIBRARY, "MESHSHADE_SWAP_COUNTER=" + counterPath,
                   "MESHSHADE_PANEL_LAYOUT=" + layoutPath})) {
        fprintf(stderr, "cannot start the viewer\n");
        return 1;
    }
    while (counter->swaps == 0 && appRunning(app) && nowNs() - started < 60000000000ull)
        sleepMs(1);
    if (counter->swaps == 0) {
        fprintf(stderr, "the viewer drew no frame:\n%s%s\n", appStdout(app).c_str(), appStderr(app).c_str());
        return 1;
    }
    const double startupMs = (counter->firstSwapNs - started) / 1e6;

    WindowInfo panel;
    if (!findWindow("Controls", panel, 10000)) {
        fprintf(stderr, "no panel window\n");
        return 1;
    }
    const struct {
        const char* item;
        const char* label;
    } slots[] = {{"Cessna", "aircraft"}, {"Bunny", "bunny"}, {"Sphere", "sphere"}};
    printf("RESULT startup_to_first_frame_ms %.0f\n", startupMs);
    // at rest: the start-up view, two seconds in
    sleepMs(2000);
    printf("RESULT memory_at_rest_kib %ld\n", residentKiB(app.pid, "VmRSS:"));
    for (const auto& slot : slots) {
        int x, y;
        if (!control(layoutPath, "Mesh", x, y)) {
            fprintf(stderr, "the panel reports no mesh list\n");
            return 1;
        }
        clickAt(panel, x, y, 1);
        sleepMs(300);
        if (!control(layoutPath, slot.item, x, y)) {
            fprintf(stderr, "the mesh list has no %s\n", slot.item);
            return 1;
        }
        clickAt(panel, x, y, 1);
        sleepMs(1000); // settle on the new slot
        const uint64_t firstSwap = counter->swaps, from = nowNs();
        while (counter->swaps < firstSwap + FRAMES_PER_SLOT && appRunning(app))
            sleepMs(2);
        const double seconds = (nowNs() - from) / 1e9;
        printf("RESULT fps_%s %.1f\n", slot.label, (counter->swaps - firstSwap) / seconds);
    }
    removeDir(dir);
    return 0;
}
