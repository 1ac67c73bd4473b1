// `meshshade --init DIR`: a shader workspace of the user's own, a folder with
// copies of the shipped shader files, meshes and cube maps, where the viewer
// started without arguments runs as it ships and edits show live. No build
// ever writes there.
#pragma once

// Creates DIR (and missing parents) and copies the shipped files into it, then
// prints how to start the viewer there. Refuses, changing nothing, when DIR
// exists and is not an empty folder. Returns the exit status: 0 made, 1 not.
int makeShaderWorkspace(const char* dir);
