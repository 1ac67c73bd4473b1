// Projection, viewport, the view clamp and the viewing toggles.
#include "render/projection.h"

#include <GL/freeglut.h>

#include "app/scene_state.h"

void reshape(int width, int height)
{
    windowWidth = width;
    windowHeight = height;
    // A minimised window has no aspect: keep the last projection until the
    // window comes back with a real size.
    if (width > 0 && height > 0) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        if (perspectiveProjection)
            gluPerspective(45, double(width) / double(height), 0.5, 40);
        else
            glOrtho(width * orthoLeft / height, width * orthoRight / height, orthoBottom, orthoTop, 0.5, 40);
        glMatrixMode(GL_MODELVIEW);
        glViewport(0, 0, width, height);
        keepMeshInView(CLAMP_X);
    }
    glutPostRedisplay();
}

ViewWindow drawingWindow()
{
    return {windowWidth, windowHeight, orthoLeft, orthoRight, orthoBottom, orthoTop};
}

void keepMeshInView(Mesh& m, const ViewWindow& window, ClampAxes axes)
{
    if (window.width <= 0 || window.height <= 0) return;
    // where the clamp looks: the drawn centroid, or scale * centroid + translation
    const float s = m.clampDrawnCentroid ? 0.0f : m.scale;
    // the limits are the orthographic ones whatever the projection
    const float right = window.width * window.right / window.height;
    const float left = window.width * window.left / window.height;
    if (s * m.centroid[0] + m.translateX > right)
        m.translateX = right - s * m.centroid[0];
    else if (s * m.centroid[0] + m.translateX < left)
        m.translateX = left - s * m.centroid[0];
    if (axes != CLAMP_X_AND_Y) return;
    if (s * m.centroid[1] + m.translateY < window.bottom)
        m.translateY = window.bottom - s * m.centroid[1];
    else if (s * m.centroid[1] + m.translateY > window.top)
        m.translateY = window.top - s * m.centroid[1];
}

void keepMeshInView(ClampAxes axes)
{
    keepMeshInView(*currentMesh, drawingWindow(), axes);
}

void viewingMenu(int value)
{
    switch (value) {
    case VIEW_TOGGLE_PROJECTION:
        perspectiveProjection = perspectiveProjection ? 0 : 1;
        reshape(windowWidth, windowHeight);
        break;
    case VIEW_TOGGLE_NORMALS:
        currentMesh->showNormals = !currentMesh->showNormals;
        break;
    case VIEW_TOGGLE_FILLING:
        currentMesh->filled = !currentMesh->filled;
        break;
    case VIEW_TOGGLE_SHADING:
        currentMesh->smoothShading = !currentMesh->smoothShading;
        glShadeModel(currentMesh->smoothShading ? GL_SMOOTH : GL_FLAT);
        break;
    default:
        break;
    }
    glutPostRedisplay();
}
