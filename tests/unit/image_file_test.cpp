// Images are decoded only within the limits, and files that would make the
// decoder write out of bounds, loop for ever or take seconds over a few bytes
// are refused with a reason before it sees them.
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include "io/image_file.h"

namespace {

std::string decodeFails(const std::vector<unsigned char>& bytes)
{
    Image image;
    std::string why;
    if (decodeImage(bytes.data(), bytes.size(), image, why)) return "decoded";
    return why;
}

void appendBytes(std::vector<unsigned char>& out, const std::string& text)
{
    out.insert(out.end(), text.begin(), text.end());
}

// An 8 x 8 image in a format stb_image_write writes, as bytes.
std::vector<unsigned char> encoded(int (*write)(stbi_write_func*, void*, int, int, int, const void*))
{
    std::vector<unsigned char> pixels(8 * 8 * 3, 90), out;
    write(
        [](void* context, void* data, int size) {
            auto* bytes = static_cast<std::vector<unsigned char>*>(context);
            bytes->insert(bytes->end(), static_cast<unsigned char*>(data),
                          static_cast<unsigned char*>(data) + size);
        },
        &out, 8, 8, 3, pixels.data());
    return out;
}

} // namespace

TEST(ImageFile, limitsAreCheckedFromTheHeaderBeforeDecoding)
{
    // a BMP header that promises 20,000 x 1 pixels, and one of 16,384 x 16,384
    std::vector<unsigned char> bmp =
        encoded([](stbi_write_func* f, void* c, int w, int h, int n, const void* d) {
            return stbi_write_bmp_to_func(f, c, w, h, n, d);
        });
    Image image;
    std::string why;
    ASSERT_TRUE(decodeImage(bmp.data(), bmp.size(), image, why)) << why;
    EXPECT_EQ(image.width, 8);
    auto withSize = [&](unsigned width, unsigned height) {
        std::vector<unsigned char> header = bmp;
        for (int i = 0; i < 4; i++) {
            header[18 + i] = (unsigned char)(width >> (8 * i));
            header[22 + i] = (unsigned char)(height >> (8 * i));
        }
        return header;
    };
    EXPECT_EQ(decodeFails(withSize(20000, 1)),
              "is too large: 20000 x 1 pixels; at most 16384 on a side are read");
    EXPECT_EQ(decodeFails(withSize(16384, 16384)),
              "is too large: 16384 x 16384 pixels, 768 MiB decoded; at most 256 MiB are read");
    EXPECT_EQ(decodeFails({'n', 'o', 't'}).rfind("is not an image the viewer can read", 0), 0u);

    // a PNG header of 30,000 x 30,000 pixels, beyond what the decoder's own header reading takes
    std::vector<unsigned char> png =
        encoded([](stbi_write_func* f, void* c, int w, int h, int n, const void* d) {
            return stbi_write_png_to_func(f, c, w, h, n, d, 0);
        });
    for (int at : {16, 20}) { // IHDR width and height, big-endian
        png[size_t(at) + 2] = 30000 >> 8;
        png[size_t(at) + 3] = 30000 & 255;
    }
    EXPECT_EQ(decodeFails(png), "is too large: 30000 x 30000 pixels; at most 16384 on a side are read");
}

TEST(ImageFile, filesThatWouldHurtTheDecoderAreRefusedWithAReason)
{
    // JPEG: a Huffman table of 16 x 32 = 512 codes, twice what the decoder's arrays hold
    std::vector<unsigned char> jpeg = {0xff, 0xd8, 0xff, 0xc4, 0x02, 0x13, 0x00};
    jpeg.insert(jpeg.end(), 16, 32);
    jpeg.insert(jpeg.end(), 512, 1);
    EXPECT_EQ(decodeFails(jpeg), "does not decode (a JPEG Huffman table of more than 256 codes)");

    // HDR: run-length scanlines that end with the file made the decoder loop for ever
    std::vector<unsigned char> hdr;
    appendBytes(hdr, "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 64 +X 64\n");
    const unsigned char scanline[4] = {2, 2, 0, 64};
    hdr.insert(hdr.end(), scanline, scanline + 4);
    hdr.insert(hdr.end(), {128 + 64, 7});
    EXPECT_EQ(decodeFails(hdr), "is cut off: its last scanlines are missing");
    // flat pixels, cut off after 10 of 512 rows, were taken as a sky of one colour
    std::vector<unsigned char> flat;
    appendBytes(flat, "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 512 +X 512\n");
    const size_t header = flat.size();
    for (int pixel = 0; pixel < 512 * 10; pixel++)
        flat.insert(flat.end(), {200, 100, 50, 128});
    EXPECT_EQ(decodeFails(flat), "is cut off: its pixels need 1 MiB, the file has 20 KiB");
    flat.resize(header + 512 * 512 * 4, 128);
    EXPECT_EQ(decodeFails(flat), "decoded");

    // files a few bytes long whose header promises millions of pixels, read as black for seconds
    std::vector<unsigned char> tga =
        encoded([](stbi_write_func* f, void* c, int w, int h, int n, const void* d) {
            stbi_write_tga_with_rle = 0;
            return stbi_write_tga_to_func(f, c, w, h, n, d);
        });
    tga[13] = tga[15] = 0x20; // 8,200 x 8,200
    EXPECT_EQ(decodeFails(tga), "is cut off: its pixels need 192 MiB, the file has 210 bytes");
    std::vector<unsigned char> bmp =
        encoded([](stbi_write_func* f, void* c, int w, int h, int n, const void* d) {
            return stbi_write_bmp_to_func(f, c, w, h, n, d);
        });
    bmp.resize(bmp.size() - 1);
    EXPECT_EQ(decodeFails(bmp).rfind("is cut off", 0), 0u);
    std::vector<unsigned char> small =
        encoded([](stbi_write_func* f, void* c, int w, int h, int n, const void* d) {
            return stbi_write_jpg_to_func(f, c, w, h, n, d, 90);
        });
    for (size_t i = 0; i + 8 < small.size(); i++)
        if (small[i] == 0xff && small[i + 1] == 0xc0) {
            small[i + 5] = small[i + 7] = 0x20; // 8,200 x 8,200
            break;
        }
    EXPECT_EQ(decodeFails(small).rfind("is cut off: its pixels need 128 KiB", 0), 0u) << decodeFails(small);
}
