// Compiling the two program files.
#include "shading/shader_programs.h"

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
