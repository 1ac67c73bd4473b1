// Swap intervals through the GLX swap-control extensions: the drawing window
// swaps at the display's pace, so the continuous redraw does not run a
// desktop's processor flat out; the panel never waits. Called once per window
// at start-up.
#pragma once

// Asks the driver of the current window's context for a swap interval of
// `frames` display frames (0: do not wait) through GLX_EXT_swap_control,
// GLX_MESA_swap_control or GLX_SGI_swap_control, whichever it offers first.
// Returns false when none is offered. GLX_SGI_swap_control refuses 0.
bool requestSwapInterval(int frames);
