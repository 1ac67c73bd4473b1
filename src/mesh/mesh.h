// Mesh records: what the .m reader fills, the preparation finishes and the
// frame draws. A value-initialised Mesh is an empty slot that was never set up.
#pragma once

#include <cstdint>
#include <vector>

// Four floats per colour (red, green, blue, alpha), as glMaterialfv takes them.
// The panel's material and the own colour of a face.
struct Material {
    float ambient[4] = {0, 0, 0, 1};
    float diffuse[4] = {0, 0, 0, 1};
    float specular[4] = {0, 0, 0, 1};
    float shininess = 0;         // OpenGL specular exponent
    bool hasOwnMaterial = false; // set only for a face that carries its own colour
};

struct Vertex {
    float position[3] = {0, 0, 0};
    float normal[3] = {0, 0, 0}; // sum of face normals while reading, length `scale` after preparation
};

struct Face {
    int32_t corners[3] = {0, 0, 0}; // 1-based vertex numbers
    float normal[3] = {0, 0, 0};    // unit normal
    float colour[3] = {0, 0, 0};    // from the colour block; not drawn
    float centre[3] = {0, 0, 0};    // mean of the three corners
    Material material;              // valid only when material.hasOwnMaterial
};

// Copyable, but a copy of a set-up mesh still turns the original's matrix: see rotationRef.
struct Mesh {
    bool hasGeometry = false; // faces are drawn; otherwise the built-in sphere
    bool showNormals = false;
    bool filled = false;
    bool smoothShading = false;
    bool useShaders = false;
    bool loaded = false; // the slot was set up and may be drawn
    float scale = 0;
    float previousScale = 0;
    float translateX = 0;
    float translateY = 0;
    float rotation[16] = {}; // column-major, as OpenGL stores it
    // Points at this record's own `rotation` once the slot is set up; the frame
    // writes the turned matrix through it. A copy keeps the original's address, so
    // drawing a copy would turn the original: re-aim it (copy.rotationRef =
    // copy.rotation) before a copy is drawn. The viewer itself never copies a slot.
    float* rotationRef = nullptr;
    std::vector<Face> faces;
    std::vector<Vertex> vertices;
    float centroid[3] = {0, 0, 0}; // sum of positions while reading, their mean after
    float boundsMax[3] = {0, 0, 0};
    float boundsMin[3] = {0, 0, 0};
    float extent = 0; // larger of the x and y extents
    // Changes whenever positions or normals are set anew (a load, a rescale of
    // the normals), never back to an earlier value: copies of the geometry kept
    // elsewhere (the frame's vertex buffers) are current while theirs matches.
    uint64_t geometryVersion = 0;
    // The view clamp keeps the point where the centroid is drawn, the
    // translation, in view. Without it the clamp keeps scale * centroid +
    // translation in view, as it always has for the built-in meshes: a mesh far
    // from the origin could then be clamped out of view for good.
    bool clampDrawnCentroid = false;
};

// A geometryVersion no mesh has had yet.
uint64_t newGeometryVersion();
