// Joined vertices, orientation and the Mesh of a user's model, for every
// format: the importer process sends its triangles here, and so does our PLY reader.
#include "mesh/model_build.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>

#include "mesh/mesh_prepare.h"

namespace {

// The bits of a coordinate, with -0 taken as +0 so that both join.
inline uint32_t coordinateBits(float value)
{
    if (value == 0) value = 0;
    uint32_t bits;
    memcpy(&bits, &value, sizeof bits);
    return bits;
}

inline uint64_t positionHash(const float* p)
{
    uint64_t h = coordinateBits(p[0]) * 0x9E3779B97F4A7C15ull;
    h ^= coordinateBits(p[1]) + 0x632BE59BD9B4E019ull + (h << 6) + (h >> 2);
    h ^= coordinateBits(p[2]) * 0xC2B2AE3D27D4EB4Full;
    return h ^ (h >> 29);
}

inline bool samePosition(const float* a, const float* b)
{
    return coordinateBits(a[0]) == coordinateBits(b[0]) && coordinateBits(a[1]) == coordinateBits(b[1]) &&
           coordinateBits(a[2]) == coordinateBits(b[2]);
}

// Six times the signed volume the faces enclose, taken about the middle of the
// bounds so that a model far from the origin keeps its precision.
double signedVolume(const ImportedModel& model)
{
    double low[3] = {DBL_MAX, DBL_MAX, DBL_MAX}, high[3] = {-DBL_MAX, -DBL_MAX, -DBL_MAX};
    for (size_t v = 0; v < model.positions.size(); v += 3)
        for (int i = 0; i < 3; i++) {
            low[i] = std::min(low[i], double(model.positions[v + i]));
            high[i] = std::max(high[i], double(model.positions[v + i]));
        }
    double middle[3];
    for (int i = 0; i < 3; i++)
        middle[i] = (low[i] + high[i]) / 2;
    double volume = 0;
    for (size_t f = 0; f < model.corners.size(); f += 3) {
        double p[3][3];
        for (int k = 0; k < 3; k++)
            for (int i = 0; i < 3; i++)
                p[k][i] = model.positions[size_t(model.corners[f + k]) * 3 + i] - middle[i];
        volume += p[0][0] * (p[1][1] * p[2][2] - p[1][2] * p[2][1]) -
                  p[0][1] * (p[1][0] * p[2][2] - p[1][2] * p[2][0]) +
                  p[0][2] * (p[1][0] * p[2][1] - p[1][1] * p[2][0]);
    }
    return volume;
}

// Closed and consistently wound: every edge is used once in each direction.
// The edges leaving each vertex are listed together (a counting sort), so each
// look-up searches a handful of neighbours; the first edge without its
// reverse, or used twice, ends the search.
bool closedSurface(const ImportedModel& model)
{
    const size_t vertexCount = model.positions.size() / 3;
    std::vector<uint32_t> first(vertexCount + 1, 0);
    for (uint32_t corner : model.corners)
        first[corner + 1]++;
    for (size_t v = 0; v < vertexCount; v++)
        first[v + 1] += first[v];
    std::vector<uint32_t> fill(first.begin(), first.end() - 1), next(model.corners.size());
    for (size_t f = 0; f < model.corners.size(); f += 3)
        for (int k = 0; k < 3; k++)
            next[fill[model.corners[f + k]]++] = model.corners[f + (k + 1) % 3];
    // how often `from` -> `to` is an edge
    auto uses = [&](uint32_t from, uint32_t to) {
        int count = 0;
        for (uint32_t e = first[from]; e < first[from + 1]; e++)
            count += next[e] == to;
        return count;
    };
    for (uint32_t from = 0; from < vertexCount; from++)
        for (uint32_t e = first[from]; e < first[from + 1]; e++)
            if (uses(from, next[e]) != 1 || uses(next[e], from) != 1) return false;
    return true;
}

} // namespace

size_t VertexJoiner::findSlot(const std::vector<float>& positions, const float* p) const
{
    size_t slot = positionHash(p) & (table.size() - 1);
    while (table[slot] != UINT32_MAX && !samePosition(&positions[size_t(table[slot]) * 3], p))
        slot = (slot + 1) & (table.size() - 1);
    return slot;
}

