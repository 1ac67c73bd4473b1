// Mouse drags in the drawing window: the six left-button modes, the
// middle-button zoom, and the pixel mappings and trackball they use.
#pragma once

// GLUT mouse callback: anchors a drag on press, stops the trackball on release.
void mouse(int button, int state, int x, int y);
// GLUT motion callback: one drag step for the current mode or the zoom.
void motion(int x, int y);

// Pixel mappings; y arguments count from the bottom row.
float pixelToUnitX(int px);
float pixelToUnitY(int py);
float pixelToWorldX(int px);
float pixelToWorldY(int py);
// Trackball projection of a pixel onto a sphere of radius 2 (unit coordinates).
void projectToSphere(int px, int py, float out[3]);
// Angle between two vectors, degrees.
float angleBetween(const float a[3], const float b[3]);
