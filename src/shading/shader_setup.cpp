// Shader program set-up and the fatal error report.
#include "shading/shader_setup.h"

#include <cstdio>
#include <cstdlib>

#include "shading/shader_programs.h"

ShaderBindingsRecord ShaderBindings;

// The pause before a fatal exit: two million backspaces, one at a time.
static void pauseAndExit()
{
    for (int i = 0; i < 2000000; i++)
        putchar('\b');
    fflush(stdout);
    exit(1);
}

void printCgErrorReport(CGerror code)
{
    printf("%s\n", cgGetErrorString(code));
    const char* listing = cgGetLastListing(ShaderBindings.cgContext);
    printf("%s\n", listing ? listing : "(no compiler listing)");
}

void reportCgError()
{
    CGerror code = cgGetError();
    if (code == CG_NO_ERROR) return;
    printCgErrorReport(code);
    printf("Cg error, exiting...\n");
    pauseAndExit();
}

void setupShaders()
{
    ShaderBindingsRecord& b = ShaderBindings;
    b.cgContext = cgCreateContext();
    b.vertexProfile = cgGLGetLatestProfile(CG_GL_VERTEX);
    cgGLSetOptimalOptions(b.vertexProfile);
    b.fragmentProfile = cgGLGetLatestProfile(CG_GL_FRAGMENT);
    cgGLSetOptimalOptions(b.fragmentProfile);

    // the fragment program first; a failure ends in reportCgError
    compileShaderPrograms(b);
    switch (lookUpShaderParameters(b)) {
    case PARAMETERS_FOUND:
        break;
    case VERTEX_PARAMETER_MISSING:
        printf("Unable to get program parameters from vertex shader, exiting...\n");
        pauseAndExit();
        break;
    case FRAGMENT_PARAMETER_MISSING:
        printf("Unable to get program parameters from fragment shader, exiting...\n");
        pauseAndExit();
        break;
    }
    cgGLLoadProgram(b.vertexProgram);
    cgGLLoadProgram(b.fragmentProgram);
}
