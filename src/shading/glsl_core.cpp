// Compiling, linking, listing and setting uniforms through OpenGL's GLSL calls.
#include "shading/glsl_core.h"

#include <algorithm>
#include <climits>

namespace {

bool isSamplerType(GLenum type)
{
    switch (type) {
    case GL_SAMPLER_1D:
    case GL_SAMPLER_2D:
    case GL_SAMPLER_3D:
    case GL_SAMPLER_CUBE:
    case GL_SAMPLER_1D_SHADOW:
    case GL_SAMPLER_2D_SHADOW:
    case GL_SAMPLER_2D_RECT:
    case GL_SAMPLER_2D_RECT_SHADOW:
    case GL_SAMPLER_1D_ARRAY:
    case GL_SAMPLER_2D_ARRAY:
    case GL_SAMPLER_CUBE_SHADOW:
    case GL_INT_SAMPLER_2D:
    case GL_INT_SAMPLER_3D:
    case GL_INT_SAMPLER_CUBE:
    case GL_UNSIGNED_INT_SAMPLER_2D:
    case GL_UNSIGNED_INT_SAMPLER_3D:
    case GL_UNSIGNED_INT_SAMPLER_CUBE:
        return true;
    default:
        return false;
    }
}

// The place of `name` among the declarations, -1 when it is not declared.
int declarationIndex(const CompiledStage* stage, const std::string& name)
{
    if (!stage) return -1;
    for (size_t i = 0; i < stage->declared.size(); i++)
        if (stage->declared[i].name == name) return int(i);
    return -1;
}

// The program's active uniforms with the stages that declare them, in
// declaration order.
std::vector<ActiveUniform> activeUniforms(GLuint program, const CompiledStage* vertex,
                                          const CompiledStage* fragment)
{
    GLint count = 0, longest = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    glGetProgramiv(program, GL_ACTIVE_UNIFORM_MAX_LENGTH, &longest);
    std::string buffer(size_t(std::max(longest, 1)), '\0');
    struct Listed {
        ActiveUniform uniform;
        long order = 0;
    };
    std::vector<Listed> listed;
    for (GLint i = 0; i < count; i++) {
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, GLuint(i), GLsizei(buffer.size()), &length, &size, &type, &buffer[0]);
        Listed entry;
        ActiveUniform& u = entry.uniform;
        u.name.assign(buffer.data(), size_t(length));
        if (u.name.compare(0, 3, "gl_") == 0) continue;
        if (u.name.size() > 3 && u.name.compare(u.name.size() - 3, 3, "[0]") == 0)
            u.name.resize(u.name.size() - 3);
        u.type = type;
        u.size = size;
        u.location = glGetUniformLocation(program, u.name.c_str());
        // a struct member or an array element belongs to the declaration of its name
        const std::string declared = u.name.substr(0, u.name.find_first_of(".["));
        const int inVertex = declarationIndex(vertex, declared);
        const int inFragment = declarationIndex(fragment, declared);
        if (inVertex >= 0) u.stages |= VERTEX_STAGE;
        if (inFragment >= 0) u.stages |= FRAGMENT_STAGE;
        if (inVertex >= 0)
            u.declaration = vertex->declared[size_t(inVertex)];
        else if (inFragment >= 0)
            u.declaration = fragment->declared[size_t(inFragment)];
        const long vertexCount = vertex ? long(vertex->declared.size()) : 0;
        entry.order = inVertex >= 0 ? inVertex : inFragment >= 0 ? vertexCount + inFragment : LONG_MAX;
        listed.push_back(entry);
    }
    std::stable_sort(listed.begin(), listed.end(),
                     [](const Listed& a, const Listed& b) { return a.order < b.order; });
    std::vector<ActiveUniform> uniforms;
    for (const Listed& entry : listed)
        uniforms.push_back(entry.uniform);
    return uniforms;
}

// Gives every sampler its own texture units, from 1 up.
void assignTextureUnits(GLuint program, std::vector<ActiveUniform>& uniforms)
{
    GLint unitCount = 0;
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &unitCount);
    GLint previous = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    bool inUse = false;
    int next = 1;
    for (ActiveUniform& u : uniforms) {
        if (!isSamplerType(u.type)) continue;
        if (next + u.size > unitCount) {
            u.textureUnit = 0; // what GL gives a sampler nobody set
            continue;
        }
        if (!inUse) glUseProgram(program);
        inUse = true;
        std::vector<GLint> units;
        for (int i = 0; i < u.size; i++)
            units.push_back(next + i);
        glUniform1iv(u.location, u.size, units.data());
        u.textureUnit = next;
        next += u.size;
    }
    if (inUse) glUseProgram(GLuint(previous));
}

