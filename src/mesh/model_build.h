// The shared build of a user's model: triangles with joined vertices, from the
// assimp walk (in the importer process) or from our own PLY reader, turned
// outward when wound inward and made into a Mesh prepared as the viewer's mesh
// files are. Used by model_import and the assimp walk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "mesh/mesh.h"
#include "mesh/ply_reader.h"

// More faces than this are refused: corners are 32-bit and the drawing is
// immediate-mode.
constexpr size_t MAX_MODEL_FACES = size_t(50) * 1000 * 1000;

// A model's triangles before the preparation: positions joined, faces as
// 0-based corner triples, one colour per face where the file gives one.
struct ImportedModel {
    std::vector<float> positions;  // x, y, z per vertex
    std::vector<uint32_t> corners; // three per face, 0-based
    std::vector<float> colours;    // r, g, b per face where `coloured`; may be empty when no face is
    std::vector<uint8_t> coloured; // per face: 1 when the file gives it a colour
    bool turnedOutward = false;    // the faces wound inward and were turned
};

// Joins vertices at one position into one: an open-addressing table of vertex
// numbers into the model's positions, kept at most half full. -0 and +0 join.
struct VertexJoiner {
    std::vector<uint32_t> table = std::vector<uint32_t>(1024, UINT32_MAX);
    size_t used = 0;
    // The number of the vertex at `p`, appended to `positions` when it is new.
    uint32_t join(std::vector<float>& positions, const float* p);

  private:
    size_t findSlot(const std::vector<float>& positions, const float* p) const;
};

// The model of a PLY file read by our own reader: vertices joined, colours per
// face (the file's, or the mean of its corners'), faces joined into a point or
// a line dropped.
void joinPlyModel(const PlyModel& ply, ImportedModel& model);
// The checks and the turn every model gets before it is built: false, with the
// reason in `why`, when it has no faces; a closed model wound inward is turned
// outward (turnedOutward set).
bool orientModel(ImportedModel& model, std::string& why);
// Fills `mesh` from the triangles, as the .m reader and preparation would;
// `path` names the file in warnings.
void buildMesh(const ImportedModel& model, Mesh& mesh, const char* path);
