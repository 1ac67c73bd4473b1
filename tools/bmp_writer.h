// Encodes 8-bit RGB pixels as an uncompressed 24-bit BMP file, for make_cubemaps.
#pragma once
#include <cstdint>
#include <vector>

// Returns the bytes of a BMP file holding `rgb` (width * height packed RGB triples).
// Row 0 of `rgb` is the picture's top row, stored last since BMP rows run bottom-up: an
// image viewer shows the face upright, and the viewer, which uploads every image top row
// first, makes row 0 the texture's row 0.
std::vector<uint8_t> encodeBmp(const std::vector<uint8_t>& rgb, int width, int height);
