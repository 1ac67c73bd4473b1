// Mesh preparation: face normals and centres while a file is read, vertex
// normals and the fit into the view afterwards, and the built-in sphere.
// Works on the mesh it is given; the viewer's slots are set up in app/mesh_slots.
#pragma once

#include "mesh/mesh.h"

// Fills face.normal (unit length) and face.centre from its corners, and adds the
// normal to its three vertices in `mesh`. The corners must be valid 1-based
// numbers of vertices of `mesh`.
void addFaceGeometry(Mesh& mesh, Face& face);
// Empties `mesh`, resets its bounds and reads the file into it; on success fits
// it (flags, identity rotation, extent, centroid, scale, vertex normals) and
// returns true. On failure the mesh is left empty with loaded false.
bool loadMeshFile(Mesh& mesh, const char* fileName);
// Sets the flags, identity rotation and fit of a mesh whose vertices, faces and
// bounds were just filled (the bounds reset as loadMeshFile resets them), and
// marks it loaded. `fileName` names it in warnings.
void finishLoadedMesh(Mesh& mesh, const char* fileName);
// Gives a face its own colour and the material made from it, as a colour block
// "{rgb=(r g b" of a mesh file does.
void giveFaceOwnColour(Face& face, const float rgb[3]);
// Multiplies every face and vertex normal of a mesh by `ratio`: when the scale
// changes, normals keep their lengths in proportion to it.
void scaleMeshNormals(Mesh& mesh, float ratio);
// Gives `sphere` the fixed values of the built-in sphere: no faces, extent 2,
// scale 1, identity rotation, loaded.
void setUpSphereMesh(Mesh& sphere);
