// The idle callback: deferred light uploads and cube-map loads, live reloads of
// edited shader files, and the continuous redraw of both windows.
#pragma once

void idle();
