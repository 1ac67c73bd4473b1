// Program text handling: source preparation, uniform scanning and log rewriting.
#include "shading/cg_source.h"

#include <cctype>
#include <cstdlib>

// The text with every comment turned into spaces. Newlines inside block
// comments stay, so offsets and line numbers are those of the original.
static std::string blankComments(const std::string& text)
{
    std::string out = text;
    size_t i = 0;
    while (i < out.size()) {
        if (out.compare(i, 2, "//") == 0) {
            while (i < out.size() && out[i] != '\n')
                out[i++] = ' ';
        } else if (out.compare(i, 2, "/*") == 0) {
            out[i] = out[i + 1] = ' ';
            i += 2;
            while (i < out.size() && out.compare(i, 2, "*/") != 0) {
                if (out[i] != '\n') out[i] = ' ';
                i++;
            }
            for (int k = 0; k < 2 && i < out.size(); k++)
                out[i++] = ' ';
        } else {
            i++;
        }
    }
    return out;
}

static bool isIdentifierStart(char c)
{
    return std::isalpha((unsigned char)c) || c == '_';
}
static bool isIdentifierChar(char c)
{
    return std::isalnum((unsigned char)c) || c == '_';
}

bool isGlslIdentifier(const std::string& name)
{
    if (name.empty() || !isIdentifierStart(name[0])) return false;
    for (char c : name)
        if (!isIdentifierChar(c)) return false;
    return true;
}

// Where the file's `#version` directive is, if it has one.
struct VersionLine {
    bool found = false;
    size_t lineEnd = 0; // offset of the newline that ends it (or the text's size)
    int lineNumber = 0; // 1-based
    int version = 0;
    bool es = false;
};

static VersionLine findVersionLine(const std::string& text)
{
    VersionLine result;
    const std::string plain = blankComments(text);
    // The directive may only follow comments and white space.
    size_t i = plain.find_first_not_of(" \t\r\n\f\v");
    if (i == std::string::npos || plain[i] != '#') return result;
    size_t j = plain.find_first_not_of(" \t", i + 1);
    if (j == std::string::npos || plain.compare(j, 7, "version") != 0) return result;
    result.found = true;
    result.lineEnd = plain.find('\n', j);
    if (result.lineEnd == std::string::npos) result.lineEnd = plain.size();
    result.lineNumber = 1;
    for (size_t k = 0; k < i; k++)
        result.lineNumber += plain[k] == '\n';
    const std::string rest = plain.substr(j + 7, result.lineEnd - j - 7);
    result.version = std::atoi(rest.c_str());
    result.es = rest.find(" es") != std::string::npos;
    return result;
}

std::string prepareProgramSource(const std::string& text, const std::string& entry,
                                 const std::vector<std::string>& defines)
{
    std::string header = "#define " + entry + " main\n";
    for (const std::string& define : defines)
        header += "#define " + define + "\n";

    const VersionLine version = findVersionLine(text);
    if (!version.found) {
        // Before GLSL 3.30 the line after `#line N` is line N + 1, so file line 1
        // follows `#line 0`.
        return "#version 120\n" + header + "#line 0\n" + text;
    }
    // The next file line is version.lineNumber + 1. From GLSL 3.30 (and ES 3.00)
    // on, `#line N` numbers the following line N; earlier versions number it N + 1.
    const bool lineNamesNextLine = version.es ? version.version >= 300 : version.version >= 330;
    const int lineValue = lineNamesNextLine ? version.lineNumber + 1 : version.lineNumber;
    std::string out = text.substr(0, version.lineEnd);
    out += "\n" + header + "#line " + std::to_string(lineValue) + "\n";
    if (version.lineEnd < text.size()) out += text.substr(version.lineEnd + 1);
    return out;
}

// The text with comments and preprocessor lines removed, split into identifiers,
// numbers and single punctuation characters.
static std::vector<std::string> tokenize(const std::string& text)
{
    const std::string plain = blankComments(text);
    std::vector<std::string> tokens;
    bool lineStart = true;
    size_t i = 0;
    while (i < plain.size()) {
        const char c = plain[i];
        if (c == '\n') {
            lineStart = true;
            i++;
        } else if (std::isspace((unsigned char)c)) {
            i++;
        } else if (c == '#' && lineStart) {
            // skip the directive, with its backslash continuations
            while (i < plain.size() && plain[i] != '\n') {
                if (plain[i] == '\\' && i + 1 < plain.size() && plain[i + 1] == '\n') i++;
                i++;
            }
        } else if (isIdentifierStart(c)) {
            size_t start = i;
            while (i < plain.size() && isIdentifierChar(plain[i]))
                i++;
            tokens.push_back(plain.substr(start, i - start));
            lineStart = false;
        } else if (std::isdigit((unsigned char)c) ||
                   (c == '.' && i + 1 < plain.size() && std::isdigit((unsigned char)plain[i + 1]))) {
            size_t start = i;
            while (i < plain.size() && (isIdentifierChar(plain[i]) || plain[i] == '.'))
                i++;
            tokens.push_back(plain.substr(start, i - start));
            lineStart = false;
        } else {
            tokens.push_back(std::string(1, c));
            lineStart = false;
            i++;
        }
    }
    return tokens;
}

