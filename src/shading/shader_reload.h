// Live editing of the two program files: the idle callback watches them and,
// when either changes on disk, compiles both again. A failure is reported and
// the last good programs go on drawing; the viewer never ends for it.
#pragma once

// Checks the files' modification times (at most four times a second) and
// reloads both programs when either changed since the last look.
void reloadShadersIfChanged();
// Compiles both files and looks up every parameter; on success the new programs
// replace the old ones from the next frame on. True on success.
bool reloadShaders();
