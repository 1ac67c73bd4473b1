// The two resets of the main menu: everything of the current mesh and the
// light, or the light alone. Neither posts a redisplay; the menu does.
#pragma once

// Prints "Resetting all...", gives the current mesh an identity rotation, its
// fitted scale (normals rescaled along) and no translation, and restores the light.
void resetAll();
// Prints "Resetting the Light..." and restores the light's position and colours.
void resetLight();
