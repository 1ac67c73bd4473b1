// Pixel mappings and trackball geometry of the mouse drags.
#include <cmath>
#include <gtest/gtest.h>

#include "app/scene_state.h"
#include "input/trackball.h"

static void window(int w, int h)
{
    restoreStartValues();
    windowWidth = w;
    windowHeight = h;
}

TEST(PixelMapping, unitXIsSymmetricAboutTheCentreAndYIsNot)
{
    window(600, 400);
    EXPECT_FLOAT_EQ(pixelToUnitX(0), -599.0f / 600);
    EXPECT_FLOAT_EQ(pixelToUnitX(599), 599.0f / 600);
    EXPECT_FLOAT_EQ(pixelToUnitX(0) + pixelToUnitX(599), 0);
    // y subtracts H + 1: the range is about [-1 - 1/H, 1 - 3/H]
    EXPECT_FLOAT_EQ(pixelToUnitY(0), -401.0f / 400);
    EXPECT_FLOAT_EQ(pixelToUnitY(399), 397.0f / 400);
    EXPECT_FLOAT_EQ(pixelToUnitY(200), -1.0f / 400);
}

TEST(PixelMapping, worldStepsAreFourUnitsAcrossTheWindow)
{
    window(600, 400);
    EXPECT_NEAR(pixelToWorldX(301) - pixelToWorldX(300), 4.0 / 600, 1e-6);
    EXPECT_NEAR(pixelToWorldY(201) - pixelToWorldY(200), 4.0 / 400, 1e-6);
    EXPECT_NEAR(pixelToWorldX(599) - pixelToWorldX(0), 4.0 * 599 / 600, 1e-5);
    // base extents, not widened by the aspect
    EXPECT_NEAR(pixelToWorldY(400) - pixelToWorldY(0), 4.0, 1e-6);
}

TEST(Trackball, pointsInsideTheWindowLieOnTheSphereOfRadiusTwo)
{
    window(600, 600);
    for (int px : {0, 150, 300, 599})
        for (int py : {0, 299, 599}) {
            float p[3];
            projectToSphere(px, py, p);
            EXPECT_NEAR(std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]), 2.0, 1e-5);
            EXPECT_GT(p[2], 0);
        }
}

TEST(Trackball, pointsFarOutsideFallOntoTheRimWithLengthOne)
{
    window(600, 600);
    float p[3];
    projectToSphere(3000, 300, p);
    EXPECT_FLOAT_EQ(p[2], 0);
    EXPECT_NEAR(std::sqrt(p[0] * p[0] + p[1] * p[1]), 1.0, 1e-6);
    EXPECT_GT(p[0], 0.99f);
    projectToSphere(-5000, -5000, p);
    EXPECT_LT(p[0], 0);
    EXPECT_LT(p[1], 0);
}

TEST(Trackball, angleBetweenInDegreesAndSafeForDegenerateInput)
{
    const float x[3] = {1, 0, 0}, y[3] = {0, 2, 0}, diag[3] = {1, 1, 0}, back[3] = {-3, 0, 0},
                zero[3] = {0, 0, 0};
    EXPECT_NEAR(angleBetween(x, y), 90.0, 1e-4);
    EXPECT_NEAR(angleBetween(x, diag), 45.0, 1e-4);
    EXPECT_NEAR(angleBetween(x, back), 180.0, 1e-4);
    EXPECT_FLOAT_EQ(angleBetween(x, x), 0);
    EXPECT_FLOAT_EQ(angleBetween(x, zero), 0);
    // nearly parallel: the rounded cosine may pass 1; the angle stays finite
    const float a[3] = {0.3f, 0.7f, 1.9f}, b[3] = {0.3f, 0.7f, 1.9000001f};
    EXPECT_TRUE(std::isfinite(angleBetween(a, b)));
}
