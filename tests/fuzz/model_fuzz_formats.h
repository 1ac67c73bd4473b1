// The model fuzzer's inputs: one byte for the format, then the file. Shared by
// the fuzz target and the program that writes its seeds.
#pragma once

#include <cstdint>
#include <cstring>

static const char* const FUZZ_EXTENSIONS[] = {"obj", "ply", "stl", "off", "gltf",
                                              "glb", "dae", "3ds", "fbx", "m"};
static const unsigned FUZZ_EXTENSION_COUNT = sizeof FUZZ_EXTENSIONS / sizeof FUZZ_EXTENSIONS[0];

// A first byte of this or above: the rest is a reply of the importer process.
static const uint8_t REPLY_CODE = 240;

static inline const char* fuzzExtension(uint8_t code)
{
    return FUZZ_EXTENSIONS[code % FUZZ_EXTENSION_COUNT];
}

static inline uint8_t fuzzCode(const char* extension)
{
    for (unsigned i = 0; i < FUZZ_EXTENSION_COUNT; i++)
        if (strcmp(FUZZ_EXTENSIONS[i], extension) == 0) return uint8_t(i);
    return 0;
}
