// Live reloads of files edited while the viewer runs: the idle callback looks at
// the stamps of every watch's files every 75 ms, and once a change has held
// still from one look to the next (a program may be halfway through writing),
// the watch reads its files again. The shader programs and the user's model
// are watched so.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "io/file_stamp.h"

struct FileWatch {
    // The files, as they are to be read now: a name may stand for another file
    // from one look to the next, and a read may change the list (a shader
    // program that includes another file now).
    std::function<std::vector<std::string>()> files;
    // Reads the files again; true when what it read was taken up.
    std::function<bool()> reload;
    // Says how the read went. Not called after a failed read of files that
    // changed while they were read: that read is tried again, silently, once
    // they hold still.
    std::function<void(bool reloaded)> tell;
    // The stamps looked at, kept by the watcher.
    HoldStill<std::vector<FileStamp>> stamps;
};

// Starts watching `watch`, which must live as long as the program: its files
// as they are now count as read. A watch already watched starts again.
void watchFiles(FileWatch& watch);
// Idle work: at most every 75 ms (`nowMs` counts milliseconds), one look at
// the files of every watch, in the order they were first watched.
void checkWatchedFiles(int nowMs);
