// Compiling the two program files and looking up their parameters.
#include "shading/shader_programs.h"

const char* const VERTEX_PROGRAM_FILE = "vp_reflection.cg";
const char* const FRAGMENT_PROGRAM_FILE = "fp_reflection.cg";

void compileShaderPrograms(ShaderBindingsRecord& b)
{
    b.fragmentProgram = cgCreateProgramFromFile(b.cgContext, CG_SOURCE, FRAGMENT_PROGRAM_FILE,
                                                b.fragmentProfile, "fp_reflection", nullptr);
    b.vertexProgram = cgCreateProgramFromFile(b.cgContext, CG_SOURCE, VERTEX_PROGRAM_FILE, b.vertexProfile,
                                              "vp_reflection", nullptr);
}

// Looks up each name into its handle, all of them; true when every one was found.
static bool lookUp(CGprogram program, const char* const* names, CGparameter* const* handles, int count)
{
    bool all = true;
    for (int i = 0; i < count; i++) {
        *handles[i] = program ? cgGetNamedParameter(program, names[i]) : nullptr;
        if (!*handles[i]) all = false;
    }
    return all;
}

ParameterLookup lookUpShaderParameters(ShaderBindingsRecord& b)
{
    const char* const group1[] = {"etaRatio",    "eyePosition", "modelViewProj",
                                  "modelViewIT", "modelView",   "modelViewEyeI"};
    CGparameter* const handles1[] = {&b.etaRatio,    &b.eyePosition, &b.modelViewProj,
                                     &b.modelViewIT, &b.modelView,   &b.modelViewEyeI};
    const char* const group2[] = {"specColor", "diffColor", "lightPosition", "Ks", "Kd",
                                  "Ka",        "shininess", "globalAmbient", "dw", "aw"};
    CGparameter* const handles2[] = {&b.specColor, &b.diffColor, &b.lightPosition, &b.Ks, &b.Kd,
                                     &b.Ka,        &b.shininess, &b.globalAmbient, &b.dw, &b.aw};
    const char* const group3[] = {"environmentMap", "reflectivity", "matRatio", "weight", "shadowReduction"};
    CGparameter* const handles3[] = {&b.environmentMap, &b.reflectivity, &b.matRatio, &b.weight,
                                     &b.shadowReduction};

    if (!lookUp(b.vertexProgram, group1, handles1, 6) || !lookUp(b.vertexProgram, group2, handles2, 10))
        return VERTEX_PARAMETER_MISSING;
    if (!lookUp(b.fragmentProgram, group3, handles3, 5)) return FRAGMENT_PARAMETER_MISSING;
    return PARAMETERS_FOUND;
}
