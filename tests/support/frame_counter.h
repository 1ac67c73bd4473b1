// The drawing window's frames, counted from outside the program: a library
// preloaded into it (bench/swap_counter.c) counts the buffer swaps of "Mesh
// display" into a small file that the test maps. Tests wait on frames drawn
// rather than on time; the viewer redraws both windows every frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "swap_counter.h"

struct FrameCounter {
    std::string path;
    const SwapCounter* shared = nullptr; // null when not open
};

// Creates the counter's file at `path` (count 0) and maps it; false when it cannot.
bool openFrameCounter(FrameCounter& counter, const std::string& path);
void closeFrameCounter(FrameCounter& counter);
// The environment ("NAME=value") that has a program started with it count into
// `counter`; `preload` is what the program's LD_PRELOAD already holds, if anything.
std::vector<std::string> frameCounterEnvironment(const FrameCounter& counter,
                                                 const std::string& preload = "");
// Frames drawn so far; 0 when the counter is not open.
uint64_t framesDrawn(const FrameCounter& counter);
