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
