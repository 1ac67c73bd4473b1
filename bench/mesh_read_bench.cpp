// How fast start-up reads a big mesh: writes a .m file of 1,000,000 faces (a
// wavy grid, about 60 MB, a quarter of the faces coloured) into a temporary
// directory and times loadMeshSlot on it, reading and fitting included.
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/mesh_slots.h"
#include "app/scene_state.h"

static const int GRID_COLUMNS = 500; // quads across
static const int GRID_ROWS = 1000;   // quads down: 2 x 500 x 1000 = 1,000,000 triangles
static const int RUNS = 5;

// Writes the grid mesh; returns the file size in bytes, 0 on failure.
static size_t writeGridMesh(const char* path)
{
    FILE* file = fopen(path, "wb");
    if (!file) return 0;
    const int across = GRID_COLUMNS + 1;
    int vertex = 1;
    for (int row = 0; row <= GRID_ROWS; row++)
        for (int column = 0; column < across; column++) {
            double x = column * 0.01 - 2.5, y = row * 0.01 - 5.0;
            fprintf(file, "Vertex %d %.6f %.6f %.6f\n", vertex++, x, y,
                    0.1 * std::sin(3 * x) * std::cos(2 * y));
        }
    int face = 1;
    for (int row = 0; row < GRID_ROWS; row++)
        for (int column = 0; column < GRID_COLUMNS; column++) {
            int a = row * across + column + 1, b = a + 1, c = a + across, d = c + 1;
            const char* colour = (row % 4 == 0) ? " {rgb=(0.9 0.9 0.85) matid=1}" : "";
            fprintf(file, "Face %d %d %d %d%s\n", face++, a, b, d, colour);
            fprintf(file, "Face %d %d %d %d%s\n", face++, a, d, c, colour);
        }
    long size = ftell(file);
    if (fclose(file) != 0 || size <= 0) return 0;
    return size_t(size);
}

static double processCpuSeconds()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

int main()
{
    char directory[] = "/tmp/meshshade_benchXXXXXX";
    if (!mkdtemp(directory)) {
        perror("mkdtemp");
        return 1;
    }
    const std::string path = std::string(directory) + "/big.m";
    const size_t bytes = writeGridMesh(path.c_str());
    if (bytes == 0) {
        fprintf(stderr, "could not write %s\n", path.c_str());
        return 1;
    }
    const double megabytes = bytes / 1e6;

    // Wall time is what a user waits; CPU time shows the reader's own cost when
    // other work shares the machine's two cores.
    std::vector<double> seconds, cpuSeconds;
    size_t faces = 0, vertices = 0;
    for (int run = 0; run < RUNS; run++) {
        meshes[1] = Mesh{};
        double cpuStart = processCpuSeconds();
        auto start = std::chrono::steady_clock::now();
        loadMeshSlot(1, path.c_str());
        auto stop = std::chrono::steady_clock::now();
        cpuSeconds.push_back(processCpuSeconds() - cpuStart);
        seconds.push_back(std::chrono::duration<double>(stop - start).count());
        faces = meshes[1].faces.size();
        vertices = meshes[1].vertices.size();
    }
    unlink(path.c_str());
    rmdir(directory);
    meshes[1] = Mesh{};

    if (faces != size_t(2 * GRID_COLUMNS * GRID_ROWS)) {
        fprintf(stderr, "read %zu faces, expected %d\n", faces, 2 * GRID_COLUMNS * GRID_ROWS);
        return 1;
    }
    std::sort(seconds.begin(), seconds.end());
    std::sort(cpuSeconds.begin(), cpuSeconds.end());
    const double best = seconds.front(), median = seconds[RUNS / 2], cpu = cpuSeconds[RUNS / 2];
    printf("mesh_read_bench: %.1f MB, %zu vertices, %zu faces, %d runs of loadMeshSlot\n", megabytes,
           vertices, faces, RUNS);
    printf("  best   %.3f s  %.1f MB/s  %.0f faces/s\n", best, megabytes / best, faces / best);
    printf("  median %.3f s  %.1f MB/s  %.0f faces/s\n", median, megabytes / median, faces / median);
    printf("  median CPU time %.3f s  %.1f MB/s  %.0f faces/s\n", cpu, megabytes / cpu, faces / cpu);
    printf("RESULT mesh_read_mb_per_s %.0f\nRESULT mesh_read_faces_per_s %.0f\n", megabytes / median,
           faces / median);
    return 0;
}
