// The viewer's two program files and their parameter contract, shared by the
// start-up set-up and the live reload.
#pragma once

#include "shading/shader_setup.h"

extern const char* const VERTEX_PROGRAM_FILE;   // "vp_reflection.cg"
extern const char* const FRAGMENT_PROGRAM_FILE; // "fp_reflection.cg"

// Compiles the fragment program and then the vertex program into b, in b's
// context and profiles. A failure raises a runtime error; the program then stays null.
void compileShaderPrograms(ShaderBindingsRecord& b);

enum ParameterLookup { PARAMETERS_FOUND, VERTEX_PARAMETER_MISSING, FRAGMENT_PARAMETER_MISSING };
// Looks up the 21 parameters in b's programs: the six matrices and camera
// values, then the ten light and material values of the vertex program, then the
// five of the fragment program. Stops at the first group with a missing name.
ParameterLookup lookUpShaderParameters(ShaderBindingsRecord& b);
