// The X side of end-to-end tests: find a top-level window by its title, read
// its pixels, and drive the pointer and keyboard through XTest, as a user would.
#pragma once

#include <string>
#include <vector>
#include <X11/Xlib.h>

// An RGB picture of a window, rows from the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb; // 3 bytes a pixel
    const unsigned char* at(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

struct WindowInfo {
    Window id = 0;
    int x = 0, y = 0; // position on the screen (root coordinates)
    int width = 0, height = 0;
};

// Opens the display named by DISPLAY (once per process) and returns it.
Display* testDisplay();
// Waits until a window with exactly this title is mapped; false after the timeout.
bool findWindow(const std::string& title, WindowInfo& info, int timeoutMs);
// The top-level window shown at the screen point (x, y), such as a popup menu
// over another window; 0 for none.
Window windowAt(int x, int y);
// Reads the window's current size and position again.
bool updateWindowInfo(WindowInfo& info);
// The window's pixels as they are on the screen now.
Picture capture(const WindowInfo& window);
// Captures after a fixed pause. A test of the viewer waits on its frames instead
// (captureAfterFrames, viewer.h).
Picture captureAfter(const WindowInfo& window, int delayMs);
// A region of the screen (root window).
Picture captureScreen(int x, int y, int width, int height);
bool savePng(const Picture& picture, const std::string& path);

// Input, in window coordinates (pixels from the window's top-left corner).
void movePointer(const WindowInfo& window, int x, int y);
void pressButton(int button); // 1 left, 2 middle, 3 right
void releaseButton(int button);
void clickAt(const WindowInfo& window, int x, int y, int button);
// Presses and releases a key given by its keysym (XK_q, XK_Escape, ...), with shift when asked.
void typeKey(unsigned long keysym, bool shift = false);
void flushInput();

// Pixel statistics over a rectangle of a picture.
struct RegionStats {
    double meanR = 0, meanG = 0, meanB = 0;
    int count = 0;
};
RegionStats regionStats(const Picture& p, int x0, int y0, int x1, int y1);
// Number of pixels in the rectangle that differ from `other` by more than
// `tolerance` in any channel.
int countDifferent(const Picture& a, const Picture& b, int tolerance, int x0 = 0, int y0 = 0, int x1 = -1,
                   int y1 = -1);
// Number of pixels that satisfy a predicate.
template <typename Pred> int countPixels(const Picture& p, Pred pred)
{
    int n = 0;
    for (int y = 0; y < p.height; y++)
        for (int x = 0; x < p.width; x++)
            if (pred(p.at(x, y))) n++;
    return n;
}
