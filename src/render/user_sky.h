// The user's own sky: a folder of six face images, or one equirectangular
// (latitude-longitude) panorama, made into a cube map that the panel offers as a
// fourth sky beside the three sets. Loaded once at start-up for --sky.
#pragma once

#include <string>

struct Image;

// The sky's index in the panel's texture choice, after 0 Sky1, 1 Sky2, 2 Lobby.
constexpr int USER_SKY_INDEX = 3;
// Largest face edge of the user's sky in texels; larger faces are scaled down.
constexpr int MAX_USER_SKY_FACE = 2048;

// The sky's cube-map texture (0 until one is loaded) and its name in the panel:
// the path as the user gave it.
extern unsigned int userSkyTexture;
extern std::string userSkyLabel;

// Faces
// Finds the six face images of a folder, in the order +X, -X, +Y, -Y, +Z, -Z:
// files named posx/negx/posy/negy/posz/negz or right/left/top/bottom/front/back
// (any case, optionally after a prefix and "_", "-", "." or " "), with the
// extension of an image format the viewer reads. False, with one message naming
// the folder and what is missing or ambiguous, otherwise.
bool findSkyFaces(const std::string& folder, std::string paths[6], std::string& error);
// Resamples an equirectangular panorama into six `size` x `size` faces, top row
// first as a cube map looks them up. The panorama's centre looks along -Z (the
// camera's view at start), its right half turns towards +X, its top row is +Y.
void panoramaToCubeFaces(const Image& panorama, int size, Image faces[6]);
// Reads the sky at `path` (a folder of faces or a panorama file) into six square
// faces of one size, at most MAX_USER_SKY_FACE. False, with one message naming
// the path and the reason, when a file cannot be read, exceeds the image limits
// or does not decode, a face is not square, or the faces differ in size.
bool makeUserSkyFaces(const std::string& path, Image faces[6], std::string& error);

// Loading and choosing
// Loads the sky at `path` into the sky's own texture and makes it the current
// sky, also in the panel. Needs initImages and the drawing window's context.
// False, with one message naming the path and the reason in `error`, and nothing
// changed otherwise.
bool loadUserSky(const std::string& path, std::string& error);
// Makes the user's sky the current cube map again, freeing the set shown before.
// Does nothing when no user sky is loaded.
void showUserSky();
