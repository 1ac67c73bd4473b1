// The shader runtime's errors: the pending error, the callback it calls, and
// the text of each code.
#include "shading/cg_runtime_internal.h"

static CGerror pendingError = CG_NO_ERROR;
static CGerrorCallbackFunc errorCallback = nullptr;
static bool insideErrorCallback = false;

void raiseCgError(CGerror error)
{
    if (error == CG_NO_ERROR) return;
    pendingError = error;
    if (errorCallback && !insideErrorCallback) {
        insideErrorCallback = true;
        errorCallback();
        insideErrorCallback = false;
    }
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
