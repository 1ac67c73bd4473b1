// Pictures are written in the format their extension names, top row first, and
// a file is replaced only by a whole picture: a write that fails says so.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "io/image_file.h"
#include "io/picture_file.h"

namespace {

std::string contents(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void put(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace

TEST(PictureFile, eachExtensionWritesItsFormatTopRowFirst)
{
    // 2 x 2, rows bottom-up as OpenGL reads them: the bottom row black, the top row white
    const unsigned char bottomUp[] = {0, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255, 255};
    const struct {
        const char* name;
        PictureFormat format;
        std::string magic;
    } cases[] = {{"shot.png", PICTURE_PNG, "\x89PNG"},
                 {"a.b/shot.JPG", PICTURE_JPEG, "\xFF\xD8\xFF"},
                 {"shot.Jpeg", PICTURE_JPEG, "\xFF\xD8\xFF"},
                 {"shot.bmp", PICTURE_BMP, "BM"},
                 // TGA has no mark of its own: image type 10, run-length encoded true colour
                 {"shot.TGA", PICTURE_TGA, std::string("\0\0\x0A", 3)}};
    for (const auto& c : cases) {
        PictureFormat format = PICTURE_PNG;
        ASSERT_TRUE(pictureFormatForPath(c.name, format)) << c.name;
        EXPECT_EQ(format, c.format) << c.name;
        const std::vector<unsigned char> bytes = encodePictureBottomUp(format, bottomUp, 2, 2);
        ASSERT_GT(bytes.size(), c.magic.size());
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + c.magic.size()), c.magic) << c.name;
        Image image;
        std::string why;
        initImages();
        ASSERT_TRUE(decodeImage(bytes.data(), bytes.size(), image, why)) << c.name << ": " << why;
        ASSERT_EQ(image.width, 2);
        ASSERT_EQ(image.height, 2);
        EXPECT_GT(image.rgb[0], 200) << c.name << ": the first row in the file is the top row";
        EXPECT_LT(image.rgb[6], 50) << c.name;
    }
    for (const char* name : {"shot.gif", "shot", "shot.png.txt", ".png", "pictures/.png", "shot.pn"}) {
        PictureFormat format;
        EXPECT_FALSE(pictureFormatForPath(name, format)) << name;
    }
}

TEST(PictureFile, aFailedWriteIsReportedAndLeavesTheOldFile)
{
    char pattern[] = "/tmp/meshshade-picture-XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern));
    const std::string dir = pattern;
    const std::vector<unsigned char> picture(1000, 7);
    std::string why;
    // replaced whole, through a symbolic link too
    put(dir + "/old.png", "old");
    ASSERT_EQ(symlink("old.png", (dir + "/link.png").c_str()), 0);
    EXPECT_TRUE(writeWholeFile(dir + "/link.png", picture, why)) << why;
    EXPECT_EQ(contents(dir + "/old.png"), std::string(1000, 7));
    // a full disk: the bytes never arrive, and that is an error
    ASSERT_EQ(symlink("/dev/full", (dir + "/full.png").c_str()), 0);
    EXPECT_FALSE(writeWholeFile(dir + "/full.png", picture, why));
    EXPECT_EQ(why, "No space left on device");
    // a folder that does not exist, and a folder in the file's place
    put(dir + "/kept.png", "kept");
    EXPECT_FALSE(writeWholeFile(dir + "/nowhere/kept.png", picture, why));
    EXPECT_EQ(why, "No such file or directory");
    EXPECT_FALSE(writeWholeFile(dir, picture, why));
    EXPECT_EQ(why, "is a directory");
    EXPECT_EQ(contents(dir + "/kept.png"), "kept");
    std::filesystem::remove_all(dir);
}
