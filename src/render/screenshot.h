// --screenshot: after a few frames the drawing window's picture is written as a
// PNG file and the viewer ends. The frame calls captureFrameIfAsked before its swap.
#pragma once

// Asks for the picture of the frame drawn after `frames` frames to go to `path`.
void requestScreenshot(const char* path, int frames);
// Counts a frame; when it is the asked one, reads the back buffer of the current
// window, writes it and ends the process: status 0, or 1 with a message on
// stderr when the file cannot be written. Nothing when no picture was asked for.
void captureFrameIfAsked();
// Writes an RGB picture of width x height pixels, rows bottom-up as OpenGL
// reads them, as a PNG file. False when the file cannot be written.
bool writePngBottomUp(const char* path, const unsigned char* rgb, int width, int height);
