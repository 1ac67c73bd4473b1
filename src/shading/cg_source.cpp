// Program text handling: source preparation, preprocessing for the scans, uniform
// scanning and log rewriting.
#include "shading/cg_source.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <unordered_map>
#include <unordered_set>

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

// Where the file's `#version` directive is, if it has one.
struct VersionLine {
    bool found = false;
    size_t end = 0;  // offset of the newline that ends the directive (or the text's size)
    int endLine = 0; // 1-based line of that newline
    int version = 0;
    bool es = false;
    bool compatibility = false; // the compatibility profile asked for
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

// Preprocessing, as far as the scans need it.
namespace {

struct Macro {
    bool functionLike = false;
    std::vector<std::string> parameters;
    std::vector<std::string> body;
};

// Bounds on macro expansion, so that macros that multiply each other or chain
// a hundred thousand deep cost neither all memory nor the stack.
const size_t MAX_EXPANDED_TOKENS = size_t(1) << 20;
const int MAX_EXPANSION_DEPTH = 256;

struct Preprocessor {
    std::unordered_map<std::string, Macro> macros;
    std::unordered_set<std::string> expanding; // macros whose expansion is being rescanned
    size_t produced = 0;                       // tokens made by expansions so far
};

// One #if, #ifdef or #ifndef with its #elif and #else branches.
struct Conditional {
    bool outerActive = true; // the text around it is compiled
    bool taken = false;      // one of its branches was taken
    bool active = true;      // the current branch is compiled
};

// Reads a preprocessor expression: C's operators on integers; identifiers left
// after macro expansion count as 0, as Mesa takes them.
struct ExpressionReader {
    const std::vector<std::string>& tokens;
    size_t pos = 0;

    bool next(const char* op)
    {
        if (pos < tokens.size() && tokens[pos] == op) {
            pos++;
            return true;
        }
        return false;
    }

    long long primary()
    {
        if (pos >= tokens.size()) return 0;
        if (next("(")) {
            const long long value = conditional();
            next(")");
            return value;
        }
        if (next("-")) return (long long)(0ull - (unsigned long long)primary());
        if (next("+")) return primary();
        if (next("!")) return !primary();
        if (next("~")) return ~primary();
        const std::string& token = tokens[pos++];
        return std::isdigit((unsigned char)token[0]) ? (long long)std::strtoull(token.c_str(), nullptr, 0)
                                                     : 0;
    }

    // Binary operators by precedence, loosest first.
    long long binary(size_t level)
    {
        static const std::vector<std::vector<std::string>> LEVELS = {
            {"||"},       {"&&"},     {"|"},          {"^"}, {"&"}, {"==", "!="}, {"<", ">", "<=", ">="},
            {"<<", ">>"}, {"+", "-"}, {"*", "/", "%"}};
        if (level == LEVELS.size()) return primary();
        long long left = binary(level + 1);
        for (;;) {
            const auto& ops = LEVELS[level];
            const auto op = pos < tokens.size() ? std::find(ops.begin(), ops.end(), tokens[pos]) : ops.end();
            if (op == ops.end()) return left;
            pos++;
            left = apply(*op, left, binary(level + 1));
        }
    }

    static long long apply(const std::string& op, long long a, long long b)
    {
        // wrapping arithmetic and bounded shifts: no expression in a file is undefined behaviour here
        const unsigned long long ua = (unsigned long long)a, ub = (unsigned long long)b;
        if (op == "||") return a || b;
        if (op == "&&") return a && b;
        if (op == "|") return (long long)(ua | ub);
        if (op == "^") return (long long)(ua ^ ub);
        if (op == "&") return (long long)(ua & ub);
        if (op == "==") return a == b;
        if (op == "!=") return a != b;
        if (op == "<") return a < b;
        if (op == ">") return a > b;
        if (op == "<=") return a <= b;
        if (op == ">=") return a >= b;
        if (op == "<<") return (long long)(ua << (ub & 63));
        if (op == ">>") return (long long)(ua >> (ub & 63));
        if (op == "+") return (long long)(ua + ub);
        if (op == "-") return (long long)(ua - ub);
        if (op == "*") return (long long)(ua * ub);
        // division by zero is the compiler's to report
        if (b == 0 || (a == LLONG_MIN && b == -1)) return 0;
        return op == "/" ? a / b : a % b;
    }

    long long conditional()
    {
        const long long condition = binary(0);
        if (!next("?")) return condition;
        const long long whenTrue = conditional();
        next(":");
        const long long whenFalse = conditional();
        return condition ? whenTrue : whenFalse;
    }
};

} // namespace

// Appends the tokens of `text` (comments already blanked): identifiers,
// numbers, the two-character operators of #if expressions, other characters.
static void splitTokens(const std::string& text, std::vector<std::string>& tokens)
{
    static const char* const PAIRS[] = {"<<", ">>", "<=", ">=", "==", "!=", "&&", "||"};
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        const size_t start = i;
        if (std::isspace((unsigned char)c)) {
            i++;
            continue;
        }
        if (isIdentifierStart(c)) {
            while (i < text.size() && isIdentifierChar(text[i]))
                i++;
        } else if (std::isdigit((unsigned char)c) ||
                   (c == '.' && i + 1 < text.size() && std::isdigit((unsigned char)text[i + 1]))) {
            while (i < text.size() && (isIdentifierChar(text[i]) || text[i] == '.'))
                i++;
        } else {
            i++;
            for (const char* pair : PAIRS)
                if (text.compare(start, 2, pair) == 0) i = start + 2;
        }
        tokens.push_back(text.substr(start, i - start));
    }
}

