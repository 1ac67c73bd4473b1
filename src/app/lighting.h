// Light 0 of the fixed-function pipeline: set up once at start-up, and given
// new values whenever the viewer's light changes (drags, resets, the panel).
#pragma once

// Enables light 0, gives it `light` in eye coordinates, selects smooth shading
// and marks the current mesh as smooth. Start-up only.
void initLighting();
// Gives light 0 its position (eye coordinates, under an identity modelview)
// and colours. Each argument points at 4 floats. Leaves the modelview selected.
void uploadLight(const float* position, const float* diffuse, const float* ambient, const float* specular);
