// What the cube map holds after loading: the shipped sets exactly as their scenes
// render, faces of any format upright, unreadable faces grey with a reason, and
// the user's sky from a panorama or a folder of faces, looked up by OpenGL itself.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <stb_image_write.h>

#include "app/scene_state.h"
#include "app_run.h"
#include "bmp_writer.h"
#include "cubemap_scenes.h"
#include "io/image_file.h"
#include "panel/control_panel.h"
#include "render/cube_map.h"
#include "render/user_sky.h"

namespace fs = std::filesystem;

namespace {

const char* const FACE_SUFFIXES[6] = {"posx", "negx", "posy", "negy", "posz", "negz"};

// Level 0 of one face of the bound cube map, packed RGB, and its edge in `size`.
std::vector<unsigned char> faceTexels(int face, int& size)
{
    const GLenum target = GLenum(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face);
    glGetTexLevelParameteriv(target, 0, GL_TEXTURE_WIDTH, &size);
    std::vector<unsigned char> texels(size_t(size) * size * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(target, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return texels;
}

// The colour OpenGL looks up in the current cube map along direction (x, y, z),
// read back from a window filled with that one texture coordinate.
void lookUp(float x, float y, float z, unsigned char rgb[3])
{
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glViewport(0, 0, 64, 64);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubeMapTexture);
    glEnable(GL_TEXTURE_CUBE_MAP);
    // edges and corners filtered across faces, not wrapped round within one
    glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBegin(GL_QUADS);
    glTexCoord3f(x, y, z);
    glVertex2f(-1, -1);
    glVertex2f(1, -1);
    glVertex2f(1, 1);
    glVertex2f(-1, 1);
    glEnd();
    glDisable(GL_TEXTURE_CUBE_MAP);
    glDisable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
    glReadPixels(32, 32, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
}

int differences(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b, int tolerance)
{
    if (a.size() != b.size()) return -1;
    int count = 0;
    for (size_t i = 0; i < a.size(); i++)
        count += std::abs(int(a[i]) - int(b[i])) > tolerance;
    return count;
}

// A 32 x 32 picture: red top half with a white top-left corner, blue bottom half.
std::vector<unsigned char> uprightPicture()
{
    std::vector<unsigned char> rgb(32 * 32 * 3);
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++) {
            unsigned char* p = &rgb[size_t(y * 32 + x) * 3];
            const bool corner = x < 8 && y < 8;
            p[0] = y < 16 ? 220 : 20;
            p[1] = corner ? 220 : 20;
            p[2] = y < 16 && !corner ? 20 : 220;
        }
    return rgb;
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    writeFile(path, std::string(bytes.begin(), bytes.end()));
}

struct CubeMapFiles : testing::Test {
    std::string previous, dir;
    void SetUp() override
    {
        restoreStartValues();
        initImages();
        previous = fs::current_path();
        dir = makeTempDir();
        fs::current_path(dir);
        fs::create_directories("cubemaps");
    }
    void TearDown() override
    {
        fs::current_path(previous);
        removeDir(dir);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
};

} // namespace

TEST(CubeMap, shippedSetsUploadExactlyTheTexelsTheirScenesRender)
{
    restoreStartValues();
    initImages();
    const std::string previous = fs::current_path();
    fs::current_path(MESHSHADE_RUN_DIR);
    for (int scene = 0; scene < SCENE_COUNT; scene++) {
        loadCubeMap(sceneName(CubeScene(scene)));
        glBindTexture(GL_TEXTURE_CUBE_MAP, cubeMapTexture);
        for (int face = 0; face < 6; face++) {
            int size = 0;
            std::vector<unsigned char> texels = faceTexels(face, size);
            ASSERT_EQ(size, 512);
            EXPECT_EQ(differences(texels, renderFace(CubeScene(scene), CubeFace(face), 512), 0), 0)
                << sceneName(CubeScene(scene)) << "_" << FACE_SUFFIXES[face];
        }
    }
    fs::current_path(previous);
}

TEST_F(CubeMapFiles, facesOfEveryFormatUploadUprightAndUnreadableOnesShowGreyWithTheReason)
{
    // one picture as PNG, JPEG, BMP and TGA; a missing face; a face that is not square
    const std::vector<unsigned char> picture = uprightPicture();
    stbi_write_png("cubemaps/formats_posx.bmp", 32, 32, 3, picture.data(), 32 * 3);
    stbi_write_jpg("cubemaps/formats_negx.bmp", 32, 32, 3, picture.data(), 95);
    writeBytes("cubemaps/formats_posy.bmp", encodeBmp(picture, 32, 32));
    stbi_write_tga("cubemaps/formats_negy.bmp", 32, 32, 3, picture.data());
    stbi_write_png("cubemaps/formats_negz.bmp", 32, 16, 3, picture.data(), 32 * 3);
    testing::internal::CaptureStderr();
    loadCubeMap("formats");
    std::string errors = testing::internal::GetCapturedStderr();
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubeMapTexture);
    int size = 0;
    for (int face : {0, 2, 3})
        EXPECT_EQ(differences(faceTexels(face, size), picture, 0), 0) << FACE_SUFFIXES[face];
    EXPECT_EQ(differences(faceTexels(1, size), picture, 40), 0) << "JPEG";
    const std::vector<unsigned char> grey(32 * 32 * 3, 128);
    EXPECT_EQ(differences(faceTexels(4, size), grey, 0), 0);
    EXPECT_EQ(differences(faceTexels(5, size), grey, 0), 0);
    EXPECT_NE(errors.find("Warning: cannot load cube-map face cubemaps/formats_posz.bmp: No such file or "
                          "directory; it shows grey\n"),
              std::string::npos)
        << errors;
    EXPECT_NE(
        errors.find("Warning: cannot load cube-map face cubemaps/formats_negz.bmp: is not square (32 x 16 "
                    "pixels); it shows grey\n"),
        std::string::npos)
        << errors;
    EXPECT_EQ(errors.find("formats_posx"), std::string::npos) << errors;

    // Files a fuzzer made, which crashed or exhausted an earlier image library,
    // six to a set; each face is refused and shows grey.
    std::vector<fs::path> bad;
    for (const auto& entry : fs::directory_iterator(MESHSHADE_BAD_IMAGES))
        if (entry.path().extension() == ".bmp") bad.push_back(entry.path());
    std::sort(bad.begin(), bad.end());
    ASSERT_GE(bad.size(), 30u);
    writeFile("not_an_image", "not an image\n");
    while (bad.size() % 6)
        bad.push_back(fs::absolute("not_an_image"));
    for (size_t set = 0; set < bad.size() / 6; set++) {
        const std::string name = "bad" + std::to_string(set);
        for (int face = 0; face < 6; face++)
            fs::copy_file(bad[set * 6 + face], "cubemaps/" + name + "_" + FACE_SUFFIXES[face] + ".bmp");
        testing::internal::CaptureStderr();
        loadCubeMap(name.c_str());
        errors = testing::internal::GetCapturedStderr();
        glBindTexture(GL_TEXTURE_CUBE_MAP, cubeMapTexture);
        for (int face = 0; face < 6; face++) {
            const std::string file = "cubemaps/" + name + "_" + FACE_SUFFIXES[face] + ".bmp";
            EXPECT_NE(errors.find("Warning: cannot load cube-map face " + file + ": "), std::string::npos)
                << bad[set * 6 + face] << "\n"
                << errors;
            std::vector<unsigned char> texels = faceTexels(face, size);
            EXPECT_EQ(size, 64);
            EXPECT_EQ(differences(texels, std::vector<unsigned char>(texels.size(), 128), 0), 0)
                << bad[set * 6 + face];
        }
    }
}

TEST_F(CubeMapFiles, panoramaDirectionsLandWhereOpenGLLooksThemUp)
{
    // every pixel's colour tells its direction: red grows to +X, green to +Y, blue to +Z
    const int width = 256, height = 128;
    const double pi = 3.141592653589793;
    auto colourOf = [](double x, double y, double z, float rgb[3]) {
        const double d[3] = {x, y, z};
        const double length = std::sqrt(x * x + y * y + z * z);
        for (int c = 0; c < 3; c++)
            rgb[c] = float(0.1 + 0.8 * (d[c] / length + 1) / 2);
    };
    std::vector<float> linear(size_t(width) * height * 3);
    for (int row = 0; row < height; row++)
        for (int col = 0; col < width; col++) {
            // the centre column looks along -Z, a quarter turn right along +X, the top row up
            const double longitude = ((col + 0.5) / width - 0.5) * 2 * pi;
            const double latitude = (0.5 - (row + 0.5) / height) * pi;
            colourOf(std::cos(latitude) * std::sin(longitude), std::sin(latitude),
                     -std::cos(latitude) * std::cos(longitude), &linear[(size_t(row) * width + col) * 3]);
        }
    ASSERT_TRUE(stbi_write_hdr("sky.hdr", width, height, 3, linear.data()));

    std::string error;
    ASSERT_TRUE(loadUserSky("sky.hdr", error)) << error;
    EXPECT_EQ(cubeMapTexture, userSkyTexture);
    EXPECT_EQ(textureIndex, USER_SKY_INDEX);
    EXPECT_EQ(textureGroupValue, USER_SKY_INDEX);
    EXPECT_EQ(userSkyLabel, "sky.hdr");
    int size = 0;
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubeMapTexture);
    faceTexels(0, size);
    EXPECT_EQ(size, width / 4);

