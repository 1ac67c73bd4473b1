// The actions of the panel's controls. No OpenGL here: work that needs the
// drawing window's context is flagged for the idle callback.
#include <cstdio>

#include "app/scene_state.h"
#include "panel/control_panel.h"
#include "render/user_sky.h"

void controlCallback(int id)
{
    switch (id) {
    case ID_LIGHT:
        lightChanged = true;
        break;
    case ID_DEFAULT_LIGHT:
        // colours only: a light moved with the mouse stays where it is
        for (int i = 0; i < 3; i++) {
            light.specular[i] = defaultLight.specular[i];
            light.ambient[i] = defaultLight.ambient[i];
            light.diffuse[i] = defaultLight.diffuse[i];
        }
        syncPanel();
        lightChanged = true;
        break;
    case ID_DEFAULT_MATERIAL:
        for (int i = 0; i < 3; i++) {
            material.ambient[i] = defaultMaterial.ambient[i];
            material.diffuse[i] = defaultMaterial.diffuse[i];
            material.specular[i] = defaultMaterial.specular[i];
        }
        material.shininess = defaultMaterial.shininess;
        syncPanel();
        break;
    case ID_MESH:
        currentMeshIndex = meshListValue;
        if (currentMeshIndex >= 0 && currentMeshIndex < MESH_SLOT_COUNT && meshes[currentMeshIndex].loaded) {
            currentMesh = &meshes[currentMeshIndex];
        } else {
            printf("Object not initialized. Defaulting to shpere.\n");
            currentMesh = &meshes[0];
        }
        break;
    case ID_TEXTURE:
        textureIndex = textureGroupValue;
        // the bare number is the whole message: the panel has always reported the choice so
        printf("%d\n", textureIndex);
        if ((textureIndex >= 0 && textureIndex <= 2) || (textureIndex == USER_SKY_INDEX && userSkyTexture))
            textureChanged = true;
        break;
    case ID_DEFAULT_SHADING:
        // every mixing value back to its default; eta to 0.98, not the start value
        // 0.9: this button has always set that eta, and it becomes the default from here on
        defaultShading.etaRatio = 0.98f;
        shading = defaultShading;
        syncPanel();
        break;
    case ID_SHADER_TOGGLE:
        currentMesh->useShaders = !currentMesh->useShaders;
        break;
    default:
        break;
    }
}
