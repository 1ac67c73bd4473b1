// The user's sky: finding its faces, resampling a panorama, uploading it into a
// cube-map texture of its own, which stays while the panel shows other sets.
#include "render/user_sky.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

#include <GL/freeglut.h>

#include "app/scene_state.h"
#include "io/image_file.h"
#include "render/cube_map.h"

unsigned int userSkyTexture = 0;
std::string userSkyLabel;

namespace {

const char* const FACE_NAMES[2][6] = {
    {"posx", "negx", "posy", "negy", "posz", "negz"},
    {"right", "left", "top", "bottom", "front", "back"},
};

const char* const IMAGE_EXTENSIONS[] = {".bmp", ".png", ".jpg", ".jpeg", ".tga", ".psd", ".gif", ".hdr"};

std::string lowerCase(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The face (0 to 5) a file stem names, or -1: "posx", "Right", "sky_posx", "park-top".
int faceOfStem(const std::string& stem)
{
    for (const auto& names : FACE_NAMES)
        for (int face = 0; face < 6; face++) {
            const std::string name = names[face];
            if (stem == name) return face;
            if (stem.size() > name.size() &&
                stem.compare(stem.size() - name.size(), name.size(), name) == 0 &&
                std::string("_-. ").find(stem[stem.size() - name.size() - 1]) != std::string::npos)
                return face;
        }
    return -1;
}

bool isImageExtension(const std::string& extension)
{
    for (const char* known : IMAGE_EXTENSIONS)
        if (extension == known) return true;
    return false;
}

// A direction through face coordinates s and t (-1 to 1, t = -1 at row 0), laid
// out as OpenGL looks a cube map up.
void faceDirection(int face, float s, float t, float d[3])
{
    switch (face) {
    case 0:
        d[0] = 1, d[1] = -t, d[2] = -s;
        break;
    case 1:
        d[0] = -1, d[1] = -t, d[2] = s;
        break;
    case 2:
        d[0] = s, d[1] = 1, d[2] = t;
        break;
    case 3:
        d[0] = s, d[1] = -1, d[2] = -t;
        break;
    case 4:
        d[0] = s, d[1] = -t, d[2] = 1;
        break;
    default:
        d[0] = -s, d[1] = -t, d[2] = -1;
        break;
    }
}

// Averages the source texels under each texel of a smaller square.
Image shrinkSquare(const Image& source, int size)
{
    Image out;
    out.width = out.height = size;
    out.rgb.resize(size_t(size) * size * 3);
    for (int y = 0; y < size; y++) {
        const int y0 = int(int64_t(y) * source.height / size),
                  y1 = int(int64_t(y + 1) * source.height / size);
        for (int x = 0; x < size; x++) {
            const int x0 = int(int64_t(x) * source.width / size),
                      x1 = int(int64_t(x + 1) * source.width / size);
            unsigned sum[3] = {0, 0, 0};
            for (int sy = y0; sy < y1; sy++)
                for (int sx = x0; sx < x1; sx++)
                    for (int c = 0; c < 3; c++)
                        sum[c] += source.rgb[(size_t(sy) * source.width + sx) * 3 + c];
            const unsigned count = unsigned((y1 - y0) * (x1 - x0));
            for (int c = 0; c < 3; c++)
                out.rgb[(size_t(y) * size + x) * 3 + c] = (unsigned char)((sum[c] + count / 2) / count);
        }
    }
    return out;
}

std::string pixelSize(const Image& image)
{
    return std::to_string(image.width) + " x " + std::to_string(image.height) + " pixels";
}

bool readFaces(const std::string& folder, Image faces[6], std::string& error)
{
    std::string paths[6];
    if (!findSkyFaces(folder, paths, error)) return false;
    Image first; // the first face's size, kept for comparison after shrinking
    for (int face = 0; face < 6; face++) {
        Image& image = faces[face];
        std::string why;
        if (!readImageFile(paths[face].c_str(), image, why)) {
            error = paths[face] + ": " + why;
            return false;
        }
        if (image.width != image.height) {
            error = paths[face] + ": a face of the sky must be square; this one is " + pixelSize(image);
            return false;
        }
        if (face == 0) first.width = first.height = image.width;
        if (image.width != first.width) {
            error = paths[face] + ": is " + pixelSize(image) + ", while " + paths[0] + " is " +
                    pixelSize(first) + "; the six faces must match";
            return false;
        }
        // shrunk at once, so that at most one face is held at full size
        if (image.width > MAX_USER_SKY_FACE) image = shrinkSquare(image, MAX_USER_SKY_FACE);
    }
    return true;
}

} // namespace

bool findSkyFaces(const std::string& folder, std::string paths[6], std::string& error)
{
    namespace fs = std::filesystem;
    std::error_code failure;
    std::vector<fs::path> files;
    for (fs::directory_iterator entry(folder, failure), end; !failure && entry != end;
         entry.increment(failure))
        if (!entry->is_directory(failure)) files.push_back(entry->path());
    if (failure) {
        error = folder + ": " + failure.message();
        return false;
    }
    std::sort(files.begin(), files.end());
    for (int face = 0; face < 6; face++)
        paths[face].clear();
    for (const fs::path& file : files) {
        if (!isImageExtension(lowerCase(file.extension().string()))) continue;
        const int face = faceOfStem(lowerCase(file.stem().string()));
        if (face < 0) continue;
        if (!paths[face].empty()) {
            error = folder + ": two images for the " + FACE_NAMES[0][face] + " face, " +
                    fs::path(paths[face]).filename().string() + " and " + file.filename().string();
            return false;
        }
        paths[face] = file.string();
    }
    std::string missing;
    for (int face = 0; face < 6; face++)
        if (paths[face].empty())
            missing += std::string(missing.empty() ? "" : ", ") + FACE_NAMES[0][face] + " (or " +
                       FACE_NAMES[1][face] + ")";
    if (!missing.empty()) {
        error = folder + ": no image for the face " + missing +
                "; a sky folder holds six images named posx, negx, posy, negy, posz, negz "
                "or right, left, top, bottom, front, back";
        return false;
    }
    return true;
}

void panoramaToCubeFaces(const Image& panorama, int size, Image faces[6])
{
    const double pi = 3.141592653589793;
    const int width = panorama.width, height = panorama.height;
    auto texel = [&](int x, int y, int c) { return float(panorama.rgb[(size_t(y) * width + x) * 3 + c]); };
    for (int face = 0; face < 6; face++) {
        Image& out = faces[face];
        out.width = out.height = size;
        out.rgb.resize(size_t(size) * size * 3);
        for (int row = 0; row < size; row++)
            for (int col = 0; col < size; col++) {
                float d[3];
                faceDirection(face, -1.0f + (col + 0.5f) * 2.0f / size, -1.0f + (row + 0.5f) * 2.0f / size,
                              d);
                const double length =
                    std::sqrt(double(d[0]) * d[0] + double(d[1]) * d[1] + double(d[2]) * d[2]);
                // longitude 0 along -Z, growing towards +X; latitude up to +Y
                const double u = 0.5 + std::atan2(double(d[0]), double(-d[2])) / (2 * pi);
                const double v = 0.5 - std::asin(std::clamp(d[1] / length, -1.0, 1.0)) / pi;
                // bilinear, wrapping round in longitude and held at the poles
                const double px = u * width - 0.5, py = std::clamp(v * height - 0.5, 0.0, double(height - 1));
                const int x0 = int(std::floor(px)), y0 = int(py);
                const float fx = float(px - x0), fy = float(py - y0);
                const int xa = ((x0 % width) + width) % width, xb = (xa + 1) % width;
                const int y1 = std::min(y0 + 1, height - 1);
                for (int c = 0; c < 3; c++) {
                    const float top = texel(xa, y0, c) * (1 - fx) + texel(xb, y0, c) * fx;
                    const float bottom = texel(xa, y1, c) * (1 - fx) + texel(xb, y1, c) * fx;
                    out.rgb[(size_t(row) * size + col) * 3 + c] =
                        (unsigned char)std::lround(top * (1 - fy) + bottom * fy);
                }
            }
    }
}

bool makeUserSkyFaces(const std::string& path, Image faces[6], std::string& error)
{
    std::error_code failure;
    if (std::filesystem::is_directory(path, failure)) return readFaces(path, faces, error);
    Image panorama;
    std::string why;
    if (!readImageFile(path.c_str(), panorama, why)) {
        error = path + ": " + why;
        return false;
    }
    // about one face texel for each panorama pixel along the horizon
    const int size = std::clamp(panorama.width / 4, 1, MAX_USER_SKY_FACE);
    panoramaToCubeFaces(panorama, size, faces);
    return true;
}

bool loadUserSky(const std::string& path, std::string& error)
{
    Image faces[6];
    if (!makeUserSkyFaces(path, faces, error)) return false;
    if (!userSkyTexture) glGenTextures(1, &userSkyTexture);
    glBindTexture(GL_TEXTURE_CUBE_MAP, userSkyTexture);
    uploadCubeFaces(faces);
    userSkyLabel = path;
    showUserSky();
    textureIndex = USER_SKY_INDEX;
    textureGroupValue = USER_SKY_INDEX;
    return true;
}

void showUserSky()
{
    if (!userSkyTexture) return;
    if (cubeMapTexture && cubeMapTexture != userSkyTexture) glDeleteTextures(1, &cubeMapTexture);
    cubeMapTexture = userSkyTexture;
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubeMapTexture);
}
