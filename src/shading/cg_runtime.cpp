// The shader runtime: errors, contexts, programs and parameter lookup.
// Binding and parameter values are in cg_binding.cpp.
//
// How the runtime maps onto GLSL. A program file is a GLSL shader for one stage,
// normally GLSL 1.20 with the compatibility built-ins (gl_Vertex, gl_Normal,
// gl_ModelViewMatrix, gl_FragColor, ...). Its entry function, e.g.
// `void vp_reflection()`, becomes the stage's main through a
// `#define vp_reflection main` placed right after the file's `#version` line (a
// `#version 120` is added first when the file has none), followed by a `#line`
// directive so that compiler messages give the file's own line numbers.
// cgCreateProgramFromFile compiles the file into a GL shader object and links it
// alone once, which proves that the entry function exists; every file-scope
// `uniform` of the file becomes a parameter that cgGetNamedParameter finds by its
// exact name, also when the driver's compiler removed it as unused. The profiles
// CG_PROFILE_GLSLV and CG_PROFILE_GLSLF stand for the vertex and fragment stages.
// Which stages draw follows the enabled profiles and the bound programs: the
// runtime links the bound programs of the enabled profiles into one GL program
// (kept for reuse; a single stage is linked alone and the fixed-function pipeline
// does the other stage's work) and makes it current with glUseProgram; with both
// profiles disabled it calls glUseProgram(0). Parameter values live in the
// runtime: setting one stores it and uploads it with glUniform* when its program
// is in use, and all stored values are uploaded whenever a linked program becomes
// current, so values can be set before any binding and survive unbinding.
// Tracked matrices are read from OpenGL at the moment of the call and transformed
// in double precision. Every failure sets a pending error and calls the error
// callback inside the failing call; cgGetLastListing gives the driver's compiler
// or linker log with the file name in place of GLSL's source-string number.
#include "shading/cg_runtime_internal.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unordered_set>

#include "app/glh_extensions.h"

// Errors
static CGerror pendingError = CG_NO_ERROR;
static CGerrorCallbackFunc errorCallback = nullptr;
static bool insideErrorCallback = false;

// Handles that have been created and not destroyed. Handles are checked against
// these before they are used, so a stale or null handle raises an error instead
// of touching freed memory.
static std::unordered_set<const CgContextRecord*> liveContexts;
static std::unordered_set<const CgProgramRecord*> livePrograms;
static std::unordered_set<const CgParameterRecord*> liveParameters;

void raiseCgError(CGerror error)
{
    pendingError = error;
    if (errorCallback && !insideErrorCallback) {
        insideErrorCallback = true;
        errorCallback();
        insideErrorCallback = false;
    }
}

bool isLiveProgram(const CgProgramRecord* program)
{
    return livePrograms.count(program) != 0;
}
bool isLiveParameter(const CgParameterRecord* parameter)
{
    return liveParameters.count(parameter) != 0;
}
static bool isLiveContext(const CgContextRecord* context)
{
    return liveContexts.count(context) != 0;
}

void cgSetErrorCallback(CGerrorCallbackFunc callback)
{
    errorCallback = callback;
}

CGerror cgGetError(void)
{
    const CGerror error = pendingError;
    pendingError = CG_NO_ERROR;
    return error;
}

const char* cgGetErrorString(CGerror error)
{
    switch (error) {
    case CG_NO_ERROR:
        return "No error has occurred.";
    case CG_COMPILER_ERROR:
        return "The compile returned an error.";
    case CG_INVALID_PARAMETER_ERROR:
        return "An argument of the call is not valid.";
    case CG_INVALID_PROFILE_ERROR:
        return "The profile is unknown or not supported by the OpenGL context.";
    case CG_PROGRAM_LOAD_ERROR:
        return "The program could not be handed to the OpenGL driver.";
    case CG_PROGRAM_BIND_ERROR:
        return "The program could not be bound.";
    case CG_PROGRAM_NOT_LOADED_ERROR:
        return "The program must be loaded before it can be bound.";
    case CG_INVALID_ENUMERANT_ERROR:
        return "The enumerant is not valid for this call.";
    case CG_NOT_4x4_MATRIX_ERROR:
        return "The parameter is not a 4x4 matrix.";
    case CG_FILE_READ_ERROR:
        return "The program file could not be read.";
    case CG_MEMORY_ALLOC_ERROR:
        return "Memory could not be allocated.";
    case CG_INVALID_CONTEXT_HANDLE_ERROR:
        return "The context handle is not valid.";
    case CG_INVALID_PROGRAM_HANDLE_ERROR:
        return "The program handle is not valid.";
    case CG_INVALID_PARAM_HANDLE_ERROR:
        return "The parameter handle is not valid.";
    case CG_UNKNOWN_PROFILE_ERROR:
        return "The profile is not known.";
    case CG_INVALID_VALUE_TYPE_ERROR:
        return "The value does not match the parameter's type.";
    case CG_LINK_ERROR:
        return "The programs could not be linked.";
    }
    return "Unknown error code.";
}

