// Input events of the panel window, forwarded to Dear ImGui.
#include "panel/panel_events.h"

#include <GL/freeglut.h>
#include <imgui.h>
#include <backends/imgui_impl_glut.h>

#include "panel/panel_redraw.h"

namespace {

// The panel reads the pointer once a frame. A press followed before the next
// frame by its release would go unseen, and one followed by moves would be seen
// where the pointer went, not where it was pressed: a quick drag, or any drag
// on a busy machine, would start beside the field it was meant for. So until a
// frame has seen a press, releases and moves are held back; after that frame
// the next one gets them, as the pointer is then.
struct HeldPointer {
    bool pressedSinceFrame[3] = {};
    bool released[3] = {};
    bool moved = false;
    int x = 0, y = 0; // where the pointer was last
};
HeldPointer held;

bool pressUnseen()
{
    return held.pressedSinceFrame[0] || held.pressedSinceFrame[1] || held.pressedSinceFrame[2];
}

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
    held.x = x, held.y = y;
    if (pressUnseen())
        held.moved = true;
    else
        ImGui_ImplGLUT_MotionFunc(x, y);
}

void panelWheel(int wheel, int direction, int x, int y)
{
    panelInput();
    takeModifiers();
    held.x = x, held.y = y;
    ImGui_ImplGLUT_MouseWheelFunc(wheel, direction, x, y);
}

void panelMouse(int button, int state, int x, int y)
{
    panelInput();
    takeModifiers();
    held.x = x, held.y = y;
    if (button >= 0 && button < 3) {
        if (state == GLUT_DOWN) {
            held.pressedSinceFrame[button] = true;
        } else if (pressUnseen()) {
            held.released[button] = true;
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

void giveHeldPointer()
{
    for (int button = 0; button < 3; button++) {
        held.pressedSinceFrame[button] = false;
        if (held.released[button]) ImGui_ImplGLUT_MouseFunc(button, GLUT_UP, held.x, held.y);
        held.released[button] = false;
    }
    if (held.moved) ImGui_ImplGLUT_MotionFunc(held.x, held.y);
    held.moved = false;
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
