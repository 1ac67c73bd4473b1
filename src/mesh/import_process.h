// The importer process: assimp reads a user's model in a child process of its
// own (the viewer's program run again as `--import-child`), confined by
// import_sandbox, and sends back its triangles, so that a file that crashes
// assimp, or makes it take all memory or time, costs the viewer nothing but a
// line. Used by model_import; every program that imports models calls
// runImporterIfAsked first thing in main().
#pragma once

#include <string>
#include <vector>

#include "mesh/model_build.h"

// Seconds of wall time after which an importer that has not answered is ended:
// one waiting on something, since its processor time is limited before.
constexpr int IMPORT_WALL_SECONDS = 120;

// Reads the model open on `modelFd`, named `path`, in an importer process.
// False, with the reason in `why`: the file's own ("its PLY header does not
// end ..."), or the importer's end: "the importer failed (signal 11)", "the
// importer needs more than 264 MiB", "the importer took more than 30 s".
bool importInChildProcess(int modelFd, const char* path, ImportedModel& model,
                          std::vector<std::string>& leftOut, std::string& why);
// When argv asks for the importer (argv[1] "--import-child"), runs it and ends
// the process; returns -1 otherwise.
int runImporterIfAsked(int argc, char** argv);
