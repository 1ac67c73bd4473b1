// Start-up's set-up of the three mesh slots.
#include "app/mesh_slots.h"

#include <cassert>

#include "app/scene_state.h"
#include "mesh/mesh_prepare.h"

void loadMeshSlot(int slot, const char* fileName)
{
    assert(slot >= 1 && slot < MESH_SLOT_COUNT && "file mesh slot out of range");
    currentMesh = &meshes[slot];
    if (loadMeshFile(*currentMesh, fileName)) currentMeshIndex = slot;
}

void initSphereSlot()
{
    setUpSphereMesh(meshes[0]);
}

void keepLoadedSlotCurrent()
{
    if (!currentMesh->loaded) currentMesh = &meshes[currentMeshIndex];
}
