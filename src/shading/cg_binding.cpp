// The shader runtime's binding half: which programs draw (profiles enabled,
// programs bound, the GL programs linked from them) and the parameter values
// that reach them.
#include "shading/cg_runtime_internal.h"
#include "shading/cg_matrix.h"
#include "shading/driver_log.h"
#include "mesh/vector_math.h"

#include <algorithm>

// A GL program linked from one vertex and/or one fragment program.
struct LinkedProgram {
    CgProgramRecord* vertex = nullptr;   // null: fixed-function vertex processing
    CgProgramRecord* fragment = nullptr; // null: fixed-function fragment processing
    GLuint program = 0;
    // uniform location per parameter of each stage; -1 where the compiler removed it
    std::vector<GLint> vertexLocations;
    std::vector<GLint> fragmentLocations;
};

// What one profile does: whether it is enabled and the program bound to it.
struct ProfileState {
    bool enabled = false;
    CgProgramRecord* bound = nullptr;
};

static std::vector<std::unique_ptr<LinkedProgram>> linkedPrograms;
static ProfileState vertexState, fragmentState;
static LinkedProgram* activeProgram = nullptr; // the GL program in use; null for fixed function

static ProfileState& stateOf(CGprofile profile)
{
    return profile == CG_PROFILE_GLSLV ? vertexState : fragmentState;
}

static std::vector<GLint> uniformLocations(GLuint program, const CgProgramRecord* stage)
{
    std::vector<GLint> locations;
    if (stage)
        for (const auto& parameter : stage->parameters)
            locations.push_back(glGetUniformLocation(program, parameter->declaration.name.c_str()));
    return locations;
}

static LinkedProgram* linkAndKeep(CgProgramRecord* vertex, CgProgramRecord* fragment, std::string& log)
{
    log.clear();
    const GLuint program = glCreateProgram();
    if (!program) {
        log = "error: the OpenGL driver made no program (is a context current?)";
        return nullptr;
    }
    if (vertex) glAttachShader(program, vertex->shader);
    if (fragment) glAttachShader(program, fragment->shader);
    glLinkProgram(program);
    GLint linked = GL_FALSE, logLength = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &logLength);
    if (logLength > 1) {
        std::string text(logLength, '\0');
        glGetProgramInfoLog(program, logLength, nullptr, &text[0]);
        log = text.c_str();
    }
    if (!linked) {
        glDeleteProgram(program);
        return nullptr;
    }
    auto record = std::make_unique<LinkedProgram>();
    record->vertex = vertex;
    record->fragment = fragment;
    record->program = program;
    record->vertexLocations = uniformLocations(program, vertex);
    record->fragmentLocations = uniformLocations(program, fragment);
    linkedPrograms.push_back(std::move(record));
    return linkedPrograms.back().get();
}

bool linkStages(CgProgramRecord* vertex, CgProgramRecord* fragment, std::string& log)
{
    return linkAndKeep(vertex, fragment, log) != nullptr;
}

// The parameter's uniform location in `linked`, -1 when its program is not part
// of it or the compiler removed the uniform.
static GLint locationIn(const LinkedProgram* linked, const CgParameterRecord* parameter)
{
    if (linked->vertex == parameter->program) return linked->vertexLocations[parameter->index];
    if (linked->fragment == parameter->program) return linked->fragmentLocations[parameter->index];
    return -1;
}

// Gives the stored value to the GL program in use, which must be `linked`.
static void uploadValue(const LinkedProgram* linked, const CgParameterRecord* parameter)
{
    const GLint location = locationIn(linked, parameter);
    if (location < 0 || !parameter->hasValue) return;
    switch (parameter->valueSize) {
    case 1:
        glUniform1fv(location, 1, parameter->value);
        break;
    case 2:
        glUniform2fv(location, 1, parameter->value);
        break;
    case 3:
        glUniform3fv(location, 1, parameter->value);
        break;
    case 4:
        glUniform4fv(location, 1, parameter->value);
        break;
    case 16:
        glUniformMatrix4fv(location, 1, GL_FALSE, parameter->value);
        break;
    }
}

