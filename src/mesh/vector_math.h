// Small helpers on float triples and 4x4 matrices, shared by the mesh
// preparation, the resets, the trackball, the camera and the shader runtime.
#pragma once

// For angles held in degrees.
constexpr double PI = 3.141592653589793;

float dotProduct(const float* a, const float* b);
// out = a x b. out may not alias a or b.
void crossProduct(const float* a, const float* b, float* out);
// Square root of dotProduct(v, v), taken in double precision.
float vectorLength(const float* v);
// direction = (to - from) divided by its length, which is returned. When the two
// points coincide, direction is left (0, 0, 0) and 0 is returned.
float unitVectorTowards(const float* from, const float* to, float* direction);

// Writes the 4x4 identity into the 16 values of m (float or double).
template <typename Real> inline void setIdentityMatrix(Real* m)
{
    for (int i = 0; i < 16; i++)
        m[i] = i % 5 == 0 ? Real(1) : Real(0);
}
