// The environment cube map: loading a set of six images into a cube-map texture,
// and the sky cube drawn with it around the scene in every frame.
#pragma once

// Loads "cubemaps/<setName>_{posx,negx,posy,negy,posz,negz}.bmp" into a new
// cube-map texture and makes it current, deleting the previous one. A face that
// cannot be loaded is reported on stderr and shows neutral grey. Needs ilInit
// and the drawing window's context.
void loadCubeMap(const char* setName);
// Draws the sky cube (edge 25, world origin) with the current cube map, leaving
// the texture bound on unit 0 for the fragment program.
void drawSkyCube();
