// The viewer's two program files, loaded together: at start-up and at every
// live reload, each load giving its outcome as a value.
#pragma once

#include <string>
#include <vector>

#include "shading/shader_setup.h"

extern const char* const VERTEX_PROGRAM_FILE;   // "vp_reflection.cg"
extern const char* const FRAGMENT_PROGRAM_FILE; // "fp_reflection.cg"

// Why a load of the two programs was refused.
struct ShaderRefusal {
    // The file the report names first: a program file as it was opened, or both
    // joined by " + " when the two do not link together.
    std::string file;
    // That file's line in the first message that gives one; 0 when none does.
    int line = 0;
    // The report as the console shows it, every line ending in a line break: at
    // start-up all the viewer prints before it ends, at a reload all it prints
    // before "Shader reload failed; ...".
    std::string text;
    // At start-up, what goes to the error stream before `text`: the line naming
    // a parameter at fault. Empty otherwise.
    std::string errorText;
};

// The outcome of a load.
struct ShaderLoad {
    bool accepted = false;
    ShaderRefusal refusal; // when not accepted
};

// When a load happens: at start-up it stops at the first fault, whose report
// ends the viewer; a reload compiles both files whatever the first gives, and
// the viewer runs on.
enum ShaderLoadTime { AT_START_UP, AT_RELOAD };

// Compiles the fragment program and then the vertex program into b (in b's
// context and profiles), looks up and checks every parameter of the contract
// (those the programs declare, when not wholeContractRequired) and the inputs,
// loads both, points the sky's sampler at its unit and links the two together.
// Raises no runtime error. Refused, whatever was compiled is destroyed again
// and b's programs are null.
ShaderLoad loadShaderPrograms(ShaderBindingsRecord& b, ShaderLoadTime when);
// The files the program files of the last load included or tried to include
// (one missing too), whether the load was accepted or not: a live reload
// watches them beside the program files.
const std::vector<std::string>& includedShaderFiles();
// Every active uniform of the programs that draw (ShaderBindings' pair), the
// contract's and any others the files declare and use, in declaration order,
// the vertex program's first (see ActiveUniform, glsl_core.h). Empty before
// set-up; changes with every accepted reload.
const std::vector<ActiveUniform>& shaderUniforms();
