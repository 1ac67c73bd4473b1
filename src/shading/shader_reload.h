// Live editing of the two program files: once either has changed on disk and
// holds still, both are loaded again (file_watch.h). A refused reload is
// reported with its reasons and the last good programs go on drawing; the
// viewer never ends for it.
#pragma once

#include "shading/shader_programs.h"

// Starts watching the two program files as set-up compiled them. Start-up calls
// it after setupShaders.
void watchShaderFiles();
// Loads both program files again: accepted, the new programs draw from the next
// frame on; refused, the last good ones go on. Says nothing; the watch tells
// the console and keeps the refusal (lastShaderRefusal).
ShaderLoad reloadShaders();
// Why the last reload was refused, while the programs of the last good load
// draw on; null when the last load was accepted. For the drawing window and the
// panel to show.
const ShaderRefusal* lastShaderRefusal();
