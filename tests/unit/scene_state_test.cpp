// The start values a user sees before touching anything.
#include <gtest/gtest.h>

#include "app/scene_state.h"
#include "panel/control_panel.h"

TEST(SceneState, startValuesOfLightMaterialAndShading)
{
    restoreStartValues();
    const float position[4] = {1, 1, 1.5f, 0};
    for (int i = 0; i < 4; i++) {
        EXPECT_FLOAT_EQ(light.position[i], position[i]);
        EXPECT_FLOAT_EQ(light.ambient[i], i < 3 ? 0.6f : 1.0f);
        EXPECT_FLOAT_EQ(light.diffuse[i], i < 3 ? 0.6f : 1.0f);
        EXPECT_FLOAT_EQ(light.specular[i], i < 3 ? 0.8f : 1.0f);
    }
    const float ambient[4] = {0.3f, 0, 0, 1}, diffuse[4] = {0.9f, 0, 0, 1}, specular[4] = {0.2f, 0, 0.4f, 1};
    for (int i = 0; i < 4; i++) {
        EXPECT_FLOAT_EQ(material.ambient[i], ambient[i]);
        EXPECT_FLOAT_EQ(material.diffuse[i], diffuse[i]);
        EXPECT_FLOAT_EQ(material.specular[i], specular[i]);
    }
    EXPECT_FLOAT_EQ(material.shininess, 65);
    EXPECT_FALSE(material.hasOwnMaterial);

    EXPECT_FLOAT_EQ(shading.reflectivity, 1.0f);
    EXPECT_FLOAT_EQ(shading.matRatio, 1.0f);
    EXPECT_FLOAT_EQ(shading.aw, 1.0f);
    EXPECT_FLOAT_EQ(shading.dw, 1.0f);
    EXPECT_FLOAT_EQ(shading.weight, 0.5f);
    EXPECT_FLOAT_EQ(shading.etaRatio, 0.9f);
    EXPECT_EQ(shading.shadowReduction, 1);

    // the defaults start equal to the live values
    EXPECT_EQ(memcmp(&defaultLight, &light, sizeof light), 0);
    EXPECT_EQ(memcmp(&defaultShading, &shading, sizeof shading), 0);
    EXPECT_FLOAT_EQ(defaultMaterial.shininess, 65);
}

TEST(SceneState, startValuesOfCameraModeAndPanelFlags)
{
    meshListValue = 0;
    textureGroupValue = 2;
    restoreStartValues();
    EXPECT_EQ(meshListValue, 2); // the list on "Cessna", the radio group on "Sky1"
    EXPECT_EQ(textureGroupValue, 0);
    EXPECT_FLOAT_EQ(cameraRadius, 3.0f);
    EXPECT_FLOAT_EQ(cameraAzimuth, 90.0f);
    EXPECT_FLOAT_EQ(cameraElevation, 0.0f);
    EXPECT_EQ(interactionMode, RotateCamera);
    EXPECT_EQ(int(RotateCamera), 5);
    EXPECT_FLOAT_EQ(trackballAngle, 0);
    EXPECT_FLOAT_EQ(orthoLeft, -2);
    EXPECT_FLOAT_EQ(orthoRight, 2);
    EXPECT_FLOAT_EQ(orthoBottom, -2);
    EXPECT_FLOAT_EQ(orthoTop, 2);
    EXPECT_EQ(windowWidth, 0);
    EXPECT_EQ(windowHeight, 0);
    EXPECT_FALSE(lightChanged);
    EXPECT_FALSE(textureChanged);
    EXPECT_EQ(textureIndex, 0);
    EXPECT_EQ(cubeMapTexture, 0u);

    // lightPointers reach the light's parts by index
    EXPECT_EQ(lightPointers[0], light.position);
    EXPECT_EQ(lightPointers[1], light.ambient);
    EXPECT_EQ(lightPointers[2], light.diffuse);
    EXPECT_EQ(lightPointers[3], light.specular);

    // the slots start empty: nothing to draw until start-up sets them up
    for (const Mesh& m : meshes) {
        EXPECT_FALSE(m.loaded);
        EXPECT_EQ(m.rotationRef, nullptr);
        EXPECT_TRUE(m.faces.empty());
    }
}