uint32_t VertexJoiner::join(std::vector<float>& positions, const float* p)
{
    size_t slot = findSlot(positions, p);
    if (table[slot] != UINT32_MAX) return table[slot];
    if ((used + 1) * 2 > table.size()) {
        std::vector<uint32_t> old(table.size() * 2, UINT32_MAX);
        old.swap(table);
        for (uint32_t number : old)
            if (number != UINT32_MAX) table[findSlot(positions, &positions[size_t(number) * 3])] = number;
        slot = findSlot(positions, p);
    }
    const uint32_t number = uint32_t(positions.size() / 3);
    positions.insert(positions.end(), p, p + 3);
    table[slot] = number;
    used++;
    return number;
}

void joinPlyModel(const PlyModel& ply, ImportedModel& model)
{
    model = ImportedModel();
    VertexJoiner joiner;
    const size_t vertexCount = ply.positions.size() / 3;
    std::vector<uint32_t> joined(vertexCount);
    model.positions.reserve(ply.positions.size());
    for (size_t v = 0; v < vertexCount; v++)
        joined[v] = joiner.join(model.positions, &ply.positions[v * 3]);
    const size_t faceCount = ply.corners.size() / 3;
    const bool anyColour = ply.hasFaceColours || ply.hasVertexColours;
    model.corners.reserve(ply.corners.size());
    // colours only when there are any: an uncoloured face's are never read
    if (anyColour) model.colours.reserve(ply.corners.size());
    model.coloured.reserve(faceCount);
    for (size_t f = 0; f < faceCount; f++) {
        const uint32_t* original = &ply.corners[f * 3];
        const uint32_t corner[3] = {joined[original[0]], joined[original[1]], joined[original[2]]};
        if (corner[0] == corner[1] || corner[1] == corner[2] || corner[0] == corner[2]) continue;
        model.corners.insert(model.corners.end(), corner, corner + 3);
        float rgb[3] = {0, 0, 0};
        if (ply.hasFaceColours) {
            for (int i = 0; i < 3; i++)
                rgb[i] = ply.faceColours[f * 3 + i];
        } else if (ply.hasVertexColours) {
            for (int k = 0; k < 3; k++)
                for (int i = 0; i < 3; i++)
                    rgb[i] += ply.vertexColours[size_t(original[k]) * 3 + i] / 3;
        }
        const bool coloured = anyColour && std::isfinite(rgb[0] + rgb[1] + rgb[2]);
        if (anyColour) model.colours.insert(model.colours.end(), rgb, rgb + 3);
        model.coloured.push_back(coloured ? 1 : 0);
    }
}

bool orientModel(ImportedModel& model, std::string& why)
{
    if (model.coloured.empty()) {
        why = "it holds no faces (points and lines are not drawn)";
        return false;
    }
    // A closed surface wound inward shows inside out: turn every face.
    model.turnedOutward = false;
    if (signedVolume(model) < 0 && closedSurface(model)) {
        for (size_t f = 0; f < model.corners.size(); f += 3)
            std::swap(model.corners[f + 1], model.corners[f + 2]);
        model.turnedOutward = true;
    }
    return true;
}

void buildMesh(const ImportedModel& model, Mesh& mesh, const char* path)
{
    mesh = Mesh();
    for (int i = 0; i < 3; i++) {
        mesh.boundsMax[i] = -FLT_MAX;
        mesh.boundsMin[i] = FLT_MAX;
    }
    mesh.vertices.resize(model.positions.size() / 3);
    for (size_t v = 0; v < mesh.vertices.size(); v++)
        for (int i = 0; i < 3; i++) {
            const float x = model.positions[v * 3 + i];
            mesh.vertices[v].position[i] = x;
            mesh.centroid[i] += x;
            mesh.boundsMax[i] = std::max(mesh.boundsMax[i], x);
            mesh.boundsMin[i] = std::min(mesh.boundsMin[i], x);
        }
    // one pass over the faces' memory: each is made and filled in turn
    mesh.faces.reserve(model.coloured.size());
    for (size_t f = 0; f < model.coloured.size(); f++) {
        Face& face = mesh.faces.emplace_back();
        for (int k = 0; k < 3; k++)
            face.corners[k] = int32_t(model.corners[f * 3 + k] + 1);
        addFaceGeometry(mesh, face);
        if (model.coloured[f]) giveFaceOwnColour(face, &model.colours[f * 3]);
    }
    finishLoadedMesh(mesh, path);
}
