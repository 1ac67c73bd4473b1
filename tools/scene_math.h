// Small colour, vector and noise helpers shared by the cube-map scenes (tools only).
#pragma once
#include <cmath>
#include <cstdint>

#include "cubemap_scenes.h"

// Clamps to 0..1; NaN gives 0, so a stray value can never reach the byte conversion.
static inline float clamp01(float v)
{
    return v > 0 ? (v < 1 ? v : 1) : 0;
}
static inline float smoothstep(float e0, float e1, float x)
{
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
static inline Rgb rgb(float r, float g, float b)
{
    return Rgb{r, g, b};
}
static inline Rgb mix(Rgb a, Rgb b, float t)
{
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
static inline Rgb operator+(Rgb a, Rgb b)
{
    return Rgb{a.r + b.r, a.g + b.g, a.b + b.b};
}
static inline Rgb operator*(Rgb a, float k)
{
    return Rgb{a.r * k, a.g * k, a.b * k};
}

static inline float dot(Direction a, Direction b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
static inline Direction normalized(Direction d)
{
    float len = std::sqrt(dot(d, d));
    return Direction{d.x / len, d.y / len, d.z / len};
}

// Noise (value noise on an integer lattice, hashed; deterministic for a given seed)
// Pseudo-random value in 0..1 for a lattice point.
float latticeValue(int x, int y, uint32_t seed);
// Smooth value noise in 0..1, features about one unit wide.
float valueNoise(float x, float y, uint32_t seed);
// Sum of `octaves` value-noise layers, each twice as fine and half as strong; 0..1.
float fractalNoise(float x, float y, int octaves, uint32_t seed);
