// Buffers of big meshes and their draw.
#include "render/mesh_buffers.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "app/scene_state.h"
#include "render/frame.h"
#include "shading/shader_parameters.h"

size_t bufferedDrawFaces = 20000;

namespace {

static_assert(sizeof(Vertex) == 6 * sizeof(float), "vertex records go to OpenGL as they are");

// Faces [first, first + count) share one material.
struct MaterialRun {
    size_t first = 0;
    size_t count = 0;
};

// What one mesh has uploaded.
struct MeshBuffers {
    const Mesh* mesh = nullptr;
    uint64_t version = 0;            // geometryVersion of the upload
    GLuint vertices = 0;             // the Vertex records
    GLuint corners = 0;              // three 0-based vertex indices per face
    GLuint normalLines = 0;          // per face: centre and tip, as Vertex records; made on first use
    uint64_t normalLinesVersion = 0; // geometryVersion of normalLines
    std::vector<MaterialRun> runs;
    float lastNormal[3] = {0, 0, 1}; // of the last face's last corner
};

std::vector<MeshBuffers> uploads;

bool sameMaterial(const Material& a, const Material& b)
{
    if (a.hasOwnMaterial != b.hasOwnMaterial) return false;
    if (!a.hasOwnMaterial) return true;
    return memcmp(a.ambient, b.ambient, sizeof a.ambient) == 0 &&
           memcmp(a.diffuse, b.diffuse, sizeof a.diffuse) == 0 &&
           memcmp(a.specular, b.specular, sizeof a.specular) == 0 && a.shininess == b.shininess;
}

void upload(MeshBuffers& b, const Mesh& mesh)
{
    if (!b.vertices) glGenBuffers(1, &b.vertices);
    glBindBuffer(GL_ARRAY_BUFFER, b.vertices);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(mesh.vertices.size() * sizeof(Vertex)), mesh.vertices.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    // Written straight into the buffer, with no copy of a million faces' worth.
    if (!b.corners) glGenBuffers(1, &b.corners);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.corners);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(mesh.faces.size() * 3 * sizeof(uint32_t)), nullptr,
                 GL_STATIC_DRAW);
    auto* out = static_cast<uint32_t*>(glMapBuffer(GL_ELEMENT_ARRAY_BUFFER, GL_WRITE_ONLY));
    b.runs.clear();
    if (out) {
        for (size_t i = 0; i < mesh.faces.size(); i++) {
            const Face& face = mesh.faces[i];
            // First corner last: with flat shading a triangle takes its colour from
            // its last corner, the face-by-face polygon from its first.
            out[3 * i] = uint32_t(face.corners[1] - 1);
            out[3 * i + 1] = uint32_t(face.corners[2] - 1);
            out[3 * i + 2] = uint32_t(face.corners[0] - 1);
            if (b.runs.empty() || !sameMaterial(mesh.faces[i - 1].material, face.material))
                b.runs.push_back({i, 0});
            b.runs.back().count++;
        }
        glUnmapBuffer(GL_ELEMENT_ARRAY_BUFFER);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    if (!mesh.faces.empty()) {
        const Face& last = mesh.faces.back();
        memcpy(b.lastNormal, mesh.vertices[size_t(last.corners[2] - 1)].normal, sizeof b.lastNormal);
    }
    b.version = mesh.geometryVersion;
}

// A normal line is lit with the normal of its face's last corner, the current
// normal when the face-by-face drawing draws it.
void uploadNormalLines(MeshBuffers& b, const Mesh& mesh)
{
    if (!b.normalLines) glGenBuffers(1, &b.normalLines);
    glBindBuffer(GL_ARRAY_BUFFER, b.normalLines);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(mesh.faces.size() * 2 * sizeof(Vertex)), nullptr,
                 GL_STATIC_DRAW);
    if (auto* out = static_cast<Vertex*>(glMapBuffer(GL_ARRAY_BUFFER, GL_WRITE_ONLY))) {
        for (const Face& face : mesh.faces) {
            const float* normal = mesh.vertices[size_t(face.corners[2] - 1)].normal;
            Vertex centre, tip;
            for (int k = 0; k < 3; k++) {
                centre.position[k] = face.centre[k];
                tip.position[k] = face.centre[k] + face.normal[k] / 100;
                centre.normal[k] = tip.normal[k] = normal[k];
            }
            *out++ = centre;
            *out++ = tip;
        }
        glUnmapBuffer(GL_ARRAY_BUFFER);
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    b.normalLinesVersion = mesh.geometryVersion;
}

MeshBuffers& buffersFor(const Mesh& mesh)
{
    MeshBuffers* found = nullptr;
    for (MeshBuffers& b : uploads)
        if (b.mesh == &mesh) found = &b;
    if (!found) {
        uploads.emplace_back();
        found = &uploads.back();
        found->mesh = &mesh;
    }
    if (found->version != mesh.geometryVersion || found->version == 0) upload(*found, mesh);
    return *found;
}

const void* byteOffset(size_t bytes)
{
    return reinterpret_cast<const void*>(bytes);
}

void pointAt(GLuint buffer, bool withNormals)
{
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), byteOffset(offsetof(Vertex, position)));
    if (withNormals) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, sizeof(Vertex), byteOffset(offsetof(Vertex, normal)));
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
    }
}

void drawFaces(const MeshBuffers& b, const MaterialRun& run)
{
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.corners);
    glDrawElements(GL_TRIANGLES, GLsizei(run.count * 3), GL_UNSIGNED_INT,
                   byteOffset(run.first * 3 * sizeof(uint32_t)));
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void drawNormalLines(const MeshBuffers& b, const MaterialRun& run, bool lit)
{
    glColor3f(1, 0, 0);
    pointAt(b.normalLines, lit);
    glDrawArrays(GL_LINES, GLint(run.first * 2), GLsizei(run.count * 2));
}

} // namespace

void drawMeshFromBuffers(const Mesh& mesh)
{
    MeshBuffers& b = buffersFor(mesh);
    if (mesh.showNormals && b.normalLinesVersion != mesh.geometryVersion) uploadNormalLines(b, mesh);

    if (mesh.filled) {
        for (const MaterialRun& run : b.runs) {
            const Material& own = mesh.faces[run.first].material;
            if (own.hasOwnMaterial) {
                applyMaterial(own);
                setMaterialParameters(own);
            } else {
                applyMaterial(material);
            }
            glColor3f(0, 0.5f, 0.5f);
            pointAt(b.vertices, true);
            drawFaces(b, run);
            if (mesh.showNormals) drawNormalLines(b, run, true);
            applyMaterial(material);
        }
        // as the face-by-face drawing leaves it, for the outlines of a later frame
        glNormal3fv(b.lastNormal);
    } else {
        // every edge of every face, turned away or not, as line loops draw them;
        // no normals, so lines are lit by the current normal
        glDisable(GL_CULL_FACE);
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        glColor3f(0, 0, 0.5f);
        pointAt(b.vertices, false);
        const MaterialRun all = {0, mesh.faces.size()};
        drawFaces(b, all);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glEnable(GL_CULL_FACE);
        if (mesh.showNormals) drawNormalLines(b, all, false);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void releaseMeshBuffers()
{
    for (MeshBuffers& b : uploads) {
        const GLuint names[3] = {b.vertices, b.corners, b.normalLines};
        for (GLuint name : names)
            if (name) glDeleteBuffers(1, &name);
    }
    uploads.clear();
}
