// Mouse callbacks: unpack the event, call the drag step.
#include "input/mouse.h"

#include <GL/freeglut.h>

#include "app/scene_state.h"
#include "input/drag_steps.h"

// Notes where the pointer is, bottom-up, for the programs' u_mouse.
static void notePointer(int x, int y)
{
    pointerPosition[0] = float(x);
    pointerPosition[1] = float(windowHeight - y - 1);
}

void mouse(int button, int state, int x, int y)
{
    notePointer(x, y);
    mouseButton = button;
    if (button != GLUT_LEFT_BUTTON && button != GLUT_MIDDLE_BUTTON) return;
    if (state == GLUT_DOWN) {
        lastMouseX = x;
        lastMouseY = windowHeight - y - 1;
    } else {
        trackballAngle = 0;
    }
}

void motion(int x, int y)
{
    notePointer(x, y);
    // a minimised window has no pixel mapping
    if (windowWidth <= 0 || windowHeight <= 0) return;
    const int yf = windowHeight - y - 1;
    if (mouseButton == GLUT_LEFT_BUTTON) {
        switch (interactionMode) {
        case TranslateMesh:
            translateMeshStep(x, yf);
            break;
        case RotateMesh:
            rotateMeshStep(x, yf);
            break;
        case ScaleMesh:
            scaleMeshStep(x);
            break;
        case TranslateLightXY:
            translateLightXYStep(x, yf);
            break;
        case TranslateLightZ:
            translateLightZStep(x, yf);
            break;
        case RotateCamera:
            rotateCameraStep(x, yf);
            break;
        }
    } else if (mouseButton == GLUT_MIDDLE_BUTTON) {
        zoomStep(x, yf);
    }
    glutPostRedisplay();
}

void passiveMotion(int x, int y)
{
    notePointer(x, y);
    trackballAngle = 0;
}

void endDrag()
{
    // the right button opened the menu: the last button event is its press
    mouseButton = GLUT_RIGHT_BUTTON;
    trackballAngle = 0;
}