const char* cgGetLastListing(CGcontext context)
{
    if (!isLiveContext(context)) {
        raiseCgError(CG_INVALID_CONTEXT_HANDLE_ERROR);
        return nullptr;
    }
    return context->listing.empty() ? nullptr : context->listing.c_str();
}

// Contexts
CGcontext cgCreateContext(void)
{
    CGcontext context = new CgContextRecord;
    liveContexts.insert(context);
    return context;
}

void cgDestroyContext(CGcontext context)
{
    if (!isLiveContext(context)) {
        raiseCgError(CG_INVALID_CONTEXT_HANDLE_ERROR);
        return;
    }
    while (!context->programs.empty())
        cgDestroyProgram(context->programs.back().get());
    liveContexts.erase(context);
    delete context;
}

// Profiles
// True when the current OpenGL context runs GLSL shaders of the profile's stage.
static bool contextSupportsProfile(CGprofile profile)
{
    const char* version = (const char*)glGetString(GL_VERSION);
    if (!version) return false; // no context is current
    if (std::atoi(version) >= 2) return true;
    const char* extensions = (const char*)glGetString(GL_EXTENSIONS);
    auto has = [&](const char* name) { return extensions && containsExtensionName(extensions, name); };
    const char* stage = profile == CG_PROFILE_GLSLV ? "GL_ARB_vertex_shader" : "GL_ARB_fragment_shader";
    return has("GL_ARB_shader_objects") && has("GL_ARB_shading_language_100") && has(stage);
}

CGprofile cgGLGetLatestProfile(CGGLenum profileClass)
{
    CGprofile profile;
    if (profileClass == CG_GL_VERTEX) {
        profile = CG_PROFILE_GLSLV;
    } else if (profileClass == CG_GL_FRAGMENT) {
        profile = CG_PROFILE_GLSLF;
    } else {
        raiseCgError(CG_INVALID_ENUMERANT_ERROR);
        return CG_PROFILE_UNKNOWN;
    }
    return contextSupportsProfile(profile) ? profile : CG_PROFILE_UNKNOWN;
}

void cgGLSetOptimalOptions(CGprofile profile)
{
    // GLSL drivers tune their own compilation, so there is nothing to choose;
    // the profile is still checked so that a wrong one is reported here.
    if (!isKnownProfile(profile)) raiseCgError(CG_INVALID_PROFILE_ERROR);
}

// Programs
// The whole file, or false with the reason in `why`.
static bool readWholeFile(const char* path, std::string& text, std::string& why)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        why = std::strerror(errno);
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        why = "read failed";
        return false;
    }
    text = buffer.str();
    return true;
}

// Floats in a value of a GLSL type that the Set calls can feed; 0 for the rest
// (samplers keep texture unit 0, other types are not settable).
static int valueSizeOf(const std::string& type)
{
    if (type == "float") return 1;
    if (type == "vec2") return 2;
    if (type == "vec3") return 3;
    if (type == "vec4") return 4;
    if (type == "mat4" || type == "mat4x4") return 16;
    return 0;
}

// Sets the context's listing and raises `error`.
static void failCreation(CgContextRecord* context, const std::string& listing, CGerror error)
{
    context->listing = listing;
    raiseCgError(error);
}

// Adds `lines` to the end of `listing`, on a line of their own.
static void appendLines(std::string& listing, const std::string& lines)
{
    if (!listing.empty() && !lines.empty()) listing += '\n';
    listing += lines;
}

// Turns "-DNAME" and "-DNAME=VALUE" compiler arguments into `#define` bodies.
// False, with the offending argument in `bad`, for any other argument.
static bool readCompilerArguments(const char** args, std::vector<std::string>& defines, std::string& bad)
{
    for (; args && *args; args++) {
        std::string arg = *args;
        if (arg.size() < 3 || arg.compare(0, 2, "-D") != 0) {
            bad = arg;
            return false;
        }
        arg = arg.substr(2);
        const size_t equals = arg.find('=');
        if (equals != std::string::npos) arg[equals] = ' ';
        if (!isGlslIdentifier(arg.substr(0, equals))) {
            bad = *args;
            return false;
        }
        defines.push_back(arg);
    }
    return true;
}

// Frees a program's GL shader and forgets its handles; the caller removes it
// from its context.
static void discardProgram(CgProgramRecord* program)
{
    releaseProgramBindings(program);
    if (program->shader) glDeleteShader(program->shader);
    for (const auto& parameter : program->parameters)
        liveParameters.erase(parameter.get());
    livePrograms.erase(program);
}

