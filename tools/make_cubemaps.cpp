// make_cubemaps DIR: writes the viewer's three cube-map sets ("sky", "sky2", "nvlobby"),
// six 512 x 512 24-bit BMP faces each, as DIR/<set>_<face>.bmp. The build runs it to fill
// the run directory's "cubemaps/".
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bmp_writer.h"
#include "cubemap_scenes.h"

// Face edge in pixels.
static const int FACE_SIZE = 512;

static bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = (fclose(file) == 0) && ok;
    return ok;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: make_cubemaps output-directory\n");
        return 2;
    }
    std::string dir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        fprintf(stderr, "make_cubemaps: cannot create directory %s: %s\n", dir.c_str(),
                error.message().c_str());
        return 1;
    }
    for (int scene = 0; scene < SCENE_COUNT; scene++)
        for (int face = 0; face < FACE_COUNT; face++) {
            std::string path =
                dir + "/" + sceneName(CubeScene(scene)) + "_" + faceSuffix(CubeFace(face)) + ".bmp";
            std::vector<uint8_t> pixels = renderFace(CubeScene(scene), CubeFace(face), FACE_SIZE);
            if (!writeFile(path, encodeBmp(pixels, FACE_SIZE, FACE_SIZE))) {
                fprintf(stderr, "make_cubemaps: cannot write %s\n", path.c_str());
                return 1;
            }
        }
    return 0;
}
