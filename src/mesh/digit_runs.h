// Runs of decimal digits read eight bytes at a time, for the .m reader: how
// long a run is and what its digits are worth, without a branch per digit.
// Every function loads the eight bytes at `s`: the caller guarantees they are
// readable, whatever they hold.
#pragma once

#include <cstdint>
#include <cstring>

static inline uint64_t eightBytesAt(const char* s)
{
    uint64_t word;
    memcpy(&word, s, sizeof word);
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    word = __builtin_bswap64(word); // the first byte in the lowest bits, as below
#endif
    return word;
}

// The number of digits (0 to 8) that `word`'s bytes start with, first byte
// lowest. A byte is a digit when its high half is 3 and adding 6 keeps it so;
// a carry out of a byte can only spoil the bytes after it, which are past the
// first non-digit already.
static inline int leadingDigits(uint64_t word)
{
    const uint64_t highHalves = 0xF0F0F0F0F0F0F0F0u, threes = 0x3030303030303030u;
    const uint64_t notDigit =
        ((word & highHalves) ^ threes) | (((word + 0x0606060606060606u) & highHalves) ^ threes);
    return notDigit ? __builtin_ctzll(notDigit) / 8 : 8;
}

// The value of the first `count` (1 to 8) bytes of `word`, all digits. The
// digits are moved to the end of the word, behind zeros, and combined in pairs,
// then fours, then eight, by three multiplications.
static inline uint32_t digitsValue(uint64_t word, int count)
{
    // the integer part of most coordinates
    if (count == 1) return uint32_t(word & 0x0F);
    // No byte among the digits is below '0', so nothing borrows into them; what
    // borrows into the bytes after them is shifted out.
    uint64_t v = (word - 0x3030303030303030u) << (8 * (8 - count));
    v = v * 10 + (v >> 8);
    const uint64_t pairs = 0x000000FF000000FFu;
    v = ((v & pairs) * (100 + (1000000ull << 32)) + ((v >> 16) & pairs) * (1 + (10000ull << 32))) >> 32;
    return uint32_t(v);
}

// Past the run of digits at `s`, however long.
static inline const char* pastDigits(const char* s)
{
    int run;
    do {
        run = leadingDigits(eightBytesAt(s));
        s += run;
    } while (run == 8);
    return s;
}
