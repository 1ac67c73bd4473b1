// The drawing window's picture as a PNG file, for --screenshot.
#include "render/screenshot.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include <GL/freeglut.h>
#include <stb/stb_image_write.h>

namespace {

std::string screenshotPath;
int framesToGo = 0;

} // namespace

void requestScreenshot(const char* path, int frames)
{
    screenshotPath = path;
    framesToGo = frames;
}

bool writePngBottomUp(const char* path, const unsigned char* rgb, int width, int height)
{
    // PNG rows run top-down
    stbi_flip_vertically_on_write(1);
    return stbi_write_png(path, width, height, 3, rgb, width * 3) != 0;
}

void captureFrameIfAsked()
{
    if (screenshotPath.empty() || --framesToGo > 0) return;
    const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
    std::vector<unsigned char> pixels(size_t(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    const bool written = writePngBottomUp(screenshotPath.c_str(), pixels.data(), width, height);
    if (written)
        printf("Wrote %s (%d x %d pixels).\n", screenshotPath.c_str(), width, height);
    else
        fprintf(stderr, "meshshade: cannot write the screenshot %s: %s\n", screenshotPath.c_str(),
                strerror(errno));
    fflush(stdout);
    fflush(stderr);
    // _exit: freeglut's clean-up at exit is not needed, and can block on the GLX lock
    _exit(written ? 0 : 1);
}
