// Light 0 set-up and upload.
#include "app/lighting.h"

#include <GL/gl.h>

#include "app/scene_state.h"

void uploadLight(const float* position, const float* diffuse, const float* ambient, const float* specular)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
}

void initLighting()
{
    glEnable(GL_LIGHT0);
    uploadLight(light.position, light.diffuse, light.ambient, light.specular);
    glShadeModel(GL_SMOOTH);
    currentMesh->smoothShading = true;
}
