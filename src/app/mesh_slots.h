// The viewer's three mesh slots set up at start-up: the built-in sphere in slot
// 0 and the two mesh files in slots 1 and 2, with currentMesh aimed as start-up
// leaves it. The work on each mesh is mesh_prepare's.
#pragma once

// Sets up file slot 1 or 2: reads and fits the file into it (loadMeshFile). On
// success currentMeshIndex becomes the slot; on failure the slot keeps loaded 0.
// currentMesh points at the slot afterwards either way.
void loadMeshSlot(int slot, const char* fileName);
// Sets up slot 0, the built-in sphere.
void initSphereSlot();
// After the file slots: when currentMesh names a slot that was never set up,
// shows slot currentMeshIndex instead (the last file read, else the sphere).
void keepLoadedSlotCurrent();
