// Reading a user's model: assimp for the common formats, the .m reader for our
// own; then one merged triangle mesh with joined vertices, turned outward when
// it is closed and wound inward, and prepared like the viewer's mesh files.
#include "mesh/model_import.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>

#include <assimp/DefaultIOSystem.h>
#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include "io/bounded_file.h"
#include "mesh/mesh_prepare.h"
#include "mesh/mesh_reader.h"
#include "mesh/ply_reader.h"

namespace {

// More faces than this are refused: corners are 32-bit and the drawing is
// immediate-mode.
const size_t MAX_MODEL_FACES = size_t(50) * 1000 * 1000;
// Deeper node trees are refused rather than walked on the stack.
const int MAX_NODE_DEPTH = 256;

// assimp opens the model and every file it names (glTF buffers, OBJ material
// libraries) through this: only regular files within the size cap, so a name
// that leads to a pipe or a device never blocks and a huge file is never read.
struct BoundedIOSystem : Assimp::DefaultIOSystem {
    std::string refusal; // why the last refused file was refused

    bool Exists(const char* path) const override
    {
        struct stat s;
        return stat(path, &s) == 0 && S_ISREG(s.st_mode);
    }

    Assimp::IOStream* Open(const char* path, const char* mode) override
    {
        if (strchr(mode, 'w') || strchr(mode, 'a')) return nullptr; // reading only
        std::string why;
        const int fd = openRegularFile(path, MAX_MODEL_FILE_BYTES, why);
        if (fd < 0) {
            refusal = std::string(path) + ": " + why;
            return nullptr;
        }
        close(fd);
        return DefaultIOSystem::Open(path, mode);
    }
};

// Whether a material colour is the file's own rather than the stand-in assimp
// or its importers give a file without materials (grey or white, unnamed).
bool ownDiffuseColour(const aiMaterial* material, float rgb[3])
{
    aiColor4D colour;
    if (!material || material->Get(AI_MATKEY_COLOR_DIFFUSE, colour) != AI_SUCCESS) return false;
    aiString name;
    material->Get(AI_MATKEY_NAME, name);
    if (strcmp(name.C_Str(), AI_DEFAULT_MATERIAL_NAME) == 0 || name.length == 0) return false;
    rgb[0] = colour.r, rgb[1] = colour.g, rgb[2] = colour.b;
    for (int i = 0; i < 3; i++)
        if (!std::isfinite(rgb[i])) return false;
    return true;
}

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

// Joins vertices at one position into one: an open-addressing table of vertex
// numbers into the model's positions, kept at most half full.
struct VertexJoiner {
    std::vector<uint32_t> table = std::vector<uint32_t>(1024, UINT32_MAX);
    size_t used = 0;

    size_t findSlot(const std::vector<float>& positions, const float* p) const
    {
        size_t slot = positionHash(p) & (table.size() - 1);
        while (table[slot] != UINT32_MAX && !samePosition(&positions[size_t(table[slot]) * 3], p))
            slot = (slot + 1) & (table.size() - 1);
        return slot;
    }

