// Float-triple helpers. Sums and products are formed in double so that large
// coordinates do not overflow before the result is rounded back to float.
#include "mesh/vector_math.h"

#include <cmath>

float dotProduct(const float* a, const float* b)
{
    return float(double(a[0]) * b[0] + double(a[1]) * b[1] + double(a[2]) * b[2]);
}

void crossProduct(const float* a, const float* b, float* out)
{
    out[0] = float(double(a[1]) * b[2] - double(a[2]) * b[1]);
    out[1] = float(double(a[2]) * b[0] - double(a[0]) * b[2]);
    out[2] = float(double(a[0]) * b[1] - double(a[1]) * b[0]);
}

float vectorLength(const float* v)
{
    return float(std::sqrt(double(v[0]) * v[0] + double(v[1]) * v[1] + double(v[2]) * v[2]));
}

float unitVectorTowards(const float* from, const float* to, float* direction)
{
    for (int i = 0; i < 3; i++)
        direction[i] = to[i] - from[i];
    const float length = vectorLength(direction);
    if (length > 0)
        for (int i = 0; i < 3; i++)
            direction[i] /= length;
    return length;
}
