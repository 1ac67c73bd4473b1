// Cube-map loading with DevIL and the sky cube.
#include "render/cube_map.h"

#include <cstdio>
#include <vector>

#include <GL/freeglut.h>
#include <IL/il.h>

#include "app/scene_state.h"
#include "io/data_files.h"

namespace {

struct CubeFace {
    const char* format;
    GLenum target;
};

const CubeFace CUBE_FACES[6] = {
    {"cubemaps/%s_posx.bmp", GL_TEXTURE_CUBE_MAP_POSITIVE_X},
    {"cubemaps/%s_negx.bmp", GL_TEXTURE_CUBE_MAP_NEGATIVE_X},
    {"cubemaps/%s_posy.bmp", GL_TEXTURE_CUBE_MAP_POSITIVE_Y},
    {"cubemaps/%s_negy.bmp", GL_TEXTURE_CUBE_MAP_NEGATIVE_Y},
    {"cubemaps/%s_posz.bmp", GL_TEXTURE_CUBE_MAP_POSITIVE_Z},
    {"cubemaps/%s_negz.bmp", GL_TEXTURE_CUBE_MAP_NEGATIVE_Z},
};

// One decoded face: 8-bit RGB, rows as the image library gives them.
struct FaceImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

// Size of a face whose file is missing, when no face of the set can be read.
constexpr int FALLBACK_FACE_SIZE = 64;
// Neutral grey for faces that cannot be read.
constexpr unsigned char MISSING_FACE_GREY = 128;

bool loadFace(const char* fileName, FaceImage& face)
{
    if (!ilLoadImage(fileName) || !ilConvertImage(IL_RGB, IL_UNSIGNED_BYTE)) return false;
    const ILubyte* pixels = ilGetData();
    int height = ilGetInteger(IL_IMAGE_HEIGHT);
    int width = ilGetInteger(IL_IMAGE_WIDTH);
    if (!pixels || width <= 0 || height <= 0) return false;
    face.width = width;
    face.height = height;
    face.rgb.assign(pixels, pixels + size_t(width) * height * 3);
    return true;
}

} // namespace

void loadCubeMap(const char* setName)
{
    // Read all six first: a face that is missing or of the wrong size is only
    // known to be wrong once the set's size is known.
    FaceImage faces[6];
    bool found[6] = {};
    char fileName[6][1024];
    int setSize = 0;
    for (int i = 0; i < 6; i++) {
        snprintf(fileName[i], sizeof fileName[i], CUBE_FACES[i].format, setName);
        found[i] = loadFace(dataFilePath(fileName[i]).c_str(), faces[i]);
        if (!found[i])
            fprintf(stderr, "Warning: cannot load cube-map face %s; it shows grey\n", fileName[i]);
        else if (setSize == 0)
            setSize = faces[i].width > faces[i].height ? faces[i].width : faces[i].height;
    }
    if (setSize == 0) setSize = FALLBACK_FACE_SIZE;

    if (cubeMapTexture) glDeleteTextures(1, &cubeMapTexture);
    glGenTextures(1, &cubeMapTexture);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubeMapTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1); // rows are tightly packed whatever the width

    for (int i = 0; i < 6; i++) {
        FaceImage& face = faces[i];
        if (!found[i]) {
            face.width = face.height = setSize;
            face.rgb.assign(size_t(setSize) * setSize * 3, MISSING_FACE_GREY);
        } else if (face.width != setSize || face.height != setSize) {
            // every face of a cube map must be square and of one size
            fprintf(stderr, "Warning: cube-map face %s is %d x %d, not %d x %d like its set; it is scaled\n",
                    fileName[i], face.width, face.height, setSize, setSize);
            std::vector<unsigned char> scaled(size_t(setSize) * setSize * 3);
            gluScaleImage(GL_RGB, face.width, face.height, GL_UNSIGNED_BYTE, face.rgb.data(), setSize,
                          setSize, GL_UNSIGNED_BYTE, scaled.data());
            face.width = face.height = setSize;
            face.rgb.swap(scaled);
        }
        gluBuild2DMipmaps(CUBE_FACES[i].target, GL_RGB8, face.width, face.height, GL_RGB, GL_UNSIGNED_BYTE,
                          face.rgb.data());
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

void drawSkyCube()
{
    static const GLfloat planeS[4] = {1, 0, 0, 0};
    static const GLfloat planeT[4] = {0, 1, 0, 0};
    static const GLfloat planeR[4] = {0, 0, 1, 0};

    glBindTexture(GL_TEXTURE_CUBE_MAP, cubeMapTexture);
    glEnable(GL_TEXTURE_CUBE_MAP);
    glTexGenfv(GL_S, GL_OBJECT_PLANE, planeS);
    glTexGenfv(GL_T, GL_OBJECT_PLANE, planeT);
    glTexGenfv(GL_R, GL_OBJECT_PLANE, planeR);
    // each cube vertex gets its own position, the direction from the centre
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glTexGeni(GL_R, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glEnable(GL_TEXTURE_GEN_R);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glutSolidCube(25.0);
    glPopMatrix();

    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_GEN_R);
    glDisable(GL_TEXTURE_CUBE_MAP);
}
