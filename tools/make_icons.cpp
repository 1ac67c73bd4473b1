// make_icons PICTURE.png OUTDIR: the desktop icon in the sizes of the hicolor
// theme, OUTDIR/hicolor/NxN/apps/meshshade.png, cut from one of the README's
// pictures (the aircraft in the day sky): a square around the aircraft, scaled,
// with rounded corners made transparent.
#include <cmath>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <vector>

#include <stb/stb_image.h>
#include <stb/stb_image_resize.h>
#include <stb/stb_image_write.h>

namespace {

// The square of the 300 x 300 picture that holds the aircraft, in its pixels.
const int CROP_X = 38;
const int CROP_Y = 50;
const int CROP_SIDE = 196;
const int SIZES[] = {16, 22, 24, 32, 48, 64, 128, 256};

bool makeFolders(const std::string& path)
{
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0755) != 0) {
            struct stat s;
            if (stat(part.c_str(), &s) != 0 || !S_ISDIR(s.st_mode)) return false;
        }
        if (slash == std::string::npos) return true;
    }
}

// Alpha of a pixel centre at (x, y) in a square of `side` with corners rounded
// by `radius`: 1 inside, 0 outside, a one-pixel ramp on the edge.
unsigned char cornerAlpha(int x, int y, int side, float radius)
{
    const float px = x + 0.5f, py = y + 0.5f;
    const float cx = px < radius ? radius : (px > side - radius ? side - radius : px);
    const float cy = py < radius ? radius : (py > side - radius ? side - radius : py);
    const float outside = std::sqrt((px - cx) * (px - cx) + (py - cy) * (py - cy)) - radius + 0.5f;
    const float a = outside <= 0 ? 1 : (outside >= 1 ? 0 : 1 - outside);
    return (unsigned char)std::lround(a * 255);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: make_icons PICTURE.png OUTDIR\n");
        return 2;
    }
    int width = 0, height = 0, channels = 0;
    unsigned char* picture = stbi_load(argv[1], &width, &height, &channels, 4);
    if (!picture) {
        fprintf(stderr, "make_icons: cannot read %s: %s\n", argv[1], stbi_failure_reason());
        return 1;
    }
    if (width < CROP_X + CROP_SIDE || height < CROP_Y + CROP_SIDE) {
        fprintf(stderr, "make_icons: %s is %d x %d pixels, too small for the icon's square\n", argv[1], width,
                height);
        return 1;
    }
    const unsigned char* crop = picture + (size_t(CROP_Y) * width + CROP_X) * 4;
    for (int side : SIZES) {
        std::vector<unsigned char> icon(size_t(side) * side * 4);
        stbir_resize_uint8_srgb(crop, CROP_SIDE, CROP_SIDE, width * 4, icon.data(), side, side, side * 4, 4,
                                3, 0);
        for (int y = 0; y < side; y++)
            for (int x = 0; x < side; x++)
                icon[(size_t(y) * side + x) * 4 + 3] = cornerAlpha(x, y, side, side * 0.14f);
        const std::string folder =
            std::string(argv[2]) + "/hicolor/" + std::to_string(side) + "x" + std::to_string(side) + "/apps";
        const std::string path = folder + "/meshshade.png";
        if (!makeFolders(folder) || !stbi_write_png(path.c_str(), side, side, 4, icon.data(), side * 4)) {
            fprintf(stderr, "make_icons: cannot write %s\n", path.c_str());
            stbi_image_free(picture);
            return 1;
        }
    }
    stbi_image_free(picture);
    return 0;
}
