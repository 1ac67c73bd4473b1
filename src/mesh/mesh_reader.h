// The .m mesh file reader: fills a mesh with the vertices and faces of a text
// file. loadMeshFile (mesh_prepare.h) empties the mesh first and fits it after.
#pragma once

#include "mesh/mesh.h"

#include <cstddef>

// Mesh files larger than this are not read (about 17 million faces).
constexpr size_t MAX_MESH_FILE_BYTES = size_t(1) << 30;

// Reads the whole file into `mesh`, appending vertices and faces and updating
// centroid (as a sum) and the bounds. Returns 0 when the file was read to its
// end, -1 when it cannot be opened, is no regular file, is larger than
// MAX_MESH_FILE_BYTES or reading fails part-way (the mesh may then hold part of
// it). Malformed lines are skipped with a warning on stderr that names the file
// and the line; faces of more than three corners are counted in one line there.
int readMeshFile(Mesh& mesh, const char* path);
// Interprets one line (at most 255 characters, zero-terminated) into `mesh`.
// Returns false for a malformed line, which is not stored; `problem` then says
// why. `moreCorners` (may be null) tells whether the line was a face with more
// than three vertex numbers, of which only the first three were kept.
bool parseMeshLine(Mesh& mesh, const char* line, const char** problem = nullptr, bool* moreCorners = nullptr);
