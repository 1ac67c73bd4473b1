// The viewer's two program files and their parameter contract, shared by the
// start-up set-up and the live reload.
#pragma once

#include <string>

#include "shading/shader_setup.h"

extern const char* const VERTEX_PROGRAM_FILE;   // "vp_reflection.cg"
extern const char* const FRAGMENT_PROGRAM_FILE; // "fp_reflection.cg"

// Compiles the fragment program and then the vertex program into b, in b's
// context and profiles. A failure raises a runtime error; the program then stays null.
void compileShaderPrograms(ShaderBindingsRecord& b);

enum ParameterLookup { PARAMETERS_FOUND, VERTEX_PARAMETER_MISSING, FRAGMENT_PARAMETER_MISSING };

// The outcome of the parameter check and the first parameter at fault.
struct ParameterCheck {
    ParameterLookup result = PARAMETERS_FOUND;
    const char* file = "";         // the program file that should declare it
    std::string name;              // empty when every parameter is usable
    std::string declaredType;      // as the file declares it; empty when it is not declared
    const char* expectedType = ""; // the type the viewer feeds it as
};

// Looks up the 21 parameters in b's programs and checks the type of each: the
// six matrices and camera values, then the ten light and material values of the
// vertex program, then the five of the fragment program. Stops at the first group
// with a parameter that is missing or of another type.
ParameterCheck lookUpShaderParameters(ShaderBindingsRecord& b);
// The console lines for a failed check: a line naming the parameter, its file
// and both types when the type is wrong (during a reload also a line naming a
// missing parameter), then "Unable to get program parameters from vertex shader"
// (or fragment), which at start-up ends in ", exiting...".
std::string describeParameterFailure(const ParameterCheck& check, bool atStartUp);
