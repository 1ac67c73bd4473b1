// The values every shaded draw sends to the programs, in the order of the
// parameter table's upload steps.
#include "shading/shader_parameters.h"

#include <algorithm>
#include <vector>

#include "app/scene_state.h"
#include "shading/cg_runtime.h"
#include "shading/shader_contract.h"

namespace {

// The parameters sent per draw, in the order of their upload steps.
const std::vector<const ShaderParameter*>& drawUploads()
{
    static const std::vector<const ShaderParameter*> uploads = [] {
        std::vector<const ShaderParameter*> rows;
        for (int i = 0; i < SHADER_PARAMETER_COUNT; i++)
            if (SHADER_PARAMETERS[i].uploadStep > 0) rows.push_back(&SHADER_PARAMETERS[i]);
        std::sort(rows.begin(), rows.end(), [](const ShaderParameter* a, const ShaderParameter* b) {
            return a->uploadStep < b->uploadStep;
        });
        return rows;
    }();
    return uploads;
}

// Sends one parameter's value, `drawn` standing for the material drawn.
void send(const ShaderParameter& parameter, const Material& drawn)
{
    const CGparameter handle = ShaderBindings.*parameter.handle;
    // a parameter the programs need not declare and do not is not sent
    if (!handle) return;
    const ParameterValue& value = parameter.value;
    if (value.source == MESH_MATRIX || value.source == CAMERA_MATRIX) {
        cgGLSetStateMatrixParameter(handle, value.matrix, value.transform);
        return;
    }
    float v[4];
    switch (parameterValue(parameter, drawn, v)) {
    case 1:
        cgGLSetParameter1f(handle, v[0]);
        break;
    case 3:
        cgGLSetParameter3f(handle, v[0], v[1], v[2]);
        break;
    case 4:
        cgGLSetParameter4f(handle, v[0], v[1], v[2], v[3]);
        break;
    default:
        break;
    }
}

} // namespace

void setShaderParameters()
{
    // the tracked matrices come last, so they hold the whole mesh transform
    for (const ShaderParameter* parameter : drawUploads())
        send(*parameter, material);
}

void setMaterialParameters(const Material& m)
{
    for (const ShaderParameter* parameter : drawUploads())
        if (parameter->value.source == MATERIAL_VALUE) send(*parameter, m);
}

void setCameraParameters()
{
    for (int i = 0; i < SHADER_PARAMETER_COUNT; i++)
        if (SHADER_PARAMETERS[i].value.source == CAMERA_MATRIX) send(SHADER_PARAMETERS[i], material);
}
