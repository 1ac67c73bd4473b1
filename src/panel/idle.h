// The idle callback: deferred light uploads and cube-map loads, and the
// continuous redraw of both windows.
#pragma once

void idle();
