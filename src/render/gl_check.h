// An OpenGL error check for test runs: with MESHSHADE_CHECK_GL set in the
// environment, every frame must end without an OpenGL error; the first error
// is reported on stderr and ends the program with a failure.
#pragma once

// Called by display at the end of every frame. Costs one getenv on the first
// frame and nothing afterwards when the check is off.
void checkFrameForGlErrors();
