// 4x4 matrix product, transpose and inverse for the tracked matrices.
#include "shading/cg_matrix.h"

#include <cmath>

void multiplyMatrix4(const double a[16], const double b[16], double out[16])
{
    // element (row r, column c) lives at c * 4 + r
    for (int c = 0; c < 4; c++)
        for (int r = 0; r < 4; r++) {
            double sum = 0.0;
            for (int k = 0; k < 4; k++)
                sum += a[k * 4 + r] * b[c * 4 + k];
            out[c * 4 + r] = sum;
        }
}

void transposeMatrix4(const double m[16], double out[16])
{
    for (int c = 0; c < 4; c++)
        for (int r = 0; r < 4; r++)
            out[r * 4 + c] = m[c * 4 + r];
}

bool invertMatrix4(const double m[16], double out[16])
{
    // Cofactor expansion through the 2x2 minors of the top and bottom row pairs.
    // The formula is symmetric in rows and columns, so it works on the
    // column-major array read as the transpose and gives the transposed inverse
    // back in the same layout.
    const double s0 = m[0] * m[5] - m[4] * m[1];
    const double s1 = m[0] * m[6] - m[4] * m[2];
    const double s2 = m[0] * m[7] - m[4] * m[3];
    const double s3 = m[1] * m[6] - m[5] * m[2];
    const double s4 = m[1] * m[7] - m[5] * m[3];
    const double s5 = m[2] * m[7] - m[6] * m[3];
    const double c5 = m[10] * m[15] - m[14] * m[11];
    const double c4 = m[9] * m[15] - m[13] * m[11];
    const double c3 = m[9] * m[14] - m[13] * m[10];
    const double c2 = m[8] * m[15] - m[12] * m[11];
    const double c1 = m[8] * m[14] - m[12] * m[10];
    const double c0 = m[8] * m[13] - m[12] * m[9];
    const double det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
    if (det == 0.0 || !std::isfinite(det)) return false;
    const double k = 1.0 / det;

    out[0] = (m[5] * c5 - m[6] * c4 + m[7] * c3) * k;
    out[1] = (-m[1] * c5 + m[2] * c4 - m[3] * c3) * k;
    out[2] = (m[13] * s5 - m[14] * s4 + m[15] * s3) * k;
    out[3] = (-m[9] * s5 + m[10] * s4 - m[11] * s3) * k;
    out[4] = (-m[4] * c5 + m[6] * c2 - m[7] * c1) * k;
    out[5] = (m[0] * c5 - m[2] * c2 + m[3] * c1) * k;
    out[6] = (-m[12] * s5 + m[14] * s2 - m[15] * s1) * k;
    out[7] = (m[8] * s5 - m[10] * s2 + m[11] * s1) * k;
    out[8] = (m[4] * c4 - m[5] * c2 + m[7] * c0) * k;
    out[9] = (-m[0] * c4 + m[1] * c2 - m[3] * c0) * k;
    out[10] = (m[12] * s4 - m[13] * s2 + m[15] * s0) * k;
    out[11] = (-m[8] * s4 + m[9] * s2 - m[11] * s0) * k;
    out[12] = (-m[4] * c3 + m[5] * c1 - m[6] * c0) * k;
    out[13] = (m[0] * c3 - m[1] * c1 + m[2] * c0) * k;
    out[14] = (-m[12] * s3 + m[13] * s1 - m[14] * s0) * k;
    out[15] = (m[8] * s3 - m[9] * s1 + m[10] * s0) * k;
    return true;
}
