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
    LinkedPair pair;
    // per parameter of each stage, its place in pair.uniforms; -1 where the compiler removed it
    std::vector<int> vertexUniforms;
    std::vector<int> fragmentUniforms;
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

static std::vector<int> uniformPlaces(const LinkedPair& pair, const CgProgramRecord* stage)
{
    std::vector<int> places;
    if (stage)
        for (const auto& parameter : stage->parameters)
            places.push_back(findGlslUniform(pair, parameter->declaration.name));
    return places;
}

static LinkedProgram* linkAndKeep(CgProgramRecord* vertex, CgProgramRecord* fragment, std::string& log)
{
    auto record = std::make_unique<LinkedProgram>();
    if (!linkGlslProgram(vertex ? &vertex->stage : nullptr, fragment ? &fragment->stage : nullptr,
                         record->pair, log))
        return nullptr;
    record->vertex = vertex;
    record->fragment = fragment;
    record->vertexUniforms = uniformPlaces(record->pair, vertex);
    record->fragmentUniforms = uniformPlaces(record->pair, fragment);
    linkedPrograms.push_back(std::move(record));
    return linkedPrograms.back().get();
}

// The kept GL program of exactly these stages, null when there is none.
static LinkedProgram* findLinked(const CgProgramRecord* vertex, const CgProgramRecord* fragment)
{
    for (const auto& linked : linkedPrograms)
        if (linked->vertex == vertex && linked->fragment == fragment) return linked.get();
    return nullptr;
}

// Links the stages of the programs that should draw together and keeps the
// result; the listing of their context(s) gets the linker's log, naming both
// files, since a pair's link problem may lie in either. Null when they do not link.
static LinkedProgram* linkForDrawing(CgProgramRecord* vertex, CgProgramRecord* fragment)
{
    std::string log;
    LinkedProgram* linked = linkAndKeep(vertex, fragment, log);
    const std::string label =
        vertex && fragment ? vertex->file + " + " + fragment->file : (vertex ? vertex : fragment)->file;
    const std::string listing = rewriteDriverLog(log, label);
    for (CgProgramRecord* stage : {vertex, fragment})
        if (stage) stage->context->listing = listing;
    return linked;
}

bool linkStages(CgProgramRecord* vertex, CgProgramRecord* fragment, std::string& log)
{
    return linkAndKeep(vertex, fragment, log) != nullptr;
}

// The parameter's place among the uniforms of `linked`, -1 when its program is
// not part of it or the compiler removed the uniform.
static int placeIn(const LinkedProgram* linked, const CgParameterRecord* parameter)
{
    if (linked->vertex == parameter->program) return linked->vertexUniforms[size_t(parameter->index)];
    if (linked->fragment == parameter->program) return linked->fragmentUniforms[size_t(parameter->index)];
    return -1;
}

// Gives the stored value to the GL program in use, which must be `linked`.
static void uploadValue(const LinkedProgram* linked, const CgParameterRecord* parameter)
{
    const int place = placeIn(linked, parameter);
    if (place >= 0 && parameter->hasValue) setGlslUniform(linked->pair, place, parameter->value);
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

    LinkedProgram* linked = findLinked(vertex, fragment);
    if (!linked) {
        linked = linkForDrawing(vertex, fragment);
        if (!linked) {
            glUseProgram(0);
            activeProgram = nullptr;
            raiseCgError(CG_LINK_ERROR);
            return;
        }
    }
    glUseProgram(linked->pair.program);
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
        deleteGlslProgram(linked->pair);
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

CGerror linkProgramPair(CGprogram vertex, CGprogram fragment)
{
    if (!isLiveProgram(vertex) || !isLiveProgram(fragment)) return CG_INVALID_PROGRAM_HANDLE_ERROR;
    if (vertex->profile != CG_PROFILE_GLSLV || fragment->profile != CG_PROFILE_GLSLF)
        return CG_INVALID_PROFILE_ERROR;
    if (!vertex->loaded || !fragment->loaded) return CG_PROGRAM_NOT_LOADED_ERROR;
    if (findLinked(vertex, fragment)) return CG_NO_ERROR;
    return linkForDrawing(vertex, fragment) ? CG_NO_ERROR : CG_LINK_ERROR;
}

const std::vector<ActiveUniform>* linkedPairUniforms(CGprogram vertex, CGprogram fragment)
{
    if (!isLiveProgram(vertex) || !isLiveProgram(fragment)) return nullptr;
    const LinkedProgram* linked = findLinked(vertex, fragment);
    return linked ? &linked->pair.uniforms : nullptr;
}

static bool hasUniform(const LinkedProgram* linked, int index)
{
    return index >= 0 && size_t(index) < linked->pair.uniforms.size();
}

bool setPairUniform(CGprogram vertex, CGprogram fragment, int index, const float* values)
{
    if (activeProgram && activeProgram->vertex == vertex && activeProgram->fragment == fragment) {
        if (!hasUniform(activeProgram, index)) return false;
        setGlslUniform(activeProgram->pair, index, values);
        return true;
    }
    if (!isLiveProgram(vertex) || !isLiveProgram(fragment)) return false;
    const LinkedProgram* linked = findLinked(vertex, fragment);
    if (!linked || !hasUniform(linked, index)) return false;
    // glUniform sets the program in use: this one for a moment
    glUseProgram(linked->pair.program);
    setGlslUniform(linked->pair, index, values);
    glUseProgram(activeProgram ? activeProgram->pair.program : 0);
    return true;
}

bool readPairUniform(CGprogram vertex, CGprogram fragment, int index, float* values)
{
    if (!isLiveProgram(vertex) || !isLiveProgram(fragment)) return false;
    const LinkedProgram* linked = findLinked(vertex, fragment);
    if (!linked || !hasUniform(linked, index)) return false;
    readGlslUniform(linked->pair, index, values);
    return true;
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

void storeParameterValue(CgParameterRecord* parameter, const float* values, int count)
{
    std::copy(values, values + count, parameter->value);
    parameter->hasValue = true;
    if (activeProgram) uploadValue(activeProgram, parameter);
}

void cgGLSetParameter1f(CGparameter param, float x)
{
    const float values[] = {x};
    if (acceptsValue(param, 1)) storeParameterValue(param, values, 1);
}

void cgGLSetParameter3f(CGparameter param, float x, float y, float z)
{
    const float values[] = {x, y, z};
    if (acceptsValue(param, 3)) storeParameterValue(param, values, 3);
}

void cgGLSetParameter4f(CGparameter param, float x, float y, float z, float w)
{
    const float values[] = {x, y, z, w};
    if (acceptsValue(param, 4)) storeParameterValue(param, values, 4);
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
    storeParameterValue(param, values, 16);
}
