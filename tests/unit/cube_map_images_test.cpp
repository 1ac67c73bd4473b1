// The generated cube-map faces: laid out the way OpenGL looks a cube map up, seamless
// across every shared edge, stored upright so the image loader hands texture row 0 over first,
// and three scenes that look clearly different.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "bmp_writer.h"
#include "cubemap_scenes.h"
#include "io/image_file.h"

// A point on a face: face coordinates s, t in -1..1 (t = -1 is texture row 0).
struct FacePoint {
    int face = 0;
    float s = 0, t = 0;
};

// OpenGL's cube-map lookup: the major axis of the direction picks the face, the other two
// components, with the signs of OpenGL's face table, give the face coordinates.
static FacePoint lookUpCubeMap(Direction d)
{
    float ax = std::fabs(d.x), ay = std::fabs(d.y), az = std::fabs(d.z);
    if (ax >= ay && ax >= az)
        return d.x > 0 ? FacePoint{FACE_POS_X, -d.z / ax, -d.y / ax}
                       : FacePoint{FACE_NEG_X, d.z / ax, -d.y / ax};
    if (ay >= az)
        return d.y > 0 ? FacePoint{FACE_POS_Y, d.x / ay, d.z / ay}
                       : FacePoint{FACE_NEG_Y, d.x / ay, -d.z / ay};
    return d.z > 0 ? FacePoint{FACE_POS_Z, d.x / az, -d.y / az} : FacePoint{FACE_NEG_Z, -d.x / az, -d.y / az};
}

// The six faces of one scene at a small size, and a texel's colour in 0..255.
struct FaceSet {
    int size = 0;
    std::vector<std::vector<uint8_t>> faces;
    const uint8_t* texel(int face, int col, int row) const
    {
        return &faces[face][(size_t(row) * size + col) * 3];
    }
};

static FaceSet renderSet(CubeScene scene, int size)
{
    FaceSet set;
    set.size = size;
    for (int face = 0; face < FACE_COUNT; face++)
        set.faces.push_back(renderFace(scene, CubeFace(face), size));
    return set;
}

static float colourDistance(const uint8_t* a, const uint8_t* b)
{
    return (std::fabs(float(a[0]) - b[0]) + std::fabs(float(a[1]) - b[1]) + std::fabs(float(a[2]) - b[2])) /
           3.0f;
}

static int texelIndex(float coordinate, int size)
{
    int i = int(std::floor((coordinate + 1.0f) * 0.5f * float(size)));
    return i < 0 ? 0 : (i >= size ? size - 1 : i);
}

// Mean colour of a face in 0..1.
static void meanColour(const std::vector<uint8_t>& pixels, float mean[3])
{
    double sum[3] = {0, 0, 0};
    for (size_t i = 0; i < pixels.size(); i++)
        sum[i % 3] += pixels[i];
    for (int c = 0; c < 3; c++)
        mean[c] = float(sum[c] / (pixels.size() / 3) / 255.0);
}

TEST(CubeMapImages, everyTexelDirectionLeadsBackToItsOwnFaceAndTexel)
{
    const int size = 16;
    for (int face = 0; face < FACE_COUNT; face++)
        for (int row = 0; row < size; row++)
            for (int col = 0; col < size; col++) {
                float s = -1.0f + (col + 0.5f) * 2.0f / size, t = -1.0f + (row + 0.5f) * 2.0f / size;
                FacePoint p = lookUpCubeMap(faceDirection(CubeFace(face), s, t));
                ASSERT_EQ(p.face, face) << faceSuffix(CubeFace(face)) << " texel " << col << "," << row;
                EXPECT_NEAR(p.s, s, 1e-5f) << faceSuffix(CubeFace(face));
                EXPECT_NEAR(p.t, t, 1e-5f) << faceSuffix(CubeFace(face));
            }
}

// Along each face edge, the texels on the two sides of the cube edge must differ no more
// than neighbouring texels inside a face do: a seam, a mirrored or upside-down face
// would make the step across the edge stand out.
TEST(CubeMapImages, adjacentFacesMeetWithoutSeams)
{
    const int size = 64;
    const float texel = 2.0f / size;
    for (int scene = 0; scene < SCENE_COUNT; scene++) {
        FaceSet set = renderSet(CubeScene(scene), size);
        for (int face = 0; face < FACE_COUNT; face++)
            for (int edge = 0; edge < 4; edge++) {
                float across = 0, inside = 0;
                for (int k = 0; k < size; k++) {
                    float along = -1.0f + (k + 0.5f) * texel;
                    // edge 0: s = -1, 1: s = +1, 2: t = -1 (row 0), 3: t = +1
                    float sign = (edge % 2) ? 1.0f : -1.0f;
                    bool sEdge = edge < 2;
                    int borderIndex = sign > 0 ? size - 1 : 0, innerIndex = sign > 0 ? size - 2 : 1;
                    int col = sEdge ? borderIndex : k, row = sEdge ? k : borderIndex;
                    int innerCol = sEdge ? innerIndex : k, innerRow = sEdge ? k : innerIndex;
                    // half a texel beyond the edge lies on the neighbouring face
                    float outside = sign * (1.0f + 0.5f * texel);
                    Direction d = sEdge ? faceDirection(CubeFace(face), outside, along)
                                        : faceDirection(CubeFace(face), along, outside);
                    FacePoint p = lookUpCubeMap(d);
                    ASSERT_NE(p.face, face);
                    const uint8_t* here = set.texel(face, col, row);
                    across +=
                        colourDistance(here, set.texel(p.face, texelIndex(p.s, size), texelIndex(p.t, size)));
                    inside += colourDistance(here, set.texel(face, innerCol, innerRow));
                }
                across /= size;
                inside /= size;
                EXPECT_LE(across, 1.5f * inside + 2.0f)
                    << sceneName(CubeScene(scene)) << "_" << faceSuffix(CubeFace(face)) << " edge " << edge;
            }
    }
}

