// The model slot and its live reload.
#include "app/model_slot.h"

#include <cstdio>
#include <cstring>

#include "app/mesh_slots.h"
#include "app/scene_state.h"
#include "io/file_watch.h"

namespace {

std::string modelPath;
FileWatch modelFile;
std::string lastFailure; // why the last read of the file failed

bool readModelAgain()
{
    return reloadMeshSlot(MODEL_SLOT, modelPath.c_str(), lastFailure);
}

void tellModelRead(bool reloaded)
{
    if (!reloaded) {
        fprintf(stderr, "meshshade: %s: %s; the last good model stays\n", modelPath.c_str(),
                lastFailure.c_str());
        return;
    }
    printf("Reloaded %s (%zu faces).\n", modelPath.c_str(), meshes[MODEL_SLOT].faces.size());
}

} // namespace

bool loadModelSlot(const char* path, std::string& why)
{
    if (!loadMeshSlot(MODEL_SLOT, path, why)) return false;
    modelPath = path;
    const char* slash = strrchr(path, '/');
    modelSlotLabel = slash ? slash + 1 : path;
    modelFile.files = [] { return std::vector<std::string>{modelPath}; };
    modelFile.reload = readModelAgain;
    modelFile.tell = tellModelRead;
    watchFiles(modelFile);
    return true;
}

void showModelSlot()
{
    currentMesh = &meshes[MODEL_SLOT];
    currentMeshIndex = MODEL_SLOT;
    meshListValue = MODEL_SLOT;
}
