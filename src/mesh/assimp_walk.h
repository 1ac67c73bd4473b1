// The walk of a model that assimp reads: triangulated, node transforms
// applied, all meshes merged, points and lines dropped, vertices at one
// position joined, a diffuse colour of the file as the faces' own. Runs in the
// importer process (import_process); its result goes to the model build.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "mesh/model_build.h"

// Reads the model open on `modelFd` (named `path`, for assimp's choice of
// reader and for the files it names). False, with the reason in `why`, when it
// cannot be read. `leftOut` gets one line for each file the model names that
// was refused while the model could still be read. `onBytesOpened`, when
// given, hears the total size of the files opened so far.
bool importWithAssimp(int modelFd, const char* path, ImportedModel& model, std::vector<std::string>& leftOut,
                      std::string& why, void (*onBytesOpened)(size_t total) = nullptr);
