// The state report.
#include "app/state_report.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <GL/freeglut.h>

#include "app/scene_state.h"
#include "shading/shader_contract.h"

#if defined(__SANITIZE_ADDRESS__)
#define MESHSHADE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MESHSHADE_ASAN 1
#endif
#endif

#ifdef MESHSHADE_ASAN
// from the sanitizer runtime; GCC does not install its header
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

// Bytes the program holds on the heap, without what the allocator keeps in
// reserve. Under AddressSanitizer the resident size is mostly the sanitizer's
// own allocator, which keeps freed chunks in per-size regions, so a test that
// looks for growth needs this figure instead.
static long heapInUseKiB()
{
#ifdef MESHSHADE_ASAN
    return long(__sanitizer_get_current_allocated_bytes() / 1024);
#else
    const struct mallinfo2 info = mallinfo2();
    return long((info.uordblks + info.hblkhd) / 1024);
#endif
}

static void put(FILE* f, const char* name, const float* values, int count)
{
    fprintf(f, "%s", name);
    for (int i = 0; i < count; i++)
        fprintf(f, " %g", double(values[i]));
    fprintf(f, "\n");
}

void writeStateReportIfAsked()
{
    static const char* path = getenv("MESHSHADE_STATE_REPORT");
    static int lastWrite = -1000000;
    if (!path) return;
    const int now = glutGet(GLUT_ELAPSED_TIME);
    if (now - lastWrite < 1000) return;
    lastWrite = now;
    const std::string temporary = std::string(path) + ".tmp";
    FILE* f = fopen(temporary.c_str(), "w");
    if (!f) return;
    const Mesh& m = *currentMesh;
    fprintf(f, "mesh %d\nwindow %d %d\nprojection %d\nmode %d\n", int(currentMesh - meshes), windowWidth,
            windowHeight, perspectiveProjection, int(interactionMode));
    put(f, "eyePosition", eyePosition, 3);
    put(f, "viewDirection", viewDirection, 3);
    const float camera[4] = {eyeDistance, cameraRadius, cameraAzimuth, cameraElevation};
    put(f, "camera", camera, 4);
    const float trackball[4] = {trackballAngle, trackballAxis[0], trackballAxis[1], trackballAxis[2]};
    put(f, "trackball", trackball, 4);
    put(f, "lightPosition", light.position, 4);
    put(f, "lightAmbient", light.ambient, 4);
    put(f, "lightDiffuse", light.diffuse, 4);
    put(f, "lightSpecular", light.specular, 4);
    const float transform[4] = {m.scale, m.previousScale, m.translateX, m.translateY};
    put(f, "meshTransform", transform, 4);
    put(f, "meshRotation", m.rotation, 16);
    // what the programs are sent from the viewer's state, the panel's material for a face's own
    for (int i = 0; i < SHADER_PARAMETER_COUNT; i++) {
        float v[4];
        const int count = parameterValue(SHADER_PARAMETERS[i], material, v);
        if (count > 0) put(f, (std::string("shader:") + SHADER_PARAMETERS[i].name).c_str(), v, count);
    }
    if (!m.vertices.empty()) put(f, "firstVertexNormal", m.vertices[0].normal, 3);
    if (!m.faces.empty()) put(f, "firstFaceNormal", m.faces[0].normal, 3);
    fprintf(f, "heapInUseKiB %ld\n", heapInUseKiB());
    fclose(f);
    rename(temporary.c_str(), path);
}
