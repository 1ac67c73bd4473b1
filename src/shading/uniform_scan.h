// The uniform scan of the shader runtime: which uniforms and functions a program
// file declares, as the compiler sees the file after preprocessing (see
// glsl_preprocessor.h). The runtime makes a parameter of every uniform found,
// also of one the compiler removes as unused. Used by cg_runtime.cpp.
#pragma once

#include <string>
#include <vector>

// One top-level uniform as the file declares it.
struct UniformDeclaration {
    std::string name;
    std::string type;  // GLSL type name as written ("vec3", "samplerCube", or a struct name)
    int arraySize = 1; // 1 for a plain uniform; 0 when the size is not a number literal
    std::string file;  // the file whose text declares it; the runtime names it (scanUniforms leaves it empty)
    int line = 0;      // 1-based line of its name in that text
    std::string comment; // the `//` comment that ends that line, without the slashes; empty for none
};

// The uniforms declared at file scope, in declaration order, also those the
// program never uses. Uniform blocks are skipped. `defines` as for
// prepareProgramSource.
std::vector<UniformDeclaration> scanUniforms(const std::string& text,
                                             const std::vector<std::string>& defines = {});
// True when a function called `name` is declared or defined at file scope.
bool declaresFunction(const std::string& text, const std::string& name,
                      const std::vector<std::string>& defines = {});
