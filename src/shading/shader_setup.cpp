// Shader program set-up and the fatal error report.
#include "shading/shader_setup.h"

#include <cstdio>
#include <cstdlib>

ShaderBindingsRecord ShaderBindings;

// The pause before a fatal exit: two million backspaces, one at a time.
static void pauseAndExit()
{
    for (int i = 0; i < 2000000; i++)
        putchar('\b');
    fflush(stdout);
    exit(1);
}

void reportCgError()
{
    CGerror code = cgGetError();
    if (code == CG_NO_ERROR)
        return;
    printf("%s\n", cgGetErrorString(code));
    const char* listing = cgGetLastListing(ShaderBindings.cgContext);
    printf("%s\n", listing ? listing : "(no compiler listing)");
    printf("Cg error, exiting...\n");
    pauseAndExit();
}

// Looks up each name into its handle, all of them; true when every one was found.
static bool lookUp(CGprogram program, const char* const* names, CGparameter* const* handles, int count)
{
    bool all = true;
    for (int i = 0; i < count; i++) {
        *handles[i] = cgGetNamedParameter(program, names[i]);
        if (!*handles[i])
            all = false;
    }
    return all;
}

void setupShaders()
{
    ShaderBindingsRecord& b = ShaderBindings;
    b.cgContext = cgCreateContext();
    b.vertexProfile = cgGLGetLatestProfile(CG_GL_VERTEX);
    cgGLSetOptimalOptions(b.vertexProfile);
    b.fragmentProfile = cgGLGetLatestProfile(CG_GL_FRAGMENT);
    cgGLSetOptimalOptions(b.fragmentProfile);

    // the fragment program first
    b.fragmentProgram =
        cgCreateProgramFromFile(b.cgContext, CG_SOURCE, "fp_reflection.cg", b.fragmentProfile, "fp_reflection", nullptr);
    b.vertexProgram =
        cgCreateProgramFromFile(b.cgContext, CG_SOURCE, "vp_reflection.cg", b.vertexProfile, "vp_reflection", nullptr);

    const char* const group1[] = {"etaRatio", "eyePosition", "modelViewProj", "modelViewIT", "modelView",
                                  "modelViewEyeI"};
    CGparameter* const handles1[] = {&b.etaRatio, &b.eyePosition, &b.modelViewProj,
                                     &b.modelViewIT, &b.modelView, &b.modelViewEyeI};
    const char* const group2[] = {"specColor", "diffColor", "lightPosition", "Ks",            "Kd",
                                  "Ka",        "shininess", "globalAmbient", "dw", "aw"};
    CGparameter* const handles2[] = {&b.specColor, &b.diffColor, &b.lightPosition, &b.Ks, &b.Kd,
                                     &b.Ka,        &b.shininess, &b.globalAmbient, &b.dw, &b.aw};
    const char* const group3[] = {"environmentMap", "reflectivity", "matRatio", "weight", "shadowReduction"};
    CGparameter* const handles3[] = {&b.environmentMap, &b.reflectivity, &b.matRatio, &b.weight,
                                     &b.shadowReduction};

    if (!lookUp(b.vertexProgram, group1, handles1, 6) || !lookUp(b.vertexProgram, group2, handles2, 10)) {
        printf("Unable to get program parameters from vertex shader, exiting...\n");
        pauseAndExit();
    }
    if (!lookUp(b.fragmentProgram, group3, handles3, 5)) {
        printf("Unable to get program parameters from fragment shader, exiting...\n");
        pauseAndExit();
    }

    cgGLLoadProgram(b.vertexProgram);
    cgGLLoadProgram(b.fragmentProgram);
}
