// The assimp walk: checks of what Debian's assimp cannot be trusted with, the
// read, the triangulation and the walk over the node tree.
#include "mesh/assimp_walk.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include "io/bounded_file.h"
#include "mesh/model_files.h"

namespace {

// Deeper node trees are refused rather than walked on the stack.
const int MAX_NODE_DEPTH = 256;

bool endsWith(const char* text, const char* ending)
{
    const size_t n = strlen(ending), length = strlen(text);
    if (length < n) return false;
    for (size_t i = 0; i < n; i++)
        if (tolower((unsigned char)text[length - n + i]) != ending[i]) return false;
    return true;
}

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

// Checks of inputs that Debian's assimp (5.2) cannot be trusted with: a PLY
// header that never ends sends its reader into an endless loop, and a binary
// glTF is read as long as its header says, whatever the file holds.
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
    struct stat info;
    if (text.compare(0, 4, "glTF") == 0 && text.size() >= 12 && fstat(fd, &info) == 0) {
        uint32_t length = 0;
        memcpy(&length, &head[8], 4);
        if (length > uint64_t(info.st_size)) {
            why = "its binary glTF header gives a length of " + describeBytes(length) +
                  ", more than the file's " + describeBytes(size_t(info.st_size));
            return false;
        }
    }
    return true;
}

} // namespace

bool importWithAssimp(int modelFd, const char* path, ImportedModel& model, std::vector<std::string>& leftOut,
                      std::string& why, void (*onBytesOpened)(size_t total))
{
    if (!safeForAssimp(modelFd, path, why)) return false;
    Assimp::Importer importer;
    auto* files = new ModelFileSystem(modelFd, path);
    files->onBytesOpened = onBytesOpened;
    if (onBytesOpened) onBytesOpened(files->bytesOpened);
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
        if (why.empty()) why = "not a model file the viewer can read";
        if (!files->refusals.empty()) why += " (" + files->refusals.front() + ")";
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
    leftOut = files->refusals;
    return true;
}
