// Driver logs in the files' own names and line numbers.
#include "shading/driver_log.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {

// Where a line's position is: "0:12(5)", "0(12)" after the source-string number.
struct Position {
    bool found = false;
    size_t numberStart = 0; // of the line number
    size_t numberEnd = 0;
    int number = 0;
};

Position positionAt(const std::string& line, size_t from)
{
    Position p;
    size_t i = from;
    while (i < line.size() && std::isdigit((unsigned char)line[i]))
        i++;
    if (i == from || i - from > 9 || i + 1 >= line.size() || (line[i] != ':' && line[i] != '(')) return p;
    p.numberStart = i + 1;
    p.numberEnd = p.numberStart;
    while (p.numberEnd < line.size() && std::isdigit((unsigned char)line[p.numberEnd]))
        p.numberEnd++;
    if (p.numberEnd == p.numberStart || p.numberEnd - p.numberStart > 9) return p;
    p.found = true;
    p.number = std::atoi(line.c_str() + p.numberStart);
    return p;
}

bool isPreprocessorMessage(const std::string& line)
{
    return line.find(": preprocessor error:") != std::string::npos ||
           line.find(": preprocessor warning:") != std::string::npos;
}

} // namespace

std::string rewriteDriverLog(const std::string& log, const std::vector<SourceLines>& sources,
                             int preprocessorLagFrom)
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
        const Position p = positionAt(line, at);
        if (p.found) {
            int number = p.number;
            // Mesa's preprocessor counts one line fewer than its compiler after `#line` before GLSL 3.30
            if (preprocessorLagFrom >= 0 && line[p.numberStart - 1] == ':' && number >= preprocessorLagFrom &&
                isPreprocessorMessage(line))
                number++;
            // the included files follow the program file in the order of their numbers
            const SourceLines* where = &sources[0];
            const auto after = std::upper_bound(sources.begin() + 1, sources.end(), number,
                                                [](int n, const SourceLines& s) { return n < s.first; });
            if (after != sources.begin() + 1 && number < (after - 1)->first + (after - 1)->count)
                where = &*(after - 1);
            const int fileLine = number - where->first + 1;
            line = line.substr(0, at) + where->file + line.substr(p.numberStart - 1, 1) +
                   std::to_string(fileLine) + line.substr(p.numberEnd);
        } else {
            line = sources[0].file + ": " + line;
        }

        if (!out.empty()) out += '\n';
        out += line;
    }
    return out;
}

std::string rewriteDriverLog(const std::string& log, const std::string& fileName, int preprocessorLagFrom)
{
    return rewriteDriverLog(log, std::vector<SourceLines>{{fileName, 1, 0}}, preprocessorLagFrom);
}
