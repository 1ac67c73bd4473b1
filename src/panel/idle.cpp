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

// Start-up leaves megabytes of freed heap behind (the driver compiles its shaders
// and loads the cube maps then); once the first frames are drawn they go back to
// the system, so the viewer at rest holds only what it uses.
static void returnStartUpHeapOnce()
{
    static bool returned = false;
    if (returned || glutGet(GLUT_ELAPSED_TIME) < 1000) return;
    malloc_trim(0);
    returned = true;
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
    returnStartUpHeapOnce();
    syncPanel();
    glutPostRedisplay();
}
