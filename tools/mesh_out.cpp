// Writes the .m text of the data tools and measures enclosed volume.
#include "mesh_out.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

int addVertex(OutMesh& mesh, double x, double y, double z)
{
    mesh.positions.push_back(x);
    mesh.positions.push_back(y);
    mesh.positions.push_back(z);
    return int(mesh.positions.size() / 3 - 1);
}

double signedVolume(const OutMesh& mesh, size_t firstFace, size_t lastFace)
{
    double sum = 0.0;
    for (size_t f = firstFace; f < lastFace; f++) {
        const double* a = &mesh.positions[3 * size_t(mesh.faces[f].corners[0])];
        const double* b = &mesh.positions[3 * size_t(mesh.faces[f].corners[1])];
        const double* c = &mesh.positions[3 * size_t(mesh.faces[f].corners[2])];
        sum += a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
               a[2] * (b[0] * c[1] - b[1] * c[0]);
    }
    return sum / 6.0;
}

void flipFaces(OutMesh& mesh, size_t firstFace, size_t lastFace)
{
    for (size_t f = firstFace; f < lastFace; f++)
        std::swap(mesh.faces[f].corners[1], mesh.faces[f].corners[2]);
}

bool writeMeshFile(const OutMesh& mesh, const char* path)
{
    FILE* file = fopen(path, "w");
    if (!file) {
        fprintf(stderr, "cannot write %s: %s\n", path, strerror(errno));
        return false;
    }
    for (const std::string& line : mesh.comments)
        fprintf(file, "# %s\n", line.c_str());
    size_t vertexCount = mesh.positions.size() / 3;
    for (size_t v = 0; v < vertexCount; v++) {
        const double* p = &mesh.positions[3 * v];
        // Adding 0.0 turns a negative zero into "0" rather than "-0".
        fprintf(file, "Vertex %zu %g %g %g\n", v + 1, p[0] + 0.0, p[1] + 0.0, p[2] + 0.0);
    }
    for (size_t f = 0; f < mesh.faces.size(); f++) {
        const OutFace& face = mesh.faces[f];
        fprintf(file, "Face %zu %d %d %d", f + 1, face.corners[0] + 1, face.corners[1] + 1,
                face.corners[2] + 1);
        if (face.hasColour) {
            fprintf(file, " {rgb=(%g %g %g)", face.colour[0], face.colour[1], face.colour[2]);
            if (face.matid >= 0) fprintf(file, " matid=%d", face.matid);
            fprintf(file, "}");
        }
        fprintf(file, "\n");
    }
    bool ok = !ferror(file);
    if (fclose(file) != 0) ok = false;
    if (!ok) fprintf(stderr, "cannot write %s: %s\n", path, strerror(errno));
    return ok;
}
