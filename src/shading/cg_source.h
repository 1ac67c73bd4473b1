// Program text handling for the shader runtime: turns a program file into the
// text the GLSL compiler gets, finds the uniforms it declares as the compiler
// sees them, and rewrites the driver's log into the file's own name and line
// numbers. Used by cg_runtime.cpp.
#pragma once

#include <string>
#include <vector>

// One top-level uniform as the file declares it.
struct UniformDeclaration {
    std::string name;
    std::string type;  // GLSL type name as written ("vec3", "samplerCube", or a struct name)
    int arraySize = 1; // 1 for a plain uniform; 0 when the size is not a number literal
};

// The text the compiler gets, and how to read the line numbers of its log.
struct PreparedSource {
    std::string text;
    // Before GLSL 3.30 Mesa's preprocessor numbers the line after `#line N` as N
    // while its compiler numbers it N + 1, so the preprocessor's messages from
    // this line on are one line early; -1 when they are not.
    int preprocessorLagFrom = -1;
};

// Source preparation
// The file's text with the entry function made the stage's main: `#define entry main`
// (and one `#define` per entry of `defines`, each "NAME" or "NAME VALUE") goes right
// after the `#version` directive (after its last line when a block comment carries
// it on), or after an added `#version 120` when the file has none, followed by a
// `#line` directive that keeps every file line at its own number.
PreparedSource prepareProgramSource(const std::string& text, const std::string& entry,
                                    const std::vector<std::string>& defines = {});
// True when `name` can be used as a GLSL identifier (and so as an entry name).
bool isGlslIdentifier(const std::string& name);

// Scanning
// Both scans see the text as the compiler does after preprocessing: comments
// removed, only the taken branches of #if/#ifdef/#ifndef/#elif/#else (with
// `defined`), macros of #define (object-like and function-like, and `defines`
// as for prepareProgramSource) expanded; `__VERSION__`, `GL_ES` and the profile
// macros (`GL_core_profile`, `GL_compatibility_profile`) are set from the file's
// #version. Macros that depend on the driver (extension names) count as undefined.

// The uniforms declared at file scope, in declaration order, also those the
// program never uses. Uniform blocks are skipped.
std::vector<UniformDeclaration> scanUniforms(const std::string& text,
                                             const std::vector<std::string>& defines = {});
// True when a function called `name` is declared or defined at file scope.
bool declaresFunction(const std::string& text, const std::string& name,
                      const std::vector<std::string>& defines = {});

// Logs
// The driver's log with each line's leading source-string number ("0:12(5): ...",
// "0(12) : ...") replaced by `fileName`, and lines without one prefixed by
// "fileName: ". Preprocessor messages at or after `preprocessorLagFrom` (see
// PreparedSource) are moved one line on. Blank lines and trailing spaces are
// dropped; no final newline.
std::string rewriteDriverLog(const std::string& log, const std::string& fileName,
                             int preprocessorLagFrom = -1);
