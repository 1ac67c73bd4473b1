// Cube-map face layout and face rendering: each texel's colour comes from its direction
// alone, so texels on either side of a shared edge see nearly the same scene point.
#include <cassert>

#include "cubemap_scenes.h"
#include "scene_math.h"

const char* sceneName(CubeScene scene)
{
    static const char* const names[SCENE_COUNT] = {"sky", "sky2", "nvlobby"};
    assert(scene >= 0 && scene < SCENE_COUNT && "scene out of range");
    return names[scene];
}

const char* faceSuffix(CubeFace face)
{
    static const char* const suffixes[FACE_COUNT] = {"posx", "negx", "posy", "negy", "posz", "negz"};
    assert(face >= 0 && face < FACE_COUNT && "face out of range");
    return suffixes[face];
}

Direction faceDirection(CubeFace face, float s, float t)
{
    // OpenGL picks the face by the major axis and reads (s, t) from the other two with
    // these signs; this is that lookup run backwards
    switch (face) {
    case FACE_POS_X:
        return Direction{1, -t, -s};
    case FACE_NEG_X:
        return Direction{-1, -t, s};
    case FACE_POS_Y:
        return Direction{s, 1, t};
    case FACE_NEG_Y:
        return Direction{s, -1, -t};
    case FACE_POS_Z:
        return Direction{s, -t, 1};
    case FACE_NEG_Z:
        return Direction{-s, -t, -1};
    default:
        assert(false && "face out of range");
        return Direction{};
    }
}

Rgb sceneColour(CubeScene scene, Direction d)
{
    switch (scene) {
    case SCENE_SKY:
        return daySkyColour(d);
    case SCENE_SKY2:
        return duskSkyColour(d);
    case SCENE_LOBBY:
        return lobbyColour(d);
    default:
        assert(false && "scene out of range");
        return Rgb{};
    }
}

static uint8_t toByte(float v)
{
    return uint8_t(clamp01(v) * 255.0f + 0.5f);
}

// Colours at the size + 1 texel corners of corner row `row` of a face.
static void sampleCornerRow(CubeScene scene, CubeFace face, int size, int row, std::vector<Rgb>& out)
{
    const float texel = 2.0f / float(size);
    float t = -1.0f + float(row) * texel;
    for (int col = 0; col <= size; col++)
        out[col] = sceneColour(scene, faceDirection(face, -1.0f + float(col) * texel, t));
}

std::vector<uint8_t> renderFace(CubeScene scene, CubeFace face, int size)
{
    assert(size > 0 && "face size must be positive");
    std::vector<uint8_t> pixels(size_t(size) * size * 3);
    // each texel averages its four corners; neighbours share corners, so this costs one
    // scene sample per texel, and the samples on a face's border lie exactly on the cube
    // edge that the next face shares
    std::vector<Rgb> above(size + 1), below(size + 1);
    sampleCornerRow(scene, face, size, 0, above);
    for (int row = 0; row < size; row++) {
        sampleCornerRow(scene, face, size, row + 1, below);
        for (int col = 0; col < size; col++) {
            Rgb sum = above[col] + above[col + 1] + below[col] + below[col + 1];
            uint8_t* out = &pixels[(size_t(row) * size + col) * 3];
            out[0] = toByte(sum.r * 0.25f);
            out[1] = toByte(sum.g * 0.25f);
            out[2] = toByte(sum.b * 0.25f);
        }
        above.swap(below);
    }
    return pixels;
}
