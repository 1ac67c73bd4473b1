// What tells that a file changed on disk: its modification time, size, inode
// and kind. Used by the live reloads of the shader files and of the model file.
#pragma once

struct FileStamp {
    bool exists = false;
    long long seconds = 0;
    long long nanoseconds = 0;
    long long size = 0;
    unsigned long long inode = 0; // an editor that saves by renaming a new file over the old
    unsigned mode = 0;            // a file replaced by a pipe or a directory
    bool operator==(const FileStamp& o) const
    {
        return exists == o.exists && seconds == o.seconds && nanoseconds == o.nanoseconds && size == o.size &&
               inode == o.inode && mode == o.mode;
    }
    bool operator!=(const FileStamp& o) const { return !(*this == o); }
};

// The stamp of `path` now; exists false when it cannot be looked at.
FileStamp stampOf(const char* path);
