// The two shader programs: compiled from "vp_reflection.cg" and
// "fp_reflection.cg" at start-up, their parameter handles, and the error report
// that ends the program when the shader runtime fails.
#pragma once

#include <string>

#include "shading/cg_runtime.h"

// The context, profiles, programs and parameter handles of the two programs.
struct ShaderBindingsRecord {
    CGcontext cgContext = nullptr;
    CGprofile vertexProfile = CG_PROFILE_UNKNOWN;
    CGprofile fragmentProfile = CG_PROFILE_UNKNOWN;
    CGprogram vertexProgram = nullptr;
    CGprogram fragmentProgram = nullptr;
    // One handle per parameter of the contract (shader_contract.inc), named after
    // it: ShaderBindings.etaRatio is the handle of "etaRatio".
#define SHADER_PARAMETER(name, ...) CGparameter name = nullptr;
#include "shading/shader_contract.inc"
#undef SHADER_PARAMETER
};

// Filled by setupShaders at the end of start-up and read by every frame; lives
// until the process ends. A successful live reload replaces it whole (new
// programs and all handles together); the old programs' handles are then invalid.
extern ShaderBindingsRecord ShaderBindings;

// Creates the context, compiles, loads and links both programs and looks up
// every parameter of the contract. Returns only on success; any failure is
// reported and ends the program.
// Both fatal paths here write two million backspaces before they exit: the
// old pause that lets a console closing with the process show the message; on
// a terminal they erase nothing, as they follow the line feed.
void setupShaders();
// The shader runtime's error callback: reports the pending error with the
// compiler listing and ends the program. Does nothing when no error is pending.
void reportCgError();
// The text of an error code and the context's last listing, a line each.
std::string cgErrorReport(CGcontext context, CGerror code);
