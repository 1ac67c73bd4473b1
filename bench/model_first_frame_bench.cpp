// Time to the first frame with a big model of the user's: a generated
// 1,000,000-face binary PLY of triangles (through our PLY reader), the same
// surface as a .m file (through our reader) and as a binary PLY of quads
// (through assimp, in the importer process), against the viewer started
// without a model, in turns in the same run. Frames are counted by the preloaded swap counter. Prints wall
// time and CPU time (the viewer's threads plus the X server's) to the first
// frame, and the CPU ratio to the run without a model.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/mman.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "app_run.h"
#include "model_files.h"
#include "swap_counter.h"
#include "xvfb.h"

namespace {

// A bumpy sheet of 500 x 1000 quads: 1,000,000 triangles over 501,501 vertices.
const int GRID_X = 1000, GRID_Y = 500;
const int ROUNDS = 3;

uint64_t nowNs()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return uint64_t(t.tv_sec) * 1000000000u + uint64_t(t.tv_nsec);
}

TriangleModel sheet()
{
    TriangleModel m;
    m.positions.reserve(size_t(GRID_X + 1) * (GRID_Y + 1) * 3);
    for (int j = 0; j <= GRID_Y; j++)
        for (int i = 0; i <= GRID_X; i++)
            m.positions.insert(m.positions.end(),
                               {i * 0.01f, j * 0.01f, 0.05f * std::sin(i * 0.1f) * std::cos(j * 0.1f)});
    m.faces.reserve(size_t(GRID_X) * GRID_Y * 6);
    for (int j = 0; j < GRID_Y; j++)
        for (int i = 0; i < GRID_X; i++) {
            const uint32_t a = uint32_t(j * (GRID_X + 1) + i), b = a + 1, c = a + GRID_X + 2,
                           d = a + GRID_X + 1;
            m.faces.insert(m.faces.end(), {a, b, c, a, c, d});
        }
    return m;
}

// The same sheet as quads (two triangles of `m` each), which our PLY reader leaves to assimp.
std::string quadPly(const TriangleModel& m)
{
    std::string out =
        "ply\nformat binary_little_endian 1.0\nelement vertex " + std::to_string(m.positions.size() / 3) +
        "\nproperty float x\nproperty float y\nproperty float z\nelement face " +
        std::to_string(m.faces.size() / 6) + "\nproperty list uchar int vertex_indices\nend_header\n";
    for (float p : m.positions)
        appendBytes(out, p);
    for (size_t f = 0; f < m.faces.size(); f += 6) {
        appendBytes(out, uint8_t(4));
        for (uint32_t corner : {m.faces[f], m.faces[f + 1], m.faces[f + 2], m.faces[f + 5]})
            appendBytes(out, int32_t(corner));
    }
    return out;
}

std::string meshText(const TriangleModel& m)
{
    std::string text;
    text.reserve(m.faces.size() * 50);
    char line[128];
    for (size_t v = 0; v < m.positions.size(); v += 3) {
        snprintf(line, sizeof line, "Vertex %zu %.6f %.6f %.6f\n", v / 3 + 1, m.positions[v],
                 m.positions[v + 1], m.positions[v + 2]);
        text += line;
    }
    for (size_t f = 0; f < m.faces.size(); f += 3) {
        snprintf(line, sizeof line, "Face %zu %u %u %u\n", f / 3 + 1, m.faces[f] + 1, m.faces[f + 1] + 1,
                 m.faces[f + 2] + 1);
        text += line;
    }
    return text;
}

struct FirstFrame {
    double wallMs = -1, cpuMs = -1;
};

// Starts the viewer with `args` and measures until its first frame is shown.
FirstFrame firstFrame(const XvfbServer& server, const std::string& dir, const std::vector<std::string>& args)
{
    const std::string counterPath = dir + "/swaps";
    {
        std::ofstream counterFile(counterPath, std::ios::binary | std::ios::trunc);
        SwapCounter zero = {};
        counterFile.write(reinterpret_cast<const char*>(&zero), sizeof zero);
    }
    const int fd = open(counterPath.c_str(), O_RDWR);
    auto* counter =
        static_cast<SwapCounter*>(mmap(nullptr, sizeof(SwapCounter), PROT_READ, MAP_SHARED, fd, 0));
    close(fd);

    std::vector<std::string> command = {programPath()};
    command.insert(command.end(), args.begin(), args.end());
    FirstFrame result;
    AppRun app;
    const double serverBefore = cpuMs(server.pid);
    const uint64_t started = nowNs();
    if (startApp(app, command, dir,
                 {"LD_PRELOAD=" SWAP_COUNTER_LIBRARY, "MESHSHADE_SWAP_COUNTER=" + counterPath})) {
        while (counter->swaps == 0 && appRunning(app) && nowNs() - started < 120000000000ull)
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        if (counter->swaps > 0) {
            result.cpuMs = double(counter->firstSwapCpuNs) / 1e6 + cpuMs(server.pid) - serverBefore;
            result.wallMs = (counter->firstSwapNs - started) / 1e6;
        } else {
            fprintf(stderr, "no frame: %s%s\n", appStdout(app).c_str(), appStderr(app).c_str());
        }
    }
    stopApp(app);
    munmap(counter, sizeof(SwapCounter));
    return result;
}

} // namespace

int main()
{
    XvfbServer server;
    if (!startXvfb(server)) return 1;
    const std::string dir = makeWorkDir();
    fprintf(stderr, "Writing a 1,000,000-face binary PLY, .m and PLY of quads ...\n");
    const TriangleModel model = sheet();
    writeFile(dir + "/big.ply", binaryPly(model));
    writeFile(dir + "/big.m", meshText(model));
    writeFile(dir + "/quads.ply", quadPly(model));

    const struct {
        const char* label;
        std::vector<std::string> args;
    } runs[] = {{"none", {}}, {"ply", {"big.ply"}}, {"m", {"big.m"}}, {"quads", {"quads.ply"}}};
    const int RUNS = int(sizeof runs / sizeof runs[0]);
    double wall[RUNS] = {}, cpu[RUNS] = {};
    bool failed = false;
    for (int round = 0; round < ROUNDS; round++)
        for (int r = 0; r < RUNS; r++) {
            const FirstFrame f = firstFrame(server, dir, runs[r].args);
            if (f.wallMs < 0) failed = true;
            wall[r] += f.wallMs / ROUNDS;
            cpu[r] += f.cpuMs / ROUNDS;
            fprintf(stderr, "  %s: %.0f ms, CPU %.0f ms\n", runs[r].label, f.wallMs, f.cpuMs);
        }
    removeDir(dir);
    stopXvfb(server);
    if (failed) return 1;
    for (int r = 0; r < RUNS; r++) {
        printf("RESULT model_first_frame_%s_ms %.0f\n", runs[r].label, wall[r]);
        printf("RESULT model_first_frame_%s_cpu_ms %.0f\n", runs[r].label, cpu[r]);
        if (r > 0) printf("RESULT model_first_frame_%s_cpu_ratio %.2f\n", runs[r].label, cpu[r] / cpu[0]);
    }
    return 0;
}
