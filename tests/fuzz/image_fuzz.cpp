// libFuzzer target for image loading: every input is decoded as a cube-map face
// or a sky would be, and whatever the decoder accepts must be a sound image
// within the limits. Runs with AddressSanitizer and UndefinedBehaviorSanitizer
// over the decoder itself, which this target compiles.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "io/image_file.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    initImages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Image image;
    std::string why;
    if (!decodeImage(data, size, image, why)) {
        if (why.empty()) {
            fprintf(stderr, "an image that did not decode gave no reason\n");
            abort();
        }
        return 0;
    }
    if (image.width <= 0 || image.height <= 0 || image.width > MAX_IMAGE_SIDE ||
        image.height > MAX_IMAGE_SIDE || image.rgb.size() != size_t(image.width) * size_t(image.height) * 3) {
        fprintf(stderr, "unsound image: %d x %d with %zu bytes\n", image.width, image.height,
                image.rgb.size());
        abort();
    }
    return 0;
}
