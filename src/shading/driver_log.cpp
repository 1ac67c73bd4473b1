// Driver logs in the file's own names and line numbers.
#include "shading/driver_log.h"

#include <cctype>
#include <cstdlib>

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
