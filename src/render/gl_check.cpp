// End-of-frame OpenGL error check.
#include "render/gl_check.h"

#include <cstdio>
#include <cstdlib>

#include <GL/gl.h>

void checkFrameForGlErrors()
{
    static const bool enabled = getenv("MESHSHADE_CHECK_GL") != nullptr;
    static unsigned long frame = 0;
    if (!enabled) return;
    frame++;
    GLenum error = glGetError();
    if (error == GL_NO_ERROR) return;
    fprintf(stderr, "OpenGL error 0x%04x at the end of frame %lu\n", error, frame);
    while ((error = glGetError()) != GL_NO_ERROR)
        fprintf(stderr, "OpenGL error 0x%04x at the end of frame %lu\n", error, frame);
    abort();
}
