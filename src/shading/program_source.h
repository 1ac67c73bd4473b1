// Source preparation for the shader runtime: turns a program file into the
// text the GLSL compiler gets, and reads the file's #version directive and
// comments as the scans (glsl_preprocessor, uniform_scan) need them too.
// Used by cg_runtime.cpp.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The text the compiler gets, and how to read the line numbers of its log.
struct PreparedSource {
    std::string text;
    // Before GLSL 3.30 Mesa's preprocessor numbers the line after `#line N` as N
    // while its compiler numbers it N + 1, so the preprocessor's messages from
    // this line on are one line early; -1 when they are not.
    int preprocessorLagFrom = -1;
};

// Preparation
// The file's text with the entry function made the stage's main: `#define entry main`
// (and one `#define` per entry of `defines`, each "NAME" or "NAME VALUE") goes right
// after the `#version` directive (after its last line when a block comment carries
// it on), or after an added `#version 120` when the file has none, followed by a
// `#line` directive that keeps every file line at its own number.
PreparedSource prepareProgramSource(const std::string& text, const std::string& entry,
                                    const std::vector<std::string>& defines = {});
// True when `name` can be used as a GLSL identifier (and so as an entry name).
bool isGlslIdentifier(const std::string& name);

// Reading the text
bool isIdentifierStart(char c);
bool isIdentifierChar(char c);
// The text with every comment turned into spaces. Newlines inside block
// comments stay, so offsets and line numbers are those of the original.
std::string blankComments(const std::string& text);

// Where the file's `#version` directive is, if it has one.
struct VersionLine {
    bool found = false;
    size_t end = 0;  // offset of the newline that ends the directive (or the text's size)
    int endLine = 0; // 1-based line of that newline
    int version = 0;
    bool es = false;
    bool compatibility = false; // the compatibility profile asked for
};
// The directive counts only when comments and white space alone come before it.
VersionLine findVersionLine(const std::string& text);
