// --screenshot: after a few frames the drawing window's picture is written in
// the format of the file's extension and the viewer ends. The frame calls
// captureFrameIfAsked before its swap.
#pragma once

#include "io/picture_file.h"

// Asks for the picture of the frame drawn after `frames` frames to go to `path`.
void requestScreenshot(const char* path, PictureFormat format, int frames);
// Counts a frame; when it is the asked one, reads the back buffer of the current
// window, writes it and ends the process: status 0, or 1 with a message on
// stderr when the file cannot be written. Nothing when no picture was asked for.
void captureFrameIfAsked();
