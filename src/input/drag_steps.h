// One step of each mouse drag, on plain pixel numbers: the callbacks in mouse.cpp
// unpack the event and call these. x is the pointer column, yf its row counted
// from the bottom; each step re-anchors the drag at (x, yf). The window must
// have a non-zero size.
#pragma once

void translateMeshStep(int x, int yf);
// Sets the trackball increment that every frame applies to the mesh.
void rotateMeshStep(int x, int yf);
void scaleMeshStep(int x);
void translateLightXYStep(int x, int yf);
void translateLightZStep(int x, int yf);
void rotateCameraStep(int x, int yf);
// The middle-button zoom: moves the eye along the view direction, staying
// strictly between 1.5 and 12.5 world units from the origin.
void zoomStep(int x, int yf);