// Sets `components` whole numbers per element.
void setIntegers(const ActiveUniform& u, int components, const float* values)
{
    std::vector<GLint> integers(size_t(u.size * components));
    for (size_t i = 0; i < integers.size(); i++)
        integers[i] = GLint(values[i]);
    switch (components) {
    case 1:
        glUniform1iv(u.location, u.size, integers.data());
        break;
    case 2:
        glUniform2iv(u.location, u.size, integers.data());
        break;
    case 3:
        glUniform3iv(u.location, u.size, integers.data());
        break;
    default:
        glUniform4iv(u.location, u.size, integers.data());
        break;
    }
}

} // namespace

CompileResult compileGlslStage(CompiledStage& out, const std::string& text, std::string& log)
{
    out.shader = glCreateShader(out.stage == VERTEX_STAGE ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
    log.clear();
    if (!out.shader) return NO_SHADER_MADE;
    const char* sourceText = text.c_str();
    glShaderSource(out.shader, 1, &sourceText, nullptr);
    glCompileShader(out.shader);
    GLint compiled = GL_FALSE, logLength = 0;
    glGetShaderiv(out.shader, GL_COMPILE_STATUS, &compiled);
    glGetShaderiv(out.shader, GL_INFO_LOG_LENGTH, &logLength);
    std::string driverLog(size_t(std::max(logLength, 1)), '\0');
    glGetShaderInfoLog(out.shader, GLsizei(driverLog.size()), nullptr, &driverLog[0]);
    log = driverLog.c_str();
    if (compiled) return STAGE_COMPILED;
    deleteGlslStage(out);
    return STAGE_NOT_COMPILED;
}

void deleteGlslStage(CompiledStage& stage)
{
    if (stage.shader) glDeleteShader(stage.shader);
    stage.shader = 0;
}

bool linkGlslProgram(const CompiledStage* vertex, const CompiledStage* fragment, LinkedPair& pair,
                     std::string& log)
{
    log.clear();
    pair = LinkedPair();
    const GLuint program = glCreateProgram();
    if (!program) {
        log = "error: the OpenGL driver made no program (is a context current?)";
        return false;
    }
    if (vertex) glAttachShader(program, vertex->shader);
    if (fragment) glAttachShader(program, fragment->shader);
    glLinkProgram(program);
    GLint linked = GL_FALSE, logLength = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &logLength);
    if (logLength > 1) {
        std::string text(size_t(logLength), '\0');
        glGetProgramInfoLog(program, logLength, nullptr, &text[0]);
        log = text.c_str();
    }
    if (!linked) {
        glDeleteProgram(program);
        return false;
    }
    pair.program = program;
    pair.uniforms = activeUniforms(program, vertex, fragment);
    assignTextureUnits(program, pair.uniforms);
    return true;
}

void deleteGlslProgram(LinkedPair& pair)
{
    if (pair.program) glDeleteProgram(pair.program);
    pair = LinkedPair();
}

int findGlslUniform(const LinkedPair& pair, const std::string& name)
{
    for (size_t i = 0; i < pair.uniforms.size(); i++)
        if (pair.uniforms[i].name == name) return int(i);
    return -1;
}

void setGlslUniform(const LinkedPair& pair, int index, const float* values)
{
    const ActiveUniform& u = pair.uniforms[size_t(index)];
    if (isSamplerType(u.type)) {
        setIntegers(u, 1, values);
        return;
    }
    switch (u.type) {
    case GL_FLOAT:
        glUniform1fv(u.location, u.size, values);
        break;
    case GL_FLOAT_VEC2:
        glUniform2fv(u.location, u.size, values);
        break;
    case GL_FLOAT_VEC3:
        glUniform3fv(u.location, u.size, values);
        break;
    case GL_FLOAT_VEC4:
        glUniform4fv(u.location, u.size, values);
        break;
    case GL_FLOAT_MAT2:
        glUniformMatrix2fv(u.location, u.size, GL_FALSE, values);
        break;
    case GL_FLOAT_MAT3:
        glUniformMatrix3fv(u.location, u.size, GL_FALSE, values);
        break;
    case GL_FLOAT_MAT4:
        glUniformMatrix4fv(u.location, u.size, GL_FALSE, values);
        break;
    case GL_INT:
    case GL_BOOL:
        setIntegers(u, 1, values);
        break;
    case GL_INT_VEC2:
    case GL_BOOL_VEC2:
        setIntegers(u, 2, values);
        break;
    case GL_INT_VEC3:
    case GL_BOOL_VEC3:
        setIntegers(u, 3, values);
        break;
    case GL_INT_VEC4:
    case GL_BOOL_VEC4:
        setIntegers(u, 4, values);
        break;
    default:
        break;
    }
}

