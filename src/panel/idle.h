// The idle callback: deferred light uploads and cube-map loads, live reloads of
// edited shader files, the continuous redraw of the drawing window, and a redraw
// of the panel when it may show something new.
#pragma once

void idle();
