// 4x4 matrix arithmetic for the shader runtime's tracked matrices, in double
// precision, column-major as OpenGL stores them. Used by cg_binding.cpp.
#pragma once

// out = a × b. `out` may alias neither input.
void multiplyMatrix4(const double a[16], const double b[16], double out[16]);
// out = mᵀ. `out` may not alias `m`.
void transposeMatrix4(const double m[16], double out[16]);
// out = m⁻¹ and true; false, with `out` untouched, when m is singular.
bool invertMatrix4(const double m[16], double out[16]);
