// Triangle meshes as the data tools build them, written out as .m text files. Used by
// simplify_bunny and make_cessna, which make the viewer's two mesh files.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct OutFace {
    int corners[3] = {0, 0, 0}; // 0-based vertex indices, counter-clockwise seen from outside
    bool hasColour = false;
    float colour[3] = {1.0f, 1.0f, 1.0f}; // red, green, blue in 0..1
    int matid = -1;                       // written as " matid=N" after the colour when >= 0
};

struct OutMesh {
    std::vector<double> positions; // x, y, z per vertex, world units
    std::vector<OutFace> faces;
    std::vector<std::string> comments; // written as "# ..." lines at the top
};

// Appends a vertex and returns its 0-based index.
int addVertex(OutMesh& mesh, double x, double y, double z);

// Volume enclosed by faces [firstFace, lastFace), in world units cubed: the sum of A·(B×C)/6.
// Positive when a closed surface winds counter-clockwise seen from outside.
double signedVolume(const OutMesh& mesh, size_t firstFace, size_t lastFace);

// Reverses the winding of faces [firstFace, lastFace).
void flipFaces(OutMesh& mesh, size_t firstFace, size_t lastFace);

// Writes the mesh as .m text; returns false after printing the reason when the file cannot be written.
bool writeMeshFile(const OutMesh& mesh, const char* path);
