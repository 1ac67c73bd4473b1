// The uniform scan: the file-scope uniforms and functions a program declares.
#include "shading/uniform_scan.h"

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

std::vector<UniformDeclaration> scanUniforms(const std::string& text, const std::vector<std::string>& defines)
{
    const std::vector<std::string> tokens = preprocessedTokens(text, defines);
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

bool declaresFunction(const std::string& text, const std::string& name,
                      const std::vector<std::string>& defines)
{
    const std::vector<std::string> tokens = preprocessedTokens(text, defines);
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
