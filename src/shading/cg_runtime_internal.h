// The records behind the shader runtime's handles, and the calls between its
// parts: cg_errors.cpp (the pending error and the callback), cg_runtime.cpp
// (contexts, profiles, programs, lookup) and cg_binding.cpp (binding, linked GL
// programs, parameter values), the last two over the GLSL core (glsl_core.h).
// Nothing else includes it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "shading/cg_runtime.h"
#include "shading/glsl_core.h"
#include "shading/uniform_scan.h"

struct CgParameterRecord {
    CgProgramRecord* program = nullptr;
    int index = 0; // position in program->parameters
    UniformDeclaration declaration;
    std::string typeText; // as cgGetParameterTypeString gives it
    int valueSize = 0;    // floats in a value: 1 to 4, or 16 for a mat4; 0 when no value can be set
    bool sampler = false; // a sampler: its value is the texture unit setSamplerUnit gave it
    bool hasValue = false;
    float value[16] = {}; // column-major for a mat4
};

struct CgProgramRecord {
    CgContextRecord* context = nullptr;
    CGprofile profile = CG_PROFILE_UNKNOWN;
    std::string file;    // as the caller named it, for listings
    CompiledStage stage; // its shader and the uniforms its file declares
    bool loaded = false;
    std::vector<std::unique_ptr<CgParameterRecord>> parameters; // in declaration order
};

struct CgContextRecord {
    std::vector<std::unique_ptr<CgProgramRecord>> programs;
    std::string listing;                  // log of the last compile or link, empty for none
    std::vector<std::string> sourceFiles; // read by the last creation (programSourceFiles)
};

// True for the two profiles programs can be written for.
inline bool isKnownProfile(CGprofile profile)
{
    return profile == CG_PROFILE_GLSLV || profile == CG_PROFILE_GLSLF;
}

// cg_errors.cpp
// Makes `error` the pending error and calls the error callback, unless one is
// already running (its own failing calls only set the pending error). Does
// nothing for CG_NO_ERROR.
void raiseCgError(CGerror error);

// cg_runtime.cpp
// True while a handle names a program or parameter that has not been destroyed.
bool isLiveProgram(const CgProgramRecord* program);
bool isLiveParameter(const CgParameterRecord* parameter);

// cg_binding.cpp
// Links the stages (either may be null) into a GL program that is kept for when
// exactly these stages are in use. False, with the driver's log, when they do not link.
bool linkStages(CgProgramRecord* vertex, CgProgramRecord* fragment, std::string& log);
// Unbinds `program`, switching the pipeline as needed, and deletes every GL
// program linked from it. Called just before the program is destroyed.
void releaseProgramBindings(CgProgramRecord* program);
// Stores a checked value and uploads it when the parameter's program is in use.
void storeParameterValue(CgParameterRecord* parameter, const float* values, int count);
