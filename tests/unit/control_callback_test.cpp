// What each panel control does to the viewer state.
#include <gtest/gtest.h>

#include "app/scene_state.h"
#include "panel/control_panel.h"
#include "render/user_sky.h"

namespace {

struct Panel : testing::Test {
    void SetUp() override
    {
        restoreStartValues();
        for (int slot : {0, 2}) {
            meshes[slot].loaded = true;
            meshes[slot].rotationRef = meshes[slot].rotation;
        }
        meshes[2].useShaders = meshes[2].hasGeometry = true;
        currentMesh = &meshes[2];
        currentMeshIndex = 2;
    }
};

std::string callback(int id)
{
    testing::internal::CaptureStdout();
    controlCallback(id);
    return testing::internal::GetCapturedStdout();
}

} // namespace

TEST_F(Panel, lightSpinnersFlagAnUploadForTheIdleCallback)
{
    light.ambient[0] = 0.1f;
    EXPECT_EQ(callback(ID_LIGHT), "");
    EXPECT_TRUE(lightChanged);
}

TEST_F(Panel, defaultLightRestoresColoursButKeepsThePosition)
{
    light.position[0] = -4;
    for (int i = 0; i < 4; i++)
        light.ambient[i] = light.diffuse[i] = light.specular[i] = 0.25f;
    callback(ID_DEFAULT_LIGHT);
    EXPECT_FLOAT_EQ(light.position[0], -4);
    for (int i = 0; i < 3; i++) {
        EXPECT_FLOAT_EQ(light.ambient[i], 0.6f);
        EXPECT_FLOAT_EQ(light.diffuse[i], 0.6f);
        EXPECT_FLOAT_EQ(light.specular[i], 0.8f);
    }
    EXPECT_FLOAT_EQ(light.ambient[3], 0.25f); // alpha left alone
    EXPECT_TRUE(lightChanged);
}

TEST_F(Panel, defaultMaterialRestoresColoursAndShininess)
{
    material.ambient[0] = material.diffuse[1] = material.specular[2] = 0.7f;
    material.shininess = 3;
    callback(ID_DEFAULT_MATERIAL);
    EXPECT_FLOAT_EQ(material.ambient[0], 0.3f);
    EXPECT_FLOAT_EQ(material.diffuse[1], 0);
    EXPECT_FLOAT_EQ(material.specular[2], 0.4f);
    EXPECT_FLOAT_EQ(material.shininess, 65);
    EXPECT_FALSE(lightChanged);
}

TEST_F(Panel, defaultShadingSetsEtaToNinetyEightHundredthsInBoth)
{
    shading = {0.1f, 0.2f, 0.3f, 0.4f, 0.9f, 0.5f, 0};
    callback(ID_DEFAULT_SHADING);
    EXPECT_FLOAT_EQ(shading.reflectivity, 1);
    EXPECT_FLOAT_EQ(shading.matRatio, 1);
    EXPECT_FLOAT_EQ(shading.aw, 1);
    EXPECT_FLOAT_EQ(shading.dw, 1);
    EXPECT_FLOAT_EQ(shading.weight, 0.5f);
    EXPECT_FLOAT_EQ(shading.etaRatio, 0.98f);
    EXPECT_FLOAT_EQ(defaultShading.etaRatio, 0.98f);
    EXPECT_EQ(shading.shadowReduction, 1);
}

TEST_F(Panel, meshChoiceShowsTheSlotOrFallsBackToTheSphere)
{
    meshListValue = 0;
    EXPECT_EQ(callback(ID_MESH), "");
    EXPECT_EQ(currentMesh, &meshes[0]);
    EXPECT_EQ(currentMeshIndex, 0);
    // the bunny never loaded
    meshListValue = 1;
    EXPECT_EQ(callback(ID_MESH), "Object not initialized. Defaulting to shpere.\n");
    EXPECT_EQ(currentMesh, &meshes[0]);
    EXPECT_EQ(currentMeshIndex, 1);
    meshListValue = 2;
    EXPECT_EQ(callback(ID_MESH), "");
    EXPECT_EQ(currentMesh, &meshes[2]);
}

TEST_F(Panel, textureChoicePrintsItsIndexAndFlagsALoad)
{
    textureGroupValue = 1;
    EXPECT_EQ(callback(ID_TEXTURE), "1\n");
    EXPECT_EQ(textureIndex, 1);
    EXPECT_TRUE(textureChanged);
    textureChanged = false;
    textureGroupValue = 7; // no such button: printed, nothing loaded
    EXPECT_EQ(callback(ID_TEXTURE), "7\n");
    EXPECT_FALSE(textureChanged);
    // the fourth choice exists only with a user's sky
    textureGroupValue = USER_SKY_INDEX;
    EXPECT_EQ(callback(ID_TEXTURE), "3\n");
    EXPECT_FALSE(textureChanged);
    userSkyTexture = 5;
    callback(ID_TEXTURE);
    EXPECT_TRUE(textureChanged);
    userSkyTexture = 0;
}

TEST_F(Panel, shaderToggleFlipsOnlyTheCurrentMesh)
{
    currentMesh = &meshes[0];
    callback(ID_SHADER_TOGGLE);
    EXPECT_TRUE(meshes[0].useShaders);
    EXPECT_TRUE(meshes[2].useShaders);
    callback(ID_SHADER_TOGGLE);
    EXPECT_FALSE(meshes[0].useShaders);
    currentMesh = &meshes[2];
    callback(ID_SHADER_TOGGLE);
    EXPECT_FALSE(meshes[2].useShaders);
    EXPECT_FALSE(meshes[0].useShaders);
}
