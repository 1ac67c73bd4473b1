// The user's own parameters and the inputs: taking them up at each load,
// carrying values over, start values from the command line, the per-draw upload.
#include "shading/user_parameters.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "shading/shader_contract.h"

std::vector<UserParameter> userParameters;
bool programsUseTime = false;

namespace {

// The pair the parameters belong to.
CGprogram pairVertex = nullptr;
CGprogram pairFragment = nullptr;

// An input a program of the pair uses: its place among the pair's uniforms and
// what it was last sent.
struct InputUniform {
    int uniformIndex = -1;
    float sent[2] = {};
    bool hasSent = false;
};
InputUniform inputUniforms[SHADER_INPUT_COUNT];
long pairsTakenUp = 0; // a new list shows in the panel even when it looks like the last

// Whether the viewer sends the uniform called `name` as a parameter of the
// contract: its program declares it (a contract name declared only in the
// other program is not fed, and so is the user's).
bool fedByContract(const ShaderBindingsRecord& b, const std::string& name)
{
    for (int i = 0; i < SHADER_PARAMETER_COUNT; i++)
        if (name == SHADER_PARAMETERS[i].name) return b.*SHADER_PARAMETERS[i].handle != nullptr;
    return false;
}

// The input the uniform is, as the viewer fills it; SHADER_INPUT_COUNT when it is none.
ShaderInput inputOf(const ActiveUniform& u)
{
    const ShaderInput input = findShaderInput(u.name);
    if (input == SHADER_INPUT_COUNT || u.size != 1) return SHADER_INPUT_COUNT;
    return std::strcmp(glslTypeName(u.type), SHADER_INPUTS[input].type) == 0 ? input : SHADER_INPUT_COUNT;
}

UserParameterKind kindOf(GLenum type)
{
    switch (type) {
    case GL_FLOAT:
    case GL_FLOAT_VEC2:
    case GL_FLOAT_VEC3:
    case GL_FLOAT_VEC4:
        return USER_FLOAT;
    case GL_INT:
    case GL_INT_VEC2:
    case GL_INT_VEC3:
    case GL_INT_VEC4:
        return USER_INT;
    case GL_BOOL:
    case GL_BOOL_VEC2:
    case GL_BOOL_VEC3:
    case GL_BOOL_VEC4:
        return USER_BOOL;
    default:
        return isGlslSampler(type) ? USER_SAMPLER : USER_OTHER;
    }
}

// A parameter for an active uniform, without its value.
UserParameter describe(const ActiveUniform& u)
{
    UserParameter p;
    p.name = u.name;
    p.glType = u.type;
    p.typeName = glslTypeName(u.type);
    if (p.typeName.empty()) p.typeName = u.declaration.type;
    if (u.size != 1) p.typeName += "[" + std::to_string(u.size) + "]";
    p.kind = u.size == 1 ? kindOf(u.type) : USER_OTHER;
    if (p.kind == USER_SAMPLER && u.size != 1) p.kind = USER_OTHER;
    p.components =
        p.kind == USER_FLOAT || p.kind == USER_INT || p.kind == USER_BOOL ? glslComponents(u.type) : 0;
    p.file = u.declaration.file;
    p.line = u.declaration.line;
    return p;
}

// Reads the declaration's annotation into p, printing what is wrong with it.
// Only a uniform of its own declaration has one: a struct's members take none.
void annotate(UserParameter& p, const ActiveUniform& u)
{
    if (u.declaration.name != u.name || u.declaration.comment.empty()) return;
    std::vector<std::string> problems;
    ParameterAnnotation a = readParameterAnnotation(u.declaration.comment, problems);
    const bool ranged = a.hasMin || a.hasMax || a.hasStep;
    if (a.colour && !(p.kind == USER_FLOAT && p.components >= 3)) {
        problems.push_back("`colour' fits a vec3 or vec4, not a " + p.typeName + "; it is left out");
        a.colour = false;
    }
    if (ranged && p.kind != USER_FLOAT && p.kind != USER_INT) {
        problems.push_back("min=, max= and step= fit numbers, not a " + p.typeName + "; they are left out");
        a.hasMin = a.hasMax = a.hasStep = false;
    }
    if (p.kind == USER_INT) {
        // whole numbers only: a step of at least 1, bounds within the range
        if (a.hasStep) a.step = std::max(1.0f, std::round(a.step));
        if (a.hasMin) a.min = std::ceil(a.min);
        if (a.hasMax) a.max = std::floor(a.max);
    }
    p.annotation = a;
    for (const std::string& problem : problems)
        fprintf(stderr, "%s:%d: `%s': %s\n", p.file.c_str(), p.line, p.name.c_str(), problem.c_str());
}

bool sameValues(const float* a, const float* b, int count)
{
    return std::memcmp(a, b, sizeof(float) * size_t(count)) == 0;
}

bool editable(const UserParameter& p)
{
    return p.components > 0;
}

const char* article(const std::string& typeName)
{
    return typeName.empty() || std::strchr("aeiou", typeName[0]) ? "an" : "a";
}

} // namespace

