// Live reload of the shader programs.
#include "shading/shader_reload.h"

#include <algorithm>
#include <cstdio>

#include "io/data_files.h"
#include "io/file_watch.h"
#include "shading/user_parameters.h"

namespace {

FileWatch programFiles;
ShaderLoad lastLoad;       // of the last reload
ShaderRefusal lastRefusal; // kept while the last reload that was told stands refused
bool refusalStands = false;

std::vector<std::string> filesInUse()
{
    // a copy made in the working directory takes over
    std::vector<std::string> files = {programFilePath(VERTEX_PROGRAM_FILE),
                                      programFilePath(FRAGMENT_PROGRAM_FILE)};
    // and an edit of a file they include counts as an edit of theirs
    for (const std::string& file : includedShaderFiles())
        if (std::find(files.begin(), files.end(), file) == files.end()) files.push_back(file);
    return files;
}

void tellReload(bool reloaded)
{
    refusalStands = !reloaded;
    if (!reloaded) {
        lastRefusal = lastLoad.refusal;
        fputs(lastRefusal.text.c_str(), stdout);
        printf("Shader reload failed; drawing with the previous programs.\n");
        return;
    }
    printf("Reloaded %s and %s.\n", VERTEX_PROGRAM_FILE, FRAGMENT_PROGRAM_FILE);
}

} // namespace

ShaderLoad reloadShaders()
{
    ShaderBindingsRecord fresh = ShaderBindings;
    fresh.vertexProgram = fresh.fragmentProgram = nullptr;
    const ShaderLoad load = loadShaderPrograms(fresh, AT_RELOAD);
    if (!load.accepted) return load;
    cgDestroyProgram(ShaderBindings.vertexProgram);
    cgDestroyProgram(ShaderBindings.fragmentProgram);
    ShaderBindings = fresh;
    takeUpProgramPair(ShaderBindings);
    return load;
}

void watchShaderFiles()
{
    programFiles.files = filesInUse;
    programFiles.reload = [] {
        lastLoad = reloadShaders();
        return lastLoad.accepted;
    };
    programFiles.tell = tellReload;
    watchFiles(programFiles);
}

const ShaderRefusal* lastShaderRefusal()
{
    return refusalStands ? &lastRefusal : nullptr;
}
