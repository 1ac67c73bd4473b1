// Reading image files (BMP, PNG, JPEG, TGA, PSD, GIF, HDR) into 8-bit
// RGB, safely: sizes are checked from the file's header before anything is
// decoded, so no file can make the decoder take more than a bounded amount of
// memory. Used by the cube-map loader and the user's sky.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Limits of an image: pixels on a side, and bytes of the decoded pixels (three
// channels at the depth the file stores them: 1, 2 or, for HDR, 4 bytes each).
constexpr int MAX_IMAGE_SIDE = 16384;
constexpr size_t MAX_DECODED_IMAGE_BYTES = size_t(256) << 20;

// A decoded image: packed 8-bit RGB, the picture's top row first, whatever
// order the file stores its rows in.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

// Setup
// Fixes the decoder's settings (row order, HDR tone mapping). Called once at
// start-up, before the first image is read.
void initImages();

// Reading
// Decodes the bytes of an image file. False, with the reason in `why` (no file
// name), when the format is unknown, the header is broken, the image exceeds the
// limits above or its pixels do not decode. HDR images are clamped to 0..1 and
// gamma-encoded (1/2.2) into 8 bits.
bool decodeImage(const unsigned char* bytes, size_t size, Image& image, std::string& why);
// Reads `path` (a regular file of at most MAX_IMAGE_FILE_BYTES, read without
// blocking) and decodes it. False with the reason in `why`, as decodeImage or
// readRegularFile give it.
bool readImageFile(const char* path, Image& image, std::string& why);
