// The idle callback: deferred work for the drawing window, then its redraw and the panel's when due.
#include "panel/idle.h"

#include <malloc.h>

#include <GL/freeglut.h>

#include "app/lighting.h"
#include "app/state_report.h"
#include "app/scene_state.h"
#include "io/file_watch.h"
#include "panel/control_panel.h"
#include "render/cube_map.h"
#include "render/user_sky.h"

// Start-up, a shader reload, a new sky, mesh or window size leave megabytes of
// freed heap behind (the driver compiles its programs, textures and buffers are
// made anew), and the allocator keeps much of it, more or less by chance of
// what was freed last. Once a second it goes back to the system, so the viewer
// at rest holds only what it uses and its resident size tells a leak from the
// allocator's reserve.
static void returnFreedHeap()
{
    static int lastReturn = 0;
    const int now = glutGet(GLUT_ELAPSED_TIME);
    if (now - lastReturn < 1000) return;
    malloc_trim(0);
    lastReturn = now;
}

void idle()
{
    // everything below belongs to the drawing window's context, not the panel's
    if (glutGetWindow() != mainWindow) glutSetWindow(mainWindow);
    if (lightChanged) {
        uploadLight(light.position, light.diffuse, light.ambient, light.specular);
        lightChanged = false;
    }
    if (textureChanged) {
        static const char* const SETS[3] = {"sky", "sky2", "nvlobby"};
        if (textureIndex >= 0 && textureIndex <= 2) loadCubeMap(SETS[textureIndex]);
        if (textureIndex == USER_SKY_INDEX) showUserSky();
        textureChanged = false;
    }
    // edited program files and a model file written again come in without a restart
    checkWatchedFiles(glutGet(GLUT_ELAPSED_TIME));
    writeStateReportIfAsked();
    returnFreedHeap();
    syncPanel();
    glutPostRedisplay();
}
