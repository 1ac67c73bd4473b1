/* The record a preloaded swap counter (bench/swap_counter.c) shares with the
   test or benchmark that reads it: a file of this layout, named by
   MESHSHADE_SWAP_COUNTER, mapped by both processes. C and C++. */
#pragma once

#include <stdint.h>

struct SwapCounter {
    volatile uint64_t swaps;       /* buffer swaps of the "Mesh display" window so far */
    volatile uint64_t firstSwapNs; /* CLOCK_MONOTONIC time of the first, in nanoseconds */
    /* CPU time of the whole process (all its threads) and of the child
       processes it has waited for (the importer) at the first swap, in
       nanoseconds: read from outside, it would count what the program did while
       the reader waited for a core */
    volatile uint64_t firstSwapCpuNs;
};
