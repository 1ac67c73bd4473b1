// Records shared across the viewer: the light, the shader's mixing values and
// the drag mode (a Material is a mesh record: mesh/mesh.h). Plain values; every
// member can go to OpenGL as it stands.
#pragma once

#include <cstdint>

#include "mesh/mesh.h"

// The one light, OpenGL light 0. position w stays 0: a directional light.
struct Light {
    float position[4] = {0, 0, 0, 0};
    float ambient[4] = {0, 0, 0, 1};
    float diffuse[4] = {0, 0, 0, 1};
    float specular[4] = {0, 0, 0, 1};
};

// The shader's mixing values, each feeding the shader parameter of the same name.
struct ShadingValues {
    float reflectivity = 0;
    float matRatio = 0;
    float aw = 0;
    float dw = 0;
    float weight = 0;
    float etaRatio = 0;
    int32_t shadowReduction = 0; // 0 or 1
};

// What a left-button drag does. The numbers are fixed: the menu stores them.
enum InteractionMode {
    TranslateMesh = 0,
    RotateMesh = 1,
    ScaleMesh = 2,
    TranslateLightXY = 3,
    TranslateLightZ = 4,
    RotateCamera = 5,
};
