// 24-bit BMP encoder: a BITMAPFILEHEADER, a BITMAPINFOHEADER and BGR rows padded to 4 bytes.
#include <cassert>
#include <cstddef>

#include "bmp_writer.h"

static void putLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; i++)
        out.push_back(uint8_t(value >> (8 * i)));
}

std::vector<uint8_t> encodeBmp(const std::vector<uint8_t>& rgb, int width, int height)
{
    assert(width > 0 && height > 0 && rgb.size() == size_t(width) * height * 3 && "pixel count mismatch");
    const uint32_t headerSize = 14 + 40;
    const uint32_t stride = (uint32_t(width) * 3 + 3) & ~3u;
    const uint32_t dataSize = stride * uint32_t(height);
    std::vector<uint8_t> out;
    out.reserve(headerSize + dataSize);
    // file header
    out.push_back('B');
    out.push_back('M');
    putLittleEndian(out, headerSize + dataSize, 4);
    putLittleEndian(out, 0, 4);
    putLittleEndian(out, headerSize, 4);
    // info header: positive height (rows bottom-up), one plane, 24 bits, no compression
    putLittleEndian(out, 40, 4);
    putLittleEndian(out, uint32_t(width), 4);
    putLittleEndian(out, uint32_t(height), 4);
    putLittleEndian(out, 1, 2);
    putLittleEndian(out, 24, 2);
    putLittleEndian(out, 0, 4);
    putLittleEndian(out, dataSize, 4);
    putLittleEndian(out, 2835, 4); // 72 dots per inch, in dots per metre
    putLittleEndian(out, 2835, 4);
    putLittleEndian(out, 0, 4);
    putLittleEndian(out, 0, 4);
    for (int row = height - 1; row >= 0; row--) {
        const uint8_t* in = &rgb[size_t(row) * width * 3];
        for (int col = 0; col < width; col++) {
            out.push_back(in[col * 3 + 2]);
            out.push_back(in[col * 3 + 1]);
            out.push_back(in[col * 3 + 0]);
        }
        for (uint32_t pad = uint32_t(width) * 3; pad < stride; pad++)
            out.push_back(0);
    }
    return out;
}
