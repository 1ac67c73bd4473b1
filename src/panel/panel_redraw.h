// When the panel window is drawn: a redraw costs as much as a mesh frame, so
// the panel is drawn again only for a few frames after input reached it, while
// ImGui is in the middle of something (a held drag, an open list), and when a
// value it shows differs from what it last drew. syncPanel (control_panel.h)
// asks for the redraw.
#pragma once

// Frames the panel has drawn since start-up; the layout report gives it.
extern long panelFramesDrawn;

// Input reached the panel window: draw it for a few frames, so that hover and
// press states ImGui takes from the previous frame's layout settle.
void panelInput();
// A panel frame begins: what it shows now is what it last drew.
void panelFrameBegins();
// A panel frame is built: while a control is held or a list is open the panel
// goes on drawing.
void panelFrameBuilt(bool imguiBusy);
// Whether the panel should be drawn again.
bool panelNeedsDrawing();
