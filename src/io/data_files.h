// Where the viewer finds the files it reads by name: the two shader files, the
// meshes and the cube maps. The working directory comes first, always, but for
// the shader files of --shaders DIR, which come from DIR alone. Started
// with a model or an option of its own, the viewer takes a file that is missing
// there from the files shipped with it: the folder of the executable when it
// holds them (build/run/), or share/meshshade/ beside the executable's bin/
// when installed.
#pragma once

#include <string>

// Lets files missing from the working directory come from the shipped files.
void useShippedFilesWhereMissing();
// Takes the two program files from `folder` (--shaders DIR) instead of the
// working directory and the shipped files. False, with the reason ("No such
// file or directory", "is not a folder") in `why`, when it is not a folder.
bool takeProgramFilesFrom(const std::string& folder, std::string& why);
// The path to open for a program file `name`: in the folder of --shaders when
// one was given, else dataFilePath(name).
std::string programFilePath(const char* name);
// The path to open for `name`: `name` itself when it is in the working directory
// or when shipped files are not in use, else the shipped file's path. The first
// time a shipped file stands in, one line on stdout names the folder.
std::string dataFilePath(const char* name);
// The folder of the shipped files, or "" when neither place holds them.
const std::string& shippedFilesFolder();
