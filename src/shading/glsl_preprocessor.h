// The preprocessor of the shader runtime's scans: a file's text as the
// compiler proper sees it, as tokens, and which of its lines the compiler
// compiles. Used by uniform_scan.cpp and program_includes.cpp.
#pragma once

#include <memory>
#include <string>
#include <vector>

// The tokens of `text` after preprocessing: comments removed, only the taken
// branches of #if/#ifdef/#ifndef/#elif/#else (with `defined`), macros of #define
// (object-like and function-like, and `defines`, each "NAME" or "NAME VALUE")
// expanded; `__VERSION__`, `GL_ES` and the profile macros (`GL_core_profile`,
// `GL_compatibility_profile`) are set from the file's #version. Macros that
// depend on the driver (extension names) count as undefined. Expansion is
// bounded, so macros that multiply each other cost neither all memory nor the stack.
// Each token carries the 1-based line of `text` it stands on; the tokens of a
// macro's expansion stand where the macro is used, those of a line continued
// with a backslash on its first line.
struct Token {
    std::string text;
    int line = 0;
};
std::vector<Token> preprocessedTokens(const std::string& text, const std::vector<std::string>& defines);

// Follows the conditionals and macros of a text line by line, as
// preprocessedTokens does, to tell which lines are in taken branches.
struct BranchTracker {
    // Starts with the macros of `versionText`'s #version and `defines`.
    BranchTracker(const std::string& versionText, const std::vector<std::string>& defines);
    ~BranchTracker();
    // Carries out one directive line (comments blanked, continuations joined):
    // #if, #ifdef, #ifndef, #elif, #else, #endif, #define, #undef; others do nothing.
    void directive(const std::string& line);
    // True while the lines are in taken branches only.
    bool active() const;

    struct State;
    std::unique_ptr<State> state;
};

// Lines of a text whose comments are blanked (blankComments)
// The logical line at offset `start`: a backslash before the newline joins the
// next line on. `start` moves past the line's newline.
std::string readLogicalLine(const std::string& plain, size_t& start);
// "#include", "#define", ... when the line is a directive ("#" alone for a
// line of just "#"); "" when it is not one.
std::string directiveName(const std::string& line);
