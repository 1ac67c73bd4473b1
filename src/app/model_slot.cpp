// The model slot and its live reload.
#include "app/model_slot.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include <GL/freeglut.h>

#include "app/scene_state.h"
#include "io/file_stamp.h"
#include "mesh/mesh_prepare.h"
#include "mesh/model_import.h"

namespace {

// Milliseconds between looks at the file: a save is taken up 75 to 150 ms later.
const int CHECK_INTERVAL_MS = 75;

std::string modelPath;
int lastCheck = 0;
HoldStill<FileStamp> file; // settled: what was last read, good or not

// The user's own view of the model carried over a reload: turn, offset, flags
// and zoom relative to the fit.
void keepViewOf(const Mesh& old, Mesh& fresh)
{
    for (int i = 0; i < 16; i++)
        fresh.rotation[i] = old.rotation[i];
    fresh.translateX = old.translateX;
    fresh.translateY = old.translateY;
    fresh.showNormals = old.showNormals;
    fresh.filled = old.filled;
    fresh.smoothShading = old.smoothShading;
    fresh.useShaders = old.useShaders;
    const float zoom = old.scale / (1.5f / old.extent);
    if (std::isfinite(zoom) && zoom > 0) {
        const float fitted = fresh.scale;
        fresh.scale = fitted * zoom;
        fresh.previousScale = old.previousScale;
        scaleMeshNormals(fresh, fresh.scale / fitted);
    }
}

} // namespace

bool loadModelSlot(const char* path, std::string& why)
{
    Mesh& slot = meshes[MODEL_SLOT];
    if (!importModelFile(slot, path, why)) return false;
    slot.clampDrawnCentroid = true;
    modelPath = path;
    const char* slash = strrchr(path, '/');
    modelSlotLabel = slash ? slash + 1 : path;
    file = HoldStill<FileStamp>();
    file.settled = stampOf(path);
    return true;
}

void showModelSlot()
{
    currentMesh = &meshes[MODEL_SLOT];
    currentMeshIndex = MODEL_SLOT;
    meshListValue = MODEL_SLOT;
}

void reloadModelIfChanged()
{
    if (modelPath.empty()) return;
    const int now = glutGet(GLUT_ELAPSED_TIME);
    if (now - lastCheck < CHECK_INTERVAL_MS) return;
    lastCheck = now;
    const FileStamp stamp = stampOf(modelPath.c_str());
    // a program may be halfway through writing it: wait until it holds still
    if (!file.readNow(stamp)) return;

    Mesh fresh;
    std::string why;
    const bool ok = importModelFile(fresh, modelPath.c_str(), why);
    if (!file.readDone(ok, stamp, stampOf(modelPath.c_str()))) return;
    if (!ok) {
        fprintf(stderr, "meshshade: %s: %s; the last good model stays\n", modelPath.c_str(), why.c_str());
        return;
    }
    Mesh& slot = meshes[MODEL_SLOT];
    keepViewOf(slot, fresh);
    fresh.clampDrawnCentroid = true;
    slot = std::move(fresh);
    slot.rotationRef = slot.rotation;
    printf("Reloaded %s (%zu faces).\n", modelPath.c_str(), slot.faces.size());
}
