// The .m mesh file reader: fills the mesh that currentMesh designates with the
// vertices and faces of a text file. Start-up reads each file slot once through
// loadMeshSlot, which prepares the slot first.
#pragma once

// Reads the whole file into *currentMesh, appending vertices and faces and
// updating centroid (as a sum) and the bounds. Returns 0 when the file was read
// to its end, -1 when it cannot be opened or reading it fails part-way (the mesh
// may then hold part of it). Malformed lines are skipped with a warning on
// stderr that names the file and the line.
int readMeshFile(const char* path);
// Interprets one line (at most 255 characters, zero-terminated) into *currentMesh.
// Returns false for a malformed line, which is not stored; `problem` then says why.
bool parseMeshLine(const char* line, const char** problem = nullptr);
