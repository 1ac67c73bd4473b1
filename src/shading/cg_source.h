// Program text handling for the shader runtime: turns a program file into the
// text the GLSL compiler gets, finds the uniforms it declares, and rewrites the
// driver's log into the file's own name and line numbers. Used by cg_runtime.cpp.
#pragma once

#include <string>
#include <vector>

// One top-level uniform as the file declares it.
struct UniformDeclaration {
    std::string name;
    std::string type;  // GLSL type name as written ("vec3", "samplerCube", or a struct name)
    int arraySize = 1; // 1 for a plain uniform; 0 when the size is not a number literal
};

// Source preparation
// The file's text with the entry function made the stage's main: `#define entry main`
// (and one `#define` per entry of `defines`, each "NAME" or "NAME VALUE") goes right
// after the `#version` line, or after an added `#version 120` when the file has none,
// followed by a `#line` directive that keeps every file line at its own number.
std::string prepareProgramSource(const std::string& text, const std::string& entry,
                                 const std::vector<std::string>& defines = {});
// True when `name` can be used as a GLSL identifier (and so as an entry name).
bool isGlslIdentifier(const std::string& name);

// Scanning
// The uniforms declared at file scope, in declaration order, comments and
// preprocessor lines ignored. Uniform blocks are skipped.
std::vector<UniformDeclaration> scanUniforms(const std::string& text);
// True when a function called `name` is declared or defined at file scope.
bool declaresFunction(const std::string& text, const std::string& name);

// Logs
// The driver's log with each line's leading source-string number ("0:12(5): ...",
// "0(12) : ...") replaced by `fileName`, and lines without one prefixed by
// "fileName: ". Blank lines and trailing spaces are dropped; no final newline.
std::string rewriteDriverLog(const std::string& log, const std::string& fileName);
