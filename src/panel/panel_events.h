// The panel window's input: GLUT's mouse, motion, wheel, key and reshape events
// forwarded to Dear ImGui's GLUT backend, with what that backend misses (the
// modifier keys on pointer events, a press whose release or moves come before a
// panel frame has seen it). Every event asks the panel to be drawn for a few frames.
#pragma once

// Installs the forwarding callbacks on the current window, the panel's.
void installPanelEvents();
// Called once a panel frame has seen the presses: hands the releases and moves
// held back to ImGui for the next frame.
void giveHeldPointer();
