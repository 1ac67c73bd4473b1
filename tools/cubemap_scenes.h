// The three environment scenes of the viewer's cube maps ("sky", "sky2", "nvlobby"),
// computed as a colour per view direction, and the cube-map face layout that turns a
// texel into a direction. Used by make_cubemaps and by its tests.
#pragma once
#include <cstdint>
#include <vector>

// Colour with components in 0..1 (values above 1 are clipped when a face is stored).
struct Rgb {
    float r = 0, g = 0, b = 0;
};

// A direction from the centre of the cube; need not be unit length.
struct Direction {
    float x = 0, y = 0, z = 0;
};

// Faces in the order the viewer loads them.
enum CubeFace { FACE_POS_X, FACE_NEG_X, FACE_POS_Y, FACE_NEG_Y, FACE_POS_Z, FACE_NEG_Z, FACE_COUNT };

enum CubeScene { SCENE_SKY, SCENE_SKY2, SCENE_LOBBY, SCENE_COUNT };

// Names
// Set name of a scene as used in file names: "sky", "sky2" or "nvlobby".
const char* sceneName(CubeScene scene);
// File-name suffix of a face: "posx", "negx", "posy", "negy", "posz" or "negz".
const char* faceSuffix(CubeFace face);

// Face layout
// Direction through face coordinates s (left to right) and t (row 0 to last row), both
// in -1..1, laid out as OpenGL looks up a cube map: t = -1 is the texture's row 0.
Direction faceDirection(CubeFace face, float s, float t);

// Scenes
// Colour seen along direction d in the given scene (world +y is up).
Rgb sceneColour(CubeScene scene, Direction d);
// Day sky: blue gradient, sun, clouds, fields below the horizon.
Rgb daySkyColour(Direction d);
// Dusk sky: orange-pink-purple gradient, low sun, dark coast and sea.
Rgb duskSkyColour(Direction d);
// Lobby: a 20 x 6 x 20 room around the eye, with windows, doors and ceiling lights.
Rgb lobbyColour(Direction d);

// Faces
// Renders a size x size face as packed 8-bit RGB, texture row 0 first, each texel the
// mean of the scene at its four corners. Same bytes on every call.
std::vector<uint8_t> renderFace(CubeScene scene, CubeFace face, int size);
