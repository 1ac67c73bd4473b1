// The .m mesh file reader: fills a mesh with the vertices and faces of a text
// file. loadMeshFile (mesh_prepare.h) empties the mesh first and fits it after.
#pragma once

#include "mesh/mesh.h"

// Reads the whole file into `mesh`, appending vertices and faces and updating
// centroid (as a sum) and the bounds. Returns 0 when the file was read to its
// end, -1 when it cannot be opened or reading it fails part-way (the mesh may
// then hold part of it). Malformed lines are skipped with a warning on stderr
// that names the file and the line.
int readMeshFile(Mesh& mesh, const char* path);
// Interprets one line (at most 255 characters, zero-terminated) into `mesh`.
// Returns false for a malformed line, which is not stored; `problem` then says why.
bool parseMeshLine(Mesh& mesh, const char* line, const char** problem = nullptr);
