// Cube-map loading through the image module, and the sky cube.
#include "render/cube_map.h"

#include <cstdio>
#include <string>
#include <vector>

#include <GL/freeglut.h>

#include "app/scene_state.h"
#include "io/data_files.h"
#include "io/image_file.h"
#include "render/user_sky.h"

namespace {

const char* const FACE_FILE_FORMATS[6] = {
    "cubemaps/%s_posx.bmp", "cubemaps/%s_negx.bmp", "cubemaps/%s_posy.bmp",
    "cubemaps/%s_negy.bmp", "cubemaps/%s_posz.bmp", "cubemaps/%s_negz.bmp",
};

// Size of a face whose file is missing, when no face of the set can be read.
constexpr int FALLBACK_FACE_SIZE = 64;
// Neutral grey for faces that cannot be read.
constexpr unsigned char MISSING_FACE_GREY = 128;

} // namespace

void uploadCubeFaces(const Image faces[6])
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1); // rows are tightly packed whatever the width
    for (int i = 0; i < 6; i++)
        gluBuild2DMipmaps(GLenum(GL_TEXTURE_CUBE_MAP_POSITIVE_X + i), GL_RGB8, faces[i].width,
                          faces[i].height, GL_RGB, GL_UNSIGNED_BYTE, faces[i].rgb.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

void loadCubeMap(const char* setName)
{
    // Read all six first: a face that is missing or of the wrong size is only
    // known to be wrong once the set's size is known.
    Image faces[6];
    bool found[6] = {};
    char fileName[6][1024];
    int setSize = 0;
    for (int i = 0; i < 6; i++) {
        snprintf(fileName[i], sizeof fileName[i], FACE_FILE_FORMATS[i], setName);
        std::string why;
        found[i] = readImageFile(dataFilePath(fileName[i]).c_str(), faces[i], why);
        if (found[i] && faces[i].width != faces[i].height) {
            char text[96];
            snprintf(text, sizeof text, "is not square (%d x %d pixels)", faces[i].width, faces[i].height);
            why = text;
            found[i] = false;
        }
        if (!found[i])
            fprintf(stderr, "Warning: cannot load cube-map face %s: %s; it shows grey\n", fileName[i],
                    why.c_str());
        else if (setSize == 0)
            setSize = faces[i].width;
    }
    if (setSize == 0) setSize = FALLBACK_FACE_SIZE;

    for (int i = 0; i < 6; i++) {
        Image& face = faces[i];
        if (!found[i]) {
            face.width = face.height = setSize;
            face.rgb.assign(size_t(setSize) * setSize * 3, MISSING_FACE_GREY);
        } else if (face.width != setSize) {
            // every face of a cube map must be of one size
            fprintf(stderr, "Warning: cube-map face %s is %d x %d, not %d x %d like its set; it is scaled\n",
                    fileName[i], face.width, face.height, setSize, setSize);
            std::vector<unsigned char> scaled(size_t(setSize) * setSize * 3);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glPixelStorei(GL_PACK_ALIGNMENT, 1);
            gluScaleImage(GL_RGB, face.width, face.height, GL_UNSIGNED_BYTE, face.rgb.data(), setSize,
                          setSize, GL_UNSIGNED_BYTE, scaled.data());
            glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
            glPixelStorei(GL_PACK_ALIGNMENT, 4);
            face.width = face.height = setSize;
            face.rgb.swap(scaled);
        }
    }

    // the user's sky keeps its texture for when it is chosen again
    if (cubeMapTexture && cubeMapTexture != userSkyTexture) glDeleteTextures(1, &cubeMapTexture);
    glGenTextures(1, &cubeMapTexture);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubeMapTexture);
    uploadCubeFaces(faces);
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
