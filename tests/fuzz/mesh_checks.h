// What must hold for any mesh the reader and the fit leave behind, whatever the
// file held. Used by the mesh reader's fuzz target and its unit tests.
#pragma once

#include <cmath>
#include <cstddef>

#include "mesh/mesh.h"

// Null when the mesh is sound; otherwise what is wrong with it.
static inline const char* findMeshFault(const Mesh& mesh)
{
    auto finite3 = [](const float* v) {
        return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
    };
    for (const Face& f : mesh.faces) {
        for (int c : f.corners)
            if (c < 1 || size_t(c) > mesh.vertices.size()) return "face corner outside the vertices";
        if (!finite3(f.normal) || !finite3(f.centre) || !finite3(f.colour))
            return "face normal, centre or colour not finite";
        if (f.material.hasOwnMaterial && !std::isfinite(f.material.shininess))
            return "face material not finite";
    }
    for (const Vertex& v : mesh.vertices)
        if (!finite3(v.position) || !finite3(v.normal)) return "vertex position or normal not finite";
    if (!finite3(mesh.centroid) || !finite3(mesh.boundsMax) || !finite3(mesh.boundsMin))
        return "centroid or bounds not finite";
    if (mesh.loaded) {
        if (!(mesh.extent > 0) || !std::isfinite(mesh.extent)) return "extent not a positive finite number";
        if (!(mesh.scale > 0) || !std::isfinite(mesh.scale) || !std::isfinite(4 / mesh.extent))
            return "scale not a positive finite number";
    }
    return nullptr;
}
