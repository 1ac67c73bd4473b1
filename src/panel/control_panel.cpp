// The "Controls" window, drawn with Dear ImGui in a GLUT window of its own:
// opening it, and drawing its frames (the sections in panel_sections, its input
// in panel_events, when it is drawn in panel_redraw).
#include "panel/control_panel.h"

#include <algorithm>
#include <cmath>

#include <GL/freeglut.h>
#include <imgui.h>
#include <imgui_internal.h>
#include <backends/imgui_impl_glut.h>
#include <backends/imgui_impl_opengl2.h>

#include "panel/panel_events.h"
#include "panel/panel_layout.h"
#include "panel/panel_redraw.h"
#include "panel/panel_sections.h"

namespace {

int panelWindow = 0;

// Beside the drawing window, not over it: PANEL_GAP pixels right of it (at 720
// for the window of 600 x 600 at 100, 100), at its height.
const int PANEL_GAP = 20;
const int PANEL_Y = 100;
const int PANEL_WIDTH = 470;
const int PANEL_HEIGHT = 740;

// The dark style's window background (0.06, 0.06, 0.06 at alpha 0.94) blended
// over the former clear colour (0.2, 0.2, 0.22) gave 17, 17, 17 of 255: one
// clear to that costs far less than blending over the whole window.
const float PANEL_BACKGROUND[3] = {17 / 255.0f, 17 / 255.0f, 17 / 255.0f};

// Makes the window taller, up to the screen's bottom, when what it holds needs
// more than it has: a sky of one's own adds a choice, the programs' own
// parameters a section. It only grows, and asks once for each new need, so a
// window the user made smaller stays so until there is more to show.
void growToShow(float wanted)
{
    static int askedFor = PANEL_HEIGHT;
    const int needed = int(std::ceil(wanted));
    if (needed <= askedFor) return;
    askedFor = needed;
    const int height = glutGet(GLUT_WINDOW_HEIGHT);
    const int bottom = glutGet(GLUT_SCREEN_HEIGHT) - glutGet(GLUT_WINDOW_Y);
    const int grown = std::min(needed, bottom);
    if (grown > height) glutReshapeWindow(glutGet(GLUT_WINDOW_WIDTH), grown);
}

void drawControlPanel()
{
    panelFrameBegins();
    ImGui_ImplOpenGL2_NewFrame();
    ImGui_ImplGLUT_NewFrame();
    // Debian's ImGui 1.86 starts the frame inside ImGui_ImplGLUT_NewFrame, later
    // backends leave it to the caller; the frame scope (imgui_internal.h) tells which.
    if (!ImGui::GetCurrentContext()->WithinFrameScope) ImGui::NewFrame();

    beginLayoutReport();
    const ImGuiIO& io = ImGui::GetIO();
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(io.DisplaySize);
    ImGui::SetNextWindowBgAlpha(0.0f);
    ImGui::Begin("Controls", nullptr,
                 ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove |
                     ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoSavedSettings);
    lightAndMaterialSection();
    meshAndTextureSection();
    shaderOptionsSection();
    const float scrolledOff = yourParametersSection();
    const float wanted = ImGui::GetCursorPosY() + scrolledOff + ImGui::GetStyle().WindowPadding.y;
    ImGui::End();
    growToShow(wanted);
    endLayoutReport(panelFramesDrawn);
    // a held drag, an open list or text entry goes on drawing
    panelFrameBuilt(ImGui::IsAnyItemActive() || ImGui::IsPopupOpen(nullptr, ImGuiPopupFlags_AnyPopupId));

    ImGui::Render();
    glViewport(0, 0, int(io.DisplaySize.x), int(io.DisplaySize.y));
    glClearColor(PANEL_BACKGROUND[0], PANEL_BACKGROUND[1], PANEL_BACKGROUND[2], 1);
    glClear(GL_COLOR_BUFFER_BIT);
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
    glutSwapBuffers();
    // this frame has seen the presses where they were made; what was held back
    // reaches the next one
    giveHeldPointer();
}

} // namespace

void buildControlPanel()
{
    const int previous = glutGetWindow();
    openLayoutReport();
    // the drawing window was made with these just before; whatever its width
    const int panelX = glutGet(GLUT_INIT_WINDOW_X) + glutGet(GLUT_INIT_WINDOW_WIDTH) + PANEL_GAP;
    glutInitWindowSize(PANEL_WIDTH, PANEL_HEIGHT);
    glutInitWindowPosition(panelX, PANEL_Y);
    panelWindow = glutCreateWindow("Controls");
    glutDisplayFunc(drawControlPanel);

    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr; // the viewer writes no files
    ImGui::StyleColorsDark();
    ImGui_ImplGLUT_Init();
    ImGui_ImplGLUT_InstallFuncs(); // on the panel window only
    installPanelEvents();
    ImGui_ImplOpenGL2_Init();

    glutSetWindow(previous);
}

int controlPanelWindow()
{
    return panelWindow;
}

void syncPanel()
{
    if (panelWindow && panelNeedsDrawing()) glutPostWindowRedisplay(panelWindow);
}
