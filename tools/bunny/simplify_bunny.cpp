// simplify_bunny in.txt out.m [vertices]: reduces the bunny that dump_bunny.js wrote to about
// `vertices` vertices (500 by default) with meshoptimizer and writes it as a .m file whose
// faces wind counter-clockwise seen from outside. Run by make_bunny.sh.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <meshoptimizer.h>

#include "mesh_out.h"

struct SourceMesh {
    std::vector<float> positions; // x, y, z per vertex
    std::vector<unsigned int> indices;
};

// Reads the "v x y z" / "f i j k" text of dump_bunny.js; returns false after printing the reason.
static bool readDump(const char* path, SourceMesh& mesh)
{
    std::ifstream in(path);
    if (!in) {
        fprintf(stderr, "simplify_bunny: cannot open %s\n", path);
        return false;
    }
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        lineNumber++;
        std::istringstream fields(line);
        std::string kind;
        if (!(fields >> kind)) continue;
        if (kind == "v") {
            float x, y, z;
            if (!(fields >> x >> y >> z)) {
                fprintf(stderr, "simplify_bunny: %s:%d: bad vertex\n", path, lineNumber);
                return false;
            }
            mesh.positions.insert(mesh.positions.end(), {x, y, z});
        } else if (kind == "f") {
            long i, j, k;
            long count = long(mesh.positions.size() / 3);
            if (!(fields >> i >> j >> k) || i < 0 || j < 0 || k < 0 || i >= count || j >= count ||
                k >= count) {
                fprintf(stderr, "simplify_bunny: %s:%d: bad triangle\n", path, lineNumber);
                return false;
            }
            mesh.indices.insert(mesh.indices.end(), {unsigned(i), unsigned(j), unsigned(k)});
        }
    }
    return true;
}

static size_t countUsedVertices(const std::vector<unsigned int>& indices, size_t vertexCount)
{
    std::vector<char> used(vertexCount, 0);
    size_t count = 0;
    for (unsigned int index : indices)
        if (!used[index]) {
            used[index] = 1;
            count++;
        }
    return count;
}

// Simplifies to the largest triangle count that keeps at most `targetVertices` vertices in use.
static std::vector<unsigned int> simplifyToVertexCount(const SourceMesh& mesh, size_t targetVertices)
{
    size_t vertexCount = mesh.positions.size() / 3;
    std::vector<unsigned int> result(mesh.indices.size());
    // A closed surface of genus 0 has V = F / 2 + 2, which gives the first guess; then step down
    // one triangle at a time until the vertex budget is met.
    size_t targetIndices = targetVertices > 2 ? (targetVertices - 2) * 2 * 3 + 30 : 3;
    for (;;) {
        // A target error of 1 (relative to the mesh size) leaves the triangle count as the only limit.
        size_t count =
            meshopt_simplify(result.data(), mesh.indices.data(), mesh.indices.size(), mesh.positions.data(),
                             vertexCount, sizeof(float) * 3, targetIndices, 1.0f, 0, nullptr);
        std::vector<unsigned int> simplified(result.begin(), result.begin() + count);
        if (countUsedVertices(simplified, vertexCount) <= targetVertices || targetIndices <= 3)
            return simplified;
        targetIndices -= 3;
    }
}

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        fprintf(stderr, "usage: simplify_bunny in.txt out.m [vertices]\n");
        return 2;
    }
    // The package's units make the bunny about 10 wide; the scanned bunny is about 0.2 m. In metres
    // the viewer's normal lines (a hundredth of a unit) stand out clearly on it.
    const double UNITS_TO_METRES = 0.02;
    size_t targetVertices = argc == 4 ? strtoul(argv[3], nullptr, 10) : 500;
    SourceMesh source;
    if (!readDump(argv[1], source)) return 1;
    size_t sourceVertices = source.positions.size() / 3;
    if (source.indices.empty()) {
        fprintf(stderr, "simplify_bunny: %s holds no triangles\n", argv[1]);
        return 1;
    }
    std::vector<unsigned int> indices = simplifyToVertexCount(source, targetVertices);

    // Keep the vertices that triangles still use, in their original order.
    std::vector<int> remap(sourceVertices, -1);
    for (unsigned int index : indices)
        remap[index] = 0;
    OutMesh out;
    for (size_t v = 0; v < sourceVertices; v++)
        if (remap[v] == 0) {
            const float* p = &source.positions[3 * v];
            remap[v] = addVertex(out, p[0] * UNITS_TO_METRES, p[1] * UNITS_TO_METRES, p[2] * UNITS_TO_METRES);
        }
    for (size_t t = 0; t < indices.size(); t += 3) {
        OutFace face;
        for (int c = 0; c < 3; c++)
            face.corners[c] = remap[indices[t + c]];
        out.faces.push_back(face);
    }

    double volume = signedVolume(out, 0, out.faces.size());
    if (volume < 0) {
        flipFaces(out, 0, out.faces.size());
        volume = -volume;
    }
    out.comments = {
        "bunny500.m: the Stanford bunny (npm package \"bunny\", public domain), simplified with "
        "meshoptimizer.",
        "Made by tools/bunny/make_bunny.sh; faces wind counter-clockwise seen from outside.",
    };
    if (!writeMeshFile(out, argv[2])) return 1;
    printf("simplify_bunny: %zu vertices, %zu triangles -> %zu vertices, %zu triangles, volume %.4g\n",
           sourceVertices, source.indices.size() / 3, out.positions.size() / 3, out.faces.size(), volume);
    return 0;
}
