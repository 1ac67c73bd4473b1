// The panel's sections, each a collapsing header: "Light and Material",
// "Mesh and Environment Texture", "Shader Options" and "Your Parameters". Their controls edit the
// viewer's variables directly and call controlCallback for their actions.
// Drawn by the panel every frame, in this order.
#pragma once

void lightAndMaterialSection();
void meshAndTextureSection();
void shaderOptionsSection();
// "Your Parameters", at the bottom, while the programs have parameters of their
// own or use time. Returns the pixels its list would need beyond those it
// has, when it scrolls; 0 when it shows whole.
float yourParametersSection();
