// Per-draw values of the shader parameters: camera, light, material, mixing
// values and the tracked matrices, sent before every shaded mesh draw.
#pragma once

// Sends every parameter value, the tracked matrices last. Called by drawMesh
// with the mesh transform on the modelview stack and both programs bound.
void setShaderParameters();
