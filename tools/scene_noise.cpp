// Value noise for the cube-map scenes: hashed lattice values, smoothly interpolated.
#include <cmath>

#include "scene_math.h"

float latticeValue(int x, int y, uint32_t seed)
{
    // integer hash (xorshift-multiply), good enough to hide the lattice
    uint32_t h = seed ^ (uint32_t(x) * 0x8da6b343u) ^ (uint32_t(y) * 0xd8163841u);
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return float(h >> 8) * (1.0f / 16777216.0f);
}

float valueNoise(float x, float y, uint32_t seed)
{
    float fx = std::floor(x), fy = std::floor(y);
    int ix = int(fx), iy = int(fy);
    float u = x - fx, v = y - fy;
    u = u * u * (3 - 2 * u);
    v = v * v * (3 - 2 * v);
    float a = latticeValue(ix, iy, seed), b = latticeValue(ix + 1, iy, seed);
    float c = latticeValue(ix, iy + 1, seed), d = latticeValue(ix + 1, iy + 1, seed);
    float top = a + (b - a) * u, bottom = c + (d - c) * u;
    return top + (bottom - top) * v;
}

float fractalNoise(float x, float y, int octaves, uint32_t seed)
{
    float sum = 0, amplitude = 0.5f, total = 0;
    for (int i = 0; i < octaves; i++) {
        sum += amplitude * valueNoise(x, y, seed + uint32_t(i) * 1013u);
        total += amplitude;
        // turn each layer a little so the lattices do not line up
        float nx = 1.6f * x + 1.2f * y + 17.3f, ny = -1.2f * x + 1.6f * y + 5.1f;
        x = nx;
        y = ny;
        amplitude *= 0.5f;
    }
    return sum / total;
}
