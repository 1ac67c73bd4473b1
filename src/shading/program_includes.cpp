// The include expansion of program files.
#include "shading/program_includes.h"

#include <algorithm>
#include <map>
#include <set>
#include <sys/stat.h>

#include "io/bounded_file.h"
#include "shading/glsl_preprocessor.h"
#include "shading/program_source.h"

namespace {

// What makes two names the same file: a file included under two names, or
// through a symbolic link, is still one file.
struct FileId {
    bool valid = false;
    unsigned long long device = 0, inode = 0;
};

FileId idOf(const std::string& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return {};
    return {true, (unsigned long long)info.st_dev, (unsigned long long)info.st_ino};
}

std::pair<unsigned long long, unsigned long long> key(const FileId& id)
{
    return {id.device, id.inode};
}

struct Expansion {
    Expansion(ExpandedProgram& program, const std::string& text, const std::vector<std::string>& defines)
        : out(program), tracker(text, defines)
    {
    }
    ExpandedProgram& out;
    BranchTracker tracker;
    // From GLSL 3.30 (ES 3.00) on `#line N` numbers the next line N, before it N + 1.
    bool lineNamesNextLine = false;
    size_t bytes = 0;  // of all files' texts so far
    int nextFirst = 0; // the compiler's line number for the next included file's line 1
    std::map<std::pair<unsigned long long, unsigned long long>, int> numbers; // places in out.files, by key()
    std::set<std::string> looked;                                             // out.looked
    std::vector<int> open; // the files being expanded (places in out.files), outermost first
    size_t counted = 0;    // of out.text, whose lines are counted in textLine
    int textLine = 1;      // of the end of out.text
};

// Notes that the next line of out.text is line `line` of file `file`.
void startSegment(Expansion& x, int file, int line)
{
    x.textLine += int(std::count(x.out.text.begin() + long(x.counted), x.out.text.end(), '\n'));
    x.counted = x.out.text.size();
    x.out.segments.push_back({x.textLine, file, line});
}

// The directive after which the compiler numbers the next line `line`.
std::string lineDirective(const Expansion& x, int line)
{
    return "#line " + std::to_string(x.lineNamesNextLine ? line : line - 1) + "\n";
}

int lineCount(const std::string& text)
{
    return 1 + int(std::count(text.begin(), text.end(), '\n'));
}

// True when text[from, to) ends inside a block comment; `from` is outside one.
bool endsInsideBlockComment(const std::string& text, size_t from, size_t to)
{
    bool inside = false;
    for (size_t i = from; i + 1 < to; i++) {
        if (inside) {
            if (text.compare(i, 2, "*/") == 0) inside = false, i++;
        } else if (text.compare(i, 2, "/*") == 0) {
            inside = true, i++;
        } else if (text.compare(i, 2, "//") == 0) {
            while (i < to && text[i] != '\n')
                i++;
        }
    }
    return inside;
}

// The quoted name of an #include line, "" when it has none. Comments are blanked.
std::string includedName(const std::string& line)
{
    const size_t quote = line.find_first_not_of(" \t", line.find("include") + 7);
    if (quote == std::string::npos || line[quote] != '"') return "";
    const size_t close = line.find('"', quote + 1);
    if (close == std::string::npos || line.find_first_not_of(" \t\r\f\v", close + 1) != std::string::npos)
        return "";
    return line.substr(quote + 1, close - quote - 1);
}

// `name` as written in `includer`, relative to its folder unless absolute.
std::string resolveName(const std::string& includer, const std::string& name)
{
    if (name[0] == '/') return name;
    const size_t slash = includer.rfind('/');
    return slash == std::string::npos ? name : includer.substr(0, slash + 1) + name;
}

bool refuse(Expansion& x, int source, int line, const std::string& message)
{
    x.out.error = x.out.files[size_t(source)].file + ":" + std::to_string(line) + ": error: " + message;
    return false;
}

bool expandFile(Expansion& x, int source, const std::string& text);

// Carries out `#include "name"` at `line` of source `source`: appends the
// included file's expansion, or nothing for a file included before. False when
// the include is refused.
bool includeFile(Expansion& x, int source, int line, const std::string& name)
{
    const std::string includer = x.out.files[size_t(source)].file;
    const std::string path = resolveName(includer, name);
    const std::string quoted = "\"" + name + "\"" + (path == name ? "" : " (" + path + ")");
    if (x.looked.insert(path).second) x.out.looked.push_back(path);
    // known files are told by their identity before anything is read, so that a
    // big file included many times is read once
    const FileId id = idOf(path);
    const auto known = id.valid ? x.numbers.find(key(id)) : x.numbers.end();
    if (known != x.numbers.end()) {
        const auto cycleStart = std::find(x.open.begin(), x.open.end(), known->second);
        if (cycleStart == x.open.end()) return true; // included once already
        std::string cycle;
        for (auto it = cycleStart; it != x.open.end(); ++it)
            cycle += x.out.files[size_t(*it)].file + " -> ";
        return refuse(x, source, line, "include cycle: " + cycle + path);
    }
    if (int(x.open.size()) > MAX_INCLUDE_DEPTH)
        return refuse(x, source, line,
                      "cannot include " + quoted + ": includes nest deeper than " +
                          std::to_string(MAX_INCLUDE_DEPTH) + " files");
    std::string text, why;
    if (!readRegularFile(path.c_str(), MAX_SHADER_FILE_BYTES, text, why))
        return refuse(x, source, line, "cannot include " + quoted + ": " + why);
    x.bytes += text.size();
    if (x.bytes > MAX_SHADER_FILE_BYTES)
        return refuse(x, source, line,
                      "cannot include " + quoted +
                          ": the program with the files it includes is larger than " +
                          describeBytes(MAX_SHADER_FILE_BYTES));

    const int included = int(x.out.files.size());
    // each file's lines get numbers of their own, one spare number between files
    x.out.files.push_back({path, x.nextFirst, lineCount(text)});
    x.nextFirst += lineCount(text) + 1;
    const FileId readId = idOf(path);
    if (readId.valid) x.numbers[key(readId)] = included;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    std::string problem = nulByteError(path, text);
    const VersionLine version = findVersionLine(text);
    if (problem.empty() && version.found)
        problem = path + ":" + std::to_string(version.endLine) +
                  ": error: #version belongs in the program file alone, not in a file it includes";
    if (problem.empty() && endsInsideBlockComment(text, 0, text.size()))
        problem = path + ": error: a block comment is not closed by the end of the file";
    if (!problem.empty()) {
        x.out.error = problem;
        return false;
    }
    x.out.text += lineDirective(x, x.out.files.back().first);
    startSegment(x, included, 1);
    if (!expandFile(x, included, text)) return false;
    if (!text.empty() && text.back() != '\n') x.out.text += '\n';
    return true;
}

// Appends the expansion of `text`, the content of source `source`.
bool expandFile(Expansion& x, int source, const std::string& text)
{
    x.open.push_back(source);
    const std::string plain = blankComments(text);
    size_t start = 0;
    int line = 1;
    while (start < plain.size()) {
        const size_t from = start;
        const std::string logical = readLogicalLine(plain, start);
        const size_t to = std::min(start, text.size());
        const int lines = int(std::count(text.begin() + long(from), text.begin() + long(to), '\n'));
        const std::string directive = directiveName(logical);
        if (directive != "#include") {
            if (!directive.empty()) x.tracker.directive(logical);
            x.out.text.append(text, from, to - from);
            line += lines;
            continue;
        }
        // The include's lines give way to the included text (or to empty lines);
        // a block comment opened on them goes on after it.
        const bool commentGoesOn = endsInsideBlockComment(text, from + logical.find('#'), to);
        const size_t before = x.out.text.size();
        if (x.tracker.active()) {
            const std::string name = includedName(logical);
            if (name.empty())
                return refuse(x, source, line,
                              "#include needs a file name in double quotes: #include \"file\"");
            if (!includeFile(x, source, line, name)) return false;
        }
        if (x.out.text.size() == before) {
            x.out.text.append(size_t(std::max(0, lines - (commentGoesOn ? 1 : 0))), '\n');
        } else {
            const int next = line + lines - (commentGoesOn ? 1 : 0);
            x.out.text += lineDirective(x, x.out.files[size_t(source)].first + next - 1);
            if (commentGoesOn) startSegment(x, source, next);
        }
        if (commentGoesOn) x.out.text += "/*\n";
        if (x.out.text.size() != before) startSegment(x, source, line + lines);
        line += lines;
    }
    x.open.pop_back();
    return true;
}

} // namespace

