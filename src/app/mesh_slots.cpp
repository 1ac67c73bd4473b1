// Start-up's set-up of the three mesh slots.
#include "app/mesh_slots.h"

#include <cassert>
#include <cmath>

#include "app/scene_state.h"
#include "app/start_values.h"
#include "io/data_files.h"
#include "mesh/mesh_prepare.h"

void loadMeshSlot(int slot, const char* fileName)
{
    assert(slot >= 1 && slot < MESH_SLOT_COUNT && "file mesh slot out of range");
    currentMesh = &meshes[slot];
    if (!loadMeshFile(*currentMesh, dataFilePath(fileName).c_str())) return;
    currentMeshIndex = slot;
    // A mesh whose fitted centroid lies outside the view (never one of the
    // shipped files) would be clamped out of view for good: keep where its
    // centroid is drawn in view instead.
    Mesh& m = *currentMesh;
    m.clampDrawnCentroid = std::fabs(m.scale * m.centroid[0]) > START_ORTHO_TOP ||
                           std::fabs(m.scale * m.centroid[1]) > START_ORTHO_TOP;
}

void initSphereSlot()
{
    setUpSphereMesh(meshes[0]);
}

void keepLoadedSlotCurrent()
{
    if (!currentMesh->loaded) currentMesh = &meshes[currentMeshIndex];
}
