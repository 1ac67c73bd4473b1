// The uniform scan: the file-scope uniforms and functions a program declares.
#include "shading/uniform_scan.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "shading/glsl_preprocessor.h"
#include "shading/program_source.h"

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
// `out`, each with the line of its name from `lines`, and returns the index
// past its semicolon.
static size_t readUniformDeclaration(const std::vector<std::string>& tokens, const std::vector<int>& lines,
                                     size_t i, std::vector<UniformDeclaration>& out)
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
        declaration.line = lines[k];
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

// The words of the preprocessed text, and the line each stands on.
static void readTokens(const std::string& text, const std::vector<std::string>& defines,
                       std::vector<std::string>& words, std::vector<int>& lines)
{
    std::vector<Token> tokens = preprocessedTokens(text, defines);
    words.reserve(tokens.size());
    lines.reserve(tokens.size());
    for (Token& token : tokens) {
        words.push_back(std::move(token.text));
        lines.push_back(token.line);
    }
}

// Gives each declaration the `//` comment that ends its line, if any. One pass
// over the text; a `//` inside a block comment starts no comment.
static void attachLineComments(const std::string& text, std::vector<UniformDeclaration>& uniforms)
{
    if (uniforms.empty()) return;
    std::vector<std::string> comments; // by line, up to the last line a declaration is on
    int lastLine = 0;
    for (const UniformDeclaration& u : uniforms)
        lastLine = std::max(lastLine, u.line);
    comments.resize(size_t(lastLine) + 1);
    int line = 1;
    bool inBlock = false;
    for (size_t i = 0; i < text.size() && line <= lastLine; i++) {
        if (text[i] == '\n') {
            line++;
        } else if (inBlock) {
            if (text.compare(i, 2, "*/") == 0) {
                inBlock = false;
                i++;
            }
        } else if (text.compare(i, 2, "/*") == 0) {
            inBlock = true;
            i++;
        } else if (text.compare(i, 2, "//") == 0) {
            size_t end = text.find('\n', i);
            if (end == std::string::npos) end = text.size();
            comments[size_t(line)] = text.substr(i + 2, end - i - 2);
            i = end - 1;
        }
    }
    for (UniformDeclaration& u : uniforms)
        if (u.line > 0) u.comment = comments[size_t(u.line)];
}

std::vector<UniformDeclaration> scanUniforms(const std::string& text, const std::vector<std::string>& defines)
{
    std::vector<std::string> tokens;
    std::vector<int> lines;
    readTokens(text, defines, tokens, lines);
    std::vector<UniformDeclaration> uniforms;
    int depth = 0;
    size_t i = 0;
    while (i < tokens.size()) {
        if (tokens[i] == "{")
            depth++;
        else if (tokens[i] == "}" && depth > 0)
            depth--;
        else if (tokens[i] == "uniform" && depth == 0) {
            i = readUniformDeclaration(tokens, lines, i, uniforms);
            continue;
        }
        i++;
    }
    attachLineComments(text, uniforms);
    return uniforms;
}

bool declaresFunction(const std::string& text, const std::string& name,
                      const std::vector<std::string>& defines)
{
    std::vector<std::string> tokens;
    std::vector<int> lines;
    readTokens(text, defines, tokens, lines);
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
