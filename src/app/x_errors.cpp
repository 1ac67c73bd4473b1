// X error and I/O error handlers that end the process at once.
#include "app/x_errors.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

namespace {

// _exit, not exit: freeglut's and the OpenGL driver's clean-up at exit can
// block on the GLX lock held by the call that failed.
[[noreturn]] void endAtOnce()
{
    fflush(stdout);
    _exit(1);
}

// Whether an error says a window or its drawing surface no longer exists:
// core BadWindow and BadDrawable, or GLX's own codes for the same.
bool windowIsGone(int code, const char* text)
{
    if (code == BadWindow || code == BadDrawable) return true;
    return strncmp(text, "GLXBad", 6) == 0 && (strstr(text, "Drawable") || strstr(text, "Window"));
}

int onXError(Display* display, XErrorEvent* error)
{
    // the text comes from local tables: no request goes to the server from here
    char text[256] = "";
    XGetErrorText(display, error->error_code, text, sizeof text);
    if (windowIsGone(error->error_code, text))
        printf("meshshade: a window was destroyed by another client: %s\n", text);
    else
        printf("meshshade: X error: %s\n", text);
    endAtOnce();
}

int onXIOError(Display*)
{
    printf("meshshade: the X display was lost\n");
    endAtOnce();
}

} // namespace

void installXErrorHandlers()
{
    XSetErrorHandler(onXError);
    XSetIOErrorHandler(onXIOError);
}

void windowStatus(int state)
{
    if (state != GLUT_HIDDEN) return;
    // freeglut makes the window current for its callbacks; a round trip about
    // it fails with BadWindow once it is destroyed (an iconified one answers)
    Display* display = glXGetCurrentDisplay();
    const GLXDrawable window = glXGetCurrentDrawable();
    XWindowAttributes attributes;
    if (display && window) XGetWindowAttributes(display, window, &attributes);
}
