// Projection, viewport and the viewing toggles: the reshape callback, the clamp
// that keeps the mesh inside the orthographic extents, and the "Viewing" submenu.
#pragma once

// Values of the "Viewing" submenu
enum {
    VIEW_TOGGLE_PROJECTION = 1,
    VIEW_TOGGLE_NORMALS = 2,
    VIEW_TOGGLE_FILLING = 3,
    VIEW_TOGGLE_SHADING = 4,
};

// Which offsets keepMeshInView clamps.
enum ClampAxes { CLAMP_X, CLAMP_X_AND_Y };

// GLUT reshape callback: records the size, builds the projection and viewport,
// clamps the mesh in x. A zero-size window keeps the previous projection.
void reshape(int width, int height);
// Keeps currentMesh's scale * centroid + translation inside the orthographic
// extents (x widened by the window's aspect).
void keepMeshInView(ClampAxes axes);
// GLUT menu callback of the "Viewing" submenu.
void viewingMenu(int value);
