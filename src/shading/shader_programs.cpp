// Compiling the two program files and checking their parameters.
#include "shading/shader_programs.h"

#include <cstring>

#include "io/data_files.h"

const char* const VERTEX_PROGRAM_FILE = "vp_reflection.cg";
const char* const FRAGMENT_PROGRAM_FILE = "fp_reflection.cg";

void compileShaderPrograms(ShaderBindingsRecord& b)
{
    b.fragmentProgram =
        cgCreateProgramFromFile(b.cgContext, CG_SOURCE, dataFilePath(FRAGMENT_PROGRAM_FILE).c_str(),
                                b.fragmentProfile, "fp_reflection", nullptr);
    b.vertexProgram =
        cgCreateProgramFromFile(b.cgContext, CG_SOURCE, dataFilePath(VERTEX_PROGRAM_FILE).c_str(),
                                b.vertexProfile, "vp_reflection", nullptr);
}

namespace {

// One parameter of the contract: its name, the type the viewer feeds it as, its handle.
struct ContractEntry {
    const char* name;
    const char* type;
    CGparameter* handle;
};

// Looks up each entry in `program` into its handle, all of them; the first one
// missing or of another type goes into `check`. True when every one is usable.
bool lookUpGroup(CGprogram program, const char* file, const ContractEntry* entries, int count,
                 ParameterCheck& check)
{
    bool all = true;
    for (int i = 0; i < count; i++) {
        const ContractEntry& entry = entries[i];
        *entry.handle = program ? cgGetNamedParameter(program, entry.name) : nullptr;
        const char* declared = *entry.handle ? cgGetParameterTypeString(*entry.handle) : "";
        if (*entry.handle && std::strcmp(declared, entry.type) == 0) continue;
        if (all) {
            check.file = file;
            check.name = entry.name;
            check.declaredType = declared;
            check.expectedType = entry.type;
        }
        all = false;
    }
    return all;
}

} // namespace

ParameterCheck lookUpShaderParameters(ShaderBindingsRecord& b)
{
    const ContractEntry group1[] = {
        {"etaRatio", "float", &b.etaRatio},          {"eyePosition", "vec4", &b.eyePosition},
        {"modelViewProj", "mat4", &b.modelViewProj}, {"modelViewIT", "mat4", &b.modelViewIT},
        {"modelView", "mat4", &b.modelView},         {"modelViewEyeI", "mat4", &b.modelViewEyeI}};
    const ContractEntry group2[] = {{"specColor", "vec3", &b.specColor},
                                    {"diffColor", "vec3", &b.diffColor},
                                    {"lightPosition", "vec4", &b.lightPosition},
                                    {"Ks", "vec3", &b.Ks},
                                    {"Kd", "vec3", &b.Kd},
                                    {"Ka", "vec3", &b.Ka},
                                    {"shininess", "float", &b.shininess},
                                    {"globalAmbient", "vec3", &b.globalAmbient},
                                    {"dw", "float", &b.dw},
                                    {"aw", "float", &b.aw}};
    const ContractEntry group3[] = {{"environmentMap", "samplerCube", &b.environmentMap},
                                    {"reflectivity", "float", &b.reflectivity},
                                    {"matRatio", "float", &b.matRatio},
                                    {"weight", "float", &b.weight},
                                    {"shadowReduction", "float", &b.shadowReduction}};

    ParameterCheck check;
    if (!lookUpGroup(b.vertexProgram, VERTEX_PROGRAM_FILE, group1, 6, check) ||
        !lookUpGroup(b.vertexProgram, VERTEX_PROGRAM_FILE, group2, 10, check))
        check.result = VERTEX_PARAMETER_MISSING;
    else if (!lookUpGroup(b.fragmentProgram, FRAGMENT_PROGRAM_FILE, group3, 5, check))
        check.result = FRAGMENT_PARAMETER_MISSING;
    return check;
}

std::string describeParameterFailure(const ParameterCheck& check, bool atStartUp)
{
    std::string text;
    if (!check.declaredType.empty())
        text = std::string(check.file) + ": parameter `" + check.name + "' is declared `" +
               check.declaredType + "'; the viewer needs `" + check.expectedType + "'\n";
    else if (!atStartUp)
        // at start-up a missing parameter is told by the line below alone, as always
        text = std::string(check.file) + ": parameter `" + check.name + "' is not declared\n";
    text += "Unable to get program parameters from ";
    text += check.result == FRAGMENT_PARAMETER_MISSING ? "fragment" : "vertex";
    text += atStartUp ? " shader, exiting...\n" : " shader\n";
    return text;
}
