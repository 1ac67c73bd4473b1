// The parameter table, and the lookup, type check and values it drives.
#include "shading/shader_contract.h"

#include <cstring>

#include "app/scene_state.h"
#include "shading/shader_inputs.h"
#include "shading/shader_programs.h"

#define SHADER_PARAMETER(name, type, program, group, step, required, value)                                  \
    {#name, type, program, group, step, required, value, &ShaderBindingsRecord::name},
const ShaderParameter SHADER_PARAMETERS[] = {
#include "shading/shader_contract.inc"
};
#undef SHADER_PARAMETER
const int SHADER_PARAMETER_COUNT = int(sizeof SHADER_PARAMETERS / sizeof SHADER_PARAMETERS[0]);
bool wholeContractRequired = true;

namespace {

// Floats in a value of the table's GLSL types.
int componentsOf(const char* type)
{
    if (std::strcmp(type, "vec3") == 0) return 3;
    if (std::strcmp(type, "vec4") == 0) return 4;
    return 1;
}

int copyFloats(const float* from, int count, float out[4])
{
    for (int i = 0; i < count; i++)
        out[i] = from[i];
    return count;
}

} // namespace

int parameterValue(const ShaderParameter& parameter, const Material& drawn, float out[4])
{
    const ParameterValue& value = parameter.value;
    switch (value.source) {
    case PANEL_FLOATS:
        return copyFloats(value.floats, componentsOf(parameter.type), out);
    case PANEL_FLAG:
        out[0] = float(*value.flag);
        return 1;
    case SCENE_POINT:
        // w is 1 for the programs although the fixed-function light is directional
        copyFloats(value.floats, 3, out);
        out[3] = 1.0f;
        return 4;
    case MATERIAL_VALUE: {
        const char* record = reinterpret_cast<const char*>(&drawn);
        return copyFloats(reinterpret_cast<const float*>(record + value.materialMember),
                          componentsOf(parameter.type), out);
    }
    default:
        return 0;
    }
}

bool shownInPanel(const ShaderParameter& parameter)
{
    const ParameterSource source = parameter.value.source;
    return source == PANEL_FLOATS || source == PANEL_FLAG || source == MATERIAL_VALUE;
}

namespace {

void noteFault(ParameterCheck& check, bool vertex, const char* name, const char* declared,
               const char* expected)
{
    check.result = vertex ? VERTEX_PARAMETER_MISSING : FRAGMENT_PARAMETER_MISSING;
    check.file = vertex ? VERTEX_PROGRAM_FILE : FRAGMENT_PROGRAM_FILE;
    check.name = name;
    check.declaredType = declared;
    check.expectedType = expected;
}

// An input a program declares with another type than the viewer fills it with.
void checkInputs(const ShaderBindingsRecord& b, ParameterCheck& check)
{
    for (const ShaderInputRow& input : SHADER_INPUTS)
        for (CGprogram program : {b.vertexProgram, b.fragmentProgram}) {
            CGparameter handle = program ? cgGetNamedParameter(program, input.name) : nullptr;
            if (!handle) continue;
            const char* declared = cgGetParameterTypeString(handle);
            if (std::strcmp(declared, input.type) == 0) continue;
            noteFault(check, program == b.vertexProgram, input.name, declared, input.type);
            return;
        }
}

} // namespace

ParameterCheck lookUpShaderParameters(ShaderBindingsRecord& b)
{
    ParameterCheck check;
    const int lastGroup = SHADER_PARAMETERS[SHADER_PARAMETER_COUNT - 1].group;
    for (int group = 1; group <= lastGroup && check.result == PARAMETERS_FOUND; group++)
        for (int i = 0; i < SHADER_PARAMETER_COUNT; i++) {
            const ShaderParameter& parameter = SHADER_PARAMETERS[i];
            if (parameter.group != group) continue;
            const bool vertex = parameter.program == VERTEX_PROGRAM;
            CGprogram program = vertex ? b.vertexProgram : b.fragmentProgram;
            CGparameter& handle = b.*parameter.handle;
            handle = program ? cgGetNamedParameter(program, parameter.name) : nullptr;
            if (!handle && !(parameter.required && wholeContractRequired)) continue;
            const char* declared = handle ? cgGetParameterTypeString(handle) : "";
            if (handle && std::strcmp(declared, parameter.type) == 0) continue;
            // every handle of the group is looked up; the first at fault is told
            if (check.result != PARAMETERS_FOUND) continue;
            noteFault(check, vertex, parameter.name, declared, parameter.type);
        }
    if (check.result == PARAMETERS_FOUND) checkInputs(b, check);
    return check;
}

std::string describeParameterFault(const ParameterCheck& check)
{
    if (!check.declaredType.empty())
        return std::string(check.file) + ": parameter `" + check.name + "' is declared `" +
               check.declaredType + "'; the viewer needs `" + check.expectedType + "'\n";
    return std::string(check.file) + ": parameter `" + check.name + "' is not declared\n";
}

std::string describeParameterFailure(const ParameterCheck& check, bool atStartUp)
{
    std::string text = atStartUp ? "" : describeParameterFault(check);
    text += "Unable to get program parameters from ";
    text += check.result == FRAGMENT_PARAMETER_MISSING ? "fragment" : "vertex";
    text += atStartUp ? " shader, exiting...\n" : " shader\n";
    return text;
}

void bindSkySamplers(const ShaderBindingsRecord& b)
{
    for (int i = 0; i < SHADER_PARAMETER_COUNT; i++) {
        const ShaderParameter& parameter = SHADER_PARAMETERS[i];
        if (parameter.value.source == SKY_CUBE_MAP && b.*parameter.handle)
            setSamplerUnit(b.*parameter.handle, 0);
    }
}
