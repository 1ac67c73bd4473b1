// Reading a parameter's annotation.
#include "shading/parameter_annotations.h"

#include <cmath>
#include <cstdio>

#include <fast_float/fast_float.h>

#include "shading/program_source.h"

namespace {

// The comment's words, with the spaces around each `=` taken out, so that
// "min = 1" is one word.
std::vector<std::string> wordsOf(const std::string& comment)
{
    std::string joined;
    for (size_t i = 0; i < comment.size(); i++) {
        const char c = comment[i];
        const bool blank = c == ' ' || c == '\t' || c == '\r' || c == ',' || c == ';';
        if (blank) {
            // a blank before an `=` or after one goes
            size_t next = comment.find_first_not_of(" \t\r,;", i);
            if (next != std::string::npos && comment[next] == '=') continue;
            if (!joined.empty() && joined.back() == '=') continue;
            if (!joined.empty() && joined.back() != ' ') joined += ' ';
            continue;
        }
        joined += c;
    }
    std::vector<std::string> words;
    size_t start = 0;
    while (start < joined.size()) {
        size_t end = joined.find(' ', start);
        if (end == std::string::npos) end = joined.size();
        if (end > start) words.push_back(joined.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

bool isColourWord(const std::string& word)
{
    return word == "colour" || word == "color";
}

// `key=value` with an identifier for the key.
bool isKeyValue(const std::string& word, std::string& key, std::string& value)
{
    const size_t equals = word.find('=');
    if (equals == std::string::npos) return false;
    key = word.substr(0, equals);
    value = word.substr(equals + 1);
    return isGlslIdentifier(key);
}

} // namespace

bool readFiniteNumber(const std::string& text, float& value)
{
    if (text.empty()) return false;
    const char* begin = text.data();
    const char* end = begin + text.size();
    // fast_float takes no leading plus
    if (*begin == '+') begin++;
    float parsed = 0;
    const auto result = fast_float::from_chars(begin, end, parsed);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

ParameterAnnotation readParameterAnnotation(const std::string& comment, std::vector<std::string>& problems)
{
    ParameterAnnotation a;
    const std::vector<std::string> words = wordsOf(comment);
    std::string key, value;
    bool annotation = !words.empty();
    for (const std::string& word : words)
        if (!isColourWord(word)) annotation = false;
    for (const std::string& word : words)
        if (isKeyValue(word, key, value)) annotation = true;
    if (!annotation) return a;

    for (const std::string& word : words) {
        if (isColourWord(word)) {
            a.colour = true;
            continue;
        }
        if (!isKeyValue(word, key, value) || (key != "min" && key != "max" && key != "step")) {
            problems.push_back("unknown word `" + word +
                               "' in the annotation (known: min=, max=, step=, colour)");
            continue;
        }
        float number = 0;
        if (!readFiniteNumber(value, number)) {
            problems.push_back("`" + word + "': " + key + "= takes a number");
            continue;
        }
        if (key == "min") {
            a.hasMin = true;
            a.min = number;
        } else if (key == "max") {
            a.hasMax = true;
            a.max = number;
        } else if (number > 0) {
            a.hasStep = true;
            a.step = number;
        } else {
            problems.push_back("`" + word + "': the step must be above 0; it is left out");
        }
    }
    if (a.hasMin && a.hasMax && a.min > a.max) {
        char text[160];
        snprintf(text, sizeof text, "min=%g is above max=%g; the range is left out", double(a.min),
                 double(a.max));
        problems.push_back(text);
        a.hasMin = a.hasMax = false;
    }
    return a;
}

bool readParameterSetting(const std::string& text, ParameterSetting& setting, std::string& problem)
{
    setting = ParameterSetting();
    setting.text = text;
    const size_t equals = text.find('=');
    setting.name = text.substr(0, equals);
    if (equals == std::string::npos || !isGlslIdentifier(setting.name)) {
        problem = "--set " + text + ": give NAME=VALUE, such as bands=4 or tint=1,0.5,0";
        return false;
    }
    size_t start = equals + 1;
    for (;;) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        const std::string number = text.substr(start, comma - start);
        float value = 0;
        if (!readFiniteNumber(number, value)) {
            problem = "--set " + text + ": `" + number + "' is not a number";
            return false;
        }
        setting.values.push_back(value);
        if (comma == text.size()) break;
        start = comma + 1;
    }
    if (setting.values.size() > 4) {
        problem = "--set " + text + ": at most 4 values, one for each component";
        return false;
    }
    return true;
}
