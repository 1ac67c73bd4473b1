// Image decoding with stb_image, compiled here with our own limits: its
// functions are private to this file, it refuses sides beyond ours, and no single
// allocation of the decoder may exceed a cap, which stops a small file that
// inflates without end (a PNG "zip bomb") before it takes the memory.
#include "io/image_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "io/bounded_file.h"

namespace {

// Largest block the decoder may ask for: the decoded pixels within the limit,
// with room for an alpha channel and a row of filter bytes in PNG.
constexpr size_t MAX_DECODER_ALLOCATION = 2 * MAX_DECODED_IMAGE_BYTES;

void* cappedMalloc(size_t size)
{
    return size > MAX_DECODER_ALLOCATION ? nullptr : malloc(size);
}

void* cappedRealloc(void* block, size_t size)
{
    return size > MAX_DECODER_ALLOCATION ? nullptr : realloc(block, size);
}

} // namespace

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
// formats nobody makes skies in, whose readers of this version overflow their buffers on 16-bit files
#define STBI_NO_PNM
#define STBI_NO_PIC
#define STBI_MAX_DIMENSIONS MAX_IMAGE_SIDE
#define STBI_MALLOC(size) cappedMalloc(size)
#define STBI_REALLOC(block, size) cappedRealloc(block, size)
#define STBI_FREE(block) free(block)
#include <stb/stb_image.h>

