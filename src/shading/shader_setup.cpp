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

std::string cgErrorReport(CGcontext context, CGerror code)
{
    const char* listing = cgGetLastListing(context);
    return std::string(cgGetErrorString(code)) + "\n" + (listing ? listing : "(no compiler listing)") + "\n";
}

void reportCgError()
{
    CGerror code = cgGetError();
    if (code == CG_NO_ERROR) return;
    fputs(cgErrorReport(ShaderBindings.cgContext, code).c_str(), stdout);
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

    const ShaderLoad load = loadShaderPrograms(b, AT_START_UP);
    if (!load.accepted) {
        fflush(stdout);
        fputs(load.refusal.errorText.c_str(), stderr);
        fputs(load.refusal.text.c_str(), stdout);
        pauseAndExit();
    }
}
