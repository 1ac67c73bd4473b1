// A user's own model file read into a Mesh, ready to draw: .m files through the
// viewer's reader, PLY files of triangles through our PLY reader, every other
// common format (OBJ, PLY of polygons, STL, OFF, glTF 2, COLLADA, 3DS, FBX)
// through assimp in an importer process of its own. Used by the model slot
// (app/model_slot).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "mesh/mesh.h"

struct ImportedModel;

// The largest model file read, and the largest file it refers to (a glTF
// buffer, an OBJ material library): assimp holds several times a file's size
// while it reads it.
constexpr size_t MAX_MODEL_FILE_BYTES = size_t(512) << 20;

// Reads `path` into `mesh`, prepared and fitted as the viewer's own mesh files
// are. Imported files are triangulated, node transforms applied, all meshes
// merged, points and lines dropped, vertices at one position joined; a diffuse
// colour of the file becomes the faces' own colour; a closed model wound
// inward is turned outward (one line on stdout says so); a file the model
// names that was refused is left out with one line on stderr. False, with the
// reason in `why` and `mesh` untouched, when the file cannot be read or holds
// no faces.
bool importModelFile(Mesh& mesh, const char* path, std::string& why);

// What importModelFile does, with `readWithAssimp` in the place of the
// importer process (import_process's importInChildProcess): for the model
// fuzzer, which runs the importer's own steps in its process.
using AssimpRead = bool (*)(int modelFd, const char* path, ImportedModel& model,
                            std::vector<std::string>& leftOut, std::string& why);
bool importModelFileWith(Mesh& mesh, const char* path, std::string& why, AssimpRead readWithAssimp);
