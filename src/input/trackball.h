// Pixel mappings and trackball geometry for the mouse drags. Each takes the
// window it maps from (render/projection.h); the one-argument forms use the
// drawing window. y arguments count rows from the bottom of the window. Not
// valid for a zero-size window.
#pragma once

#include "render/projection.h"

// Window pixel to about [-1, 1].
float pixelToUnitX(const ViewWindow& window, int px);
float pixelToUnitY(const ViewWindow& window, int py);
float pixelToUnitX(int px);
float pixelToUnitY(int py);
// Window pixel to the orthographic base extents (world units); only differences are used.
float pixelToWorldX(const ViewWindow& window, int px);
float pixelToWorldY(const ViewWindow& window, int py);
float pixelToWorldX(int px);
float pixelToWorldY(int py);
// A pixel on a trackball sphere of radius 2 in unit coordinates; far outside the
// window the point falls onto the sphere's rim direction (length 1, z 0).
void projectToSphere(const ViewWindow& window, int px, int py, float out[3]);
void projectToSphere(int px, int py, float out[3]);
// Angle between two vectors in degrees; 0 when either has no length.
float angleBetween(const float a[3], const float b[3]);
