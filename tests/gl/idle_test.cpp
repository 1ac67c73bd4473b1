// The idle callback carries out what the panel flagged, once.
#include <filesystem>
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "app/scene_state.h"
#include "io/image_file.h"
#include "panel/idle.h"

TEST(Idle, appliesAPendingLightUploadAndCubeMapLoadOnceAndClearsTheFlags)
{
    restoreStartValues();
    mainWindow = glutGetWindow();
    initImages();
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(MESHSHADE_RUN_DIR);

    light.diffuse[0] = 0.25f;
    light.specular[1] = 0.5f;
    lightChanged = true;
    textureIndex = 1;
    textureChanged = true;
    idle();
    EXPECT_FALSE(lightChanged);
    EXPECT_FALSE(textureChanged);
    float diffuse[4], specular[4];
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glGetLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    EXPECT_FLOAT_EQ(diffuse[0], 0.25f);
    EXPECT_FLOAT_EQ(specular[1], 0.5f);
    const unsigned int loaded = cubeMapTexture;
    EXPECT_NE(loaded, 0u);
    EXPECT_TRUE(glIsTexture(loaded));

    // nothing pending: no second load, no second upload
    light.diffuse[0] = 0.75f;
    idle();
    EXPECT_EQ(cubeMapTexture, loaded);
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(diffuse[0], 0.25f);

    // a new set replaces the old texture
    textureIndex = 2;
    textureChanged = true;
    idle();
    EXPECT_NE(cubeMapTexture, 0u);
    EXPECT_FALSE(glIsTexture(loaded) && loaded != cubeMapTexture);
    std::filesystem::current_path(previous);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
