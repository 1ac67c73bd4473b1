// The panel's three sections, each a collapsing header: "Light and Material",
// "Mesh and Environment Texture" and "Shader Options". Their controls edit the
// viewer's variables directly and call controlCallback for their actions.
// Drawn by the panel every frame, in this order.
#pragma once

void lightAndMaterialSection();
void meshAndTextureSection();
void shaderOptionsSection();
