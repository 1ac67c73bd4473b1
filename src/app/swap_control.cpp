// Swap interval through the GLX swap-control extensions.
#include "app/swap_control.h"

#include <GL/glx.h>

#include "app/glh_extensions.h"

template <typename Function> static Function lookUp(const char* name)
{
    return reinterpret_cast<Function>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

bool requestSwapInterval(int frames)
{
    Display* display = glXGetCurrentDisplay();
    GLXDrawable drawable = glXGetCurrentDrawable();
    if (!display || !drawable) return false;
    const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    if (!extensions) return false;
    if (containsExtensionName(extensions, "GLX_EXT_swap_control")) {
        auto swapInterval = lookUp<void (*)(Display*, GLXDrawable, int)>("glXSwapIntervalEXT");
        if (swapInterval) {
            swapInterval(display, drawable, frames);
            return true;
        }
    }
    if (containsExtensionName(extensions, "GLX_MESA_swap_control")) {
        auto swapInterval = lookUp<int (*)(unsigned int)>("glXSwapIntervalMESA");
        if (swapInterval && swapInterval(unsigned(frames)) == 0) return true;
    }
    if (containsExtensionName(extensions, "GLX_SGI_swap_control")) {
        auto swapInterval = lookUp<int (*)(int)>("glXSwapIntervalSGI");
        if (swapInterval && swapInterval(frames) == 0) return true;
    }
    return false;
}
