// The shader runtime: contexts, profiles, programs and parameter lookup. Errors
// are in cg_errors.cpp, binding and parameter values in cg_binding.cpp; how the
// runtime maps onto GLSL is told in cg_runtime.h.
#include "shading/cg_runtime_internal.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_set>

#include "app/glh_extensions.h"
#include "io/bounded_file.h"
#include "shading/driver_log.h"
#include "shading/program_includes.h"
#include "shading/program_source.h"

// Handles that have been created and not destroyed. Handles are checked against
// these before they are used, so a stale or null handle raises an error instead
// of touching freed memory.
static std::unordered_set<const CgContextRecord*> liveContexts;
static std::unordered_set<const CgProgramRecord*> livePrograms;
static std::unordered_set<const CgParameterRecord*> liveParameters;

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

const char* cgGetLastListing(CGcontext context)
{
    if (!isLiveContext(context)) {
        raiseCgError(CG_INVALID_CONTEXT_HANDLE_ERROR);
        return nullptr;
    }
    return context->listing.empty() ? nullptr : context->listing.c_str();
}

const std::vector<std::string>& programSourceFiles(CGcontext context)
{
    static const std::vector<std::string> none;
    return isLiveContext(context) ? context->sourceFiles : none;
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
// Floats in a value of a GLSL type that the Set calls can feed; 0 for the rest
// (samplers take a texture unit through setSamplerUnit, other types are not settable).
static int valueSizeOf(const std::string& type)
{
    if (type == "float") return 1;
    if (type == "vec2") return 2;
    if (type == "vec3") return 3;
    if (type == "vec4") return 4;
    if (type == "mat4") return 16;
    return 0;
}

static bool isSamplerTypeName(const std::string& type)
{
    return type.compare(0, 7, "sampler") == 0 || type.compare(0, 8, "isampler") == 0 ||
           type.compare(0, 8, "usampler") == 0;
}

// A declaration's type as cgGetParameterTypeString gives it.
static std::string typeText(const UniformDeclaration& declaration)
{
    std::string text = declaration.type == "mat4x4" ? "mat4" : declaration.type;
    if (declaration.arraySize != 1)
        text += "[" + (declaration.arraySize > 0 ? std::to_string(declaration.arraySize) : "") + "]";
    return text;
}

// Sets the context's listing and returns `error`.
static CGerror failCreation(CgContextRecord* context, const std::string& listing, CGerror error)
{
    context->listing = listing;
    return error;
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
    deleteGlslStage(program->stage);
    for (const auto& parameter : program->parameters)
        liveParameters.erase(parameter.get());
    livePrograms.erase(program);
}

// Checks the handles and arguments of a creation and reads the compiler
// arguments into `defines`. The error of the first one that is wrong.
static CGerror checkCreationArguments(CGcontext context, CGenum programType, CGprofile profile,
                                      const char* file, const std::string& entryName, const char** args,
                                      std::vector<std::string>& defines)
{
    if (!isLiveContext(context)) return CG_INVALID_CONTEXT_HANDLE_ERROR;
    if (programType != CG_SOURCE) return CG_INVALID_ENUMERANT_ERROR;
    if (!isKnownProfile(profile)) return CG_INVALID_PROFILE_ERROR;
    if (!file) return CG_INVALID_PARAMETER_ERROR;
    if (!isGlslIdentifier(entryName))
        return failCreation(context,
                            std::string(file) + ": error: the entry name `" + entryName +
                                "' is not a GLSL identifier",
                            CG_COMPILER_ERROR);
    std::string badArgument;
    if (!readCompilerArguments(args, defines, badArgument))
        return failCreation(context,
                            std::string(file) + ": error: unknown compiler argument `" + badArgument + "'",
                            CG_COMPILER_ERROR);
    return CG_NO_ERROR;
}

// Reads a program file's text: only a regular file of at most
// MAX_SHADER_FILE_BYTES (a named pipe or a device never blocks), a UTF-8
// byte-order mark skipped, with the files it includes in place. The error,
// with the reason in the listing, when it cannot be read, holds a NUL byte (the
// compiler would stop there) or an include is refused.
static CGerror readProgramText(CgContextRecord* context, const std::string& fileName,
                               const std::vector<std::string>& defines, ExpandedProgram& program)
{
    std::string text, why;
    context->sourceFiles = {fileName};
    if (!readRegularFile(fileName.c_str(), MAX_SHADER_FILE_BYTES, text, why))
        return failCreation(context, fileName + ": " + why, CG_FILE_READ_ERROR);
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    const std::string nul = nulByteError(fileName, text);
    if (!nul.empty()) return failCreation(context, nul, CG_COMPILER_ERROR);
    program = expandIncludes(fileName, text, defines);
    context->sourceFiles = program.looked;
    if (!program.error.empty()) return failCreation(context, program.error, CG_COMPILER_ERROR);
    return CG_NO_ERROR;
}

// Compiles prepared text into `stage`; `listing` gets the compiler's log in the
// file's names and lines. The error when it does not compile.
static CGerror compileStage(CgContextRecord* context, CompiledStage& stage, const ExpandedProgram& program,
                            const PreparedSource& source, std::string& listing)
{
    std::string log;
    const CompileResult result = compileGlslStage(stage, source.text, log);
    if (result == NO_SHADER_MADE)
        return failCreation(context,
                            program.files[0].file +
                                ": error: the OpenGL driver made no shader (is a context current?)",
                            CG_PROGRAM_LOAD_ERROR);
    listing = rewriteDriverLog(log, program.files, source.preprocessorLagFrom);
    if (result != STAGE_COMPILED) return failCreation(context, listing, CG_COMPILER_ERROR);
    return CG_NO_ERROR;
}

// A live program record for a compiled stage, with one live parameter per
// uniform its file declares.
static std::unique_ptr<CgProgramRecord> makeProgramRecord(CgContextRecord* context, CGprofile profile,
                                                          const std::string& fileName,
                                                          const CompiledStage& stage)
{
    auto program = std::make_unique<CgProgramRecord>();
    program->context = context;
    program->profile = profile;
    program->file = fileName;
    program->stage = stage;
    for (const UniformDeclaration& declaration : stage.declared) {
        auto parameter = std::make_unique<CgParameterRecord>();
        parameter->program = program.get();
        parameter->index = (int)program->parameters.size();
        parameter->declaration = declaration;
        parameter->typeText = typeText(declaration);
        parameter->valueSize = declaration.arraySize == 1 ? valueSizeOf(parameter->typeText) : 0;
        parameter->sampler = declaration.arraySize == 1 && isSamplerTypeName(declaration.type);
        liveParameters.insert(parameter.get());
        program->parameters.push_back(std::move(parameter));
    }
    livePrograms.insert(program.get());
    return program;
}

// Links a new program's stage alone, which fails when the entry function is
// missing, since nothing then became main; the linked program serves later when
// this stage runs without the other. `log` gets the linker's log; false when it
// does not link.
static bool linkAlone(CgProgramRecord* program, std::string& log)
{
    const bool vertex = program->profile == CG_PROFILE_GLSLV;
    std::string driverLog;
    const bool linked = linkStages(vertex ? program : nullptr, vertex ? nullptr : program, driverLog);
    log = rewriteDriverLog(driverLog, program->file);
    return linked;
}

// Reads, compiles and checks a program file; null with `error` set, and the
// reason in the context's listing, when that fails.
static CGprogram createProgram(CGcontext context, CGenum programType, const char* file, CGprofile profile,
                               const char* entry, const char** args, CGerror& error)
{
    const std::string entryName = entry ? entry : "main";
    std::vector<std::string> defines;
    error = checkCreationArguments(context, programType, profile, file, entryName, args, defines);
    if (error != CG_NO_ERROR) return nullptr;
    const std::string fileName = file;
    ExpandedProgram expanded;
    error = readProgramText(context, fileName, defines, expanded);
    if (error != CG_NO_ERROR) return nullptr;
    const std::string& text = expanded.text;
    std::string listing;
    CompiledStage stage;
    stage.stage = profile == CG_PROFILE_GLSLV ? VERTEX_STAGE : FRAGMENT_STAGE;
    error = compileStage(context, stage, expanded, prepareProgramSource(text, entryName, defines), listing);
    if (error != CG_NO_ERROR) return nullptr;
    stage.declared = scanUniforms(text, defines);
    // the scan reads the expanded text: each declaration where it stands in its own file
    for (UniformDeclaration& declaration : stage.declared) {
        const SourcePlace place = placeOfTextLine(expanded, declaration.line);
        declaration.file = place.file;
        declaration.line = place.line;
    }

    auto program = makeProgramRecord(context, profile, fileName, stage);
    std::string linkLog;
    const bool linked = linkAlone(program.get(), linkLog);
    if (!linked && !declaresFunction(text, entryName, defines))
        appendLines(listing, fileName + ": error: no entry function `" + entryName + "' is defined");
    appendLines(listing, linkLog);
    if (!linked) {
        discardProgram(program.get());
        error = failCreation(context, listing, CG_COMPILER_ERROR);
        return nullptr;
    }
    context->listing = listing;
    context->programs.push_back(std::move(program));
    return context->programs.back().get();
}

CGprogram cgCreateProgramFromFile(CGcontext context, CGenum programType, const char* file, CGprofile profile,
                                  const char* entry, const char** args)
{
    CGerror error = CG_NO_ERROR;
    CGprogram program = createProgram(context, programType, file, profile, entry, args, error);
    raiseCgError(error);
    return program;
}

CGprogram compileProgramFile(CGcontext context, const char* file, CGprofile profile, const char* entry,
                             CGerror& error)
{
    return createProgram(context, CG_SOURCE, file, profile, entry, nullptr, error);
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

void setSamplerUnit(CGparameter sampler, int unit)
{
    if (!isLiveParameter(sampler)) {
        raiseCgError(CG_INVALID_PARAM_HANDLE_ERROR);
        return;
    }
    if (!sampler->sampler || unit < 0) {
        sampler->program->context->listing = sampler->program->file + ": parameter `" +
                                             sampler->declaration.name + "' is declared `" +
                                             sampler->typeText + "' and cannot take a texture unit";
        raiseCgError(CG_INVALID_VALUE_TYPE_ERROR);
        return;
    }
    const float value = float(unit);
    storeParameterValue(sampler, &value, 1);
}

const char* cgGetParameterTypeString(CGparameter param)
{
    if (!isLiveParameter(param)) {
        raiseCgError(CG_INVALID_PARAM_HANDLE_ERROR);
        return "";
    }
    return param->typeText.c_str();
}