    // The number of the vertex at `p`, appended to `positions` when it is new.
    uint32_t join(std::vector<float>& positions, const float* p)
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
};

// Appends the triangles of one mesh, drawn under `transform`, to the model.
bool collectMesh(const aiScene* scene, const aiMesh* mesh, const aiMatrix4x4& transform, VertexJoiner& joiner,
                 ImportedModel& model, std::string& why)
{
    float materialRgb[3] = {0, 0, 0};
    const bool materialColour = mesh->mMaterialIndex < scene->mNumMaterials &&
                                ownDiffuseColour(scene->mMaterials[mesh->mMaterialIndex], materialRgb);
    const aiColor4D* vertexColours = mesh->mColors[0];

    // each vertex of the mesh joined once, however many faces use it
    std::vector<uint32_t> joined(mesh->mNumVertices);
    for (unsigned v = 0; v < mesh->mNumVertices; v++) {
        const aiVector3D p = transform * mesh->mVertices[v];
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
            why = "a vertex has a coordinate that is not a finite number";
            return false;
        }
        const float position[3] = {p.x, p.y, p.z};
        joined[v] = joiner.join(model.positions, position);
    }
    for (unsigned f = 0; f < mesh->mNumFaces; f++) {
        const aiFace& face = mesh->mFaces[f];
        // points and lines are not drawn
        if (face.mNumIndices != 3) continue;
        if (model.coloured.size() >= MAX_MODEL_FACES) {
            why = "it has more than " + std::to_string(MAX_MODEL_FACES) + " faces";
            return false;
        }
        uint32_t corner[3];
        float rgb[3] = {materialRgb[0], materialRgb[1], materialRgb[2]};
        if (vertexColours) rgb[0] = rgb[1] = rgb[2] = 0;
        for (unsigned k = 0; k < 3; k++) {
            const unsigned index = face.mIndices[k];
            if (index >= mesh->mNumVertices) {
                why = "a face names a vertex it does not have";
                return false;
            }
            corner[k] = joined[index];
            // a face of a mesh with vertex colours gets the mean of its corners'
            if (vertexColours) {
                rgb[0] += vertexColours[index].r / 3;
                rgb[1] += vertexColours[index].g / 3;
                rgb[2] += vertexColours[index].b / 3;
            }
        }
        // corners joined into one: a point or a line now
        if (corner[0] == corner[1] || corner[1] == corner[2] || corner[0] == corner[2]) continue;
        model.corners.insert(model.corners.end(), corner, corner + 3);
        const bool coloured = (materialColour || vertexColours) && std::isfinite(rgb[0] + rgb[1] + rgb[2]);
        model.colours.insert(model.colours.end(), rgb, rgb + 3);
        model.coloured.push_back(coloured ? 1 : 0);
    }
    return true;
}

// Faces of every mesh drawn by the node and its children, for reserving room.
size_t countFaces(const aiScene* scene, const aiNode* node, int depth)
{
    size_t count = 0;
    if (depth > MAX_NODE_DEPTH) return count;
    for (unsigned n = 0; n < node->mNumMeshes; n++)
        if (node->mMeshes[n] < scene->mNumMeshes) count += scene->mMeshes[node->mMeshes[n]]->mNumFaces;
    for (unsigned c = 0; c < node->mNumChildren; c++)
        if (node->mChildren[c]) count += countFaces(scene, node->mChildren[c], depth + 1);
    return std::min(count, MAX_MODEL_FACES + 1);
}

bool collectNode(const aiScene* scene, const aiNode* node, const aiMatrix4x4& parent, int depth,
                 VertexJoiner& joiner, ImportedModel& model, std::string& why)
{
    if (depth > MAX_NODE_DEPTH) {
        why = "its node tree is more than " + std::to_string(MAX_NODE_DEPTH) + " levels deep";
        return false;
    }
    const aiMatrix4x4 transform = parent * node->mTransformation;
    for (unsigned n = 0; n < node->mNumMeshes; n++)
        if (node->mMeshes[n] < scene->mNumMeshes &&
            !collectMesh(scene, scene->mMeshes[node->mMeshes[n]], transform, joiner, model, why))
            return false;
    for (unsigned c = 0; c < node->mNumChildren; c++)
        if (node->mChildren[c] &&
            !collectNode(scene, node->mChildren[c], transform, depth + 1, joiner, model, why))
            return false;
    return true;
}

// The model of a PLY file read by our own reader: vertices joined, colours
// per face (the file's, or the mean of its corners').
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

bool endsWith(const std::string& text, const char* ending)
{
    const size_t n = strlen(ending);
    if (text.size() < n) return false;
    for (size_t i = 0; i < n; i++)
        if (tolower((unsigned char)text[text.size() - n + i]) != ending[i]) return false;
    return true;
}

// Fills `mesh` from the imported triangles, as the .m reader and preparation would.
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

// Checks of inputs that Debian's assimp (5.2) cannot be trusted with: a PLY
// header that never ends sends its reader into an endless loop.
bool safeForAssimp(int fd, const char* path, std::string& why)
{
    char head[65536];
    const ssize_t count = pread(fd, head, sizeof head, 0);
    if (count < 0) {
        why = strerror(errno);
        return false;
    }
    const std::string text(head, size_t(count));
    const bool ply = text.compare(0, 3, "ply") == 0 || endsWith(path, ".ply");
    if (ply && text.find("\nend_header") == std::string::npos) {
        why = "its PLY header does not end with an end_header line within its first 64 KiB";
        return false;
    }
    return true;
}

