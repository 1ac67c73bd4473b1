// The viewer's program-wide state: camera, window, light, materials, shading
// values, the three mesh slots and the flags the panel hands to the idle callback.
// Plain globals that every callback reads and writes directly.
#pragma once

#include <string>

#include "app/viewer_records.h"
#include "mesh/mesh.h"

// Window
extern int mainWindow;
extern int windowWidth; // pixels, from the last reshape
extern int windowHeight;
extern int perspectiveProjection; // 1 perspective, 0 orthographic
extern float orthoLeft;           // orthographic bounds (world units); left and right widen with the aspect
extern float orthoRight;
extern float orthoBottom;
extern float orthoTop;

// Camera
extern float eyePosition[3];
extern float lookAtPoint[3];
extern float upVector[3];
extern float viewDirection[3]; // unit vector from the eye to the target
extern float eyeDistance;
extern float cameraRadius;    // orbit radius (world units)
extern float cameraAzimuth;   // degrees
extern float cameraElevation; // degrees

// Mouse
extern InteractionMode interactionMode;
extern int mouseButton;      // GLUT button of the last mouse event
extern int lastMouseX;       // drag anchor, pixels
extern int lastMouseY;       // drag anchor, pixels counted from the bottom row
extern float trackballAngle; // degrees, applied to the current mesh every frame
extern float trackballAxis[3];
extern float
    pointerPosition[2]; // the pointer's last place over the drawing window, pixels from its bottom left

// Light and materials
extern Light light;
extern Light defaultLight;
extern float* lightPointers[4]; // light.position, light.ambient, light.diffuse, light.specular
extern Material material;       // used by every face without its own colour
extern Material defaultMaterial;
extern ShadingValues shading;
extern ShadingValues defaultShading;

// Mesh slots: 0 the built-in sphere, 1 "bunny500.m", 2 "cessna_color500.m",
// 3 the model named on the command line (never loaded without one)
constexpr int MESH_SLOT_COUNT = 4;
constexpr int MODEL_SLOT = 3;
extern Mesh meshes[MESH_SLOT_COUNT];
extern Mesh* currentMesh; // always points into `meshes`
extern int currentMeshIndex;
// The model's file name (without its folder), which the panel lists it under;
// empty when no model was given.
extern std::string modelSlotLabel;

// The panel's choices: the ids chosen in the "Mesh:" list (2 Cessna, 1 Bunny,
// 0 Sphere, MODEL_SLOT the model) and in the texture radio group (0 Sky1,
// 1 Sky2, 2 Lobby, 3 the user's sky), as the panel or start-up last set them.
extern int meshListValue;
extern int textureGroupValue;

// Work the panel leaves for the idle callback
extern bool lightChanged;
extern bool textureChanged;
extern int textureIndex;            // 0 "sky", 1 "sky2", 2 "nvlobby", 3 the user's sky
extern unsigned int cubeMapTexture; // OpenGL texture of the current cube map

// Points lightPointers at the four members of `light` again.
void aimLightPointers();
// Puts every value above back to its start value (start_values.h), as before
// main() runs. The program itself
// never calls it; tests do, to start from a known state.
void restoreStartValues();
