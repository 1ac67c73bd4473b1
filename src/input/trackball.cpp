// Pixel mappings and trackball geometry.
#include "input/trackball.h"

#include <cmath>

#include "mesh/vector_math.h"

float pixelToUnitX(const ViewWindow& window, int px)
{
    const double w = window.width;
    return float(2.0 * (px - (w - 1.0) / 2.0) / w);
}

// Not the mirror of the x mapping: it subtracts H + 1 where x subtracts W - 1.
float pixelToUnitY(const ViewWindow& window, int py)
{
    const double h = window.height;
    return float((2.0 * py - h - 1.0) / h);
}

float pixelToWorldX(const ViewWindow& window, int px)
{
    const float u = pixelToUnitX(window, px);
    return float((double(window.right) - window.left) * u + window.right + window.left) / 2.0;
}

float pixelToWorldY(const ViewWindow& window, int py)
{
    const double v = 2.0 * py / window.height;
    return float(((double(window.top) - window.bottom) * v + window.top + window.bottom) / 2.0);
}

void projectToSphere(const ViewWindow& window, int px, int py, float out[3])
{
    const float u = pixelToUnitX(window, px);
    const float v = pixelToUnitY(window, py);
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

float pixelToUnitX(int px)
{
    return pixelToUnitX(drawingWindow(), px);
}

float pixelToUnitY(int py)
{
    return pixelToUnitY(drawingWindow(), py);
}

float pixelToWorldX(int px)
{
    return pixelToWorldX(drawingWindow(), px);
}

float pixelToWorldY(int py)
{
    return pixelToWorldY(drawingWindow(), py);
}

void projectToSphere(int px, int py, float out[3])
{
    projectToSphere(drawingWindow(), px, py, out);
}