// The arguments of a function-like macro call whose "(" is in[open]; `close` is
// set to the index of its ")". False when the call is not closed.
static bool readMacroArguments(const std::vector<std::string>& in, size_t open,
                               std::vector<std::vector<std::string>>& arguments, size_t& close)
{
    arguments.assign(1, {});
    int nesting = 0;
    for (size_t i = open + 1; i < in.size(); i++) {
        if (in[i] == ")" && nesting == 0) {
            close = i;
            return true;
        }
        if (in[i] == "," && nesting == 0) {
            arguments.emplace_back();
            continue;
        }
        if (in[i] == "(") nesting++;
        if (in[i] == ")") nesting--;
        arguments.back().push_back(in[i]);
    }
    return false;
}

// Appends `in` to `out` with every macro expanded and rescanned; a macro is not
// expanded again inside its own expansion.
static void expandMacros(Preprocessor& pp, const std::vector<std::string>& in, std::vector<std::string>& out,
                         int depth)
{
    for (size_t i = 0; i < in.size(); i++) {
        const auto found = pp.macros.find(in[i]);
        if (found == pp.macros.end() || pp.expanding.count(in[i]) || depth >= MAX_EXPANSION_DEPTH ||
            pp.produced > MAX_EXPANDED_TOKENS) {
            out.push_back(in[i]);
            continue;
        }
        const std::string name = found->first;
        const Macro& macro = found->second;
        std::vector<std::string> replacement;
        if (!macro.functionLike) {
            replacement = macro.body;
        } else {
            // the name of a function-like macro without arguments stays as it is
            std::vector<std::vector<std::string>> arguments;
            size_t close = 0;
            if (i + 1 >= in.size() || in[i + 1] != "(" || !readMacroArguments(in, i + 1, arguments, close)) {
                out.push_back(in[i]);
                continue;
            }
            if (macro.parameters.empty() && arguments.size() == 1 && arguments[0].empty()) arguments.clear();
            if (arguments.size() != macro.parameters.size()) {
                // the compiler reports the wrong count
                out.push_back(in[i]);
                continue;
            }
            for (const std::string& token : macro.body) {
                const auto parameter = std::find(macro.parameters.begin(), macro.parameters.end(), token);
                if (parameter == macro.parameters.end())
                    replacement.push_back(token);
                else
                    expandMacros(pp, arguments[size_t(parameter - macro.parameters.begin())], replacement,
                                 depth + 1);
            }
            i = close;
        }
        pp.produced += replacement.size();
        pp.expanding.insert(name);
        expandMacros(pp, replacement, out, depth + 1);
        pp.expanding.erase(name);
    }
}

// The value of an #if or #elif condition.
static bool conditionHolds(Preprocessor& pp, const std::vector<std::string>& tokens)
{
    // `defined NAME` and `defined(NAME)` are read before macros are expanded
    std::vector<std::string> resolved;
    for (size_t i = 0; i < tokens.size(); i++) {
        if (tokens[i] != "defined") {
            resolved.push_back(tokens[i]);
            continue;
        }
        const bool parenthesised = i + 1 < tokens.size() && tokens[i + 1] == "(";
        const size_t name = i + (parenthesised ? 2 : 1);
        resolved.push_back(name < tokens.size() && pp.macros.count(tokens[name]) ? "1" : "0");
        i = name + (parenthesised ? 1 : 0);
    }
    std::vector<std::string> expanded;
    expandMacros(pp, resolved, expanded, 0);
    ExpressionReader reader{expanded};
    return reader.conditional() != 0;
}

// Records a #define whose text after the word "define" is `rest`.
static void defineMacro(Preprocessor& pp, const std::string& rest)
{
    size_t i = rest.find_first_not_of(" \t");
    if (i == std::string::npos || !isIdentifierStart(rest[i])) return;
    const size_t start = i;
    while (i < rest.size() && isIdentifierChar(rest[i]))
        i++;
    Macro macro;
    const std::string name = rest.substr(start, i - start);
    // a parenthesis right after the name makes a function-like macro
    if (i < rest.size() && rest[i] == '(') {
        const size_t close = rest.find(')', i);
        if (close == std::string::npos) return;
        macro.functionLike = true;
        std::vector<std::string> parameters;
        splitTokens(rest.substr(i + 1, close - i - 1), parameters);
        for (const std::string& parameter : parameters)
            if (parameter != ",") macro.parameters.push_back(parameter);
        i = close + 1;
    }
    splitTokens(rest.substr(i), macro.body);
    pp.macros[name] = macro;
}

