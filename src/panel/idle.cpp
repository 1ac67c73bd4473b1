// The idle callback: deferred work for the drawing window, then a redraw of both windows.
#include "panel/idle.h"

#include <GL/freeglut.h>

#include "app/lighting.h"
#include "app/state_report.h"
#include "app/scene_state.h"
#include "panel/control_panel.h"
#include "render/cube_map.h"
#include "shading/shader_reload.h"

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
        textureChanged = false;
    }
    // edited program files come in without a restart
    reloadShadersIfChanged();
    writeStateReportIfAsked();
    syncPanel();
    glutPostRedisplay();
}
