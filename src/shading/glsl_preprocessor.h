// The preprocessor of the shader runtime's scans: a file's text as the
// compiler proper sees it, as tokens. Used by uniform_scan.cpp.
#pragma once

#include <string>
#include <vector>

// The tokens of `text` after preprocessing: comments removed, only the taken
// branches of #if/#ifdef/#ifndef/#elif/#else (with `defined`), macros of #define
// (object-like and function-like, and `defines`, each "NAME" or "NAME VALUE")
// expanded; `__VERSION__`, `GL_ES` and the profile macros (`GL_core_profile`,
// `GL_compatibility_profile`) are set from the file's #version. Macros that
// depend on the driver (extension names) count as undefined. Expansion is
// bounded, so macros that multiply each other cost neither all memory nor the stack.
std::vector<std::string> preprocessedTokens(const std::string& text, const std::vector<std::string>& defines);
