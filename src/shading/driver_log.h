// The GLSL driver's compile and link logs rewritten in the program files' own
// names and line numbers, for the shader runtime's listings. Used by
// cg_runtime.cpp and cg_binding.cpp.
#pragma once

#include <string>
#include <vector>

// The lines of one file in the text the compiler gets: its line L is the
// compiler's line first + L - 1.
struct SourceLines {
    std::string file;
    int first = 1;
    int count = 0;
};

// The driver's log with each line's position ("0:12(5): ...", "0(12) : ...")
// turned into the file and line it stands for: the first of `sources` whose
// lines hold the compiler's line, else the first of them with the compiler's
// number. Lines without a position are prefixed by "sources[0].file: ".
// Preprocessor messages at or after the compiler's line `preprocessorLagFrom`
// (see PreparedSource in program_source.h) are moved one line on. Blank lines
// and trailing spaces are dropped; no final newline. Drivers do not all keep
// GLSL's source-string numbers (Mesa loses them in many messages), so the
// files are told apart by their lines alone.
std::string rewriteDriverLog(const std::string& log, const std::vector<SourceLines>& sources,
                             int preprocessorLagFrom = -1);
// The same for the log of one file whose lines keep their numbers.
std::string rewriteDriverLog(const std::string& log, const std::string& fileName,
                             int preprocessorLagFrom = -1);
