// The contract between the viewer and its two program files, as one table
// (shader_contract.inc): for every parameter its name, GLSL type, program, check
// group, place in the per-draw upload, whether it is required, and where its
// value comes from. The table drives the lookup and type check of the handles
// at set-up and reload (here), the per-draw upload (shader_parameters), the
// state report and the panel's redraw. A new parameter is one row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "mesh/mesh.h"
#include "shading/shader_setup.h"

// The table's columns
enum ParameterProgram { VERTEX_PROGRAM, FRAGMENT_PROGRAM };
constexpr bool REQUIRED = true;  // a program pair without it is refused
constexpr bool OPTIONAL = false; // sent when the programs declare it

// Where a parameter's value comes from.
enum ParameterSource {
    PANEL_FLOATS,   // floats the panel edits: a mixing value, a light colour's red, green, blue
    PANEL_FLAG,     // an integer 0 or 1 the panel edits, sent as a float
    SCENE_POINT,    // a position (the eye, the light): x, y, z, sent with w = 1
    MATERIAL_VALUE, // a member of the material drawn: the panel's, or a face's own colour's
    MESH_MATRIX,    // an OpenGL matrix taken with the mesh transform on the stack
    CAMERA_MATRIX,  // an OpenGL matrix taken under the camera transform alone
    SKY_CUBE_MAP,   // a sampler of the sky's cube map, on texture unit 0
};

struct ParameterValue {
    ParameterSource source = PANEL_FLOATS;
    const float* floats = nullptr;              // PANEL_FLOATS, SCENE_POINT
    const int32_t* flag = nullptr;              // PANEL_FLAG
    size_t materialMember = 0;                  // MATERIAL_VALUE: offsetof(Material, ...)
    CGGLenum matrix = CG_GL_MODELVIEW_MATRIX;   // the two matrix sources: which matrix,
    CGGLenum transform = CG_GL_MATRIX_IDENTITY; // and how it is transformed
};

// The ways the table names a value.
constexpr ParameterValue panelFloats(const float* floats)
{
    return {PANEL_FLOATS, floats, nullptr, 0, CG_GL_MODELVIEW_MATRIX, CG_GL_MATRIX_IDENTITY};
}
constexpr ParameterValue panelFlag(const int32_t* flag)
{
    return {PANEL_FLAG, nullptr, flag, 0, CG_GL_MODELVIEW_MATRIX, CG_GL_MATRIX_IDENTITY};
}
constexpr ParameterValue scenePoint(const float* xyz)
{
    return {SCENE_POINT, xyz, nullptr, 0, CG_GL_MODELVIEW_MATRIX, CG_GL_MATRIX_IDENTITY};
}
constexpr ParameterValue materialValue(size_t member)
{
    return {MATERIAL_VALUE, nullptr, nullptr, member, CG_GL_MODELVIEW_MATRIX, CG_GL_MATRIX_IDENTITY};
}
constexpr ParameterValue meshMatrix(CGGLenum matrix, CGGLenum transform)
{
    return {MESH_MATRIX, nullptr, nullptr, 0, matrix, transform};
}
constexpr ParameterValue cameraMatrix(CGGLenum matrix, CGGLenum transform)
{
    return {CAMERA_MATRIX, nullptr, nullptr, 0, matrix, transform};
}
constexpr ParameterValue skyCubeMap()
{
    return {SKY_CUBE_MAP, nullptr, nullptr, 0, CG_GL_MODELVIEW_MATRIX, CG_GL_MATRIX_IDENTITY};
}

// One row of the table.
struct ShaderParameter {
    const char* name;
    const char* type; // as the file must declare it
    ParameterProgram program;
    int group;
    int uploadStep; // 1 up; 0 when not sent per draw
    bool required;
    ParameterValue value;
    CGparameter ShaderBindingsRecord::*handle;
};

// The table
extern const ShaderParameter SHADER_PARAMETERS[];
extern const int SHADER_PARAMETER_COUNT;
// Whether the programs must declare every required parameter of the table: so
// when the viewer is started without arguments. Started with a model or an
// option, a parameter the programs do not declare is not sent, so that an
// experiment of one's own declares only what it uses. Set by start-up.
extern bool wholeContractRequired;

// Values
// The floats `parameter` receives now into `out`, `drawn` standing for the
// material drawn; how many (1, 3 or 4), or 0 for a matrix or a sampler.
int parameterValue(const ShaderParameter& parameter, const Material& drawn, float out[4]);
// Whether the panel shows and edits the value (the panel material's included).
bool shownInPanel(const ShaderParameter& parameter);

// Lookup
enum ParameterLookup { PARAMETERS_FOUND, VERTEX_PARAMETER_MISSING, FRAGMENT_PARAMETER_MISSING };

// The outcome of the parameter check and the first parameter at fault.
struct ParameterCheck {
    ParameterLookup result = PARAMETERS_FOUND;
    const char* file = "";         // the program file that should declare it
    std::string name;              // empty when every parameter is usable
    std::string declaredType;      // as the file declares it; empty when it is not declared
    const char* expectedType = ""; // the type the viewer feeds it as
};

// Looks up every parameter in b's programs into its handle, group by group, and
// checks the type of each: stops after the first group with a parameter that is
// missing (and required, see wholeContractRequired) or of another type. Then
// the inputs (shader_inputs.h) a program declares must have their types too.
ParameterCheck lookUpShaderParameters(ShaderBindingsRecord& b);
// The line naming the parameter at fault and its file: both types when its type
// is wrong, or that it is not declared.
std::string describeParameterFault(const ParameterCheck& check);
// The console text for a failed check: during a reload the line naming the
// parameter and then "Unable to get program parameters from vertex shader" (or
// fragment); at start-up only the latter, ending in ", exiting..." (start-up
// names the parameter on the error stream first).
std::string describeParameterFailure(const ParameterCheck& check, bool atStartUp);
// Gives the sky's samplers of b's programs texture unit 0, where the sky cube
// leaves the cube map bound. After a successful lookup.
void bindSkySamplers(const ShaderBindingsRecord& b);
