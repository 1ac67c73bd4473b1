// The slot of the user's own model, named on the command line: read at
// start-up, shown first, listed in the panel under its file name, and read
// again whenever the file changes on disk.
#pragma once

#include <string>

// Reads the model file into slot MODEL_SLOT (loadMeshSlot) and watches the file
// from then on: once a change has held still (file_watch.h) it is read again,
// the shown slot and the model's own turn, offset, zoom and flags staying; a
// failed read keeps the last good model and says why on stderr. False with the
// reason in `why`.
bool loadModelSlot(const char* path, std::string& why);
// Makes the model slot the shown mesh and the panel's choice.
void showModelSlot();
