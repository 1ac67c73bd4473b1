// The drawing window's picture as a file, for --screenshot.
#include "render/screenshot.h"

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include <GL/freeglut.h>

namespace {

std::string screenshotPath;
PictureFormat screenshotFormat = PICTURE_PNG;
int framesToGo = 0;

} // namespace

void requestScreenshot(const char* path, PictureFormat format, int frames)
{
    screenshotPath = path;
    screenshotFormat = format;
    framesToGo = frames;
}

void captureFrameIfAsked()
{
    if (screenshotPath.empty() || --framesToGo > 0) return;
    const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
    std::vector<unsigned char> pixels(size_t(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    const std::vector<unsigned char> bytes =
        encodePictureBottomUp(screenshotFormat, pixels.data(), width, height);
    std::string why = "the picture could not be encoded";
    const bool written = !bytes.empty() && writeWholeFile(screenshotPath, bytes, why);
    if (written)
        printf("Wrote %s (%d x %d pixels).\n", screenshotPath.c_str(), width, height);
    else
        fprintf(stderr, "meshshade: cannot write the screenshot %s: %s\n", screenshotPath.c_str(),
                why.c_str());
    fflush(stdout);
    fflush(stderr);
    // _exit: freeglut's clean-up at exit is not needed, and can block on the GLX lock
    _exit(written ? 0 : 1);
}
