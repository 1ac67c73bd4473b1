// The environment cube map: loading a set of six images into a cube-map texture,
// and the sky cube drawn with it around the scene in every frame.
#pragma once

struct Image;

// Loads "cubemaps/<setName>_{posx,negx,posy,negy,posz,negz}.bmp" into a new
// cube-map texture and makes it current, deleting the previous one (never the
// user's sky). A face that cannot be read, or is not square, is reported on
// stderr with the reason and shows neutral grey; a square face of another size
// than the set's is scaled. Needs initImages and the drawing window's context.
void loadCubeMap(const char* setName);
// Uploads six square faces of one size, in the order +X, -X, +Y, -Y, +Z, -Z,
// each with its mipmaps, into the cube-map texture bound on the current unit.
void uploadCubeFaces(const Image faces[6]);
// Draws the sky cube (edge 25, world origin) with the current cube map, leaving
// the texture bound on unit 0 for the fragment program.
void drawSkyCube();