// Index just past the bracket that closes the one at tokens[open].
static size_t skipBracketed(const std::vector<std::string>& tokens, size_t open)
{
    const std::string opening = tokens[open];
    const std::string closing = opening == "{" ? "}" : opening == "(" ? ")" : "]";
    int depth = 0;
    for (size_t i = open; i < tokens.size(); i++) {
        if (tokens[i] == opening)
            depth++;
        else if (tokens[i] == closing && --depth == 0)
            return i + 1;
    }
    return tokens.size();
}

// The element count of an array size "[ N ]" starting at tokens[open]; 0 when N
// is not a plain number. `next` is set past the closing bracket.
static int readArraySize(const std::vector<std::string>& tokens, size_t open, size_t& next)
{
    next = skipBracketed(tokens, open);
    if (next == open + 3 && std::isdigit((unsigned char)tokens[open + 1][0]))
        return (int)std::strtol(tokens[open + 1].c_str(), nullptr, 0);
    return 0;
}

// Reads one `uniform` declaration whose keyword is tokens[i]; adds its names to
// `out` and returns the index past its semicolon.
static size_t readUniformDeclaration(const std::vector<std::string>& tokens, size_t i,
                                     std::vector<UniformDeclaration>& out)
{
    auto at = [&](size_t k) -> const std::string& {
        static const std::string none;
        return k < tokens.size() ? tokens[k] : none;
    };
    auto skipToSemicolon = [&](size_t k) {
        while (k < tokens.size() && tokens[k] != ";")
            k = (tokens[k] == "{" || tokens[k] == "(" || tokens[k] == "[") ? skipBracketed(tokens, k) : k + 1;
        return k + 1;
    };

    size_t k = i + 1;
    while (at(k) == "lowp" || at(k) == "mediump" || at(k) == "highp")
        k++;
    std::string type;
    if (at(k) == "struct") {
        k++;
        if (isGlslIdentifier(at(k))) type = tokens[k++];
        if (at(k) != "{") return skipToSemicolon(k);
        k = skipBracketed(tokens, k);
    } else if (isGlslIdentifier(at(k)) && at(k + 1) != "{") {
        type = tokens[k++];
    } else {
        // a uniform block: its members cannot be set one by one
        return skipToSemicolon(k);
    }
    int typeArraySize = 1;
    if (at(k) == "[") typeArraySize = readArraySize(tokens, k, k);

    while (k < tokens.size()) {
        if (!isGlslIdentifier(at(k))) return skipToSemicolon(k);
        UniformDeclaration declaration;
        declaration.name = tokens[k++];
        declaration.type = type;
        declaration.arraySize = typeArraySize;
        if (at(k) == "[") declaration.arraySize = readArraySize(tokens, k, k);
        out.push_back(declaration);
        if (at(k) == "=") {
            // an initialiser runs to the next comma or semicolon outside brackets
            k++;
            while (k < tokens.size() && at(k) != "," && at(k) != ";")
                k = (at(k) == "(" || at(k) == "[" || at(k) == "{") ? skipBracketed(tokens, k) : k + 1;
        }
        if (at(k) == ",") {
            k++;
            continue;
        }
        return skipToSemicolon(k);
    }
    return k;
}

std::vector<UniformDeclaration> scanUniforms(const std::string& text)
{
    const std::vector<std::string> tokens = tokenize(text);
    std::vector<UniformDeclaration> uniforms;
    int depth = 0;
    size_t i = 0;
    while (i < tokens.size()) {
        if (tokens[i] == "{")
            depth++;
        else if (tokens[i] == "}" && depth > 0)
            depth--;
        else if (tokens[i] == "uniform" && depth == 0) {
            i = readUniformDeclaration(tokens, i, uniforms);
            continue;
        }
        i++;
    }
    return uniforms;
}

bool declaresFunction(const std::string& text, const std::string& name)
{
    const std::vector<std::string> tokens = tokenize(text);
    int depth = 0;
    for (size_t i = 0; i < tokens.size(); i++) {
        if (tokens[i] == "{")
            depth++;
        else if (tokens[i] == "}" && depth > 0)
            depth--;
        else if (depth == 0 && i > 0 && tokens[i] == name && i + 1 < tokens.size() && tokens[i + 1] == "(" &&
                 isGlslIdentifier(tokens[i - 1]))
            return true;
    }
    return false;
}

// True when `line` has, at offset `from`, the source-string number "0" that a
// single-string compilation puts before the line number ("0:12(5)", "0(12)").
static bool startsWithSourceNumber(const std::string& line, size_t from)
{
    return line.size() > from + 1 && line[from] == '0' && (line[from + 1] == ':' || line[from + 1] == '(');
}

std::string rewriteDriverLog(const std::string& log, const std::string& fileName)
{
    std::string out;
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find('\n', start);
        if (end == std::string::npos) end = log.size();
        std::string line = log.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && std::isspace((unsigned char)line.back()))
            line.pop_back();
        if (line.empty()) continue;

        // Some drivers put the severity first: "ERROR: 0:12: ...".
        size_t at = 0;
        for (const char* severity : {"ERROR: ", "WARNING: "})
            if (line.compare(0, std::string(severity).size(), severity) == 0)
                at = std::string(severity).size();
        if (startsWithSourceNumber(line, at))
            line = line.substr(0, at) + fileName + line.substr(at + 1);
        else
            line = fileName + ": " + line;

        if (!out.empty()) out += '\n';
        out += line;
    }
    return out;
}
