// meshshade: an interactive viewer for experimenting with programmable shading
// of polygon meshes. main() sets everything up in a fixed order and hands over
// to the GLUT main loop; from then on all work happens in callbacks.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <GL/freeglut.h>

#include "app/command_line.h"
#include "app/glh_extensions.h"
#include "app/lighting.h"
#include "app/mesh_slots.h"
#include "app/model_slot.h"
#include "app/scene_state.h"
#include "app/side_windows.h"
#include "app/swap_control.h"
#include "app/workspace.h"
#include "app/x_errors.h"
#include "io/image_file.h"
#include "input/menus.h"
#include "input/mouse.h"
#include "io/data_files.h"
#include "mesh/import_process.h"
#include "mesh/vector_math.h"
#include "panel/control_panel.h"
#include "panel/idle.h"
#include "render/cube_map.h"
#include "render/frame.h"
#include "render/projection.h"
#include "render/user_sky.h"
#include "render/screenshot.h"
#include "shading/cg_runtime.h"
#include "shading/shader_contract.h"
#include "shading/shader_inputs.h"
#include "shading/shader_reload.h"
#include "shading/shader_setup.h"
#include "shading/user_parameters.h"

// Frames drawn before --screenshot takes its picture: the first ones may still
// come before the window has its size and the panel its place.
static const int SCREENSHOT_FRAMES = 5;

int main(int argc, char** argv)
{
    // The importer process the viewer starts for a model runs this program again
    runImporterIfAsked(argc, argv);

    // u_time counts from here
    startShaderClock();
    // Console messages arrive line by line, also through a pipe.
    setvbuf(stdout, nullptr, _IOLBF, 0);

    // Command line: the viewer's own options; glutInit takes the toolkit's
    CommandLine options;
    std::string problem;
    switch (parseCommandLine(argc, argv, options, problem)) {
    case COMMAND_LINE_HELP:
        fputs(usageText(), stdout);
        return 0;
    case COMMAND_LINE_VERSION:
        fputs(versionText(), stdout);
        return 0;
    case COMMAND_LINE_BAD:
        fprintf(stderr, "meshshade: %s\n%s", problem.c_str(), usageText());
        return 2;
    case COMMAND_LINE_RUN:
        break;
    }
    if (!options.initFolder.empty()) return makeShaderWorkspace(options.initFolder.c_str());
    // Run from anywhere with a model or an option; a plain run reads the working directory only
    if (options.ownArguments) useShippedFilesWhereMissing();
    // the program files of --shaders, before any window opens: a folder that is not there ends the viewer
    // here
    if (!options.shadersFolder.empty()) {
        std::string why;
        if (!takeProgramFilesFrom(options.shadersFolder, why)) {
            fprintf(stderr, "meshshade: --shaders %s: %s\n", options.shadersFolder.c_str(), why.c_str());
            return 1;
        }
    }

    // The user's model, before any window opens: one that cannot be shown ends the viewer here
    if (!options.modelPath.empty()) {
        std::string why;
        if (!loadModelSlot(options.modelPath.c_str(), why)) {
            fprintf(stderr, "meshshade: cannot show %s: %s\n", options.modelPath.c_str(), why.c_str());
            return 1;
        }
    }

    // A destroyed window or a lost display ends the viewer at once, never in a hang
    installXErrorHandlers();

    // Drawing window
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(options.windowWidth, options.windowHeight);
    glutInitWindowPosition(100, 100);
    mainWindow = glutCreateWindow("Mesh display");
    glClearColor(1, 1, 1, 1);
    // frames are drawn continuously; at the display's pace, not as fast as possible
    requestSwapInterval(1);

    // Callbacks
    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    glutKeyboardFunc(keyboard);
    glutMouseFunc(mouse);
    glutMotionFunc(motion);
    glutPassiveMotionFunc(passiveMotion);
    glutWindowStatusFunc(windowStatus);
    cgSetErrorCallback(reportCgError);
    glutIdleFunc(idle);

    // Control panel: a second window, drawn with the side windows' context; the
    // drawing window is current again afterwards
    beginSideWindows();
    buildControlPanel();
    endSideWindows();
    glutSetWindow(controlPanelWindow());
    // only the drawing window waits for the display: two windows each waiting
    // for their own vertical blank would halve the frame rate
    requestSwapInterval(0);
    glutWindowStatusFunc(windowStatus);
    glutSetWindow(mainWindow);

    // Required extensions
    if (!initExtensions("GL_ARB_multitexture")) {
        printf("Necessary extensions unsupported: %s\n", unsupportedExtensions());
        exit(1);
    }

    // Environment
    initImages();
    loadCubeMap("sky");
    if (!options.skyPath.empty()) {
        std::string why;
        if (!loadUserSky(options.skyPath, why)) {
            fprintf(stderr, "meshshade: %s\n", why.c_str());
            return 1;
        }
    }

    // Provisional projection, replaced by the first reshape
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -2, 2, 1, 15);
    glMatrixMode(GL_MODELVIEW);
    glViewport(0, 0, 300, 300);

    initSphereSlot();

    // Camera
    perspectiveProjection = 1;
    upVector[0] = 0, upVector[1] = 1, upVector[2] = 0;
    eyePosition[0] = 0, eyePosition[1] = 0, eyePosition[2] = cameraRadius;
    lookAtPoint[0] = 0, lookAtPoint[1] = 0, lookAtPoint[2] = 0;
    eyeDistance = unitVectorTowards(eyePosition, lookAtPoint, viewDirection);

    // the menus' windows are side windows as well
    beginSideWindows();
    createMenus();
    endSideWindows();

    // Meshes
    // a mesh file that cannot be read is reported by the reader and its slot skipped
    std::string unread;
    loadMeshSlot(1, "bunny500.m", unread);
    loadMeshSlot(2, "cessna_color500.m", unread);
    keepLoadedSlotCurrent();
    if (!options.modelPath.empty()) showModelSlot();

    // Lighting
    glEnable(GL_DEPTH_TEST);
    initLighting();
    glEnable(GL_LIGHTING);
    glClearColor(0, 0, 0, 0);

    // Started with a model or an option, an experiment of one's own need not
    // declare every parameter of the shipped programs
    wholeContractRequired = !options.ownArguments;
    setupShaders();
    // the programs' own parameters and the inputs they use, with the start
    // values of the command line
    takeUpProgramPair(ShaderBindings);
    if (!applyParameterSettings(options.settings, problem)) {
        fprintf(stderr, "meshshade: %s\n%s", problem.c_str(), usageText());
        return 2;
    }
    if (options.timeFixed) fixShaderTime(options.fixedTime);
    // edited program files come in without a restart
    watchShaderFiles();
    if (!options.screenshotPath.empty())
        requestScreenshot(options.screenshotPath.c_str(), options.screenshotFormat, SCREENSHOT_FRAMES);

    glutMainLoop();
    return 0;
}
