// Projection, viewport and the viewing toggles: the reshape callback, the clamp
// that keeps the mesh inside the orthographic extents, and the "Viewing" submenu.
#pragma once

#include "app/start_values.h"
#include "mesh/mesh.h"

// Values of the "Viewing" submenu
enum {
    VIEW_TOGGLE_PROJECTION = 1,
    VIEW_TOGGLE_NORMALS = 2,
    VIEW_TOGGLE_FILLING = 3,
    VIEW_TOGGLE_SHADING = 4,
};

// Which offsets keepMeshInView clamps.
enum ClampAxes { CLAMP_X, CLAMP_X_AND_Y };

// A window and the orthographic base extents: what the view clamp and the pixel
// mappings of the drags (input/trackball.h) work from, as plain numbers.
struct ViewWindow {
    int width = 0; // pixels; no mapping or clamp for a zero size
    int height = 0;
    float left = START_ORTHO_LEFT; // orthographic base extents, world units
    float right = START_ORTHO_RIGHT;
    float bottom = START_ORTHO_BOTTOM;
    float top = START_ORTHO_TOP;
};

// GLUT reshape callback: records the size, builds the projection and viewport,
// clamps the mesh in x. A zero-size window keeps the previous projection.
void reshape(int width, int height);
// Keeps the mesh's scale * centroid + translation inside the window's
// orthographic extents (x widened by its aspect); for a mesh with
// clampDrawnCentroid, the translation itself, where its centroid is drawn.
// Nothing for a zero-size window.
void keepMeshInView(Mesh& mesh, const ViewWindow& window, ClampAxes axes);
// The same for currentMesh in the drawing window.
void keepMeshInView(ClampAxes axes);
// The drawing window's size (from the last reshape) and the orthographic extents.
ViewWindow drawingWindow();
// GLUT menu callback of the "Viewing" submenu.
void viewingMenu(int value);
