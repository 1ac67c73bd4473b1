// Start values of the viewer state.
#include "app/scene_state.h"

static const Light START_LIGHT = {
    {1.0f, 1.0f, 1.5f, 0.0f},
    {0.6f, 0.6f, 0.6f, 1.0f},
    {0.6f, 0.6f, 0.6f, 1.0f},
    {0.8f, 0.8f, 0.8f, 1.0f},
};

static const Material START_MATERIAL = {
    {0.3f, 0.0f, 0.0f, 1.0f}, {0.9f, 0.0f, 0.0f, 1.0f}, {0.2f, 0.0f, 0.4f, 1.0f}, 65.0f, false,
};

static const ShadingValues START_SHADING = {1.0f, 1.0f, 1.0f, 1.0f, 0.5f, 0.9f, 1};

int mainWindow = 0;
int windowWidth = 0;
int windowHeight = 0;
int perspectiveProjection = 0; // start-up sets 1
float orthoLeft = -2.0f;
float orthoRight = 2.0f;
float orthoBottom = -2.0f;
float orthoTop = 2.0f;

// The camera proper is placed by start-up.
float eyePosition[3] = {0, 0, 0};
float lookAtPoint[3] = {0, 0, 0};
float upVector[3] = {0, 0, 0};
float viewDirection[3] = {0, 0, 0};
float eyeDistance = 0;
float cameraRadius = 3.0f;
float cameraAzimuth = 90.0f;
float cameraElevation = 0.0f;

InteractionMode interactionMode = RotateCamera;
int mouseButton = 0;
int lastMouseX = 0;
int lastMouseY = 0;
float trackballAngle = 0;
float trackballAxis[3] = {0, 0, 0};

Light light = START_LIGHT;
Light defaultLight = START_LIGHT;
float* lightPointers[4] = {light.position, light.ambient, light.diffuse, light.specular};
Material material = START_MATERIAL;
Material defaultMaterial = START_MATERIAL;
ShadingValues shading = START_SHADING;
ShadingValues defaultShading = START_SHADING;

Mesh meshes[MESH_SLOT_COUNT];
Mesh* currentMesh = &meshes[0]; // start-up points it at the last file slot it reads
int currentMeshIndex = 0;

bool lightChanged = false;
bool textureChanged = false;
int textureIndex = 0;
unsigned int cubeMapTexture = 0;

void restoreStartValues()
{
    mainWindow = 0;
    windowWidth = 0;
    windowHeight = 0;
    perspectiveProjection = 0;
    orthoLeft = -2.0f;
    orthoRight = 2.0f;
    orthoBottom = -2.0f;
    orthoTop = 2.0f;
    for (int i = 0; i < 3; i++) {
        eyePosition[i] = lookAtPoint[i] = upVector[i] = viewDirection[i] = 0;
        trackballAxis[i] = 0;
    }
    eyeDistance = 0;
    cameraRadius = 3.0f;
    cameraAzimuth = 90.0f;
    cameraElevation = 0.0f;
    interactionMode = RotateCamera;
    mouseButton = lastMouseX = lastMouseY = 0;
    trackballAngle = 0;
    light = defaultLight = START_LIGHT;
    lightPointers[0] = light.position;
    lightPointers[1] = light.ambient;
    lightPointers[2] = light.diffuse;
    lightPointers[3] = light.specular;
    material = defaultMaterial = START_MATERIAL;
    shading = defaultShading = START_SHADING;
    for (Mesh& m : meshes)
        m = Mesh{};
    currentMesh = &meshes[0];
    currentMeshIndex = 0;
    lightChanged = textureChanged = false;
    textureIndex = 0;
    cubeMapTexture = 0;
}
