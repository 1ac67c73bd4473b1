// Buffer swaps synchronised to the display, so the continuous redraw does not
// run a desktop's processor flat out. Called once per window at start-up.
#pragma once

// Asks the driver of the current window's context for a swap interval of one
// frame through GLX_EXT_swap_control, GLX_MESA_swap_control or
// GLX_SGI_swap_control, whichever it offers first. Returns false when none is offered.
bool requestSynchronisedSwaps();