// Makes the GL pipeline match the enabled profiles and bound programs. Raises
// CG_LINK_ERROR, and leaves the fixed-function pipeline in use, when the
// programs that should now draw together do not link.
static void updatePipeline()
{
    CgProgramRecord* vertex = vertexState.enabled ? vertexState.bound : nullptr;
    CgProgramRecord* fragment = fragmentState.enabled ? fragmentState.bound : nullptr;
    if (!vertex && !fragment) {
        // Leave GL alone when nothing of ours was in use.
        if (activeProgram) glUseProgram(0);
        activeProgram = nullptr;
        return;
    }
    if (activeProgram && activeProgram->vertex == vertex && activeProgram->fragment == fragment) return;

    auto found = std::find_if(linkedPrograms.begin(), linkedPrograms.end(),
                              [&](const std::unique_ptr<LinkedProgram>& linked) {
                                  return linked->vertex == vertex && linked->fragment == fragment;
                              });
    LinkedProgram* linked = found != linkedPrograms.end() ? found->get() : nullptr;
    if (!linked) {
        std::string log;
        linked = linkAndKeep(vertex, fragment, log);
        // Both files are named: a pair's link problem may lie in either.
        const std::string label =
            vertex && fragment ? vertex->file + " + " + fragment->file : (vertex ? vertex : fragment)->file;
        const std::string listing = rewriteDriverLog(log, label);
        for (CgProgramRecord* stage : {vertex, fragment})
            if (stage) stage->context->listing = listing;
        if (!linked) {
            glUseProgram(0);
            activeProgram = nullptr;
            raiseCgError(CG_LINK_ERROR);
            return;
        }
    }
    glUseProgram(linked->program);
    activeProgram = linked;
    for (CgProgramRecord* stage : {vertex, fragment})
        if (stage)
            for (const auto& parameter : stage->parameters)
                uploadValue(linked, parameter.get());
}

void releaseProgramBindings(CgProgramRecord* program)
{
    ProfileState& state = stateOf(program->profile);
    if (state.bound == program) {
        state.bound = nullptr;
        updatePipeline();
    }
    for (auto it = linkedPrograms.begin(); it != linkedPrograms.end();) {
        LinkedProgram* linked = it->get();
        if (linked->vertex != program && linked->fragment != program) {
            ++it;
            continue;
        }
        glDeleteProgram(linked->program);
        it = linkedPrograms.erase(it);
    }
}

// Binding
void cgGLEnableProfile(CGprofile profile)
{
    if (!isKnownProfile(profile)) {
        raiseCgError(CG_INVALID_PROFILE_ERROR);
        return;
    }
    stateOf(profile).enabled = true;
    updatePipeline();
}

void cgGLDisableProfile(CGprofile profile)
{
    if (!isKnownProfile(profile)) {
        raiseCgError(CG_INVALID_PROFILE_ERROR);
        return;
    }
    stateOf(profile).enabled = false;
    updatePipeline();
}

void cgGLBindProgram(CGprogram program)
{
    if (!isLiveProgram(program)) {
        raiseCgError(CG_INVALID_PROGRAM_HANDLE_ERROR);
        return;
    }
    if (!program->loaded) {
        raiseCgError(CG_PROGRAM_NOT_LOADED_ERROR);
        return;
    }
    stateOf(program->profile).bound = program;
    updatePipeline();
}

