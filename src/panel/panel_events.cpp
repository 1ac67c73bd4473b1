// Input events of the panel window, forwarded to Dear ImGui.
#include "panel/panel_events.h"

#include <GL/freeglut.h>
#include <imgui.h>
#include <backends/imgui_impl_glut.h>

#include "panel/panel_redraw.h"

namespace {

// The panel reads the mouse buttons once a frame. A click whose press and
// release both arrive between two frames would go unseen, so such a release is
// held back until the press has been through a frame.
struct HeldRelease {
    bool pressedSinceFrame = false;
    bool waiting = false;
    int x = 0, y = 0;
};
HeldRelease heldReleases[3];

// The GLUT backend reads Ctrl, Shift and Alt on key events only: a Ctrl held
// for a click would go unseen, a Shift let go since the last key would still
// speed up drags. Every pointer event takes them afresh.
void takeModifiers()
{
    const int modifiers = glutGetModifiers();
    ImGuiIO& io = ImGui::GetIO();
    io.KeyCtrl = (modifiers & GLUT_ACTIVE_CTRL) != 0;
    io.KeyShift = (modifiers & GLUT_ACTIVE_SHIFT) != 0;
    io.KeyAlt = (modifiers & GLUT_ACTIVE_ALT) != 0;
}

void panelMotion(int x, int y)
{
    panelInput();
    takeModifiers();
    ImGui_ImplGLUT_MotionFunc(x, y);
}

void panelWheel(int wheel, int direction, int x, int y)
{
    panelInput();
    takeModifiers();
    ImGui_ImplGLUT_MouseWheelFunc(wheel, direction, x, y);
}

void panelMouse(int button, int state, int x, int y)
{
    panelInput();
    takeModifiers();
    if (button >= 0 && button < 3) {
        HeldRelease& held = heldReleases[button];
        if (state == GLUT_DOWN) {
            held.pressedSinceFrame = true;
        } else if (held.pressedSinceFrame) {
            held.waiting = true;
            held.x = x;
            held.y = y;
            return;
        }
    }
    ImGui_ImplGLUT_MouseFunc(button, state, x, y);
}

void panelReshape(int width, int height)
{
    panelInput();
    ImGui_ImplGLUT_ReshapeFunc(width, height);
}

void panelKey(unsigned char c, int x, int y)
{
    panelInput();
    ImGui_ImplGLUT_KeyboardFunc(c, x, y);
}

void panelKeyUp(unsigned char c, int x, int y)
{
    panelInput();
    ImGui_ImplGLUT_KeyboardUpFunc(c, x, y);
}

void panelSpecial(int key, int x, int y)
{
    panelInput();
    ImGui_ImplGLUT_SpecialFunc(key, x, y);
}

void panelSpecialUp(int key, int x, int y)
{
    panelInput();
    ImGui_ImplGLUT_SpecialUpFunc(key, x, y);
}

} // namespace

void releaseHeldButtons()
{
    for (int button = 0; button < 3; button++) {
        HeldRelease& held = heldReleases[button];
        held.pressedSinceFrame = false;
        if (held.waiting) {
            held.waiting = false;
            ImGui_ImplGLUT_MouseFunc(button, GLUT_UP, held.x, held.y);
        }
    }
}

void installPanelEvents()
{
    glutMouseFunc(panelMouse);
    glutMotionFunc(panelMotion);
    glutPassiveMotionFunc(panelMotion);
    glutMouseWheelFunc(panelWheel);
    glutReshapeFunc(panelReshape);
    glutKeyboardFunc(panelKey);
    glutKeyboardUpFunc(panelKeyUp);
    glutSpecialFunc(panelSpecial);
    glutSpecialUpFunc(panelSpecialUp);
}
