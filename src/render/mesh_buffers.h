// Big meshes drawn from OpenGL buffers instead of face by face: the vertex
// records as one array (positions and normals), the corners of all faces as one
// index buffer cut into runs of consecutive faces of the same material. The
// frame draws a mesh this way above bufferedDrawFaces faces.
#pragma once

#include <cstddef>

#include "mesh/mesh.h"

// Meshes with more faces than this are drawn from buffers; the shipped meshes
// (about 1,000 faces) are drawn face by face. Tests lower it to compare the two.
extern size_t bufferedDrawFaces;

// Draws the faces (filled or outlined) and normal lines of `mesh` under the
// current transform, with the same material and shader parameter uploads the
// face-by-face drawing sends, once per run of faces of one material. Uploads the
// buffers first when the mesh is new to it or its geometryVersion changed.
void drawMeshFromBuffers(const Mesh& mesh);
// Deletes every buffer uploaded so far; the next draw uploads again. Needs the
// context the buffers were made in.
void releaseMeshBuffers();
