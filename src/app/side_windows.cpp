// One OpenGL context for the side windows. freeglut gives every window a context
// of its own, each menu's included, and keeps one more for the menus; in the
// software renderer every context holds several MiB at rest. The panel and the
// menus draw little and set up their own state for every picture, so one context
// serves them all, while the drawing window keeps its own.
//
// GLUT offers no choice of context for menus, so the context calls freeglut makes
// are taken over here (this program's definitions come first for the libraries
// it loads) and passed on to the GLX library's.
#include "app/side_windows.h"

#include <dlfcn.h>

#include <GL/freeglut.h>
#include <GL/glx.h>

namespace {

bool opening = false;        // side windows are being opened
GLXContext shared = nullptr; // their context, once the first is open
int users = 0;               // side windows drawn with it, plus freeglut's menu context
unsigned modeBefore = 0;

template <typename Function> Function glxFunction(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

void beginSideWindows()
{
    modeBefore = unsigned(glutGet(GLUT_INIT_DISPLAY_MODE));
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    opening = true;
}

void endSideWindows()
{
    opening = false;
    glutInitDisplayMode(modeBefore);
}

extern "C" GLXContext glXCreateNewContext(Display* display, GLXFBConfig config, int renderType,
                                          GLXContext shareList, Bool direct)
{
    static const auto create =
        glxFunction<GLXContext (*)(Display*, GLXFBConfig, int, GLXContext, Bool)>("glXCreateNewContext");
    if (!create) return nullptr;
    if (!opening) return create(display, config, renderType, shareList, direct);
    if (!shared) shared = create(display, config, renderType, shareList, direct);
    if (shared) users++;
    return shared;
}

// freeglut destroys a window's context with the window: the shared one goes
// with its last user.
extern "C" void glXDestroyContext(Display* display, GLXContext context)
{
    static const auto destroy = glxFunction<void (*)(Display*, GLXContext)>("glXDestroyContext");
    if (context && context == shared) {
        if (--users > 0) return;
        shared = nullptr;
    }
    if (destroy) destroy(display, context);
}

// freeglut sets a menu window's viewport only when the window changes size,
// into what it takes to be the window's own context: with one context for all,
// the last window resized would set every window's viewport. Each switch to a
// side window sets the window's own. (The panel sets its viewport for every
// picture anyway.)
extern "C" Bool glXMakeContextCurrent(Display* display, GLXDrawable draw, GLXDrawable read,
                                      GLXContext context)
{
    static const auto makeCurrent =
        glxFunction<Bool (*)(Display*, GLXDrawable, GLXDrawable, GLXContext)>("glXMakeContextCurrent");
    if (!makeCurrent) return False;
    const Bool made = makeCurrent(display, draw, read, context);
    if (made && context && context == shared && draw != None) {
        Window root;
        int x, y;
        unsigned width, height, border, depth;
        if (XGetGeometry(display, draw, &root, &x, &y, &width, &height, &border, &depth))
            glViewport(0, 0, GLsizei(width), GLsizei(height));
    }
    return made;
}
