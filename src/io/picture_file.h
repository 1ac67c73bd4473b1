// Pictures the viewer writes (--screenshot): the format named by the file's
// extension, encoded with stb_image_write, and the file replaced only once the
// whole picture is written. Used by render/screenshot and the command line.
#pragma once

#include <string>
#include <vector>

enum PictureFormat { PICTURE_PNG, PICTURE_JPEG, PICTURE_BMP, PICTURE_TGA };

// The format for `path` from its extension (.png, .jpg, .jpeg, .bmp, .tga, any
// case). False for any other extension or none.
bool pictureFormatForPath(const std::string& path, PictureFormat& format);
// The accepted extensions, for messages: ".png, .jpg (or .jpeg), .bmp, .tga".
const char* pictureExtensions();
// Quality of JPEG pictures, 1 to 100.
const int JPEG_QUALITY = 95;

// Encodes an RGB picture of width x height pixels, rows bottom-up as OpenGL
// reads them, in `format`. Empty when the encoder fails.
std::vector<unsigned char> encodePictureBottomUp(PictureFormat format, const unsigned char* rgb, int width,
                                                 int height);
// Writes `bytes` as the file `path`. A regular file (or a new one) is written
// beside its place under a temporary name and then renamed over it, so a failed
// write (a full disk, a read-only folder) leaves the old file as it was; any
// other existing file (a device, a named pipe) is written directly. False, with
// the reason in `why`, when the bytes did not all reach the file.
bool writeWholeFile(const std::string& path, const std::vector<unsigned char>& bytes, std::string& why);