// Parameter values
// Checks the handle and that the parameter takes `count` floats; raises the
// matching error and returns false when not.
static bool acceptsValue(const CgParameterRecord* parameter, int count)
{
    if (!isLiveParameter(parameter)) {
        raiseCgError(CG_INVALID_PARAM_HANDLE_ERROR);
        return false;
    }
    if (parameter->valueSize != count) {
        // the listing names what was set wrongly, since the error's own text cannot
        const std::string value = count == 16  ? "a 4x4 matrix"
                                  : count == 1 ? "1 float"
                                               : std::to_string(count) + " floats";
        parameter->program->context->listing = parameter->program->file + ": parameter `" +
                                               parameter->declaration.name + "' is declared `" +
                                               parameter->typeText + "' and cannot take " + value;
        raiseCgError(count == 16 ? CG_NOT_4x4_MATRIX_ERROR : CG_INVALID_VALUE_TYPE_ERROR);
        return false;
    }
    return true;
}

// Stores the value and uploads it when the parameter's program is in use.
static void storeValue(CgParameterRecord* parameter, const float* values, int count)
{
    std::copy(values, values + count, parameter->value);
    parameter->hasValue = true;
    if (activeProgram) uploadValue(activeProgram, parameter);
}

void cgGLSetParameter1f(CGparameter param, float x)
{
    const float values[] = {x};
    if (acceptsValue(param, 1)) storeValue(param, values, 1);
}

void cgGLSetParameter3f(CGparameter param, float x, float y, float z)
{
    const float values[] = {x, y, z};
    if (acceptsValue(param, 3)) storeValue(param, values, 3);
}

void cgGLSetParameter4f(CGparameter param, float x, float y, float z, float w)
{
    const float values[] = {x, y, z, w};
    if (acceptsValue(param, 4)) storeValue(param, values, 4);
}

// Reads one of OpenGL's matrices as it is now into `m`; false for an unknown name.
static bool readGlMatrix(CGGLenum matrix, double m[16])
{
    // identity stays when no context is current
    setIdentityMatrix(m);
    switch (matrix) {
    case CG_GL_MODELVIEW_MATRIX:
        glGetDoublev(GL_MODELVIEW_MATRIX, m);
        return true;
    case CG_GL_PROJECTION_MATRIX:
        glGetDoublev(GL_PROJECTION_MATRIX, m);
        return true;
    case CG_GL_TEXTURE_MATRIX:
        glGetDoublev(GL_TEXTURE_MATRIX, m);
        return true;
    case CG_GL_MODELVIEW_PROJECTION_MATRIX: {
        double modelView[16], projection[16];
        readGlMatrix(CG_GL_MODELVIEW_MATRIX, modelView);
        readGlMatrix(CG_GL_PROJECTION_MATRIX, projection);
        multiplyMatrix4(projection, modelView, m);
        return true;
    }
    default:
        return false;
    }
}

void cgGLSetStateMatrixParameter(CGparameter param, CGGLenum matrix, CGGLenum transform)
{
    if (!isLiveParameter(param)) {
        raiseCgError(CG_INVALID_PARAM_HANDLE_ERROR);
        return;
    }
    const bool knownTransform = transform == CG_GL_MATRIX_IDENTITY || transform == CG_GL_MATRIX_TRANSPOSE ||
                                transform == CG_GL_MATRIX_INVERSE ||
                                transform == CG_GL_MATRIX_INVERSE_TRANSPOSE;
    double m[16];
    if (!knownTransform || !readGlMatrix(matrix, m)) {
        raiseCgError(CG_INVALID_ENUMERANT_ERROR);
        return;
    }
    if (!acceptsValue(param, 16)) return;

    double inverse[16], result[16];
    if (transform == CG_GL_MATRIX_INVERSE || transform == CG_GL_MATRIX_INVERSE_TRANSPOSE) {
        // A singular matrix (a mesh scaled to nothing) has no inverse: the
        // parameter keeps its last value rather than receiving garbage.
        if (!invertMatrix4(m, inverse)) return;
        std::copy(inverse, inverse + 16, m);
    }
    if (transform == CG_GL_MATRIX_TRANSPOSE || transform == CG_GL_MATRIX_INVERSE_TRANSPOSE)
        transposeMatrix4(m, result);
    else
        std::copy(m, m + 16, result);

    float values[16];
    std::copy(result, result + 16, values);
    storeValue(param, values, 16);
}