CGprogram cgCreateProgramFromFile(CGcontext context, CGenum programType, const char* file, CGprofile profile,
                                  const char* entry, const char** args)
{
    if (!isLiveContext(context)) {
        raiseCgError(CG_INVALID_CONTEXT_HANDLE_ERROR);
        return nullptr;
    }
    if (programType != CG_SOURCE) {
        raiseCgError(CG_INVALID_ENUMERANT_ERROR);
        return nullptr;
    }
    if (!isKnownProfile(profile)) {
        raiseCgError(CG_INVALID_PROFILE_ERROR);
        return nullptr;
    }
    if (!file) {
        raiseCgError(CG_INVALID_PARAMETER_ERROR);
        return nullptr;
    }
    const std::string fileName = file;
    const std::string entryName = entry ? entry : "main";
    if (!isGlslIdentifier(entryName)) {
        failCreation(context,
                     fileName + ": error: the entry name `" + entryName + "' is not a GLSL identifier",
                     CG_COMPILER_ERROR);
        return nullptr;
    }
    std::vector<std::string> defines;
    std::string badArgument;
    if (!readCompilerArguments(args, defines, badArgument)) {
        failCreation(context, fileName + ": error: unknown compiler argument `" + badArgument + "'",
                     CG_COMPILER_ERROR);
        return nullptr;
    }
    std::string text, why;
    if (!readWholeFile(file, text, why)) {
        failCreation(context, fileName + ": cannot read the file (" + why + ")", CG_FILE_READ_ERROR);
        return nullptr;
    }

    const GLuint shader = glCreateShader(profile == CG_PROFILE_GLSLV ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
    if (!shader) {
        failCreation(context, fileName + ": error: the OpenGL driver made no shader (is a context current?)",
                     CG_PROGRAM_LOAD_ERROR);
        return nullptr;
    }
    const std::string source = prepareProgramSource(text, entryName, defines);
    const char* sourceText = source.c_str();
    glShaderSource(shader, 1, &sourceText, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE, logLength = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &logLength);
    std::string log(std::max(logLength, 1), '\0');
    glGetShaderInfoLog(shader, (GLsizei)log.size(), nullptr, &log[0]);
    std::string listing = rewriteDriverLog(log.c_str(), fileName);
    if (!compiled) {
        glDeleteShader(shader);
        failCreation(context, listing, CG_COMPILER_ERROR);
        return nullptr;
    }

    auto program = std::make_unique<CgProgramRecord>();
    program->context = context;
    program->profile = profile;
    program->file = fileName;
    program->shader = shader;
    for (const UniformDeclaration& declaration : scanUniforms(text)) {
        auto parameter = std::make_unique<CgParameterRecord>();
        parameter->program = program.get();
        parameter->index = (int)program->parameters.size();
        parameter->declaration = declaration;
        parameter->valueSize = valueSizeOf(declaration.type);
        liveParameters.insert(parameter.get());
        program->parameters.push_back(std::move(parameter));
    }
    livePrograms.insert(program.get());

    // Linking the stage alone fails when the entry function is missing, since
    // nothing then became main; the linked program serves later when this
    // stage runs without the other.
    const bool vertex = profile == CG_PROFILE_GLSLV;
    std::string linkLog;
    const bool linked =
        linkStages(vertex ? program.get() : nullptr, vertex ? nullptr : program.get(), linkLog);
    if (!linked && !declaresFunction(text, entryName))
        appendLines(listing, fileName + ": error: no entry function `" + entryName + "' is defined");
    appendLines(listing, rewriteDriverLog(linkLog, fileName));
    if (!linked) {
        discardProgram(program.get());
        failCreation(context, listing, CG_COMPILER_ERROR);
        return nullptr;
    }
    context->listing = listing;
    context->programs.push_back(std::move(program));
    return context->programs.back().get();
}

void cgDestroyProgram(CGprogram program)
{
    if (!isLiveProgram(program)) {
        raiseCgError(CG_INVALID_PROGRAM_HANDLE_ERROR);
        return;
    }
    discardProgram(program);
    auto& programs = program->context->programs;
    programs.erase(
        std::find_if(programs.begin(), programs.end(),
                     [&](const std::unique_ptr<CgProgramRecord>& p) { return p.get() == program; }));
}

void cgGLLoadProgram(CGprogram program)
{
    if (!isLiveProgram(program)) {
        raiseCgError(CG_INVALID_PROGRAM_HANDLE_ERROR);
        return;
    }
    // Compiling already put the code into the driver; GLSL has no separate
    // upload, so loading only makes the program eligible for binding.
    program->loaded = true;
}

// Parameters
CGparameter cgGetNamedParameter(CGprogram program, const char* name)
{
    if (!isLiveProgram(program)) {
        raiseCgError(CG_INVALID_PROGRAM_HANDLE_ERROR);
        return nullptr;
    }
    if (!name) {
        raiseCgError(CG_INVALID_PARAMETER_ERROR);
        return nullptr;
    }
    for (const auto& parameter : program->parameters)
        if (parameter->declaration.name == name) return parameter.get();
    return nullptr;
}
