// The viewer state, defined with the start values of start_values.h.
#include "app/scene_state.h"

#include "app/start_values.h"

int mainWindow = 0;
int windowWidth = 0;
int windowHeight = 0;
int perspectiveProjection = START_PERSPECTIVE_PROJECTION;
float orthoLeft = START_ORTHO_LEFT;
float orthoRight = START_ORTHO_RIGHT;
float orthoBottom = START_ORTHO_BOTTOM;
float orthoTop = START_ORTHO_TOP;

// The camera proper is placed by start-up.
float eyePosition[3] = {0, 0, 0};
float lookAtPoint[3] = {0, 0, 0};
float upVector[3] = {0, 0, 0};
float viewDirection[3] = {0, 0, 0};
float eyeDistance = 0;
float cameraRadius = START_CAMERA_RADIUS;
float cameraAzimuth = START_CAMERA_AZIMUTH;
float cameraElevation = START_CAMERA_ELEVATION;

InteractionMode interactionMode = START_INTERACTION_MODE;
int mouseButton = 0;
int lastMouseX = 0;
int lastMouseY = 0;
float trackballAngle = 0;
float trackballAxis[3] = {0, 0, 0};
float pointerPosition[2] = {0, 0};

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
std::string modelSlotLabel;

int meshListValue = START_MESH_LIST_VALUE;
int textureGroupValue = START_TEXTURE_GROUP_VALUE;

bool lightChanged = false;
bool textureChanged = false;
int textureIndex = 0;
unsigned int cubeMapTexture = 0;

void aimLightPointers()
{
    lightPointers[0] = light.position;
    lightPointers[1] = light.ambient;
    lightPointers[2] = light.diffuse;
    lightPointers[3] = light.specular;
}

void restoreStartValues()
{
    mainWindow = 0;
    windowWidth = 0;
    windowHeight = 0;
    perspectiveProjection = START_PERSPECTIVE_PROJECTION;
    orthoLeft = START_ORTHO_LEFT;
    orthoRight = START_ORTHO_RIGHT;
    orthoBottom = START_ORTHO_BOTTOM;
    orthoTop = START_ORTHO_TOP;
    for (int i = 0; i < 3; i++) {
        eyePosition[i] = lookAtPoint[i] = upVector[i] = viewDirection[i] = 0;
        trackballAxis[i] = 0;
    }
    eyeDistance = 0;
    cameraRadius = START_CAMERA_RADIUS;
    cameraAzimuth = START_CAMERA_AZIMUTH;
    cameraElevation = START_CAMERA_ELEVATION;
    interactionMode = START_INTERACTION_MODE;
    mouseButton = lastMouseX = lastMouseY = 0;
    trackballAngle = 0;
    pointerPosition[0] = pointerPosition[1] = 0;
    light = defaultLight = START_LIGHT;
    aimLightPointers();
    material = defaultMaterial = START_MATERIAL;
    shading = defaultShading = START_SHADING;
    for (Mesh& m : meshes)
        m = Mesh{};
    currentMesh = &meshes[0];
    currentMeshIndex = 0;
    modelSlotLabel.clear();
    lightChanged = textureChanged = false;
    textureIndex = 0;
    cubeMapTexture = 0;
    meshListValue = START_MESH_LIST_VALUE;
    textureGroupValue = START_TEXTURE_GROUP_VALUE;
}
