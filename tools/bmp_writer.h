// Encodes 8-bit RGB pixels as an uncompressed 24-bit BMP file, for make_cubemaps.
#pragma once
#include <cstdint>
#include <vector>

// Returns the bytes of a BMP file holding `rgb` (width * height packed RGB triples).
// Row 0 of `rgb` is stored first in the file: the viewer's image loader hands rows back
// in stored order, so row 0 becomes the texture's row 0 (it shows as the bottom row in
// an image viewer, since BMP rows run bottom-up).
std::vector<uint8_t> encodeBmp(const std::vector<uint8_t>& rgb, int width, int height);
