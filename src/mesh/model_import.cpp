// Reading a user's model: the .m reader for our own format and our PLY reader
// for PLY files of triangles, in the viewer; assimp for the rest, in the
// importer process; then the shared build into one prepared mesh.
#include "mesh/model_import.h"

#include <unistd.h>

#include <cctype>
#include <cfloat>
#include <cstdio>
#include <cstring>
#include <vector>

#include "io/bounded_file.h"
#include "mesh/import_process.h"
#include "mesh/mesh_prepare.h"
#include "mesh/mesh_reader.h"
#include "mesh/model_build.h"
#include "mesh/ply_reader.h"

namespace {

bool endsWith(const char* text, const char* ending)
{
    const size_t n = strlen(ending), length = strlen(text);
    if (length < n) return false;
    for (size_t i = 0; i < n; i++)
        if (tolower((unsigned char)text[length - n + i]) != ending[i]) return false;
    return true;
}

bool readOwnMeshFile(Mesh& read, const char* path, std::string& why)
{
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
    return true;
}

// The triangles of any other format, through the one descriptor opened here:
// PLY files of triangles are ours to read (assimp drops their face colours),
// the rest and PLY files of larger polygons go to the importer process.
bool importTriangles(const char* path, ImportedModel& model, std::vector<std::string>& leftOut,
                     std::string& why, AssimpRead readWithAssimp)
{
    size_t size = 0;
    const int fd = openRegularFile(path, MAX_MODEL_FILE_BYTES, why, &size);
    if (fd < 0) return false;
    char magic[4] = {};
    if ((pread(fd, magic, 3, 0) == 3 && strcmp(magic, "ply") == 0) || endsWith(path, ".ply")) {
        std::string bytes;
        PlyModel triangles;
        PlyResult read = PLY_BAD;
        if (readOpenFile(fd, size, MAX_MODEL_FILE_BYTES, bytes, why)) read = readPly(bytes, triangles, why);
        if (read != PLY_POLYGONS) {
            close(fd);
            if (read == PLY_READ) joinPlyModel(triangles, model);
            return read == PLY_READ;
        }
        // polygons: assimp splits them, concave ones too
    }
    const bool imported = readWithAssimp(fd, path, model, leftOut, why);
    close(fd);
    return imported;
}

} // namespace

bool importModelFile(Mesh& mesh, const char* path, std::string& why)
{
    return importModelFileWith(mesh, path, why, importInChildProcess);
}

bool importModelFileWith(Mesh& mesh, const char* path, std::string& why, AssimpRead readWithAssimp)
{
    Mesh read;
    if (endsWith(path, ".m")) {
        if (!readOwnMeshFile(read, path, why)) return false;
    } else {
        ImportedModel model;
        std::vector<std::string> leftOut;
        if (!importTriangles(path, model, leftOut, why, readWithAssimp) || !orientModel(model, why))
            return false;
        for (const std::string& line : leftOut)
            fprintf(stderr, "meshshade: %s: %s; left out\n", path, line.c_str());
        if (model.turnedOutward) printf("%s: the faces were wound inward; turned outward\n", path);
        buildMesh(model, read, path);
    }
    mesh = std::move(read);
    mesh.rotationRef = mesh.rotation; // the moved record's own matrix
    return true;
}
