// Per-draw values of the shader parameters: camera, light, material, mixing
// values and the tracked matrices, sent before every shaded mesh draw in the
// order of the parameter table's upload steps (shader_contract.inc).
#pragma once

#include "mesh/mesh.h"

// Sends every parameter value, the tracked matrices last. Called by drawMesh
// with the mesh transform on the modelview stack and both programs bound.
void setShaderParameters();
// Sends a material's specular, diffuse and ambient colours (Ks, Kd, Ka) and its
// shininess: the panel's material per draw, a face's own before that face.
void setMaterialParameters(const Material& m);
// Sends the matrices taken under the camera transform alone (modelViewEyeI).
// Called by the frame right after the camera is placed on an identity
// modelview matrix, in every frame, with or without the programs.
void setCameraParameters();
