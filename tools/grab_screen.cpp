// grab_screen out.png x y width height: saves a region of the X screen named by
// DISPLAY as a PNG file. Used by `make run` without a display and by the
// scripts that make the README's screenshots.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stb_image_write.h>

int main(int argc, char** argv)
{
    if (argc != 6) {
        fprintf(stderr, "usage: grab_screen out.png x y width height\n");
        return 2;
    }
    int x = atoi(argv[2]), y = atoi(argv[3]), w = atoi(argv[4]), h = atoi(argv[5]);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        fprintf(stderr, "grab_screen: cannot open the display\n");
        return 1;
    }
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, w, h, AllPlanes, ZPixmap);
    if (!image) {
        fprintf(stderr, "grab_screen: cannot read the screen region\n");
        return 1;
    }
    std::vector<unsigned char> rgb(size_t(w) * h * 3);
    for (int row = 0; row < h; row++)
        for (int col = 0; col < w; col++) {
            unsigned long v = XGetPixel(image, col, row);
            unsigned char* o = &rgb[(size_t(row) * w + col) * 3];
            o[0] = (v >> 16) & 0xff;
            o[1] = (v >> 8) & 0xff;
            o[2] = v & 0xff;
        }
    XDestroyImage(image);
    XCloseDisplay(display);
    if (!stbi_write_png(argv[1], w, h, 3, rgb.data(), w * 3)) {
        fprintf(stderr, "grab_screen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
