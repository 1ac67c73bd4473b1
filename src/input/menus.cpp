// The popup menus and the keyboard.
#include "input/menus.h"

#include <cassert>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <GL/freeglut.h>

#include "app/resets.h"
#include "app/scene_state.h"
#include "input/help.h"
#include "input/mouse.h"
#include "render/projection.h"

namespace {

// The mode entries in menu order: the value the menu hands back, the drag mode
// it selects (the two numberings differ), its label and the line it prints.
struct ModeEntry {
    int value;
    InteractionMode mode;
    const char* label;
    const char* line;
};
const ModeEntry MODE_ENTRIES[] = {
    {MENU_TRANSLATE_MESH, TranslateMesh, "Translate Mesh", "Translate Mode\n"},
    {MENU_SCALE_MESH, ScaleMesh, "ScaleMesh", "Scale Mode\n"},
    {MENU_ROTATE_MESH, RotateMesh, "RotateMesh", "Rotate Mode\n"},
    {MENU_TRANSLATE_LIGHT_XY, TranslateLightXY, "Translate Light (xy)", "Translate Light Mode\n"},
    {MENU_TRANSLATE_LIGHT_Z, TranslateLightZ, "Translate Light (z)", "Translate Light Depth Mode\n"},
    {MENU_ROTATE_CAMERA, RotateCamera, "Rotate Camera", "Camera Rotate Mode\n"},
};

// freeglut opens every menu in a window of its own, 300 x 300 pixels, and sizes
// it only when the menu first opens. With Mesa's software rasteriser the window
// keeps buffers of its first size until it has been drawn once, so a menu's
// first picture lands 300 - height pixels too low (the main menu a row down,
// "Viewing" all black). Drawing open menus again shortly after puts them right.
std::vector<int> menuWindows;
bool menuInUse = false;
bool redrawScheduled = false;
const unsigned MENU_REDRAW_MS = 30;
// freeglut numbers its windows from 1 up; ours and the menus' stay well below this
const int WINDOW_ID_LIMIT = 64;

void ignoreWarning(const char*, va_list) {}

// The numbers of the menus' windows. freeglut numbers every window it opens,
// menus' included, from 1 up, and glutGetWindow answers 0 on a menu's window.
std::vector<int> findMenuWindows()
{
    const int current = glutGetWindow();
    assert(current != 0 && "the menus are found from a window of the viewer's");
    // a number without a window is only a warning: keep it off the console
    glutInitWarningFunc(ignoreWarning);
    std::vector<int> found;
    for (int id = 1; id < WINDOW_ID_LIMIT; id++) {
        glutSetWindow(current);
        glutSetWindow(id);
        if (glutGetWindow() == 0) found.push_back(id);
    }
    glutInitWarningFunc(nullptr);
    glutSetWindow(current);
    return found;
}

void redrawOpenMenus(int)
{
    redrawScheduled = false;
    if (!menuInUse) return;
    for (int id : menuWindows)
        glutPostWindowRedisplay(id);
    redrawScheduled = true;
    glutTimerFunc(MENU_REDRAW_MS, redrawOpenMenus, 0);
}

} // namespace

void createMenus()
{
    int viewing = glutCreateMenu(viewingMenu);
    glutAddMenuEntry("Toggle Projection", VIEW_TOGGLE_PROJECTION);
    glutAddMenuEntry("Toggle Normals", VIEW_TOGGLE_NORMALS);
    glutAddMenuEntry("Toggle Shape Filling", VIEW_TOGGLE_FILLING);
    glutAddMenuEntry("Toggle Smooth/Flat Shading", VIEW_TOGGLE_SHADING);

    glutCreateMenu(mainMenu);
    glutAddSubMenu("Viewing", viewing);
    for (const ModeEntry& entry : MODE_ENTRIES)
        glutAddMenuEntry(entry.label, entry.value);
    glutAddMenuEntry("Reset All", MENU_RESET_ALL);
    glutAddMenuEntry("Reset Light", MENU_RESET_LIGHT);
    glutAddMenuEntry("Help", MENU_HELP);
    glutAddMenuEntry("Exit", MENU_EXIT);
    glutAttachMenu(GLUT_RIGHT_BUTTON);
    glutMenuStatusFunc(menuStatus);

    menuWindows = findMenuWindows();
}

void menuStatus(int status, int, int)
{
    menuInUse = status == GLUT_MENU_IN_USE;
    if (!menuInUse) return;
    endDrag();
    if (!redrawScheduled) {
        redrawScheduled = true;
        glutTimerFunc(MENU_REDRAW_MS, redrawOpenMenus, 0);
    }
}

void applyMenuChoice(int value)
{
    for (const ModeEntry& entry : MODE_ENTRIES)
        if (entry.value == value) {
            interactionMode = entry.mode;
            fputs(entry.line, stdout);
            return;
        }
    switch (value) {
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
