// Source preparation: the file's text as the compiler gets it, and the reading
// of its #version directive and comments that the scans share.
#include "shading/program_source.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

// The text with every comment turned into spaces. Newlines inside block
// comments stay, so offsets and line numbers are those of the original.
std::string blankComments(const std::string& text)
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

bool isIdentifierStart(char c)
{
    return std::isalpha((unsigned char)c) || c == '_';
}
bool isIdentifierChar(char c)
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

// Offset of the newline that ends the directive starting at `from`: block
// comments and backslash continuations carry a directive on to later lines.
static size_t directiveEnd(const std::string& text, size_t from)
{
    size_t i = from;
    while (i < text.size()) {
        if (text.compare(i, 2, "/*") == 0) {
            const size_t close = text.find("*/", i + 2);
            if (close == std::string::npos) return text.size();
            i = close + 2;
        } else if (text.compare(i, 2, "//") == 0) {
            const size_t end = text.find('\n', i);
            return end == std::string::npos ? text.size() : end;
        } else if (text[i] == '\\' && text.compare(i + 1, 1, "\n") == 0) {
            i += 2;
        } else if (text[i] == '\n') {
            return i;
        } else {
            i++;
        }
    }
    return text.size();
}

VersionLine findVersionLine(const std::string& text)
{
    VersionLine result;
    const std::string plain = blankComments(text);
    // The directive may only follow comments and white space.
    size_t i = plain.find_first_not_of(" \t\r\n\f\v");
    if (i == std::string::npos || plain[i] != '#') return result;
    size_t j = plain.find_first_not_of(" \t", i + 1);
    if (j == std::string::npos || plain.compare(j, 7, "version") != 0) return result;
    result.found = true;
    result.end = directiveEnd(text, j);
    result.endLine = 1 + int(std::count(text.begin(), text.begin() + long(result.end), '\n'));
    const size_t lineEnd = std::min(plain.find('\n', j), plain.size());
    const std::string rest = plain.substr(j + 7, lineEnd - j - 7);
    result.version = std::atoi(rest.c_str());
    result.es = rest.find(" es") != std::string::npos;
    result.compatibility = rest.find(" compatibility") != std::string::npos;
    return result;
}

PreparedSource prepareProgramSource(const std::string& text, const std::string& entry,
                                    const std::vector<std::string>& defines)
{
    std::string header = "#define " + entry + " main\n";
    for (const std::string& define : defines)
        header += "#define " + define + "\n";

    PreparedSource prepared;
    const VersionLine version = findVersionLine(text);
    if (!version.found) {
        // Before GLSL 3.30 the line after `#line N` is line N + 1, so file line 1
        // follows `#line 0`.
        prepared.text = "#version 120\n" + header + "#line 0\n" + text;
        prepared.preprocessorLagFrom = 0;
        return prepared;
    }
    // The next file line is version.endLine + 1. From GLSL 3.30 (and ES 3.00)
    // on, `#line N` numbers the following line N; earlier versions number it N + 1.
    const bool lineNamesNextLine = version.es ? version.version >= 300 : version.version >= 330;
    const int lineValue = lineNamesNextLine ? version.endLine + 1 : version.endLine;
    if (!lineNamesNextLine) prepared.preprocessorLagFrom = lineValue;
    prepared.text = text.substr(0, version.end);
    prepared.text += "\n" + header + "#line " + std::to_string(lineValue) + "\n";
    if (version.end < text.size()) prepared.text += text.substr(version.end + 1);
    return prepared;
}