std::string nulByteError(const std::string& file, const std::string& text)
{
    const size_t nul = text.find('\0');
    if (nul == std::string::npos) return "";
    const long line = 1 + std::count(text.begin(), text.begin() + long(nul), '\n');
    return file + ":" + std::to_string(line) + ": error: a NUL byte; a program file must be plain text";
}

SourcePlace placeOfTextLine(const ExpandedProgram& program, int textLine)
{
    const auto after =
        std::upper_bound(program.segments.begin(), program.segments.end(), textLine,
                         [](int line, const ExpandedProgram::Segment& s) { return line < s.textLine; });
    if (after == program.segments.begin()) return {program.files[0].file, textLine};
    const ExpandedProgram::Segment& s = *(after - 1);
    return {program.files[size_t(s.file)].file, s.line + textLine - s.textLine};
}

ExpandedProgram expandIncludes(const std::string& file, const std::string& text,
                               const std::vector<std::string>& defines)
{
    ExpandedProgram out;
    out.files = {{file, 1, lineCount(text)}};
    out.looked = {file};
    if (text.find("include") == std::string::npos) {
        out.text = text;
        return out;
    }
    Expansion x(out, text, defines);
    const VersionLine version = findVersionLine(text);
    x.lineNamesNextLine = version.es ? version.version >= 300 : version.version >= 330;
    x.bytes = text.size();
    x.nextFirst = lineCount(text) + 2;
    const FileId id = idOf(file);
    if (id.valid) x.numbers[key(id)] = 0;
    x.looked.insert(file);
    if (!expandFile(x, 0, text)) out.text.clear();
    return out;
}
