// The PLY reader of the model import: triangle meshes in text or binary PLY,
// read by the viewer itself, with the per-face and per-vertex colours that
// assimp drops, and quickly. Files of polygons with more corners are left to
// assimp, which triangulates them. Called by model_import.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A PLY file's triangles as written: vertices not joined yet.
struct PlyModel {
    std::vector<float> positions;     // x, y, z per vertex
    std::vector<uint32_t> corners;    // three per face, 0-based
    std::vector<float> faceColours;   // r, g, b (0 to 1) per face, when hasFaceColours
    std::vector<float> vertexColours; // r, g, b (0 to 1) per vertex, when hasVertexColours
    bool hasFaceColours = false;
    bool hasVertexColours = false;
};

enum PlyResult {
    PLY_READ,     // `model` holds the file's triangles (faces of 1 or 2 corners dropped)
    PLY_POLYGONS, // a face has more than three corners: not read here
    PLY_BAD,      // not a sound PLY file; `why` says what is wrong
};

// Reads the whole of a PLY file held in `bytes`.
PlyResult readPly(const std::string& bytes, PlyModel& model, std::string& why);
