// The shader runtime: compiles, loads, binds and feeds vertex and fragment
// programs through the operations the viewer has always used (cgCreateContext,
// cgCreateProgramFromFile, cgGLBindProgram, cgGLSetParameter3f, ...), over GLSL.
// All calls need the drawing window's OpenGL context to be current.
//
// How the runtime maps onto GLSL. A program file is a GLSL shader for one stage,
// normally GLSL 1.20 with the compatibility built-ins (gl_Vertex, gl_Normal,
// gl_ModelViewMatrix, gl_FragColor, ...). Its entry function, e.g.
// `void vp_reflection()`, becomes the stage's main through a
// `#define vp_reflection main` placed right after the file's `#version` directive
// (a `#version 120` is added first when the file has none), followed by a `#line`
// directive so that messages give the file's own line numbers.
// cgCreateProgramFromFile reads only a regular file of at most 4 MiB, skips a
// UTF-8 byte-order mark, refuses a NUL byte, puts the files it includes
// (`#include "path"`, program_includes.h) in place, each under a `#line`
// directive with a source-string number of its own, compiles the text into a
// GL shader object and links it alone once, which proves that the entry
// function exists.
// Every file-scope `uniform` the preprocessed file declares becomes a parameter
// that cgGetNamedParameter finds by its exact name, also when the driver's
// compiler removed it as unused. The profiles CG_PROFILE_GLSLV and
// CG_PROFILE_GLSLF stand for the vertex and fragment stages.
// Which stages draw follows the enabled profiles and the bound programs: the
// runtime links the bound programs of the enabled profiles into one GL program
// (kept for reuse; a single stage is linked alone and the fixed-function pipeline
// does the other stage's work) and makes it current with glUseProgram; with both
// profiles disabled it calls glUseProgram(0). Parameter values live in the
// runtime: setting one stores it and uploads it with glUniform* when its program
// is in use, and all stored values are uploaded whenever a linked program becomes
// current, so values can be set before any binding and survive unbinding.
// A sampler reads a texture unit of its own, from 1 up, so that unit 0 stays the
// sky's cube map; setSamplerUnit points it at another. Tracked matrices are read
// from OpenGL at the moment of the call and transformed in double precision. Every failure sets a pending
// error and calls the error callback inside the failing call; cgGetLastListing then tells what went wrong,
// naming the file (for a compile or link, the driver's log with the file's name
// and lines in place of GLSL's source-string number).
#pragma once

#include <vector>

#include "shading/glsl_core.h"

// Handles. Null means "none".
typedef struct CgContextRecord* CGcontext;
typedef struct CgProgramRecord* CGprogram;
typedef struct CgParameterRecord* CGparameter;

enum CGprofile {
    CG_PROFILE_UNKNOWN = 0,
    CG_PROFILE_GLSLV = 1, // vertex programs
    CG_PROFILE_GLSLF = 2, // fragment programs
};

enum CGGLenum {
    // profile classes
    CG_GL_VERTEX = 8,
    CG_GL_FRAGMENT = 9,
    // tracked matrices
    CG_GL_MODELVIEW_MATRIX = 4,
    CG_GL_PROJECTION_MATRIX = 5,
    CG_GL_TEXTURE_MATRIX = 6,
    CG_GL_MODELVIEW_PROJECTION_MATRIX = 7,
    // matrix transforms
    CG_GL_MATRIX_IDENTITY = 0,
    CG_GL_MATRIX_TRANSPOSE = 1,
    CG_GL_MATRIX_INVERSE = 2,
    CG_GL_MATRIX_INVERSE_TRANSPOSE = 3,
};

enum CGenum {
    CG_SOURCE = 4112, // the program file holds source text
};

enum CGerror {
    CG_NO_ERROR = 0,
    CG_COMPILER_ERROR = 1,
    CG_INVALID_PARAMETER_ERROR = 2,
    CG_INVALID_PROFILE_ERROR = 3,
    CG_PROGRAM_LOAD_ERROR = 4,
    CG_PROGRAM_BIND_ERROR = 5,
    CG_PROGRAM_NOT_LOADED_ERROR = 6,
    CG_INVALID_ENUMERANT_ERROR = 8,
    CG_NOT_4x4_MATRIX_ERROR = 9,
    CG_FILE_READ_ERROR = 10,
    CG_MEMORY_ALLOC_ERROR = 15,
    CG_INVALID_CONTEXT_HANDLE_ERROR = 16,
    CG_INVALID_PROGRAM_HANDLE_ERROR = 17,
    CG_INVALID_PARAM_HANDLE_ERROR = 18,
    CG_UNKNOWN_PROFILE_ERROR = 19,
    CG_INVALID_VALUE_TYPE_ERROR = 20,
    CG_LINK_ERROR = 21,
};

typedef void (*CGerrorCallbackFunc)(void);

// Errors
// Registers the function called, synchronously inside the failing call, after
// every call that raises an error. Null removes it.
void cgSetErrorCallback(CGerrorCallbackFunc callback);
// The pending error code (CG_NO_ERROR for none); reading it clears it.
CGerror cgGetError(void);
// A clear text for each code.
const char* cgGetErrorString(CGerror error);
// The compiler or linker log of the last compilation or link in this context,
// lines prefixed with the file name, or the reason of the last failed creation
// or parameter set; null when there was none.
const char* cgGetLastListing(CGcontext context);