TEST(CubeMapImages, imageLoaderHandsBackRowsInRenderedOrder)
{
    initImages();
    std::string path =
        (std::filesystem::temp_directory_path() / ("cube_face_" + std::to_string(getpid()) + ".bmp"))
            .string();
    // 30 pixels wide needs row padding, 32 does not
    for (int size : {32, 30}) {
        std::vector<uint8_t> pixels = renderFace(SCENE_SKY, FACE_POS_X, size);
        std::vector<uint8_t> file = encodeBmp(pixels, size, size);
        FILE* out = fopen(path.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        ASSERT_EQ(fwrite(file.data(), 1, file.size(), out), file.size());
        fclose(out);

        Image image;
        std::string why;
        ASSERT_TRUE(readImageFile(path.c_str(), image, why)) << why;
        ASSERT_EQ(image.width, size);
        ASSERT_EQ(image.height, size);
        const std::vector<uint8_t>& got = image.rgb;
        EXPECT_EQ(got, pixels) << "size " << size;
        // row 0 of the +X face looks up at the sky, the last row down at the ground
        float top[3], bottom[3];
        meanColour(std::vector<uint8_t>(got.begin(), got.begin() + size * 3), top);
        meanColour(std::vector<uint8_t>(got.end() - size * 3, got.end()), bottom);
        EXPECT_GT(top[2], bottom[2] + 0.2f);
    }
    std::filesystem::remove(path);
}

TEST(CubeMapImages, scenesShowWhichSetIsLoaded)
{
    const int size = 32;
    float mean[SCENE_COUNT][3] = {};
    float up[SCENE_COUNT][3], down[SCENE_COUNT][3], horizon[SCENE_COUNT][3] = {};
    for (int scene = 0; scene < SCENE_COUNT; scene++) {
        FaceSet set = renderSet(CubeScene(scene), size);
        for (int face = 0; face < FACE_COUNT; face++) {
            float m[3];
            meanColour(set.faces[face], m);
            for (int c = 0; c < 3; c++)
                mean[scene][c] += m[c] / FACE_COUNT;
        }
        // the band just above the horizon: the rows above the middle of the side faces
        for (int face : {FACE_POS_X, FACE_NEG_X, FACE_POS_Z, FACE_NEG_Z}) {
            const std::vector<uint8_t>& f = set.faces[face];
            float m[3];
            meanColour(
                std::vector<uint8_t>(f.begin() + (size / 2 - 3) * size * 3, f.begin() + size / 2 * size * 3),
                m);
            for (int c = 0; c < 3; c++)
                horizon[scene][c] += m[c] / 4;
        }
        meanColour(set.faces[FACE_POS_Y], up[scene]);
        meanColour(set.faces[FACE_NEG_Y], down[scene]);
    }
    for (int a = 0; a < SCENE_COUNT; a++)
        for (int b = a + 1; b < SCENE_COUNT; b++) {
            float d = std::fabs(mean[a][0] - mean[b][0]) + std::fabs(mean[a][1] - mean[b][1]) +
                      std::fabs(mean[a][2] - mean[b][2]);
            EXPECT_GT(d, 0.15f) << sceneName(CubeScene(a)) << " vs " << sceneName(CubeScene(b));
        }
    // day: blue overhead, green-brown fields below
    EXPECT_GT(up[SCENE_SKY][2], up[SCENE_SKY][0] + 0.2f);
    EXPECT_GT(down[SCENE_SKY][1], down[SCENE_SKY][2]);
    // dusk: an orange horizon where the day's is pale blue, dark below
    EXPECT_GT(horizon[SCENE_SKY2][0], horizon[SCENE_SKY2][2] + 0.3f);
    EXPECT_GT(horizon[SCENE_SKY][2], horizon[SCENE_SKY][0]);
    EXPECT_LT(down[SCENE_SKY2][0] + down[SCENE_SKY2][1] + down[SCENE_SKY2][2], 0.5f);
    // lobby: a light ceiling with bright panels above a chequered floor
    EXPECT_GT(up[SCENE_LOBBY][0] + up[SCENE_LOBBY][1] + up[SCENE_LOBBY][2], 2.0f);
}

TEST(CubeMapImages, renderingIsRepeatable)
{
    for (int scene = 0; scene < SCENE_COUNT; scene++)
        for (int face = 0; face < FACE_COUNT; face++)
            EXPECT_EQ(renderFace(CubeScene(scene), CubeFace(face), 24),
                      renderFace(CubeScene(scene), CubeFace(face), 24))
                << sceneName(CubeScene(scene)) << "_" << faceSuffix(CubeFace(face));
}
