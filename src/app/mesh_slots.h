// The viewer's mesh slots: the built-in sphere in slot 0, the two mesh files in
// slots 1 and 2, and the user's model in MODEL_SLOT (model_slot.h), all read by
// one loader that fails one way: false, with the reason. The work on each mesh
// is mesh_prepare's and the importer's (mesh/model_import.h).
#pragma once

#include <string>

// Reads a file into slot 1, 2 or MODEL_SLOT and aims currentMesh at the slot,
// whether the read succeeds or not. A mesh file's name is looked up with
// dataFilePath and read with the .m reader, whose own messages name the file; the
// model's path is read by the importer, in any format it knows. On success
// currentMeshIndex becomes the slot. False, with the reason in `why`, when the
// file cannot be shown: a mesh file's slot then has loaded 0, the model's keeps
// what it held.
bool loadMeshSlot(int slot, const char* fileName, std::string& why);
// Reads a slot's file again, keeping the user's view of it: its turn, offset,
// flags and zoom relative to the fit. False, with the reason in `why`, and the
// slot as it was, when the file cannot be shown.
bool reloadMeshSlot(int slot, const char* fileName, std::string& why);
// Sets up slot 0, the built-in sphere.
void initSphereSlot();
// After the file slots: when currentMesh names a slot that was never set up,
// shows slot currentMeshIndex instead (the last file read, else the sphere).
void keepLoadedSlotCurrent();
