// make_image_seeds DIR: writes one small valid image of each format the viewer
// reads (seed.bmp, .png, .jpg, .tga, .psd, .gif, .hdr), an 8 x 8 colour ramp, as
// the starting corpus of the image fuzz target. BMP, PNG, JPEG, TGA and HDR come
// from stb_image_write; PSD and GIF, which it does not write, are put together here.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <stb_image_write.h>

static const int SIDE = 8;

static void putBigEndian(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; i--)
        out.push_back(uint8_t(value >> (8 * i)));
}

// Uncompressed RGB PSD: header, three empty sections, raw planes.
static std::vector<uint8_t> psd(const std::vector<uint8_t>& rgb)
{
    std::vector<uint8_t> out = {'8', 'B', 'P', 'S'};
    putBigEndian(out, 1, 2); // version
    putBigEndian(out, 0, 6); // reserved
    putBigEndian(out, 3, 2); // channels
    putBigEndian(out, SIDE, 4);
    putBigEndian(out, SIDE, 4);
    putBigEndian(out, 8, 2); // bits per channel
    putBigEndian(out, 3, 2); // RGB
    putBigEndian(out, 0, 4); // colour mode data
    putBigEndian(out, 0, 4); // image resources
    putBigEndian(out, 0, 4); // layers and masks
    putBigEndian(out, 0, 2); // raw pixels
    for (int channel = 0; channel < 3; channel++)
        for (int i = 0; i < SIDE * SIDE; i++)
            out.push_back(rgb[size_t(i) * 3 + channel]);
    return out;
}

// GIF with a 4-colour palette; the LZW codes stay 3 bits wide because a clear
// code follows every two pixels, so no compression is needed to write it.
static std::vector<uint8_t> gif()
{
    std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a', SIDE, 0, SIDE, 0, 0xF1, 0, 0};
    const uint8_t palette[12] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    out.insert(out.end(), palette, palette + 12);
    const uint8_t descriptor[10] = {0x2C, 0, 0, 0, 0, SIDE, 0, SIDE, 0, 0};
    out.insert(out.end(), descriptor, descriptor + 10);
    out.push_back(2); // minimum code size: clear 4, end 5
    std::vector<int> codes;
    for (int i = 0; i < SIDE * SIDE; i++) {
        if (i % 2 == 0) codes.push_back(4);
        codes.push_back((i / SIDE + i % SIDE) % 4);
    }
    codes.push_back(5);
    std::vector<uint8_t> packed;
    uint32_t bits = 0;
    int count = 0;
    for (int code : codes) {
        bits |= uint32_t(code) << count;
        count += 3;
        while (count >= 8) {
            packed.push_back(uint8_t(bits));
            bits >>= 8;
            count -= 8;
        }
    }
    if (count > 0) packed.push_back(uint8_t(bits));
    for (size_t at = 0; at < packed.size(); at += 255) {
        const size_t block = packed.size() - at < 255 ? packed.size() - at : 255;
        out.push_back(uint8_t(block));
        out.insert(out.end(), packed.begin() + long(at), packed.begin() + long(at + block));
    }
    out.push_back(0);    // end of the image data
    out.push_back(0x3B); // trailer
    return out;
}

static bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return (fclose(file) == 0) && ok;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: make_image_seeds output-directory\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::vector<uint8_t> rgb(SIDE * SIDE * 3);
    std::vector<float> linear(rgb.size());
    for (int i = 0; i < SIDE * SIDE; i++) {
        const int x = i % SIDE, y = i / SIDE;
        const uint8_t pixel[3] = {uint8_t(x * 32), uint8_t(y * 32), uint8_t(255 - x * 16)};
        for (int c = 0; c < 3; c++) {
            rgb[size_t(i) * 3 + c] = pixel[c];
            linear[size_t(i) * 3 + c] = pixel[c] / 64.0f; // above 1 in places, as HDR has it
        }
    }
    bool ok = stbi_write_bmp((dir + "/seed.bmp").c_str(), SIDE, SIDE, 3, rgb.data()) &&
              stbi_write_png((dir + "/seed.png").c_str(), SIDE, SIDE, 3, rgb.data(), SIDE * 3) &&
              stbi_write_jpg((dir + "/seed.jpg").c_str(), SIDE, SIDE, 3, rgb.data(), 90) &&
              stbi_write_tga((dir + "/seed.tga").c_str(), SIDE, SIDE, 3, rgb.data()) &&
              stbi_write_hdr((dir + "/seed.hdr").c_str(), SIDE, SIDE, 3, linear.data()) &&
              writeBytes(dir + "/seed.psd", psd(rgb)) && writeBytes(dir + "/seed.gif", gif());
    if (!ok) {
        fprintf(stderr, "make_image_seeds: cannot write the seeds into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
