// Mesh preparation: face normals and centres while a file is read, vertex
// normals and the fit into the view afterwards, and the set-up of the three slots.
#pragma once

#include "mesh/mesh.h"

// Fills face.normal (unit length) and face.centre from its corners, and adds the
// normal to its three vertices in *currentMesh. The corners must be valid
// 1-based numbers of vertices already read.
void addFaceGeometry(Face& face);
// Sets up file slot 1 or 2: resets its bounds, reads the file and, on success,
// fits it (flags, identity rotation, extent, centroid, scale, vertex normals).
// On failure the slot keeps loaded 0. currentMesh points at the slot afterwards.
void loadMeshSlot(int slot, const char* fileName);
// Multiplies every face and vertex normal of a mesh by `ratio`: when the scale
// changes, normals keep their lengths in proportion to it.
void scaleMeshNormals(Mesh& mesh, float ratio);
// Sets up slot 0, the built-in sphere.
void initSphereSlot();
// After the file slots: when currentMesh names a slot that was never set up,
// shows slot currentMeshIndex instead (the last file read, else the sphere).
void keepLoadedSlotCurrent();