// Carries out one directive line (comments blanked, continuations joined).
static void runDirective(Preprocessor& pp, std::vector<Conditional>& conditionals, const std::string& line)
{
    const size_t i = line.find_first_not_of(" \t", line.find('#') + 1);
    if (i == std::string::npos) return;
    size_t end = i;
    while (end < line.size() && isIdentifierChar(line[end]))
        end++;
    const std::string directive = line.substr(i, end - i);
    const std::string rest = line.substr(end);
    std::vector<std::string> tokens;
    splitTokens(rest, tokens);
    const bool active = conditionals.empty() || conditionals.back().active;

    if (directive == "if" || directive == "ifdef" || directive == "ifndef") {
        Conditional c;
        c.outerActive = active;
        const bool known = !tokens.empty() && pp.macros.count(tokens[0]);
        if (!active)
            c.active = false;
        else if (directive == "if")
            c.active = conditionHolds(pp, tokens);
        else
            c.active = directive == "ifdef" ? known : !known;
        c.taken = c.active;
        conditionals.push_back(c);
    } else if (directive == "elif" && !conditionals.empty()) {
        Conditional& c = conditionals.back();
        c.active = c.outerActive && !c.taken && conditionHolds(pp, tokens);
        c.taken = c.taken || c.active;
    } else if (directive == "else" && !conditionals.empty()) {
        Conditional& c = conditionals.back();
        c.active = c.outerActive && !c.taken;
        c.taken = true;
    } else if (directive == "endif" && !conditionals.empty()) {
        conditionals.pop_back();
    } else if (directive == "define" && active) {
        defineMacro(pp, rest);
    } else if (directive == "undef" && active && !tokens.empty()) {
        pp.macros.erase(tokens[0]);
    }
}

// The tokens the compiler proper gets: the text preprocessed as cg_source.h
// describes for the scans.
static std::vector<std::string> tokenize(const std::string& text, const std::vector<std::string>& defines)
{
    Preprocessor pp;
    const VersionLine version = findVersionLine(text);
    pp.macros["__VERSION__"].body = {std::to_string(version.found ? version.version : 120)};
    // the macros every compiler defines for the version's language and profile
    if (version.es)
        pp.macros["GL_ES"].body = {"1"};
    else if (version.version >= 150)
        pp.macros[version.compatibility ? "GL_compatibility_profile" : "GL_core_profile"].body = {"1"};
    for (const std::string& define : defines)
        defineMacro(pp, define);

    const std::string plain = blankComments(text);
    std::vector<Conditional> conditionals;
    std::vector<std::string> tokens, pending;
    size_t start = 0;
    while (start < plain.size()) {
        // one logical line: a backslash before the newline joins the next line on
        std::string line;
        for (;;) {
            size_t end = plain.find('\n', start);
            if (end == std::string::npos) end = plain.size();
            const bool continued = end > start && plain[end - 1] == '\\' && end < plain.size();
            line += plain.substr(start, end - start - (continued ? 1 : 0));
            start = end + 1;
            if (!continued) break;
        }
        const size_t first = line.find_first_not_of(" \t\r\f\v");
        if (first != std::string::npos && line[first] == '#') {
            // a directive changes the macros only for the text after it
            expandMacros(pp, pending, tokens, 0);
            pending.clear();
            runDirective(pp, conditionals, line);
        } else if (conditionals.empty() || conditionals.back().active) {
            splitTokens(line, pending);
        }
    }
    expandMacros(pp, pending, tokens, 0);
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

std::vector<UniformDeclaration> scanUniforms(const std::string& text, const std::vector<std::string>& defines)
{
    const std::vector<std::string> tokens = tokenize(text, defines);
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
    const std::vector<std::string> tokens = tokenize(text, defines);
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

// The line number of a Mesa preprocessor message ("0:9(1): preprocessor error: ...")
// moved one line on when it is at or after `lagFrom`; other lines unchanged.
static std::string correctPreprocessorLine(const std::string& line, size_t at, int lagFrom)
{
    if (lagFrom < 0 || line.compare(at, 2, "0:") != 0 ||
        (line.find(": preprocessor error:") == std::string::npos &&
         line.find(": preprocessor warning:") == std::string::npos))
        return line;
    const size_t digits = at + 2;
    size_t end = digits;
    while (end < line.size() && std::isdigit((unsigned char)line[end]))
        end++;
    if (end == digits || end - digits > 9) return line;
    const int number = std::atoi(line.c_str() + digits);
    if (number < lagFrom) return line;
    return line.substr(0, digits) + std::to_string(number + 1) + line.substr(end);
}

std::string rewriteDriverLog(const std::string& log, const std::string& fileName, int preprocessorLagFrom)
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
        line = correctPreprocessorLine(line, at, preprocessorLagFrom);
        if (startsWithSourceNumber(line, at))
            line = line.substr(0, at) + fileName + line.substr(at + 1);
        else
            line = fileName + ": " + line;

        if (!out.empty()) out += '\n';
        out += line;
    }
    return out;
}
