// #include "path" in program files: a program file's text with each #include
// of a taken branch replaced by the included file's text, and #line directives
// that give the lines of every included file numbers of their own, so that the
// driver's messages can name the file and line where the text stands. Used by
// cg_runtime.cpp.
#pragma once

#include <string>
#include <vector>

#include "shading/driver_log.h"

// How deep includes may nest: the program file includes at depth 1.
const int MAX_INCLUDE_DEPTH = 32;

// A program file with the files it includes.
struct ExpandedProgram {
    std::string text; // the program file's text with the included text in place
    // The program file (its lines keep their numbers), then each included file
    // in the order of inclusion, with the numbers its lines have in `text`.
    std::vector<SourceLines> files;
    // Where the lines of `text` come from: from its line `textLine` on, the
    // lines of files[file] from `line` on; none while the program file's own
    // lines go on from line 1.
    struct Segment {
        int textLine, file, line;
    };
    std::vector<Segment> segments;
    // Every file the expansion read or tried to read, the program file first,
    // one that is missing or could not be read too: what a live reload watches.
    std::vector<std::string> looked;
    // Why the program cannot be made, as "file:line: error: ..."; empty when it can.
    std::string error;
};

// Expands the includes of `text`, the content of the program file `file`.
// An include is `#include "path"` on a line of its own, the path relative to
// the folder of the file that holds the line (or absolute). Only includes in
// branches the compiler takes count (`defines` as for prepareProgramSource);
// one in a branch not taken is not read. Every file is read as the program file
// is: a regular file without NUL bytes, a UTF-8 byte-order mark skipped; all
// files together hold at most MAX_SHADER_FILE_BYTES. A file is included once
// per program: a later include of it is left out. Refused, with `error` naming
// the including file and line: a file that cannot be read, an include cycle
// (a file that includes itself, too), nesting deeper than MAX_INCLUDE_DEPTH, an
// included file with a #version directive of its own, an include without a
// quoted name, an included file that ends inside a block comment.
// A file without includes comes back unchanged.
ExpandedProgram expandIncludes(const std::string& file, const std::string& text,
                               const std::vector<std::string>& defines = {});
// A place in a file.
struct SourcePlace {
    std::string file;
    int line = 0;
};
// The file and line that line `textLine` (1-based) of `program.text` stands
// for; the lines of the #line directives around an included text count as the
// text's before them.
SourcePlace placeOfTextLine(const ExpandedProgram& program, int textLine);
// "file:LINE: error: a NUL byte; ..." for the first NUL byte of `text`, "" when
// it has none.
std::string nulByteError(const std::string& file, const std::string& text);
