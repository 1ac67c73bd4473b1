// The GLSL driver's compile and link logs rewritten in the program file's own
// name and line numbers, for the shader runtime's listings. Used by
// cg_runtime.cpp and cg_binding.cpp.
#pragma once

#include <string>

// The driver's log with each line's leading source-string number ("0:12(5): ...",
// "0(12) : ...") replaced by `fileName`, and lines without one prefixed by
// "fileName: ". Preprocessor messages at or after `preprocessorLagFrom` (see
// PreparedSource in program_source.h) are moved one line on. Blank lines and
// trailing spaces are dropped; no final newline.
std::string rewriteDriverLog(const std::string& log, const std::string& fileName,
                             int preprocessorLagFrom = -1);
