// How fast start-up reads a big mesh, against the machine's limit: writes a .m
// file of 1,000,000 faces (a wavy grid, about 60 MB, a quarter of the faces
// coloured) and, in turns in this one process, times in CPU time
//   - loadMeshSlot on it (reading, normals and fitting: what start-up does),
//   - a bare parse of the same file: each line's numbers through fast_float,
//   - a memchr scan of its lines,
// each reading the file through the same 1 MiB chunks, and the reader's ratios
// to the other two round by round. CPU time, not wall time:
// on a shared machine wall time mostly measures waiting for a core.
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <fast_float/fast_float.h>

#include "app/mesh_slots.h"
#include "app/scene_state.h"

static const int GRID_COLUMNS = 500; // quads across
static const int GRID_ROWS = 1000;   // quads down: 2 x 500 x 1000 = 1,000,000 triangles
static const int ROUNDS = 9;
static const size_t CHUNK = 1 << 20;

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
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Calls `line(begin, end)` for every line of the file, read in CHUNK pieces.
template <typename LineFunction> static void forEachLine(const char* path, LineFunction line)
{
    const int fd = open(path, O_RDONLY);
    if (fd < 0) return;
    std::unique_ptr<char[]> bytes(new char[CHUNK]);
    size_t kept = 0;
    for (;;) {
        const ssize_t got = read(fd, bytes.get() + kept, CHUNK - kept);
        if (got <= 0) break;
        const char* p = bytes.get();
        const char* end = bytes.get() + kept + size_t(got);
        while (const char* lineFeed = static_cast<const char*>(memchr(p, '\n', size_t(end - p)))) {
            line(p, lineFeed);
            p = lineFeed + 1;
        }
        kept = size_t(end - p);
        memmove(bytes.get(), p, kept);
    }
    close(fd);
}

static volatile double sink; // keeps the bare work from being optimised away

// Every number of every line through fast_float, with nothing stored.
static void bareParse(const char* path)
{
    double sum = 0;
    forEachLine(path, [&](const char* p, const char* end) {
        while (p < end && *p != ' ')
            p++; // the keyword
        while (p < end) {
            while (p < end && (*p == ' ' || *p == '{' || *p == '(' || *p == '='))
                p++;
            float value;
            auto parsed = fast_float::from_chars(p, end, value);
            if (parsed.ec == std::errc()) {
                sum += value;
                p = parsed.ptr;
            } else {
                p++;
            }
        }
    });
    sink = sum;
}

static void memchrScan(const char* path)
{
    size_t lines = 0;
    forEachLine(path, [&](const char*, const char*) { lines++; });
    sink = double(lines);
}

static double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
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
    const double megabytes = double(bytes) / 1e6;

    // in turns, so that load from other work falls on all three alike
    std::vector<double> reader, bare, scan;
    size_t faces = 0, vertices = 0;
    // the reader's "Reading coordinates" lines go nowhere
    fflush(stdout);
    const int savedStdout = dup(1), nowhere = open("/dev/null", O_WRONLY);
    dup2(nowhere, 1);
    for (int round = 0; round < ROUNDS; round++) {
        meshes[1] = Mesh{};
        double start = processCpuSeconds();
        std::string why;
        loadMeshSlot(1, path.c_str(), why);
        reader.push_back(processCpuSeconds() - start);
        faces = meshes[1].faces.size();
        vertices = meshes[1].vertices.size();
        meshes[1] = Mesh{};

        start = processCpuSeconds();
        bareParse(path.c_str());
        bare.push_back(processCpuSeconds() - start);

        start = processCpuSeconds();
        memchrScan(path.c_str());
        scan.push_back(processCpuSeconds() - start);
    }
    fflush(stdout);
    dup2(savedStdout, 1);
    close(nowhere);
    close(savedStdout);
    unlink(path.c_str());
    rmdir(directory);

    if (faces != size_t(2 * GRID_COLUMNS * GRID_ROWS)) {
        fprintf(stderr, "read %zu faces, expected %d\n", faces, 2 * GRID_COLUMNS * GRID_ROWS);
        return 1;
    }
    const double readerMBs = megabytes / median(reader), bareMBs = megabytes / median(bare),
                 scanMBs = megabytes / median(scan);
    fprintf(stderr, "mesh_read_bench: %.1f MB, %zu vertices, %zu faces, median of %d rounds, CPU time\n",
            megabytes, vertices, faces, ROUNDS);
    fprintf(stderr, "  loadMeshSlot %.0f MB/s, bare fast_float parse %.0f MB/s, memchr scan %.0f MB/s\n",
            readerMBs, bareMBs, scanMBs);
    printf("RESULT read_mb_per_s %.0f\nRESULT bare_parse_mb_per_s %.0f\nRESULT memchr_scan_mb_per_s %.0f\n",
           readerMBs, bareMBs, scanMBs);
    // The ratios are taken round by round, each against the parse and the scan
    // that ran right after the reader: the speed of a shared machine drifts
    // between rounds more than within one.
    std::vector<double> versusBare, versusScan;
    for (int round = 0; round < ROUNDS; round++) {
        versusBare.push_back(bare[round] / reader[round]);
        versusScan.push_back(scan[round] / reader[round]);
    }
    fprintf(stderr, "  reader / bare parse, round by round: %.2f to %.2f, median %.2f\n",
            *std::min_element(versusBare.begin(), versusBare.end()),
            *std::max_element(versusBare.begin(), versusBare.end()), median(versusBare));
    printf("RESULT read_vs_bare %.2f\nRESULT read_vs_memchr %.2f\n", median(versusBare), median(versusScan));
    return 0;
}
