// X11 window lookup, capture and XTest input for end-to-end tests.
#include "x11_window.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <stb_image_write.h>

Display* testDisplay()
{
    static Display* display = nullptr;
    if (!display) {
        display = XOpenDisplay(nullptr);
        if (!display) abort();
    }
    return display;
}

static bool windowTitle(Display* d, Window w, std::string& title)
{
    char* name = nullptr;
    if (XFetchName(d, w, &name) && name) {
        title = name;
        XFree(name);
        return true;
    }
    return false;
}

static Window searchTree(Display* d, Window w, const std::string& title)
{
    std::string name;
    XWindowAttributes attributes;
    if (windowTitle(d, w, name) && name == title && XGetWindowAttributes(d, w, &attributes) &&
        attributes.map_state == IsViewable)
        return w;
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; i++)
        found = searchTree(d, children[i], title);
    if (children) XFree(children);
    return found;
}

bool updateWindowInfo(WindowInfo& info)
{
    Display* d = testDisplay();
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, info.id, &a)) return false;
    Window child;
    XTranslateCoordinates(d, info.id, DefaultRootWindow(d), 0, 0, &info.x, &info.y, &child);
    info.width = a.width;
    info.height = a.height;
    return true;
}

bool findWindow(const std::string& title, WindowInfo& info, int timeoutMs)
{
    Display* d = testDisplay();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        XSync(d, False);
        Window w = searchTree(d, DefaultRootWindow(d), title);
        if (w) {
            info.id = w;
            return updateWindowInfo(info);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

// Errors on windows that go away while they are looked at are expected.
static int ignoreXError(Display*, XErrorEvent*)
{
    return 0;
}

Window windowAt(int x, int y)
{
    Display* d = testDisplay();
    XSync(d, False);
    int (*previous)(Display*, XErrorEvent*) = XSetErrorHandler(ignoreXError);
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) {
        // bottom to top: the last one that holds the point shows there
        for (unsigned int i = count; i-- > 0 && !found;) {
            XWindowAttributes a;
            if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable && x >= a.x &&
                x < a.x + a.width + 2 * a.border_width && y >= a.y && y < a.y + a.height + 2 * a.border_width)
                found = children[i];
        }
    }
    if (children) XFree(children);
    XSync(d, False);
    XSetErrorHandler(previous);
    return found;
}

static Picture pictureOf(XImage* image, int width, int height)
{
    Picture p;
    p.width = width;
    p.height = height;
    p.rgb.resize(size_t(width) * height * 3);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            unsigned long v = XGetPixel(image, x, y);
            unsigned char* o = &p.rgb[(size_t(y) * width + x) * 3];
            o[0] = (v >> 16) & 0xff;
            o[1] = (v >> 8) & 0xff;
            o[2] = v & 0xff;
        }
    return p;
}

Picture capture(const WindowInfo& window)
{
    Display* d = testDisplay();
    XSync(d, False);
    XImage* image = XGetImage(d, window.id, 0, 0, window.width, window.height, AllPlanes, ZPixmap);
    if (!image) return Picture{};
    Picture p = pictureOf(image, window.width, window.height);
    XDestroyImage(image);
    return p;
}

Picture captureAfter(const WindowInfo& window, int delayMs)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    return capture(window);
}

Picture captureScreen(int x, int y, int width, int height)
{
    Display* d = testDisplay();
    XSync(d, False);
    XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, width, height, AllPlanes, ZPixmap);
    if (!image) return Picture{};
    Picture p = pictureOf(image, width, height);
    XDestroyImage(image);
    return p;
}

bool savePng(const Picture& picture, const std::string& path)
{
    return stbi_write_png(path.c_str(), picture.width, picture.height, 3, picture.rgb.data(),
                          picture.width * 3) != 0;
}

void flushInput()
{
    XSync(testDisplay(), False);
}

void movePointer(const WindowInfo& window, int x, int y)
{
    Display* d = testDisplay();
    XTestFakeMotionEvent(d, DefaultScreen(d), window.x + x, window.y + y, CurrentTime);
    flushInput();
}

void pressButton(int button)
{
    XTestFakeButtonEvent(testDisplay(), button, True, CurrentTime);
    flushInput();
}

void releaseButton(int button)
{
    XTestFakeButtonEvent(testDisplay(), button, False, CurrentTime);
    flushInput();
}

void clickAt(const WindowInfo& window, int x, int y, int button)
{
    // Fixed pauses: this knows nothing of the program's frames, and a program
    // that reads its input once a frame must not get move, press and release in one.
    movePointer(window, x, y);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    pressButton(button);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    releaseButton(button);
}

void typeKey(unsigned long keysym, bool shift)
{
    Display* d = testDisplay();
    KeyCode shiftCode = XKeysymToKeycode(d, XK_Shift_L);
    KeyCode code = XKeysymToKeycode(d, keysym);
    if (shift) XTestFakeKeyEvent(d, shiftCode, True, CurrentTime);
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    if (shift) XTestFakeKeyEvent(d, shiftCode, False, CurrentTime);
    flushInput();
}

RegionStats regionStats(const Picture& p, int x0, int y0, int x1, int y1)
{
    RegionStats s;
    double r = 0, g = 0, b = 0;
    for (int y = y0; y < y1 && y < p.height; y++)
        for (int x = x0; x < x1 && x < p.width; x++) {
            const unsigned char* c = p.at(x, y);
            r += c[0];
            g += c[1];
            b += c[2];
            s.count++;
        }
    if (s.count) {
        s.meanR = r / s.count;
        s.meanG = g / s.count;
        s.meanB = b / s.count;
    }
    return s;
}

int countDifferent(const Picture& a, const Picture& b, int tolerance, int x0, int y0, int x1, int y1)
{
    if (a.width != b.width || a.height != b.height) return -1;
    if (x1 < 0) x1 = a.width;
    if (y1 < 0) y1 = a.height;
    int n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++) {
            const unsigned char* p = a.at(x, y);
            const unsigned char* q = b.at(x, y);
            for (int c = 0; c < 3; c++)
                if (std::abs(int(p[c]) - int(q[c])) > tolerance) {
                    n++;
                    break;
                }
        }
    return n;
}