void readGlslUniform(const LinkedPair& pair, int index, float* values)
{
    const ActiveUniform& u = pair.uniforms[size_t(index)];
    const int components = glslComponents(u.type);
    GLfloat floats[16] = {};
    GLint integers[16] = {};
    switch (u.type) {
    case GL_FLOAT:
    case GL_FLOAT_VEC2:
    case GL_FLOAT_VEC3:
    case GL_FLOAT_VEC4:
    case GL_FLOAT_MAT2:
    case GL_FLOAT_MAT3:
    case GL_FLOAT_MAT4:
        glGetUniformfv(pair.program, u.location, floats);
        break;
    default:
        if (components > 0) glGetUniformiv(pair.program, u.location, integers);
        for (int i = 0; i < components; i++)
            floats[i] = GLfloat(integers[i]);
        break;
    }
    std::copy(floats, floats + components, values);
}

int glslComponents(GLenum type)
{
    if (isSamplerType(type)) return 1;
    switch (type) {
    case GL_FLOAT:
    case GL_INT:
    case GL_BOOL:
        return 1;
    case GL_FLOAT_VEC2:
    case GL_INT_VEC2:
    case GL_BOOL_VEC2:
        return 2;
    case GL_FLOAT_VEC3:
    case GL_INT_VEC3:
    case GL_BOOL_VEC3:
        return 3;
    case GL_FLOAT_VEC4:
    case GL_INT_VEC4:
    case GL_BOOL_VEC4:
    case GL_FLOAT_MAT2:
        return 4;
    case GL_FLOAT_MAT3:
        return 9;
    case GL_FLOAT_MAT4:
        return 16;
    default:
        return 0;
    }
}

const char* glslTypeName(GLenum type)
{
    static const struct {
        GLenum type;
        const char* name;
    } NAMES[] = {
        {GL_FLOAT, "float"},
        {GL_FLOAT_VEC2, "vec2"},
        {GL_FLOAT_VEC3, "vec3"},
        {GL_FLOAT_VEC4, "vec4"},
        {GL_INT, "int"},
        {GL_INT_VEC2, "ivec2"},
        {GL_INT_VEC3, "ivec3"},
        {GL_INT_VEC4, "ivec4"},
        {GL_BOOL, "bool"},
        {GL_BOOL_VEC2, "bvec2"},
        {GL_BOOL_VEC3, "bvec3"},
        {GL_BOOL_VEC4, "bvec4"},
        {GL_UNSIGNED_INT, "uint"},
        {GL_UNSIGNED_INT_VEC2, "uvec2"},
        {GL_UNSIGNED_INT_VEC3, "uvec3"},
        {GL_UNSIGNED_INT_VEC4, "uvec4"},
        {GL_FLOAT_MAT2, "mat2"},
        {GL_FLOAT_MAT3, "mat3"},
        {GL_FLOAT_MAT4, "mat4"},
        {GL_FLOAT_MAT2x3, "mat2x3"},
        {GL_FLOAT_MAT2x4, "mat2x4"},
        {GL_FLOAT_MAT3x2, "mat3x2"},
        {GL_FLOAT_MAT3x4, "mat3x4"},
        {GL_FLOAT_MAT4x2, "mat4x2"},
        {GL_FLOAT_MAT4x3, "mat4x3"},
        {GL_SAMPLER_1D, "sampler1D"},
        {GL_SAMPLER_2D, "sampler2D"},
        {GL_SAMPLER_3D, "sampler3D"},
        {GL_SAMPLER_CUBE, "samplerCube"},
        {GL_SAMPLER_1D_SHADOW, "sampler1DShadow"},
        {GL_SAMPLER_2D_SHADOW, "sampler2DShadow"},
        {GL_SAMPLER_2D_RECT, "sampler2DRect"},
        {GL_SAMPLER_2D_RECT_SHADOW, "sampler2DRectShadow"},
        {GL_SAMPLER_1D_ARRAY, "sampler1DArray"},
        {GL_SAMPLER_2D_ARRAY, "sampler2DArray"},
        {GL_SAMPLER_CUBE_SHADOW, "samplerCubeShadow"},
        {GL_INT_SAMPLER_2D, "isampler2D"},
        {GL_INT_SAMPLER_3D, "isampler3D"},
        {GL_INT_SAMPLER_CUBE, "isamplerCube"},
        {GL_UNSIGNED_INT_SAMPLER_2D, "usampler2D"},
        {GL_UNSIGNED_INT_SAMPLER_3D, "usampler3D"},
        {GL_UNSIGNED_INT_SAMPLER_CUBE, "usamplerCube"},
    };
    for (const auto& entry : NAMES)
        if (entry.type == type) return entry.name;
    return "";
}

bool isGlslSampler(GLenum type)
{
    return isSamplerType(type);
}
