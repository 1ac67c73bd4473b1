// Drawing one frame of the drawing window: camera, light, sky, and the current
// mesh under its own transform, with or without the shader programs.
#pragma once

#include "app/viewer_records.h"
#include "mesh/mesh.h"

// The GLUT display callback.
void display();
// Draws currentMesh under translation, rotation (folding in the trackball
// increment), scale and centring. Called by display only.
void drawMesh();
// Draws one face of the current mesh, filled or outlined, and its normal line.
void drawFace(const Face& face);
// The built-in sphere of slot 0: radius 0.5, solid or wire.
void drawSphere();
// Hands a material to the fixed-function pipeline for front faces.
void applyMaterial(const Material& material);
