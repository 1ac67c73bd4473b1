// The slot of the user's own model, named on the command line: read at
// start-up, shown first, listed in the panel under its file name, and read
// again whenever the file changes on disk.
#pragma once

#include <string>

// Reads the model file into slot MODEL_SLOT. False with the reason in `why`.
bool loadModelSlot(const char* path, std::string& why);
// Makes the model slot the shown mesh and the panel's choice.
void showModelSlot();
// Idle work: looks at the model file every 75 ms and, once a change has held
// still from one look to the next, reads it again. The shown slot and the
// model's own turn, offset, zoom and flags stay; a failed read keeps the last
// good model and says why on stderr. Nothing when no model was given.
void reloadModelIfChanged();
