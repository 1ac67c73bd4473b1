// Pixel mappings and trackball geometry for the mouse drags. They read the
// window size and the orthographic extents from the viewer state; y arguments
// count rows from the bottom of the window. Not valid for a zero-size window.
#pragma once

// Window pixel to about [-1, 1].
float pixelToUnitX(int px);
float pixelToUnitY(int py);
// Window pixel to the orthographic base extents (world units); only differences are used.
float pixelToWorldX(int px);
float pixelToWorldY(int py);
// A pixel on a trackball sphere of radius 2 in unit coordinates; far outside the
// window the point falls onto the sphere's rim direction (length 1, z 0).
void projectToSphere(int px, int py, float out[3]);
// Angle between two vectors in degrees; 0 when either has no length.
float angleBetween(const float a[3], const float b[3]);
