// The "Controls" window: light, material and shading values edited live, the
// mesh and cube-map choices, the default buttons and the shader toggle.
#pragma once

// Control ids passed to controlCallback
enum {
    ID_LIGHT = 0,
    ID_DEFAULT_LIGHT = 1,
    ID_DEFAULT_MATERIAL = 2,
    ID_MESH = 3,
    ID_TEXTURE = 4,
    ID_DEFAULT_SHADING = 5,
    ID_SHADER_TOGGLE = 6,
};

// Opens the panel window beside the drawing window and installs its callbacks
// but the window-status one, which start-up gives both windows; the drawing
// window is current again on return. Start-up opens it as a side window.
void buildControlPanel();
// The panel's GLUT window; 0 before buildControlPanel.
int controlPanelWindow();
// Asks the panel window to be drawn again when it may show something new: input
// reached it in the last few frames, a value it shows differs from what it last
// drew, or ImGui is in the middle of something (a held drag, an open list).
// Called every idle round. Does nothing before the panel exists.
void syncPanel();

// Carries out the action of the control with this id (flags for the idle
// callback, defaults, mesh choice, shader toggle). Makes no OpenGL calls.
void controlCallback(int id);
