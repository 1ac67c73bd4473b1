// The one loader of the mesh slots.
#include "app/mesh_slots.h"

#include <cassert>
#include <cmath>

#include "app/scene_state.h"
#include "app/start_values.h"
#include "io/data_files.h"
#include "mesh/mesh_prepare.h"
#include "mesh/model_import.h"

namespace {

// Reads the file of `slot` into `mesh`: the model through the importer, a mesh
// file through the .m reader.
bool readSlotFile(int slot, Mesh& mesh, const char* fileName, std::string& why)
{
    if (slot == MODEL_SLOT) return importModelFile(mesh, fileName, why);
    if (loadMeshFile(mesh, dataFilePath(fileName).c_str())) return true;
    why = "it could not be read";
    return false;
}

// The view clamp keeps the user's model, and a mesh whose fitted centroid lies
// outside the view (never one of the shipped files), where its centroid is
// drawn: kept by scale * centroid, such a mesh would be clamped out of view for good.
void chooseViewClamp(int slot, Mesh& m)
{
    m.clampDrawnCentroid = slot == MODEL_SLOT || std::fabs(m.scale * m.centroid[0]) > START_ORTHO_TOP ||
                           std::fabs(m.scale * m.centroid[1]) > START_ORTHO_TOP;
}

// The user's own view of a mesh carried over a reload: turn, offset, flags and
// zoom relative to the fit.
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

bool loadMeshSlot(int slot, const char* fileName, std::string& why)
{
    assert(slot >= 1 && slot < MESH_SLOT_COUNT && "file mesh slot out of range");
    currentMesh = &meshes[slot];
    if (!readSlotFile(slot, meshes[slot], fileName, why)) return false;
    currentMeshIndex = slot;
    chooseViewClamp(slot, meshes[slot]);
    return true;
}

bool reloadMeshSlot(int slot, const char* fileName, std::string& why)
{
    assert(slot >= 1 && slot < MESH_SLOT_COUNT && "file mesh slot out of range");
    Mesh fresh;
    if (!readSlotFile(slot, fresh, fileName, why)) return false;
    chooseViewClamp(slot, fresh);
    Mesh& shown = meshes[slot];
    keepViewOf(shown, fresh);
    shown = std::move(fresh);
    shown.rotationRef = shown.rotation;
    return true;
}

void initSphereSlot()
{
    setUpSphereMesh(meshes[0]);
}

void keepLoadedSlotCurrent()
{
    if (!currentMesh->loaded) currentMesh = &meshes[currentMeshIndex];
}
