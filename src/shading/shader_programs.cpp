// Loading the two program files.
#include "shading/shader_programs.h"

#include <cctype>
#include <cstdlib>

#include "io/data_files.h"
#include "shading/shader_contract.h"

const char* const VERTEX_PROGRAM_FILE = "vp_reflection.cg";
const char* const FRAGMENT_PROGRAM_FILE = "fp_reflection.cg";

namespace {

std::vector<std::string> includedFiles; // by the last load

// The line number after the first "file:N" or "file(N)" of `text`; 0 when there is none.
int firstLineOf(const std::string& text, const std::string& file)
{
    for (size_t at = text.find(file); at != std::string::npos; at = text.find(file, at + 1)) {
        const size_t digits = at + file.size() + 1;
        if (digits > text.size() || (text[digits - 1] != ':' && text[digits - 1] != '(')) continue;
        if (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits])))
            return std::atoi(text.c_str() + digits);
    }
    return 0;
}

// A refusal naming `file`, as the console reports it.
ShaderLoad refused(const std::string& file, const std::string& text)
{
    ShaderLoad load;
    load.refusal.file = file;
    load.refusal.line = firstLineOf(text, file);
    load.refusal.text = text;
    return load;
}

// The runtime's report of an error: its text and the context's listing.
std::string runtimeReport(const ShaderBindingsRecord& b, CGerror error, ShaderLoadTime when)
{
    return cgErrorReport(b.cgContext, error) + (when == AT_START_UP ? "Cg error, exiting...\n" : "");
}

void destroyPrograms(ShaderBindingsRecord& b)
{
    for (CGprogram* program : {&b.vertexProgram, &b.fragmentProgram}) {
        if (*program) cgDestroyProgram(*program);
        *program = nullptr;
    }
}

} // namespace

ShaderLoad loadShaderPrograms(ShaderBindingsRecord& b, ShaderLoadTime when)
{
    // the fragment program first; a reload compiles the vertex program even when
    // the fragment program fails, so that one report tells both files' faults
    struct Stage {
        CGprogram* program;
        const char* file;
        CGprofile profile;
        const char* entry;
    };
    const Stage stages[] = {{&b.fragmentProgram, FRAGMENT_PROGRAM_FILE, b.fragmentProfile, "fp_reflection"},
                            {&b.vertexProgram, VERTEX_PROGRAM_FILE, b.vertexProfile, "vp_reflection"}};
    std::string report, firstFile, paths[2];
    std::vector<std::string>& included = includedFiles;
    included.clear();
    for (int i = 0; i < 2; i++) {
        const Stage& stage = stages[i];
        paths[i] = programFilePath(stage.file);
        CGerror error = CG_NO_ERROR;
        *stage.program = compileProgramFile(b.cgContext, paths[i].c_str(), stage.profile, stage.entry, error);
        const std::vector<std::string>& read = programSourceFiles(b.cgContext);
        if (!read.empty()) included.insert(included.end(), read.begin() + 1, read.end());
        if (error == CG_NO_ERROR) continue;
        report += runtimeReport(b, error, when);
        if (firstFile.empty()) firstFile = paths[i];
        if (when == AT_START_UP) break;
    }
    if (!report.empty()) {
        destroyPrograms(b);
        return refused(firstFile, report);
    }

    const ParameterCheck check = lookUpShaderParameters(b);
    if (check.result != PARAMETERS_FOUND) {
        destroyPrograms(b);
        ShaderLoad load = refused(check.file, describeParameterFailure(check, when == AT_START_UP));
        // at start-up the line of old stands alone on the console, the parameter is named apart
        if (when == AT_START_UP) load.refusal.errorText = describeParameterFault(check);
        return load;
    }
    cgGLLoadProgram(b.vertexProgram);
    cgGLLoadProgram(b.fragmentProgram);
    bindSkySamplers(b);
    // linked now, never a new program with an old one: programs that compile
    // alone may still not fit, and a consistent edit of both files must
    const CGerror linked = linkProgramPair(b.vertexProgram, b.fragmentProgram);
    if (linked != CG_NO_ERROR) {
        const std::string text = runtimeReport(b, linked, when);
        destroyPrograms(b);
        return refused(paths[1] + " + " + paths[0], text);
    }
    ShaderLoad accepted;
    accepted.accepted = true;
    return accepted;
}

const std::vector<std::string>& includedShaderFiles()
{
    return includedFiles;
}

const std::vector<ActiveUniform>& shaderUniforms()
{
    static const std::vector<ActiveUniform> none;
    const std::vector<ActiveUniform>* uniforms =
        linkedPairUniforms(ShaderBindings.vertexProgram, ShaderBindings.fragmentProgram);
    return uniforms ? *uniforms : none;
}
