// One frame of the drawing window: small meshes in immediate mode, big ones from buffers.
#include "render/frame.h"

#include <GL/freeglut.h>

#include "app/scene_state.h"
#include "render/cube_map.h"
#include "render/gl_check.h"
#include "render/mesh_buffers.h"
#include "render/refusal_box.h"
#include "render/screenshot.h"
#include "shading/cg_runtime.h"
#include "shading/shader_parameters.h"
#include "shading/shader_inputs.h"
#include "shading/shader_setup.h"
#include "shading/user_parameters.h"

void applyMaterial(const Material& m)
{
    glMaterialfv(GL_FRONT, GL_AMBIENT, m.ambient);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, m.diffuse);
    glMaterialfv(GL_FRONT, GL_SPECULAR, m.specular);
    glMaterialf(GL_FRONT, GL_SHININESS, m.shininess);
}

// A slot that was never set up has no rotation matrix and is never drawn.
static bool drawable(const Mesh& mesh)
{
    return mesh.loaded && mesh.rotationRef;
}

void display()
{
    const bool shaded = drawable(*currentMesh) && currentMesh->useShaders;
    // the programs' time and frame inputs move on once a frame, drawn shaded or not
    advanceShaderInputs();

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(eyePosition[0], eyePosition[1], eyePosition[2], lookAtPoint[0], lookAtPoint[1], lookAtPoint[2],
              upVector[0], upVector[1], upVector[2]);
    // the inverse camera alone: the programs turn eye-space vectors into world space with it
    setCameraParameters();
    // under the camera transform, so the light stays put in the world while the camera moves
    glLightfv(GL_LIGHT0, GL_POSITION, light.position);

    drawSkyCube();

    if (shaded) {
        cgGLEnableProfile(ShaderBindings.vertexProfile);
        cgGLEnableProfile(ShaderBindings.fragmentProfile);
        cgGLBindProgram(ShaderBindings.vertexProgram);
        cgGLBindProgram(ShaderBindings.fragmentProgram);
    }
    if (drawable(*currentMesh)) {
        glEnable(GL_CULL_FACE);
        drawMesh();
        glDisable(GL_CULL_FACE);
    }
    glPopMatrix();
    // why the last reload was refused, over the picture, while it stands
    drawRefusalBoxIfRefused();
    // --screenshot reads this frame before it is shown
    captureFrameIfAsked();
    glutSwapBuffers();
    // off only after the swap, so the next frame's sky is drawn without them
    if (shaded) {
        cgGLDisableProfile(ShaderBindings.vertexProfile);
        cgGLDisableProfile(ShaderBindings.fragmentProfile);
    }
    checkFrameForGlErrors();
}

// rotation = R(trackballAngle, trackballAxis) * rotation, through OpenGL's own matrix code.
static void foldTrackballIncrement(Mesh& mesh)
{
    if (trackballAngle == 0 || (trackballAxis[0] == 0 && trackballAxis[1] == 0 && trackballAxis[2] == 0))
        return;
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRotatef(trackballAngle, trackballAxis[0], trackballAxis[1], trackballAxis[2]);
    glMultMatrixf(mesh.rotation);
    glGetFloatv(GL_MODELVIEW_MATRIX, mesh.rotationRef);
    glPopMatrix();
}

void drawMesh()
{
    Mesh& mesh = *currentMesh;
    glPushMatrix();
    glTranslatef(mesh.translateX, mesh.translateY, 0);
    foldTrackballIncrement(mesh);
    glMultMatrixf(mesh.rotation);
    glScalef(mesh.scale, mesh.scale, mesh.scale);
    // turn and scale about the centroid
    glTranslatef(-mesh.centroid[0], -mesh.centroid[1], -mesh.centroid[2]);

    if (mesh.useShaders) {
        setShaderParameters();
        setUserParameters();
    }

    if (mesh.hasGeometry && mesh.faces.size() > bufferedDrawFaces) {
        drawMeshFromBuffers(mesh);
    } else if (mesh.hasGeometry) {
        for (const Face& face : mesh.faces) {
            drawFace(face);
            applyMaterial(material);
        }
    } else {
        drawSphere();
    }
    glPopMatrix();
}

void drawFace(const Face& face)
{
    const Mesh& mesh = *currentMesh;
    const Vertex* corner[3];
    for (int i = 0; i < 3; i++)
        corner[i] = &mesh.vertices[size_t(face.corners[i] - 1)];

    if (mesh.filled) {
        if (face.material.hasOwnMaterial) {
            applyMaterial(face.material);
            setMaterialParameters(face.material);
        } else {
            applyMaterial(material);
        }
        glBegin(GL_POLYGON);
        glColor3f(0, 0.5f, 0.5f);
        for (const Vertex* v : corner) {
            glNormal3fv(v->normal);
            glVertex3fv(v->position);
        }
        glEnd();
    } else {
        glLineWidth(1.0f);
        glBegin(GL_LINE_LOOP);
        glColor3f(0, 0, 0.5f);
        for (const Vertex* v : corner)
            glVertex3fv(v->position);
        glEnd();
    }
    glLineWidth(1.0f);

    if (mesh.showNormals) {
        glBegin(GL_LINES);
        glColor3f(1, 0, 0);
        glVertex3fv(face.centre);
        glVertex3f(face.centre[0] + face.normal[0] / 100, face.centre[1] + face.normal[1] / 100,
                   face.centre[2] + face.normal[2] / 100);
        glEnd();
    }
}

void drawSphere()
{
    glColor3f(1, 0, 0);
    if (currentMesh->filled)
        glutSolidSphere(0.5, 100, 100);
    else
        glutWireSphere(0.5, 100, 100);
}