    // the axes, the middles of the cube's edges and its corners
    for (int x = -1; x <= 1; x++)
        for (int y = -1; y <= 1; y++)
            for (int z = -1; z <= 1; z++) {
                if (!x && !y && !z) continue;
                float expected[3];
                colourOf(x, y, z, expected);
                unsigned char got[3];
                lookUp(float(x), float(y), float(z), got);
                for (int c = 0; c < 3; c++)
                    // the HDR values become 8 bits with a gamma of 2.2
                    EXPECT_NEAR(got[c], 255 * std::pow(expected[c], 1 / 2.2), 6)
                        << "direction " << x << " " << y << " " << z << " channel " << c;
            }

    // a set chosen afterwards leaves the sky's texture for the next choice of it
    loadCubeMap("missing");
    EXPECT_NE(cubeMapTexture, userSkyTexture);
    EXPECT_TRUE(glIsTexture(userSkyTexture));
    const unsigned int set = cubeMapTexture;
    showUserSky();
    EXPECT_EQ(cubeMapTexture, userSkyTexture);
    EXPECT_FALSE(glIsTexture(set));
}

TEST_F(CubeMapFiles, faceFoldersLoadUnderEitherNamingAndBadOnesSayWhy)
{
    const unsigned char COLOURS[6][3] = {{200, 30, 30},  {30, 200, 30},  {30, 30, 200},
                                         {200, 200, 30}, {30, 200, 200}, {200, 30, 200}};
    auto writeFace = [&](const std::string& path, int face, int width, int height) {
        std::vector<unsigned char> rgb(size_t(width) * height * 3);
        for (size_t i = 0; i < rgb.size(); i++)
            rgb[i] = COLOURS[face][i % 3];
        const std::string extension = fs::path(path).extension().string();
        if (extension == ".jpg")
            stbi_write_jpg(path.c_str(), width, height, 3, rgb.data(), 95);
        else if (extension == ".bmp")
            stbi_write_bmp(path.c_str(), width, height, 3, rgb.data());
        else
            stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3);
    };
    const char* const SHORT_NAMES[6] = {"posx.png", "NegX.PNG", "posy.jpg",
                                        "negy.bmp", "posz.png", "negz.png"};
    const char* const WORD_NAMES[6] = {"park_right.png",  "park_left.jpg",  "park-top.png",
                                       "park-bottom.png", "park front.bmp", "park.back.png"};
    const float AXES[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (const auto* names : {SHORT_NAMES, WORD_NAMES}) {
        const std::string folder = names == SHORT_NAMES ? "short" : "words";
        fs::create_directories(folder);
        for (int face = 0; face < 6; face++)
            writeFace(folder + "/" + names[face], face, 16, 16);
        writeFile(folder + "/notes.txt", "not a face\n");
        std::string error;
        ASSERT_TRUE(loadUserSky(folder, error)) << error;
        EXPECT_EQ(userSkyLabel, folder);
        for (int face = 0; face < 6; face++) {
            unsigned char got[3];
            lookUp(AXES[face][0], AXES[face][1], AXES[face][2], got);
            for (int c = 0; c < 3; c++)
                EXPECT_NEAR(got[c], COLOURS[face][c], 8) << folder << " " << names[face];
        }
    }

    // each failure: one message naming the path and the reason, and the sky as it was
    struct Case {
        const char* what;
        void (*prepare)();
        const char* message;
    } cases[] = {
        {"missing", [] {}, "missing: No such file or directory"},
        {"short/posz.png", [] { fs::remove("short/posz.png"); }, "short/posz.png: No such file or directory"},
        {"short", [] {}, "short: no image for the face posz (or front); a sky folder holds six images"},
        {"short",
         [] {
             fs::copy_file("short/negz.png", "short/posz.png");
             fs::copy_file("short/negz.png", "short/sky_front.png");
         },
         "short: two images for the posz face, posz.png and sky_front.png"},
        {"words",
         [] {
             fs::copy_file(MESHSHADE_BAD_IMAGES "/crash-01.bmp", "words/park-top.png",
                           fs::copy_options::overwrite_existing);
         },
         "words/park-top.png: is not an image the viewer can read"},
        {"words/park-top.png", [] {}, "words/park-top.png: is not an image the viewer can read"},
        {"words", [] { writeFile("words/park-top.png", ""); },
         "words/park-top.png: is not an image the viewer can read"},
    };
    const unsigned int shown = cubeMapTexture;
    for (const Case& c : cases) {
        c.prepare();
        std::string error;
        EXPECT_FALSE(loadUserSky(c.what, error)) << c.what;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(cubeMapTexture, shown);
        EXPECT_EQ(userSkyLabel, "words");
    }
    // faces that are not square, or not of one size
    fs::create_directories("sizes");
    for (int face = 0; face < 6; face++)
        writeFace(std::string("sizes/") + FACE_SUFFIXES[face] + ".png", face, 16, face == 3 ? 8 : 16);
    std::string error;
    EXPECT_FALSE(loadUserSky("sizes", error));
    EXPECT_EQ(error, "sizes/negy.png: a face of the sky must be square; this one is 16 x 8 pixels");
    writeFace("sizes/negy.png", 3, 8, 8);
    EXPECT_FALSE(loadUserSky("sizes", error));
    EXPECT_EQ(
        error,
        "sizes/negy.png: is 8 x 8 pixels, while sizes/posx.png is 16 x 16 pixels; the six faces must match");
}
