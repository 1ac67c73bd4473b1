// One step of each mouse drag. Two layers: the step functions the callbacks in
// mouse.cpp call with the pointer's pixel (x, its row yf counted from the
// bottom), which work on the viewer state and re-anchor the drag at (x, yf);
// and under them the same arithmetic on plain numbers (a window, a move, the
// thing moved), which keeps no state. The window must have a non-zero size.
#pragma once

#include "mesh/mesh.h"
#include "render/projection.h"

// On the viewer state
void translateMeshStep(int x, int yf);
// Sets the trackball increment that every frame applies to the mesh.
void rotateMeshStep(int x, int yf);
// Re-anchors x only: vertical movement plays no part.
void scaleMeshStep(int x);
// Both light steps give light 0 the new position.
void translateLightXYStep(int x, int yf);
void translateLightZStep(int x, int yf);
void rotateCameraStep(int x, int yf);
// The middle-button zoom: moves the eye along the view direction, staying
// strictly between 1.5 and 12.5 world units from the origin.
void zoomStep(int x, int yf);

// On plain numbers
// One drag event: from the anchor to the pointer, pixels, rows from the bottom.
struct DragMove {
    int fromX = 0;
    int fromY = 0;
    int toX = 0;
    int toY = 0;
};
// The camera as the orbit and the zoom change it.
struct OrbitCamera {
    float eye[3] = {0, 0, 0};
    float lookAt[3] = {0, 0, 0};
    float viewDirection[3] = {0, 0, 0}; // unit vector from the eye to lookAt
    float eyeDistance = 0;
    float radius = 0;    // orbit radius, world units
    float azimuth = 0;   // degrees
    float elevation = 0; // degrees
};
// Moves the mesh by the move in world units, kept in view in x and y.
void translateMesh(Mesh& mesh, const ViewWindow& window, const DragMove& move);
// The trackball increment of a move: `angle` degrees about `axis`; angle 0 when
// the two points are (nearly) parallel.
void trackballIncrement(const ViewWindow& window, const DragMove& move, float& angle, float axis[3]);
// Changes the scale by the horizontal move, within 0.00001 and 4 / extent; the
// normals of a mesh with geometry follow it.
void scaleMesh(Mesh& mesh, const ViewWindow& window, const DragMove& move);
// Moves a light position (x, y, z) by twice the move, within -6 and 6 per axis.
void translateLightXY(float position[3], const ViewWindow& window, const DragMove& move);
// Moves z by twice the vertical move, down toward the start-up viewer.
void translateLightZ(float position[3], const ViewWindow& window, const DragMove& move);
// Turns azimuth and elevation by the move and puts the eye on the orbit.
void orbitCamera(OrbitCamera& camera, const ViewWindow& window, const DragMove& move);
// Moves the eye along the view direction; a step that would leave the range is ignored whole.
void zoomCamera(OrbitCamera& camera, const ViewWindow& window, const DragMove& move);
