// Live editing of the two program files: the idle callback watches them and,
// once either has changed on disk and holds still, compiles both again. A failure
// is reported and the last good programs go on drawing; the viewer never ends for it.
#pragma once

// Looks at the files' stamps (modification time, size, file) every 75 ms and
// reloads both programs once a change has held still from one look to the next,
// so that a file is not read while an editor is still writing it. A failed
// reload whose files changed again while they were read is retried silently.
void reloadShadersIfChanged();
