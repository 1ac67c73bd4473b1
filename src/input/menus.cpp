// The popup menus and the keyboard.
#include "input/menus.h"

#include <cstdio>
#include <cstdlib>

#include <GL/freeglut.h>

#include "app/resets.h"
#include "app/scene_state.h"
#include "input/help.h"
#include "input/mouse.h"
#include "render/projection.h"

void createMenus()
{
    int viewing = glutCreateMenu(viewingMenu);
    glutAddMenuEntry("Toggle Projection", VIEW_TOGGLE_PROJECTION);
    glutAddMenuEntry("Toggle Normals", VIEW_TOGGLE_NORMALS);
    glutAddMenuEntry("Toggle Shape Filling", VIEW_TOGGLE_FILLING);
    glutAddMenuEntry("Toggle Smooth/Flat Shading", VIEW_TOGGLE_SHADING);

    glutCreateMenu(mainMenu);
    glutAddSubMenu("Viewing", viewing);
    glutAddMenuEntry("Translate Mesh", MENU_TRANSLATE_MESH);
    glutAddMenuEntry("ScaleMesh", MENU_SCALE_MESH);
    glutAddMenuEntry("RotateMesh", MENU_ROTATE_MESH);
    glutAddMenuEntry("Translate Light (xy)", MENU_TRANSLATE_LIGHT_XY);
    glutAddMenuEntry("Translate Light (z)", MENU_TRANSLATE_LIGHT_Z);
    glutAddMenuEntry("Rotate Camera", MENU_ROTATE_CAMERA);
    glutAddMenuEntry("Reset All", MENU_RESET_ALL);
    glutAddMenuEntry("Reset Light", MENU_RESET_LIGHT);
    glutAddMenuEntry("Help", MENU_HELP);
    glutAddMenuEntry("Exit", MENU_EXIT);
    glutAttachMenu(GLUT_RIGHT_BUTTON);
    glutMenuStatusFunc(menuStatus);
}

void menuStatus(int status, int, int)
{
    if (status == GLUT_MENU_IN_USE) endDrag();
}

void applyMenuChoice(int value)
{
    switch (value) {
    case MENU_TRANSLATE_MESH:
        interactionMode = TranslateMesh;
        printf("Translate Mode\n");
        break;
    case MENU_SCALE_MESH:
        interactionMode = ScaleMesh;
        printf("Scale Mode\n");
        break;
    case MENU_ROTATE_MESH:
        interactionMode = RotateMesh;
        printf("Rotate Mode\n");
        break;
    case MENU_TRANSLATE_LIGHT_XY:
        interactionMode = TranslateLightXY;
        printf("Translate Light Mode\n");
        break;
    case MENU_TRANSLATE_LIGHT_Z:
        interactionMode = TranslateLightZ;
        printf("Translate Light Depth Mode\n");
        break;
    case MENU_ROTATE_CAMERA:
        interactionMode = RotateCamera;
        printf("Camera Rotate Mode\n");
        break;
    case MENU_RESET_ALL:
        printf("Resetting All...\n");
        resetAll();
        break;
    case MENU_RESET_LIGHT:
        printf("Resetting lighting...\n");
        resetLight();
        break;
    case MENU_HELP:
        printHelp();
        break;
    case MENU_EXIT:
        printf("Exiting...\n");
        exit(0);
    default:
        break;
    }
}

void mainMenu(int value)
{
    applyMenuChoice(value);
    glutPostRedisplay();
}

void keyboard(unsigned char key, int, int)
{
    switch (key) {
    case 27:
    case 'q':
    case 'Q':
        exit(0);
    case 'h':
    case 'H':
        printHelp();
        break;
    default:
        break;
    }
    glutPostRedisplay();
}
