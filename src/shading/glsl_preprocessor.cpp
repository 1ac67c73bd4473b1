// The preprocessor of the scans: what the compiler proper sees of a file.
#include "shading/glsl_preprocessor.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <unordered_map>
#include <unordered_set>

#include "shading/program_source.h"

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
static bool readMacroArguments(const std::vector<Token>& in, size_t open,
                               std::vector<std::vector<Token>>& arguments, size_t& close)
{
    arguments.assign(1, {});
    int nesting = 0;
    for (size_t i = open + 1; i < in.size(); i++) {
        const std::string& text = in[i].text;
        if (text == ")" && nesting == 0) {
            close = i;
            return true;
        }
        if (text == "," && nesting == 0) {
            arguments.emplace_back();
            continue;
        }
        if (text == "(") nesting++;
        if (text == ")") nesting--;
        arguments.back().push_back(in[i]);
    }
    return false;
}

// Appends `in` to `out` with every macro expanded and rescanned; a macro is not
// expanded again inside its own expansion. The tokens of an expansion stand on
// the line of the macro's name.
static void expandMacros(Preprocessor& pp, const std::vector<Token>& in, std::vector<Token>& out, int depth)
{
    for (size_t i = 0; i < in.size(); i++) {
        const auto found = pp.macros.find(in[i].text);
        if (found == pp.macros.end() || pp.expanding.count(in[i].text) || depth >= MAX_EXPANSION_DEPTH ||
            pp.produced > MAX_EXPANDED_TOKENS) {
            out.push_back(in[i]);
            continue;
        }
        const std::string name = found->first;
        const Macro& macro = found->second;
        const int line = in[i].line;
        std::vector<Token> replacement;
        if (!macro.functionLike) {
            for (const std::string& token : macro.body)
                replacement.push_back({token, line});
        } else {
            // the name of a function-like macro without arguments stays as it is
            std::vector<std::vector<Token>> arguments;
            size_t close = 0;
            if (i + 1 >= in.size() || in[i + 1].text != "(" ||
                !readMacroArguments(in, i + 1, arguments, close)) {
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
                if (parameter == macro.parameters.end()) {
                    replacement.push_back({token, line});
                    continue;
                }
                std::vector<Token> argument;
                expandMacros(pp, arguments[size_t(parameter - macro.parameters.begin())], argument,
                             depth + 1);
                for (Token& t : argument)
                    replacement.push_back({std::move(t.text), line});
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
    std::vector<Token> resolved;
    for (size_t i = 0; i < tokens.size(); i++) {
        if (tokens[i] != "defined") {
            resolved.push_back({tokens[i], 0});
            continue;
        }
        const bool parenthesised = i + 1 < tokens.size() && tokens[i + 1] == "(";
        const size_t name = i + (parenthesised ? 2 : 1);
        resolved.push_back({name < tokens.size() && pp.macros.count(tokens[name]) ? "1" : "0", 0});
        i = name + (parenthesised ? 1 : 0);
    }
    std::vector<Token> expanded;
    expandMacros(pp, resolved, expanded, 0);
    std::vector<std::string> words;
    for (Token& token : expanded)
        words.push_back(std::move(token.text));
    ExpressionReader reader{words};
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

// The macros every compiler defines for the version's language and profile,
// then `defines`.
static void defineStartMacros(Preprocessor& pp, const std::string& text,
                              const std::vector<std::string>& defines)
{
    const VersionLine version = findVersionLine(text);
    pp.macros["__VERSION__"].body = {std::to_string(version.found ? version.version : 120)};
    if (version.es)
        pp.macros["GL_ES"].body = {"1"};
    else if (version.version >= 150)
        pp.macros[version.compatibility ? "GL_compatibility_profile" : "GL_core_profile"].body = {"1"};
    for (const std::string& define : defines)
        defineMacro(pp, define);
}

struct BranchTracker::State {
    Preprocessor pp;
    std::vector<Conditional> conditionals;
};

BranchTracker::BranchTracker(const std::string& versionText, const std::vector<std::string>& defines)
    : state(new State)
{
    defineStartMacros(state->pp, versionText, defines);
}

BranchTracker::~BranchTracker() = default;

void BranchTracker::directive(const std::string& line)
{
    runDirective(state->pp, state->conditionals, line);
}

bool BranchTracker::active() const
{
    return state->conditionals.empty() || state->conditionals.back().active;
}

std::string readLogicalLine(const std::string& plain, size_t& start)
{
    std::string line;
    for (;;) {
        size_t end = plain.find('\n', start);
        if (end == std::string::npos) end = plain.size();
        const bool continued = end > start && plain[end - 1] == '\\' && end < plain.size();
        line += plain.substr(start, end - start - (continued ? 1 : 0));
        start = end + 1;
        if (!continued) return line;
    }
}

std::string directiveName(const std::string& line)
{
    const size_t hash = line.find_first_not_of(" \t\r\f\v");
    if (hash == std::string::npos || line[hash] != '#') return "";
    const size_t i = line.find_first_not_of(" \t", hash + 1);
    if (i == std::string::npos) return "#";
    size_t end = i;
    while (end < line.size() && isIdentifierChar(line[end]))
        end++;
    return "#" + line.substr(i, end - i);
}

std::vector<Token> preprocessedTokens(const std::string& text, const std::vector<std::string>& defines)
{
    BranchTracker tracker(text, defines);
    Preprocessor& pp = tracker.state->pp;
    const std::string plain = blankComments(text);
    std::vector<Token> tokens, pending;
    std::vector<std::string> words;
    size_t start = 0;
    int nextLine = 1; // of the physical line at `start`
    while (start < plain.size()) {
        // a logical line's tokens count as standing on its first line
        const int lineNumber = nextLine;
        const size_t from = start;
        const std::string line = readLogicalLine(plain, start);
        nextLine += int(std::count(plain.begin() + long(from),
                                   plain.begin() + long(std::min(start, plain.size())), '\n'));
        if (!directiveName(line).empty()) {
            // a directive changes the macros only for the text after it
            expandMacros(pp, pending, tokens, 0);
            pending.clear();
            tracker.directive(line);
        } else if (tracker.active()) {
            words.clear();
            splitTokens(line, words);
            for (std::string& word : words)
                pending.push_back({std::move(word), lineNumber});
        }
    }
    expandMacros(pp, pending, tokens, 0);
    return tokens;
}
