// The cost of the importer process: a 1,000,000-face model that goes through
// assimp (a binary PLY of 500,000 quads) read into a prepared mesh through the
// importer process, as the viewer reads it, and with the importer's own steps
// run in the reading process, in turns, nine rounds. Each read is a fresh
// process, as a viewer's first read is: this program run again with --once.
// Prints the CPU time of each (the process and its importer), the bytes that
// cross the pipe and the ratio.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

extern char** environ;

#include "../tests/support/model_files.h"
#include "mesh/assimp_walk.h"
#include "mesh/import_process.h"
#include "mesh/model_import.h"

namespace {

const int GRID_X = 1000, GRID_Y = 500, ROUNDS = 9;

// A bumpy sheet of 1000 x 500 quads over 501,501 vertices, as binary PLY.
std::string quadSheet()
{
    std::string out = "ply\nformat binary_little_endian 1.0\nelement vertex " +
                      std::to_string((GRID_X + 1) * (GRID_Y + 1)) +
                      "\nproperty float x\nproperty float y\nproperty float z\nelement face " +
                      std::to_string(GRID_X * GRID_Y) +
                      "\nproperty list uchar int vertex_indices\nend_header\n";
    for (int j = 0; j <= GRID_Y; j++)
        for (int i = 0; i <= GRID_X; i++)
            for (float x : {i * 0.01f, j * 0.01f, 0.05f * std::sin(i * 0.1f) * std::cos(j * 0.1f)})
                appendBytes(out, x);
    for (int j = 0; j < GRID_Y; j++)
        for (int i = 0; i < GRID_X; i++) {
            const int32_t a = j * (GRID_X + 1) + i;
            appendBytes(out, uint8_t(4));
            for (int32_t corner : {a, a + 1, a + GRID_X + 2, a + GRID_X + 1})
                appendBytes(out, corner);
        }
    return out;
}

double cpuMsOf(int who)
{
    rusage use;
    getrusage(who, &use);
    return (use.ru_utime.tv_sec + use.ru_stime.tv_sec) * 1e3 +
           (use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e3;
}

// One read in a fresh process, which prints its mesh's counts; its CPU time, or -1.
double readOnce(const char* way, const std::string& path, size_t& faces, size_t& vertices)
{
    int out[2];
    if (pipe(out) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    char self[] = "import_boundary_bench", once[] = "--once";
    std::string wayCopy = way, pathCopy = path;
    char* argv[] = {self, once, &wayCopy[0], &pathCopy[0], nullptr};
    const double before = cpuMsOf(RUSAGE_CHILDREN);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    char text[128] = {};
    if (!failed) read(out[0], text, sizeof text - 1);
    close(out[0]);
    int status = 0;
    if (failed || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    if (sscanf(text, "%zu %zu", &faces, &vertices) != 2) return -1;
    return cpuMsOf(RUSAGE_CHILDREN) - before;
}

bool readHere(int fd, const char* path, ImportedModel& model, std::vector<std::string>& leftOut,
              std::string& why)
{
    return importWithAssimp(fd, path, model, leftOut, why);
}

} // namespace

int main(int argc, char** argv)
{
    runImporterIfAsked(argc, argv);
    if (argc == 4 && std::string(argv[1]) == "--once") {
        Mesh mesh;
        std::string why;
        const bool read = std::string(argv[2]) == "here" ? importModelFileWith(mesh, argv[3], why, readHere)
                                                         : importModelFile(mesh, argv[3], why);
        if (!read) fprintf(stderr, "%s: %s\n", argv[3], why.c_str());
        printf("%zu %zu\n", mesh.faces.size(), mesh.vertices.size());
        return read ? 0 : 1;
    }
    char folder[] = "/tmp/import_boundary_benchXXXXXX";
    if (!mkdtemp(folder)) return 1;
    const std::string path = std::string(folder) + "/sheet.ply";
    FILE* f = fopen(path.c_str(), "wb");
    const std::string bytes = quadSheet();
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);

    std::vector<double> here, child, ratio;
    size_t faces = 0, vertices = 0;
    for (int round = 0; round < ROUNDS; round++) {
        double ms[2];
        for (int way = 0; way < 2; way++) {
            ms[way] = readOnce(way == 0 ? "here" : "child", path, faces, vertices);
            if (ms[way] < 0) return 1;
        }
        here.push_back(ms[0]);
        child.push_back(ms[1]);
        ratio.push_back(ms[1] / ms[0]);
        fprintf(stderr, "  round %d: in this process %.0f ms, through the importer %.0f ms\n", round + 1,
                ms[0], ms[1]);
    }
    unlink(path.c_str());
    rmdir(folder);
    auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    // positions, corners and a colour flag per face
    const double pipeMiB = (vertices * 12.0 + faces * 13.0) / (1 << 20);
    printf("RESULT import_here_cpu_ms %.0f\n", median(here));
    printf("RESULT import_child_cpu_ms %.0f\n", median(child));
    printf("RESULT import_child_cpu_ratio %.2f\n", median(ratio));
    printf("RESULT import_pipe_mib %.1f\n", pipeMiB);
    printf("RESULT import_faces %zu\n", faces);
    return 0;
}
