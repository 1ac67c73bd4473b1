// The float-triple helpers the mesh, the trackball and the camera share.
#include <gtest/gtest.h>

#include "mesh/vector_math.h"

TEST(VectorMath, dotCrossAndLength)
{
    const float x[3] = {1, 0, 0}, y[3] = {0, 1, 0}, v[3] = {3, -4, 12};
    float out[3];
    crossProduct(x, y, out);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(out[2], 1);
    crossProduct(y, x, out);
    EXPECT_EQ(out[2], -1);
    crossProduct(v, x, out); // (3,-4,12) x (1,0,0) = (0, 12, 4)
    EXPECT_FLOAT_EQ(out[0], 0);
    EXPECT_FLOAT_EQ(out[1], 12);
    EXPECT_FLOAT_EQ(out[2], 4);
    EXPECT_FLOAT_EQ(dotProduct(v, v), 169);
    EXPECT_FLOAT_EQ(dotProduct(x, y), 0);
    EXPECT_FLOAT_EQ(vectorLength(v), 13);
}

TEST(VectorMath, lengthOfLargeAndTinyVectorsDoesNotOverflowOrVanish)
{
    // squares of these lie outside the float range
    const float big[3] = {3e20f, 4e20f, 0}, tiny[3] = {3e-25f, 4e-25f, 0};
    EXPECT_FLOAT_EQ(vectorLength(big), 5e20f);
    EXPECT_FLOAT_EQ(vectorLength(tiny), 5e-25f);
}
