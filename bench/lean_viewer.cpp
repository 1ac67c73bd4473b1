// The machine's limit for the viewer's picture: a lean program that draws what
// the viewer draws at rest, and no more. The same sky, the same mesh file with
// the same two shader programs, drawn from one vertex buffer in one call, and a
// second 470 x 740 window cleared and swapped every frame where the viewer has
// its panel. The frame-rate benchmark runs it beside the viewer.
//   lean_viewer MESH.m   or   lean_viewer sphere
// Run in a directory that holds the viewer's files (cube maps, .cg programs).
#define GL_GLEXT_PROTOTYPES
#include <GL/freeglut.h>
#include <GL/glext.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/lighting.h"
#include "app/scene_state.h"
#include "io/image_file.h"
#include "mesh/mesh_prepare.h"
#include "render/cube_map.h"
#include "shading/cg_runtime.h"
#include "shading/shader_parameters.h"
#include "shading/shader_setup.h"

namespace {

int drawingWindow = 0, secondWindow = 0;
Mesh mesh;
bool sphere = false;
GLuint vertexBuffer = 0, indexBuffer = 0;
GLsizei indexCount = 0;

void uploadMesh()
{
    std::vector<uint32_t> corners;
    corners.reserve(mesh.faces.size() * 3);
    for (const Face& face : mesh.faces)
        for (int k = 0; k < 3; k++)
            corners.push_back(uint32_t(face.corners[k] - 1));
    glGenBuffers(1, &vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(mesh.vertices.size() * sizeof(Vertex)), mesh.vertices.data(),
                 GL_STATIC_DRAW);
    glGenBuffers(1, &indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(corners.size() * sizeof(uint32_t)), corners.data(),
                 GL_STATIC_DRAW);
    indexCount = GLsizei(corners.size());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void drawFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eyePosition[0], eyePosition[1], eyePosition[2], 0, 0, 0, 0, 1, 0);
    cgGLSetStateMatrixParameter(ShaderBindings.modelViewEyeI, CG_GL_MODELVIEW_MATRIX, CG_GL_MATRIX_INVERSE);
    glLightfv(GL_LIGHT0, GL_POSITION, light.position);
    drawSkyCube();
    glEnable(GL_CULL_FACE);
    if (sphere) {
        glColor3f(1, 0, 0);
        glutSolidSphere(0.5, 100, 100);
    } else {
        glScalef(mesh.scale, mesh.scale, mesh.scale);
        glTranslatef(-mesh.centroid[0], -mesh.centroid[1], -mesh.centroid[2]);
        cgGLEnableProfile(ShaderBindings.vertexProfile);
        cgGLEnableProfile(ShaderBindings.fragmentProfile);
        cgGLBindProgram(ShaderBindings.vertexProgram);
        cgGLBindProgram(ShaderBindings.fragmentProgram);
        setShaderParameters();
        glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glVertexPointer(3, GL_FLOAT, sizeof(Vertex), nullptr);
        glNormalPointer(GL_FLOAT, sizeof(Vertex), reinterpret_cast<const void*>(3 * sizeof(float)));
        glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_INT, nullptr);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    }
    glDisable(GL_CULL_FACE);
    glutSwapBuffers();
    if (!sphere) {
        cgGLDisableProfile(ShaderBindings.vertexProfile);
        cgGLDisableProfile(ShaderBindings.fragmentProfile);
    }
}

void clearSecondWindow()
{
    glClearColor(17 / 255.0f, 17 / 255.0f, 17 / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glutSwapBuffers();
}

void reshapeDrawing(int width, int height)
{
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, double(width) / double(height > 0 ? height : 1), 0.5, 40);
    glMatrixMode(GL_MODELVIEW);
}

void idleRound()
{
    glutPostWindowRedisplay(drawingWindow);
    glutPostWindowRedisplay(secondWindow);
}

} // namespace

int main(int argc, char** argv)
{
    setvbuf(stdout, nullptr, _IOLBF, 0);
    glutInit(&argc, argv);
    if (argc != 2) {
        fprintf(stderr, "usage: lean_viewer MESH.m | sphere\n");
        return 2;
    }
    sphere = strcmp(argv[1], "sphere") == 0;
    restoreStartValues();
    currentMesh = &mesh;

    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(600, 600);
    glutInitWindowPosition(100, 100);
    drawingWindow = glutCreateWindow("Mesh display");
    glutDisplayFunc(drawFrame);
    glutReshapeFunc(reshapeDrawing);
    glutIdleFunc(idleRound);

    glutInitWindowSize(470, 740);
    glutInitWindowPosition(720, 100);
    secondWindow = glutCreateWindow("Controls");
    glutDisplayFunc(clearSecondWindow);
    glutSetWindow(drawingWindow);

    initImages();
    loadCubeMap("sky");
    if (!sphere) {
        if (!loadMeshFile(mesh, argv[1])) return 1;
        uploadMesh();
    }
    eyePosition[0] = 0, eyePosition[1] = 0, eyePosition[2] = cameraRadius;
    glEnable(GL_DEPTH_TEST);
    initLighting();
    glEnable(GL_LIGHTING);
    glClearColor(0, 0, 0, 0);
    setupShaders();
    glutMainLoop();
    return 0;
}
