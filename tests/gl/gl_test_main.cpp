// Entry point of the tests that need an OpenGL context: starts a private Xvfb,
// opens one hidden-away GLUT window whose context every test uses, then runs
// the tests.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "xvfb.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Test listing needs no display.
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    sharedXvfb();
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(64, 64);
    glutCreateWindow("gl tests");
    return RUN_ALL_TESTS();
}
