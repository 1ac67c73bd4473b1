// A user's own model file read into a Mesh, ready to draw: .m files through the
// viewer's reader, PLY files of triangles through our PLY reader, every other
// common format (OBJ, PLY of polygons, STL, OFF, glTF 2, COLLADA, 3DS, FBX)
// through assimp. Used by the model slot (app/model_slot).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "mesh/mesh.h"

// The largest model file read, and the largest file it refers to (a glTF
// buffer, an OBJ material library): assimp holds several times a file's size
// while it reads it.
constexpr size_t MAX_MODEL_FILE_BYTES = size_t(512) << 20;

// Reads `path` into `mesh`, prepared and fitted as the viewer's own mesh files
// are. Imported files are triangulated, node transforms applied, all meshes
// merged, points and lines dropped, vertices at one position joined; a diffuse
// colour of the file becomes the faces' own colour; a closed model wound
// inward is turned outward (one line on stdout says so). False, with the
// reason in `why` and `mesh` untouched, when the file cannot be read or holds
// no faces.
bool importModelFile(Mesh& mesh, const char* path, std::string& why);

// The import of a model's triangles, without the preparation: positions
// joined, faces as 0-based corner triples, one colour per face where the file
// gives one. What the importer's tests look at.
struct ImportedModel {
    std::vector<float> positions;  // x, y, z per vertex
    std::vector<uint32_t> corners; // three per face, 0-based
    std::vector<float> colours;    // r, g, b per face where `coloured`; may be empty when no face is
    std::vector<uint8_t> coloured; // per face: 1 when the file gives it a colour
    bool turnedOutward = false;    // the faces wound inward and were turned
};
// Reads any format but .m: PLY files of triangles with our own reader, the
// rest through assimp. False with the reason in `why`.
bool importTriangles(const char* path, ImportedModel& model, std::string& why);