// Checks made before decoding, for faults of stb_image 2.27 (2022) that its
// limits do not stop. Each reads the file as the decoder's reader of that format
// does, and stops where that reader stops with an error.
namespace {

// Reading bytes as the decoder does from memory.
struct ByteCursor {
    const unsigned char* bytes = nullptr;
    size_t size = 0;
    size_t at = 0;
    // as the decoder reads: zeros past the end
    int get8() { return at < size ? bytes[at++] : (at = size, 0); }
    int get16()
    {
        const int high = get8();
        return (high << 8) | get8();
    }
    void skip(size_t count) { at = count > size - at ? size : at + count; }
    bool atEnd() const { return at >= size; }
    // A marker: 0xff, any fill bytes, the code; -1 when the next byte is no 0xff.
    int marker()
    {
        int x = get8();
        if (x != 0xff) return -1;
        while (x == 0xff && !atEnd())
            x = get8();
        return x == 0xff ? 0 : x;
    }
};

enum SegmentResult { SEGMENT_READ, SEGMENT_REFUSED, SEGMENT_OVERFLOWS };

SegmentResult readJpegSegment(ByteCursor& in, int marker)
{
    if (marker == 0xdd) { // restart interval
        if (in.get16() != 4) return SEGMENT_REFUSED;
        in.skip(2);
        return SEGMENT_READ;
    }
    if (marker == 0xdb) { // quantisation tables, 65 or 129 bytes each
        int left = in.get16() - 2;
        while (left > 0) {
            const int q = in.get8(), precision = q >> 4;
            if (precision > 1 || (q & 15) > 3) return SEGMENT_REFUSED;
            in.skip(precision ? 128 : 64);
            left -= precision ? 129 : 65;
        }
        return left == 0 ? SEGMENT_READ : SEGMENT_REFUSED;
    }
    if (marker == 0xc4) { // Huffman tables: class and slot, 16 counts, the codes
        int left = in.get16() - 2;
        while (left > 0) {
            const int q = in.get8();
            if ((q >> 4) > 1 || (q & 15) > 3) return SEGMENT_REFUSED;
            int codes = 0;
            for (int i = 0; i < 16; i++)
                codes += in.get8();
            if (codes > 256) return SEGMENT_OVERFLOWS;
            in.skip(size_t(codes));
            left -= 17 + codes;
        }
        return left == 0 ? SEGMENT_READ : SEGMENT_REFUSED;
    }
    if ((marker >= 0xe0 && marker <= 0xef) || marker == 0xfe) { // application data, comments
        const int length = in.get16();
        if (length < 2) return SEGMENT_REFUSED;
        in.skip(size_t(length - 2));
        return SEGMENT_READ;
    }
    return SEGMENT_REFUSED;
}

bool isFrameStart(int marker)
{
    return marker == 0xc0 || marker == 0xc1 || marker == 0xc2;
}

// The JPEG reader trusts a Huffman table's size: one that counts more than 256
// codes is written past the end of its arrays, over the decoder's function
// pointers. False when the file holds such a table where the reader would build it.
bool jpegTablesFit(const unsigned char* bytes, size_t size)
{
    ByteCursor in;
    in.bytes = bytes;
    in.size = size;
    if (in.marker() != 0xd8) return true; // no JPEG to this reader
    // tables and application data up to the frame header; stray bytes between them are passed over
    int marker = in.marker();
    while (!isFrameStart(marker)) {
        const SegmentResult result = readJpegSegment(in, marker);
        if (result != SEGMENT_READ) return result != SEGMENT_OVERFLOWS;
        marker = in.marker();
        while (marker == -1) {
            if (in.atEnd()) return true;
            marker = in.marker();
        }
    }
    const int frameLength = in.get16();
    if (frameLength < 11) return true;
    in.skip(size_t(frameLength - 2));
    // scans, with tables between them, up to the end of the image
    marker = in.marker();
    while (marker != 0xd9) {
        if (marker == 0xda) {
            const int scanLength = in.get16();
            if (scanLength < 8) return true;
            in.skip(size_t(scanLength - 2));
            // the coded data ends at the first marker other than a restart; a
            // stuffed 0xff 0x00 is data
            marker = -1;
            while (!in.atEnd() && marker == -1) {
                if (in.get8() != 0xff) continue;
                int code = 0xff;
                while (code == 0xff && !in.atEnd())
                    code = in.get8();
                if (code != 0 && code != 0xff && !(code >= 0xd0 && code <= 0xd7)) marker = code;
            }
            if (marker == -1) return true;
            continue;
        }
        if (marker == 0xdc) { // number of lines
            in.skip(4);
        } else {
            const SegmentResult result = readJpegSegment(in, marker);
            if (result != SEGMENT_READ) return result != SEGMENT_OVERFLOWS;
        }
        marker = in.marker();
    }
    return true;
}

// A line of an HDR header.
std::string hdrLine(ByteCursor& in)
{
    // as the reader takes a line: at most 1023 characters, the last byte of a
    // file without a final line break left out
    std::string line;
    int c = in.get8();
    while (!in.atEnd() && c != '\n') {
        line += char(c);
        if (line.size() == 1023) {
            while (!in.atEnd() && in.get8() != '\n') {
            }
            break;
        }
        c = in.get8();
    }
    return line.substr(0, strlen(line.c_str()));
}

// The HDR reader of the same version loops for ever when a run-length coded
// scanline ends with the file (past the end it reads counts of 0), and takes
// flat (uncompressed) pixels that are not there without a word, showing the
// whole sky in one colour. This reads the header and the scanlines as it does:
// it returns the bytes the flat pixels need, counted from the start of the
// file (0 when it reads none), and sets `runsCutOff` when a run-length coded
// scanline ends with the file.
uint64_t hdrBytesNeeded(const unsigned char* bytes, size_t size, bool& runsCutOff)
{
    runsCutOff = false;
    ByteCursor in;
    in.bytes = bytes;
    in.size = size;
    const std::string signature = hdrLine(in);
    if (signature != "#?RADIANCE" && signature != "#?RGBE") return 0;
    for (std::string line = hdrLine(in); !line.empty(); line = hdrLine(in)) {
    }
    const std::string resolution = hdrLine(in);
    if (resolution.compare(0, 3, "-Y ") != 0) return 0;
    char* at = const_cast<char*>(resolution.c_str()) + 3;
    const long height = strtol(at, &at, 10);
    while (*at == ' ')
        ++at;
    if (strncmp(at, "+X ", 3) != 0) return 0;
    const long width = strtol(at + 3, nullptr, 10);
    if (width <= 0 || height <= 0) return 0;
    const uint64_t flat = uint64_t(width) * uint64_t(height) * 4;
    // narrow and very wide images are flat throughout
    if (width < 8 || width >= 32768) return in.at + flat;
    for (long row = 0; row < height; row++) {
        const size_t rowStart = in.at;
        const int c1 = in.get8(), c2 = in.get8(), high = in.get8();
        // a scanline that is not run-length coded: the reader takes the whole
        // image as flat pixels from here, this one's first
        if (c1 != 2 || c2 != 2 || (high & 0x80)) return rowStart + flat;
        if (((high << 8) | in.get8()) != width) return 0; // refused
        for (int channel = 0; channel < 4; channel++)
            for (long i = 0; i < width;) {
                if (in.atEnd()) {
                    runsCutOff = true;
                    return 0;
                }
                int count = in.get8();
                if (count > 128) {
                    count -= 128;
                    in.get8();
                } else {
                    in.skip(size_t(count));
                }
                if (count > width - i) return 0; // refused
                i += count;
            }
    }
    return 0;
}

// The bytes an uncompressed TGA needs for its pixels; 0 for any other file.
// Missing pixels would be read as black, one row after another.
uint64_t tgaBytesNeeded(const unsigned char* bytes, size_t size)
{
    if (size < 18) return 0;
    const int type = bytes[2];
    if (type != 1 && type != 2 && type != 3) return 0;
    const uint64_t width = bytes[12] | (bytes[13] << 8), height = bytes[14] | (bytes[15] << 8);
    const uint64_t palette = bytes[1] == 1 ? uint64_t(bytes[5] | (bytes[6] << 8)) * ((bytes[7] + 7) / 8) : 0;
    return 18 + bytes[0] + palette + width * height * ((bytes[16] + 7) / 8);
}

// The bytes an uncompressed BMP needs for its pixel rows, counted from the start
// of the file; 0 when the file is no BMP or its rows are compressed. The decoder
// reads missing rows as black, so a cut-off face would pass unnoticed.
uint64_t bmpBytesNeeded(const unsigned char* bytes, size_t size)
{
    auto little = [&](size_t at, int count) {
        uint64_t value = 0;
        for (int i = count - 1; i >= 0; i--)
            value = (value << 8) | bytes[at + size_t(i)];
        return value;
    };
    if (size < 26 || bytes[0] != 'B' || bytes[1] != 'M') return 0;
    const uint64_t offset = little(10, 4), headerSize = little(14, 4);
    int64_t width = 0, height = 0;
    uint64_t bitsPerPixel = 0, compression = 0;
    if (headerSize == 12) {
        width = int64_t(little(18, 2));
        height = int64_t(little(20, 2));
        bitsPerPixel = little(24, 2);
    } else if (headerSize >= 40 && size >= 34) {
        width = int32_t(uint32_t(little(18, 4)));
        height = int32_t(uint32_t(little(22, 4)));
        bitsPerPixel = little(28, 2);
        compression = little(30, 4);
    } else {
        return 0;
    }
    // none, bit fields, alpha bit fields: the rest is run-length or embedded coding
    if (compression != 0 && compression != 3 && compression != 6) return 0;
    const uint64_t stride = (uint64_t(width < 0 ? -width : width) * bitsPerPixel + 31) / 32 * 4;
    return offset + stride * uint64_t(height < 0 ? -height : height);
}

// The sides a PNG or JPEG header gives, for the message about an image too
// large: the decoder's own header reading refuses sides beyond the limit, or
// pixels of more than 1 GiB, and then says only that it knows no such image.
bool sidesFromHeader(const unsigned char* bytes, size_t size, int& width, int& height)
{
    static const unsigned char PNG[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    auto big = [&](size_t at, int count) {
        uint32_t value = 0;
        for (int i = 0; i < count; i++)
            value = (value << 8) | bytes[at + size_t(i)];
        return value;
    };
    if (size >= 24 && memcmp(bytes, PNG, sizeof PNG) == 0 && memcmp(bytes + 12, "IHDR", 4) == 0) {
        width = int(std::min<uint32_t>(big(16, 4), INT32_MAX));
        height = int(std::min<uint32_t>(big(20, 4), INT32_MAX));
        return true;
    }
    ByteCursor in;
    in.bytes = bytes;
    in.size = size;
    if (in.marker() != 0xd8) return false;
    // segments up to the frame header, which holds the sides
    for (int marker = in.marker(); marker > 0 && !in.atEnd(); marker = in.marker()) {
        const int length = in.get16();
        if (isFrameStart(marker) ||
            (marker >= 0xc3 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc)) {
            in.get8(); // precision
            height = in.get16();
            width = in.get16();
            return !in.atEnd();
        }
        if (length < 2) return false;
        in.skip(size_t(length - 2));
    }
    return false;
}

// The decoder's readers that the checks above are for, tried in its order.
enum ImageReader { READER_OTHER, READER_BMP, READER_JPEG, READER_HDR, READER_TGA };

ImageReader readerFor(const stbi_uc* bytes, int length)
{
    stbi__context context;
    stbi__start_mem(&context, bytes, length);
    if (stbi__png_test(&context)) return READER_OTHER;
    if (stbi__bmp_test(&context)) return READER_BMP;
    if (stbi__gif_test(&context) || stbi__psd_test(&context)) return READER_OTHER;
    if (stbi__jpeg_test(&context)) return READER_JPEG;
    if (stbi__hdr_test(&context)) return READER_HDR;
    if (stbi__tga_test(&context)) return READER_TGA;
    return READER_OTHER;
}

} // namespace

void initImages()
{
    // rows as the picture shows them, top first, for every format
    stbi_set_flip_vertically_on_load(0);
    // HDR: clamped to 0..1 and gamma-encoded, as a monitor would show the values
    stbi_hdr_to_ldr_gamma(2.2f);
    stbi_hdr_to_ldr_scale(1.0f);
    // Apple's PNG variant (BGR, premultiplied) is turned into plain RGB
    stbi_convert_iphone_png_to_rgb(1);
    stbi_set_unpremultiply_on_load(1);
}

// Bytes a channel takes while the decoder holds the pixels, before they become 8-bit.
static int bytesPerChannel(const stbi_uc* bytes, int size)
{
    if (stbi_is_hdr_from_memory(bytes, size)) return 4;
    if (stbi_is_16_bit_from_memory(bytes, size)) return 2;
    return 1;
}

bool decodeImage(const unsigned char* bytes, size_t size, Image& image, std::string& why)
{
    // stb_image takes the length as an int
    if (size > size_t(INT32_MAX)) {
        why = "is larger than " + describeBytes(size_t(INT32_MAX));
        return false;
    }
    const int length = int(size);
    const ImageReader reader = readerFor(bytes, length);
    if (reader == READER_JPEG && !jpegTablesFit(bytes, size)) {
        why = "does not decode (a JPEG Huffman table of more than 256 codes)";
        return false;
    }
    int width = 0, height = 0, channels = 0;
    const bool known = stbi_info_from_memory(bytes, length, &width, &height, &channels);
    const char* reason = known ? "" : stbi_failure_reason();
    if (!known && !(sidesFromHeader(bytes, size, width, height) &&
                    (width > MAX_IMAGE_SIDE || height > MAX_IMAGE_SIDE))) {
        why = std::string("is not an image the viewer can read (") + reason + ")";
        return false;
    }
    char text[160];
    if (width <= 0 || height <= 0 || width > MAX_IMAGE_SIDE || height > MAX_IMAGE_SIDE) {
        snprintf(text, sizeof text, "is too large: %d x %d pixels; at most %d on a side are read", width,
                 height, MAX_IMAGE_SIDE);
        why = text;
        return false;
    }
    const size_t decoded = size_t(width) * size_t(height) * 3 * size_t(bytesPerChannel(bytes, length));
    if (decoded > MAX_DECODED_IMAGE_BYTES) {
        snprintf(text, sizeof text, "is too large: %d x %d pixels, %s decoded; at most %s are read", width,
                 height, describeBytes(decoded).c_str(), describeBytes(MAX_DECODED_IMAGE_BYTES).c_str());
        why = text;
        return false;
    }

    // A JPEG codes each 8 x 8 block of its first channel in one bit or more.
    const uint64_t jpegBlocks = (uint64_t(width) + 7) / 8 * ((uint64_t(height) + 7) / 8);
    bool runsCutOff = false;
    const uint64_t needed = reader == READER_BMP    ? bmpBytesNeeded(bytes, size)
                            : reader == READER_TGA  ? tgaBytesNeeded(bytes, size)
                            : reader == READER_JPEG ? (jpegBlocks + 7) / 8
                            : reader == READER_HDR  ? hdrBytesNeeded(bytes, size, runsCutOff)
                                                    : 0;
    if (needed > size || runsCutOff) {
        if (needed > size)
            snprintf(text, sizeof text, "is cut off: its pixels need %s, the file has %s",
                     describeBytes(size_t(needed)).c_str(), describeBytes(size).c_str());
        else
            snprintf(text, sizeof text, "is cut off: its last scanlines are missing");
        why = text;
        return false;
    }

    int gotWidth = 0, gotHeight = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes, length, &gotWidth, &gotHeight, &channels, 3);
    if (!pixels) {
        why = std::string("does not decode (") + stbi_failure_reason() + ")";
        return false;
    }
    // the header read above and the decoder must agree, or the limits meant nothing
    if (gotWidth != width || gotHeight != height) {
        stbi_image_free(pixels);
        snprintf(text, sizeof text, "does not decode (its header says %d x %d, its pixels %d x %d)", width,
                 height, gotWidth, gotHeight);
        why = text;
        return false;
    }
    image.width = width;
    image.height = height;
    image.rgb.assign(pixels, pixels + size_t(width) * size_t(height) * 3);
    stbi_image_free(pixels);
    return true;
}

bool readImageFile(const char* path, Image& image, std::string& why)
{
    std::string bytes;
    if (!readRegularFile(path, MAX_IMAGE_FILE_BYTES, bytes, why)) return false;
    return decodeImage(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), image, why);
}
