// Reset All and Reset Light.
#include "app/resets.h"

#include <cstdio>

#include "app/lighting.h"
#include "app/scene_state.h"
#include "mesh/mesh_prepare.h"
#include "mesh/vector_math.h"

// Copies the default position and colours (alpha and w stay), re-aims
// lightPointers and gives light 0 the result.
static void restoreDefaultLight()
{
    for (int i = 0; i < 3; i++) {
        light.position[i] = defaultLight.position[i];
        light.specular[i] = defaultLight.specular[i];
        light.ambient[i] = defaultLight.ambient[i];
        light.diffuse[i] = defaultLight.diffuse[i];
    }
    aimLightPointers();
    uploadLight(light.position, light.diffuse, light.ambient, light.specular);
}

void resetAll()
{
    printf("Resetting all...\n");
    Mesh& mesh = *currentMesh;
    // The identity goes straight into the matrix; uploadLight below leaves the
    // modelview matrix at the identity as well.
    setIdentityMatrix(mesh.rotation);
    mesh.previousScale = mesh.scale;
    if (mesh.hasGeometry) {
        mesh.scale = 1.5f / mesh.extent;
        scaleMeshNormals(mesh, mesh.scale / mesh.previousScale);
    } else {
        mesh.scale = 1.0f;
    }
    mesh.translateX = 0;
    mesh.translateY = 0;
    restoreDefaultLight();
}

void resetLight()
{
    printf("Resetting the Light...\n");
    restoreDefaultLight();
}