void takeUpProgramPair(const ShaderBindingsRecord& b)
{
    pairVertex = b.vertexProgram;
    pairFragment = b.fragmentProgram;
    pairsTakenUp++;
    for (InputUniform& input : inputUniforms)
        input = InputUniform();
    const std::vector<ActiveUniform>* uniforms = linkedPairUniforms(pairVertex, pairFragment);
    std::vector<UserParameter> before;
    before.swap(userParameters);
    if (!uniforms) return;

    std::unordered_map<std::string, const UserParameter*> previous;
    for (const UserParameter& p : before)
        previous[p.name] = &p;
    for (size_t i = 0; i < uniforms->size(); i++) {
        const ActiveUniform& u = (*uniforms)[i];
        const ShaderInput input = inputOf(u);
        if (input != SHADER_INPUT_COUNT) {
            inputUniforms[input].uniformIndex = int(i);
            continue;
        }
        if (fedByContract(b, u.name)) continue;
        UserParameter p = describe(u);
        p.uniformIndex = int(i);
        annotate(p, u);
        if (editable(p)) {
            readPairUniform(pairVertex, pairFragment, p.uniformIndex, p.initial);
            std::copy(p.initial, p.initial + p.components, p.value);
            // the user's value stays while the file's initializer does
            const auto old = previous.find(p.name);
            if (old != previous.end() && old->second->glType == p.glType && old->second->kind == p.kind &&
                sameValues(old->second->initial, p.initial, p.components))
                std::copy(old->second->value, old->second->value + p.components, p.value);
        }
        userParameters.push_back(p);
    }
    programsUseTime =
        inputUniforms[INPUT_TIME].uniformIndex >= 0 || inputUniforms[INPUT_DELTA].uniformIndex >= 0;
}

void defaultUserParameters()
{
    for (UserParameter& p : userParameters)
        std::copy(p.initial, p.initial + 4, p.value);
}

bool applyParameterSettings(const std::vector<ParameterSetting>& settings, std::string& problem)
{
    for (const ParameterSetting& setting : settings) {
        UserParameter* found = nullptr;
        for (UserParameter& p : userParameters)
            if (p.name == setting.name) found = &p;
        if (!found) {
            const bool fed = fedByContract(ShaderBindings, setting.name) ||
                             findShaderInput(setting.name) != SHADER_INPUT_COUNT;
            if (fed)
                fprintf(stderr, "meshshade: --set %s: the viewer sets `%s' itself; it is left out\n",
                        setting.text.c_str(), setting.name.c_str());
            else
                fprintf(stderr,
                        "meshshade: --set %s: the programs declare no parameter `%s' that they use; it is "
                        "left out\n",
                        setting.text.c_str(), setting.name.c_str());
            continue;
        }
        UserParameter& p = *found;
        const std::string what =
            "--set " + setting.text + ": `" + p.name + "' is " + article(p.typeName) + " " + p.typeName;
        if (!editable(p)) {
            problem = what + ", which cannot be set";
            return false;
        }
        if (int(setting.values.size()) != p.components) {
            problem = what + " and takes " + std::to_string(p.components) +
                      (p.components == 1 ? " value" : " values, parted by commas");
            return false;
        }
        for (float v : setting.values) {
            if (p.kind == USER_INT && v != std::round(v)) {
                problem = what + " and takes whole numbers";
                return false;
            }
            if (p.kind == USER_BOOL && v != 0 && v != 1) {
                problem = what + " and takes 0 or 1";
                return false;
            }
        }
        std::copy(setting.values.begin(), setting.values.end(), p.value);
    }
    return true;
}

void setUserParameters()
{
    for (UserParameter& p : userParameters) {
        if (!editable(p) || (p.hasSent && sameValues(p.sent, p.value, p.components))) continue;
        if (!setPairUniform(pairVertex, pairFragment, p.uniformIndex, p.value)) continue;
        std::copy(p.value, p.value + 4, p.sent);
        p.hasSent = true;
    }
    for (int i = 0; i < SHADER_INPUT_COUNT; i++) {
        InputUniform& input = inputUniforms[i];
        if (input.uniformIndex < 0) continue;
        float value[2];
        const int count = shaderInputValue(ShaderInput(i), value);
        if (input.hasSent && sameValues(input.sent, value, count)) continue;
        if (!setPairUniform(pairVertex, pairFragment, input.uniformIndex, value)) continue;
        std::copy(value, value + count, input.sent);
        input.hasSent = true;
    }
}

void appendUserParameterValues(std::vector<float>& values)
{
    values.push_back(float(pairsTakenUp));
    values.push_back(float(userParameters.size()));
    values.push_back(programsUseTime ? 1.0f : 0.0f);
    values.push_back(timePaused ? 1.0f : 0.0f);
    for (const UserParameter& p : userParameters)
        values.insert(values.end(), p.value, p.value + p.components);
}
