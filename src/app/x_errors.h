// How the viewer ends when its X connection fails: a window destroyed by another
// client, or the display itself lost. Start-up installs this before the first window.
#pragma once

// Installs X error and I/O error handlers that print one line on standard output
// and end the process at once with status 1, skipping the clean-up at exit,
// which could wait for ever on a lock the failed call still holds.
void installXErrorHandlers();
// GLUT window-status callback of both windows. A window that goes hidden may
// have been destroyed by another client, which freeglut does not report, and a
// hidden window is no longer drawn, so no X error would ever say so: when the
// window is gone, the X error handler ends the viewer.
void windowStatus(int state);
