// The values every shaded draw sends to the programs.
#include "shading/shader_parameters.h"

#include "app/scene_state.h"
#include "shading/cg_runtime.h"
#include "shading/shader_setup.h"

void setShaderParameters()
{
    const ShaderBindingsRecord& b = ShaderBindings;
    cgGLSetParameter4f(b.eyePosition, eyePosition[0], eyePosition[1], eyePosition[2], 1.0f);
    cgGLSetParameter1f(b.etaRatio, shading.etaRatio);
    cgGLSetParameter1f(b.reflectivity, shading.reflectivity);
    cgGLSetParameter1f(b.matRatio, shading.matRatio);
    cgGLSetParameter1f(b.shadowReduction, float(shading.shadowReduction));
    cgGLSetParameter1f(b.dw, shading.dw);
    cgGLSetParameter1f(b.aw, shading.aw);
    cgGLSetParameter1f(b.weight, shading.weight);
    // w is 1 for the programs although the fixed-function light is directional
    cgGLSetParameter4f(b.lightPosition, light.position[0], light.position[1], light.position[2], 1.0f);
    cgGLSetParameter3f(b.globalAmbient, light.ambient[0], light.ambient[1], light.ambient[2]);
    cgGLSetParameter3f(b.specColor, light.specular[0], light.specular[1], light.specular[2]);
    cgGLSetParameter3f(b.diffColor, light.diffuse[0], light.diffuse[1], light.diffuse[2]);
    setMaterialParameters(material);
    // last, so they hold the whole mesh transform
    cgGLSetStateMatrixParameter(b.modelViewProj, CG_GL_MODELVIEW_PROJECTION_MATRIX, CG_GL_MATRIX_IDENTITY);
    cgGLSetStateMatrixParameter(b.modelView, CG_GL_MODELVIEW_MATRIX, CG_GL_MATRIX_IDENTITY);
    cgGLSetStateMatrixParameter(b.modelViewIT, CG_GL_MODELVIEW_MATRIX, CG_GL_MATRIX_INVERSE_TRANSPOSE);
}

void setMaterialParameters(const Material& m)
{
    const ShaderBindingsRecord& b = ShaderBindings;
    cgGLSetParameter3f(b.Ks, m.specular[0], m.specular[1], m.specular[2]);
    cgGLSetParameter3f(b.Kd, m.diffuse[0], m.diffuse[1], m.diffuse[2]);
    cgGLSetParameter3f(b.Ka, m.ambient[0], m.ambient[1], m.ambient[2]);
    cgGLSetParameter1f(b.shininess, m.shininess);
}
