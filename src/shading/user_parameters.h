// The parameters of the user's own experiment: every active uniform of the
// linked programs that the viewer does not feed itself (the contract's
// parameters, the inputs of shader_inputs.h) is one, edited in the panel's
// "Your Parameters" section. Taken up after every successful load of the
// programs (start-up and each live reload), with the user's values kept across
// reloads; sent, with the inputs, before every shaded draw.
#pragma once

#include <string>
#include <vector>

#include "shading/parameter_annotations.h"
#include "shading/shader_inputs.h"
#include "shading/shader_setup.h"

// What the panel can do with a parameter.
enum UserParameterKind {
    USER_FLOAT,   // float, vec2, vec3, vec4: drag fields, or a colour editor
    USER_INT,     // int, ivec2, ivec3, ivec4: drag fields of whole numbers
    USER_BOOL,    // bool, bvec2, bvec3, bvec4: check boxes
    USER_SAMPLER, // a sampler: listed with its type, not editable
    USER_OTHER,   // matrices, arrays, struct members, unsigned types: listed as not editable
};

struct UserParameter {
    std::string name;     // as the linked program lists it ("bands", "light.range")
    std::string typeName; // GLSL's: "float", "ivec2", "mat3", "sampler2D", "float[4]"
    UserParameterKind kind = USER_OTHER;
    int components = 0;  // 1 to 4 for the three editable kinds, 0 for the others
    unsigned glType = 0; // GL_FLOAT_VEC3, ...
    ParameterAnnotation annotation;
    float initial[4] = {}; // the declaration's initializer, read back from the linked program; 0 without one
    float value[4] = {};   // the user's value, sent to the programs; ints and bools as whole numbers
    std::string file;      // where it is declared, for messages
    int line = 0;
    int uniformIndex = -1; // its place among the linked pair's uniforms
    // what the programs hold now, so that only changes are sent
    float sent[4] = {};
    bool hasSent = false;
};

// The parameters of the programs drawing now, in declaration order (the vertex
// file's first); empty before the first load.
extern std::vector<UserParameter> userParameters;
// A program uses u_time or u_delta: the panel offers "Pause Time".
extern bool programsUseTime;

// Loading
// Takes up the linked pair of b's two programs after a successful load
// (contract checked, pair linked, b's handles set): lists its parameters and
// inputs. A
// parameter whose name and type are those of one before keeps the user's value
// unless its initializer changed; the others start at their initializer.
// Prints a line on the error stream for each annotation at fault.
void takeUpProgramPair(const ShaderBindingsRecord& b);
// Every parameter back to its initializer ("Default Parameters").
void defaultUserParameters();

// Gives the parameters their start values after the first load. A name no
// program declares as a parameter of its own gets a warning line on the error
// stream; false, with `problem` set, for a value that does not fit the
// parameter's type (the number of values, a whole number for an int, 0 or 1
// for a bool, a parameter that cannot be edited).
bool applyParameterSettings(const std::vector<ParameterSetting>& settings, std::string& problem);

// Drawing
// Sends the parameters that changed since they were last sent, and the inputs,
// to the pair drawing now. Called by drawMesh with both programs bound, after
// the contract's values.
void setUserParameters();
// Every value the panel shows of this module, for its redraw check.
void appendUserParameterValues(std::vector<float>& values);