// The checks and the turn every imported model gets. False when it has no faces.
bool finishModel(ImportedModel& model, std::string& why)
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

} // namespace

bool importTriangles(const char* path, ImportedModel& model, std::string& why)
{
    // the file itself first, for a plain reason (a directory, no permission, too big)
    const int fd = openRegularFile(path, MAX_MODEL_FILE_BYTES, why);
    if (fd < 0) return false;
    char magic[4] = {};
    const bool ply = (pread(fd, magic, 3, 0) == 3 && strcmp(magic, "ply") == 0) || endsWith(path, ".ply");
    const bool safe = ply || safeForAssimp(fd, path, why);
    close(fd);
    if (!safe) return false;

    // PLY files of triangles are ours to read: assimp drops their face colours.
    if (ply) {
        std::string bytes;
        if (!readRegularFile(path, MAX_MODEL_FILE_BYTES, bytes, why)) return false;
        PlyModel triangles;
        const PlyResult read = readPly(bytes, triangles, why);
        if (read == PLY_BAD) return false;
        if (read == PLY_READ) {
            bytes = std::string();
            joinPlyModel(triangles, model);
            return finishModel(model, why);
        }
        // polygons: assimp splits them, concave ones too
    }

    Assimp::Importer importer;
    auto* files = new BoundedIOSystem;
    importer.SetIOHandler(files); // the importer owns it from here
    const aiScene* scene = nullptr;
    try {
        scene = importer.ReadFile(path, aiProcess_ValidateDataStructure);
    } catch (const std::exception& e) {
        why = std::string("the importer failed: ") + e.what();
        return false;
    }
    if (!scene) {
        why = importer.GetErrorString();
        if (!files->refusal.empty()) why += " (" + files->refusal + ")";
        if (why.empty()) why = "not a model file the viewer can read";
        return false;
    }
    if ((scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) || !scene->mRootNode) {
        why = "the file holds no complete scene";
        return false;
    }
    // Faces without corners pass assimp's validation but abort the process in
    // its triangulation (an assertion Debian's build keeps): refused first.
    for (unsigned m = 0; m < scene->mNumMeshes; m++)
        for (unsigned f = 0; f < scene->mMeshes[m]->mNumFaces; f++)
            if (scene->mMeshes[m]->mFaces[f].mNumIndices == 0) {
                why = "a face has no corners";
                return false;
            }
    try {
        scene = importer.ApplyPostProcessing(aiProcess_Triangulate);
    } catch (const std::exception& e) {
        why = std::string("the importer failed: ") + e.what();
        return false;
    }
    if (!scene) {
        why = importer.GetErrorString();
        return false;
    }
    model = ImportedModel();
    const size_t faces = countFaces(scene, scene->mRootNode, 0);
    model.corners.reserve(faces * 3);
    model.colours.reserve(faces * 3);
    model.coloured.reserve(faces);
    VertexJoiner joiner;
    if (!collectNode(scene, scene->mRootNode, aiMatrix4x4(), 0, joiner, model, why)) return false;
    return finishModel(model, why);
}

bool importModelFile(Mesh& mesh, const char* path, std::string& why)
{
    Mesh read;
    if (endsWith(path, ".m")) {
        const int fd = openRegularFile(path, MAX_MODEL_FILE_BYTES, why);
        if (fd < 0) return false;
        close(fd);
        // read and checked before the fit, which would warn about an empty mesh too
        for (int i = 0; i < 3; i++) {
            read.boundsMax[i] = -FLT_MAX;
            read.boundsMin[i] = FLT_MAX;
        }
        if (readMeshFile(read, path) != 0) {
            why = "it could not be read";
            return false;
        }
        if (read.faces.empty()) {
            why = "it holds no faces";
            return false;
        }
        finishLoadedMesh(read, path);
    } else {
        ImportedModel model;
        if (!importTriangles(path, model, why)) return false;
        if (model.turnedOutward) printf("%s: the faces were wound inward; turned outward\n", path);
        buildMesh(model, read, path);
    }
    mesh = std::move(read);
    mesh.rotationRef = mesh.rotation; // the moved record's own matrix
    return true;
}
