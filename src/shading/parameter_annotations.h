// The annotation of a parameter of the user's own: the `//` comment that ends
// its declaration's line may give its range, its drag step and that it is a
// colour, as in `uniform float bands = 4.0; // min=1 max=16 step=1`. Read by
// user_parameters when the programs load; the panel's controls follow it.
#pragma once

#include <string>
#include <vector>

struct ParameterAnnotation {
    bool hasMin = false, hasMax = false, hasStep = false;
    float min = 0, max = 0; // drags stay within them; typed values may go beyond
    float step = 0;         // > 0: drags move in steps of it, from min (or 0)
    bool colour = false;    // `colour` or `color`: a vec3 or vec4 gets a colour editor
};

// Reads a declaration's trailing comment (without its slashes). The comment is
// an annotation when it holds a word `key=value` (spaces around the `=`
// allowed, words parted by spaces, commas or semicolons) or consists of the
// word `colour` or `color` alone; any other comment is an ordinary remark and
// gives nothing. In an annotation, `min=`, `max=` and `step=` take a number and
// `colour`/`color` stand alone, in any order; every other word, a value that is
// not a number, a step that is not above 0 and a min above max (both are then
// dropped) each add one line to `problems`, saying what is wrong.
ParameterAnnotation readParameterAnnotation(const std::string& comment, std::vector<std::string>& problems);

// True, with the value, when the whole of `text` is one finite decimal number
// ("4", "-0.5", "1e3"); no spaces, no hex, no "inf" or "nan".
bool readFiniteNumber(const std::string& text, float& value);

// A start value given on the command line: --set NAME=V[,V...].
struct ParameterSetting {
    std::string name;
    std::vector<float> values; // 1 to 4
    std::string text;          // as given, for messages
};
// Reads "NAME=V[,V...]": a GLSL identifier, then one to four finite numbers
// parted by commas. False, with `problem` saying why, for anything else.
bool readParameterSetting(const std::string& text, ParameterSetting& setting, std::string& problem);
