// The GLSL core under the shader runtime: compiles the text of one stage,
// links a vertex and a fragment stage (either may be absent) into a GL program,
// lists that program's active uniforms with their type, location and stage, and
// sets a uniform by its place in the list. The cg* operations (cg_runtime.h)
// are built on it. Every call needs a current OpenGL context.
#pragma once

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <string>
#include <vector>

#include "shading/uniform_scan.h"

// The stages of a program, as bits: a uniform may belong to both.
enum ShaderStage : unsigned {
    VERTEX_STAGE = 1,
    FRAGMENT_STAGE = 2,
};

// A compiled stage, and the uniforms its file declares.
struct CompiledStage {
    ShaderStage stage = VERTEX_STAGE;
    GLuint shader = 0;
    std::vector<UniformDeclaration> declared; // in declaration order (scanUniforms)
};

// Stages
enum CompileResult { STAGE_COMPILED, STAGE_NOT_COMPILED, NO_SHADER_MADE };
// Compiles prepared text into out.shader, for out.stage. `log` gets the driver's
// log as it stands. A stage that does not compile leaves no shader behind;
// NO_SHADER_MADE when the driver made none (no context current).
CompileResult compileGlslStage(CompiledStage& out, const std::string& text, std::string& log);
// Deletes the stage's shader.
void deleteGlslStage(CompiledStage& stage);

// Linked programs
// One active uniform of a linked program. Built-in uniforms (gl_...) are not listed.
struct ActiveUniform {
    std::string name;     // an array without its "[0]"; a struct member as "light.range"
    GLenum type = 0;      // GL_FLOAT, GL_FLOAT_VEC3, GL_FLOAT_MAT4, GL_INT, GL_BOOL, GL_SAMPLER_CUBE, ...
    int size = 1;         // elements of an array, 1 otherwise
    GLint location = -1;  // of its first element
    unsigned stages = 0;  // the stages whose file declares it; 0 when neither file's scan names it
    int textureUnit = -1; // a sampler's (first) texture unit; -1 for the other types
    UniformDeclaration
        declaration; // as the vertex file (else the fragment file) declares it; empty name when neither does
};

// A GL program linked from one or two stages, with its active uniforms: the
// vertex file's in declaration order, then the fragment file's, then any the
// scans did not name.
struct LinkedPair {
    GLuint program = 0;
    std::vector<ActiveUniform> uniforms;
};

// Links the stages (either may be null, not both) into `pair`. Every sampler
// gets texture units of its own, from 1 up in list order, so that unit 0 stays
// the sky's cube map; once units run out, later samplers read unit 0. False,
// with the linker's log (or why no program was made) and no program kept, when
// they do not link; `log` holds the linker's remarks either way.
bool linkGlslProgram(const CompiledStage* vertex, const CompiledStage* fragment, LinkedPair& pair,
                     std::string& log);
// Deletes the pair's GL program.
void deleteGlslProgram(LinkedPair& pair);
// The place of the uniform called `name` in pair.uniforms; -1 when none is.
int findGlslUniform(const LinkedPair& pair, const std::string& name);
// Sets uniform `index` of `pair`, whose program must be in use. `values` holds
// size x components floats: column-major for the matrices; whole numbers for
// int, bool and sampler types (a sampler's texture unit). Types without such a
// value (unsigned, non-square matrices) are left as they are.
void setGlslUniform(const LinkedPair& pair, int index, const float* values);
// Reads the first element of uniform `index` of `pair` as the GL program holds
// it (right after linking: its initializer, or 0) into `values`, which takes
// glslComponents(type) floats; int and bool types as whole numbers. The
// program need not be in use.
void readGlslUniform(const LinkedPair& pair, int index, float* values);

// Types
// Floats in one element of a uniform of this GL type: 1 to 4 for scalars and
// vectors (int and bool ones too), 4, 9 or 16 for the square matrices, 1 for a
// sampler; 0 for the types setGlslUniform leaves alone.
int glslComponents(GLenum type);
// GLSL's name of the type ("float", "ivec3", "mat4", "sampler2D", ...); "" when unknown.
const char* glslTypeName(GLenum type);
// True for the sampler types.
bool isGlslSampler(GLenum type);