// Context and programs
// A new, empty context; needs no OpenGL context.
CGcontext cgCreateContext(void);
// Every file the last cgCreateProgramFromFile or compileProgramFile in this
// context read or tried to read, whether it succeeded or not: the program file,
// then each file it included, one that could not be read too. Empty for a
// context that is not valid.
const std::vector<std::string>& programSourceFiles(CGcontext context);
// Destroys a context and every program in it.
void cgDestroyContext(CGcontext context);
// The best profile of a class (CG_GL_VERTEX or CG_GL_FRAGMENT) for the current
// context: CG_PROFILE_GLSLV or CG_PROFILE_GLSLF when it runs GLSL (OpenGL 2.0,
// or the ARB shader extensions), otherwise CG_PROFILE_UNKNOWN.
CGprofile cgGLGetLatestProfile(CGGLenum profileClass);
// Prepares later compilations for the profile; GLSL drivers tune their own, so
// this only checks that the profile is a known one.
void cgGLSetOptimalOptions(CGprofile profile);
// Reads and compiles a program file. `entry` names the function that becomes
// main (null means "main"); `args` (null-terminated, may be null) are extra
// compiler arguments, "-DNAME" or "-DNAME=VALUE". Null, with an error raised,
// when the file cannot be read (missing, not a regular file, over 4 MiB), holds a
// NUL byte, includes a file it cannot (program_includes.h), does not compile or
// lacks the entry function.
CGprogram cgCreateProgramFromFile(CGcontext context, CGenum programType, const char* file, CGprofile profile,
                                  const char* entry, const char** args);
// Frees the program's OpenGL objects, unbinding it first; its handle and its
// parameters' handles become invalid.
void cgDestroyProgram(CGprogram program);
// Hands a compiled program to the driver; a program must be loaded to be bound.
void cgGLLoadProgram(CGprogram program);

// Parameters
// The handle of a uniform the program declares, by exact name (also one the
// compiler removed as unused); null when the program declares no such name.
CGparameter cgGetNamedParameter(CGprogram program, const char* name);
// The parameter's type in GLSL's spelling as its program declares it: "float",
// "vec3", "mat4" (also for mat4x4), "samplerCube", a struct's name; an array adds
// its size ("float[3]", "float[]" when the size is not a number literal).
const char* cgGetParameterTypeString(CGparameter param);
// Values are kept in the runtime until set again and reach the program when it
// is in use; setting a parameter the compiler removed does nothing visible.
void cgGLSetParameter1f(CGparameter param, float x);
void cgGLSetParameter3f(CGparameter param, float x, float y, float z);
void cgGLSetParameter4f(CGparameter param, float x, float y, float z, float w);
// Gives a 4x4 matrix parameter the named OpenGL matrix as it is now,
// transformed as asked (identity, transpose, inverse, inverse transpose). A
// singular matrix asked to be inverted leaves the parameter's value unchanged.
void cgGLSetStateMatrixParameter(CGparameter param, CGGLenum matrix, CGGLenum transform);

// Binding
// The bound programs of the enabled profiles draw; a class whose profile is
// disabled or has no program bound is drawn by the fixed-function pipeline.
// The three calls raise CG_LINK_ERROR when the programs that should now draw
// together do not link; the fixed-function pipeline then draws.

// Programmable processing of a profile's class on or off for the following draws.
void cgGLEnableProfile(CGprofile profile);
void cgGLDisableProfile(CGprofile profile);
// Makes the program the one its profile uses while that profile is enabled; the
// program must have been loaded.
void cgGLBindProgram(CGprogram program);

// Beyond the Cg operations: loading that reports instead of raising, the
// uniforms of a linked pair, and texture units. The viewer's loading of its
// programs uses these, so that a refused reload is a value it reports and
// never a call of the error callback.

// cgCreateProgramFromFile of a CG_SOURCE file without compiler arguments,
// raising no error: null, with `error` set to the code cgCreateProgramFromFile
// would raise and the listing saying why, when it fails; `error` is
// CG_NO_ERROR otherwise.
CGprogram compileProgramFile(CGcontext context, const char* file, CGprofile profile, const char* entry,
                             CGerror& error);
// Links a loaded vertex program with a loaded fragment program into the GL
// program that draws while both are bound and their profiles enabled, kept for
// then, so binding them links nothing. Raises no error: returns CG_NO_ERROR,
// CG_LINK_ERROR with the linker's log naming both files in the listing, or the
// code of a handle that is not valid, a profile mixed up or a program not loaded.
CGerror linkProgramPair(CGprogram vertex, CGprogram fragment);
// Every active uniform of the linked pair of these two programs (built-in gl_
// uniforms aside): the vertex program's in declaration order, then the
// fragment program's, each with its GL type, location, stage and texture unit.
// Null while they are not linked together; valid until either is destroyed.
const std::vector<ActiveUniform>* linkedPairUniforms(CGprogram vertex, CGprogram fragment);
// Sets uniform `index` of linkedPairUniforms(vertex, fragment) in the GL
// program of that pair, which keeps the value until it is set again: values
// as setGlslUniform takes them. Cheapest while the pair draws; raises no
// error; false when the two are not linked together. The runtime never sets a
// uniform no parameter of it was given a value for, so such a value stays.
bool setPairUniform(CGprogram vertex, CGprogram fragment, int index, const float* values);
// Reads uniform `index` of the linked pair as its GL program holds it (see
// readGlslUniform); false when the two are not linked together.
bool readPairUniform(CGprogram vertex, CGprogram fragment, int index, float* values);
// Makes a sampler parameter read texture unit `unit` wherever its program
// draws. Raises CG_INVALID_VALUE_TYPE_ERROR for a parameter that is no single sampler.
void setSamplerUnit(CGparameter sampler, int unit);
