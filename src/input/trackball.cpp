// Pixel mappings and trackball geometry.
#include "input/trackball.h"

#include <cmath>

#include "app/scene_state.h"
#include "mesh/vector_math.h"

static const double PI = 3.141592653589793;

float pixelToUnitX(int px)
{
    const double w = windowWidth;
    return float(2.0 * (px - (w - 1.0) / 2.0) / w);
}

// Not the mirror of the x mapping: it subtracts H + 1 where x subtracts W - 1.
float pixelToUnitY(int py)
{
    const double h = windowHeight;
    return float((2.0 * py - h - 1.0) / h);
}

float pixelToWorldX(int px)
{
    const float u = pixelToUnitX(px);
    return float((double(orthoRight) - orthoLeft) * u + orthoRight + orthoLeft) / 2.0;
}

float pixelToWorldY(int py)
{
    const double v = 2.0 * py / windowHeight;
    return float(((double(orthoTop) - orthoBottom) * v + orthoTop + orthoBottom) / 2.0);
}

void projectToSphere(int px, int py, float out[3])
{
    const float u = pixelToUnitX(px);
    const float v = pixelToUnitY(py);
    const float d = float(std::sqrt(double(u) * u + double(v) * v));
    if (d > 2) {
        out[0] = u / d;
        out[1] = v / d;
        out[2] = 0;
    } else {
        out[0] = u;
        out[1] = v;
        out[2] = float(std::sqrt(4.0 - double(u) * u - double(v) * v));
    }
}

float angleBetween(const float a[3], const float b[3])
{
    const double lengths = double(vectorLength(b)) * vectorLength(a);
    if (!(lengths > 0)) return 0;
    float c = float(dotProduct(a, b) / lengths);
    // rounding can take nearly parallel vectors just past +-1
    if (c > 1)
        c = 1;
    else if (c < -1)
        c = -1;
    return float(std::acos(double(c)) * 180.0 / PI);
}
