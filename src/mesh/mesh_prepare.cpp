// Face normals and centres while a file is read, the fit of a file mesh into the
// view once it is read, and the fixed values of the built-in sphere.
#include "mesh/mesh_prepare.h"

#include <cassert>
#include <cfloat>
#include <cmath>
#include <cstdio>

#include "mesh/mesh_reader.h"
#include "mesh/vector_math.h"

// An extent below this (world units) counts as none: 1.5 / extent, and the
// 4 / extent limit of the scale drag, would no longer be finite floats.
static const double MIN_EXTENT = 1e-30;

void addFaceGeometry(Mesh& mesh, Face& face)
{
    for (int corner : face.corners) {
        (void)corner;
        assert(corner >= 1 && size_t(corner) <= mesh.vertices.size() &&
               "face corner names a vertex not read yet");
    }
    // Written out per coordinate: a million-face file spends much of its reading here.
    Vertex* const vertices = mesh.vertices.data();
    const float* a = vertices[face.corners[0] - 1].position;
    const float* b = vertices[face.corners[1] - 1].position;
    const float* c = vertices[face.corners[2] - 1].position;

    // normal = (C - B) x (A - B): corners counter-clockwise seen from the front give
    // a normal towards the viewer. In double, as differences and products of large
    // coordinates overflow a float.
    const double e1x = double(a[0]) - b[0], e1y = double(a[1]) - b[1], e1z = double(a[2]) - b[2];
    const double e2x = double(c[0]) - b[0], e2y = double(c[1]) - b[1], e2z = double(c[2]) - b[2];
    const double nx = e2y * e1z - e2z * e1y, ny = e2z * e1x - e2x * e1z, nz = e2x * e1y - e2y * e1x;
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    // Collinear corners give no direction: the normal stays zero rather than NaN.
    const double inverseLength = length > 0 ? 1.0 / length : 0.0;
    const float normal[3] = {float(nx * inverseLength), float(ny * inverseLength), float(nz * inverseLength)};
    for (int i = 0; i < 3; i++) {
        face.normal[i] = normal[i];
        face.centre[i] = float((double(a[i]) + b[i] + c[i]) * (1.0 / 3.0));
    }

    // Every face counts once in its vertices' normals, whatever its area.
    for (int corner : face.corners) {
        float* sum = vertices[corner - 1].normal;
        sum[0] += normal[0];
        sum[1] += normal[1];
        sum[2] += normal[2];
    }
}

// Centre, extent, scale and vertex normals of a mesh just read.
static void fitMesh(Mesh& mesh, const char* fileName)
{
    if (mesh.vertices.empty()) {
        fprintf(stderr, "%s: no vertices; the mesh is empty\n", fileName);
        // Nothing to fit: a neutral frame rather than the far-apart start bounds.
        for (int i = 0; i < 3; i++)
            mesh.centroid[i] = mesh.boundsMax[i] = mesh.boundsMin[i] = 0;
        mesh.extent = 1;
    } else {
        // The mean position of every vertex, used or not. Summed in double: a float
        // running sum loses precision on big meshes and can overflow.
        double sum[3] = {0, 0, 0};
        for (const Vertex& v : mesh.vertices)
            for (int i = 0; i < 3; i++)
                sum[i] += v.position[i];
        for (int i = 0; i < 3; i++)
            mesh.centroid[i] = float(sum[i] / double(mesh.vertices.size()));

        // Only x and y count: the view looks down z.
        double extent = double(mesh.boundsMax[0]) - mesh.boundsMin[0];
        double extentY = double(mesh.boundsMax[1]) - mesh.boundsMin[1];
        if (extentY > extent) extent = extentY;
        if (extent < MIN_EXTENT) {
            fprintf(stderr, "%s: all vertices share one x and one y; fitted as if 1 unit wide\n", fileName);
            extent = 1;
        }
        mesh.extent = float(extent < FLT_MAX ? extent : FLT_MAX);
    }
    mesh.scale = 1.5f / mesh.extent;

    // Vertex normals get length `scale`; one that summed to zero (a vertex no face
    // uses, or faces that cancel) stays zero.
    for (Vertex& v : mesh.vertices) {
        double length = vectorLength(v.normal);
        if (length > 0)
            for (float& component : v.normal)
                component = float(component * (mesh.scale / length));
    }
}

bool loadMeshFile(Mesh& mesh, const char* fileName)
{
    mesh.vertices.clear();
    mesh.faces.clear();
    // The bounds start at the far ends of the float range, so the first vertex
    // replaces them whatever its coordinates.
    for (int i = 0; i < 3; i++) {
        mesh.boundsMax[i] = -FLT_MAX;
        mesh.boundsMin[i] = FLT_MAX;
        mesh.centroid[i] = 0;
    }
    mesh.extent = 1;

    if (readMeshFile(mesh, fileName) != 0) {
        // A read error part-way may have left some of the file behind.
        mesh.vertices.clear();
        mesh.faces.clear();
        for (int i = 0; i < 3; i++)
            mesh.centroid[i] = 0;
        mesh.loaded = false;
        return false;
    }
    finishLoadedMesh(mesh, fileName);
    return true;
}

void finishLoadedMesh(Mesh& mesh, const char* fileName)
{
    mesh.hasGeometry = true;
    mesh.showNormals = false;
    mesh.filled = true;
    mesh.smoothShading = false;
    mesh.useShaders = true;
    mesh.translateX = 0;
    mesh.translateY = 0;
    setIdentityMatrix(mesh.rotation);
    mesh.rotationRef = mesh.rotation;
    fitMesh(mesh, fileName);
    mesh.geometryVersion = newGeometryVersion();
    mesh.loaded = true;
}

void giveFaceOwnColour(Face& face, const float rgb[3])
{
    for (int i = 0; i < 3; i++) {
        face.colour[i] = rgb[i];
        face.material.ambient[i] = 0.45f * rgb[i];
        face.material.diffuse[i] = 0.75f * rgb[i];
        face.material.specular[i] = rgb[i];
    }
    face.material.ambient[3] = face.material.diffuse[3] = face.material.specular[3] = 1.0f;
    face.material.shininess = 100.0f;
    face.material.hasOwnMaterial = true;
}

void scaleMeshNormals(Mesh& mesh, float ratio)
{
    for (Face& f : mesh.faces)
        for (float& c : f.normal)
            c *= ratio;
    for (Vertex& v : mesh.vertices)
        for (float& c : v.normal)
            c *= ratio;
    mesh.geometryVersion = newGeometryVersion();
}

uint64_t newGeometryVersion()
{
    static uint64_t last = 0;
    return ++last;
}

void setUpSphereMesh(Mesh& sphere)
{
    setIdentityMatrix(sphere.rotation);
    sphere.rotationRef = sphere.rotation;
    sphere.hasGeometry = false;
    sphere.showNormals = false;
    sphere.filled = true;
    sphere.smoothShading = false;
    sphere.useShaders = false;
    sphere.scale = 1.0f;
    sphere.previousScale = 1.0f;
    sphere.translateX = 0;
    sphere.translateY = 0;
    for (int i = 0; i < 3; i++) {
        sphere.boundsMax[i] = 1;
        sphere.boundsMin[i] = -1;
        sphere.centroid[i] = 0;
    }
    sphere.extent = 2.0f;
    sphere.loaded = true;
}
