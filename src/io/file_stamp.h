// What tells that a file changed on disk: its modification time, size, inode
// and kind; and the wait for a changed file to hold still before it is read.
// Used by the file watcher of the live reloads (file_watch.h).
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

// A change to a file (or to a set of files, `Stamp` being their stamps together)
// is acted on only once two looks in a row see the same stamps: a program may be
// halfway through writing it.
template <typename Stamp> struct HoldStill {
    Stamp settled{}; // what was last read, or found at the start
    Stamp changed{}; // what the last look saw, once it differs from `settled`
    bool changeSeen = false;

    // Whether to read now, given the stamps of this look.
    bool readNow(const Stamp& now)
    {
        if (now == settled) {
            changeSeen = false;
            return false;
        }
        if (!changeSeen || now != changed) {
            changed = now;
            changeSeen = true;
            return false;
        }
        return true;
    }

    // After a read of what had the stamps `read`, with `after` looked at once the
    // read ended: a failed read of files that changed meanwhile may have seen half
    // a file, so nothing is said and the read waits for them to hold still again
    // (false). Otherwise `read` is what is settled now (true).
    bool readDone(bool ok, const Stamp& read, const Stamp& after)
    {
        if (!ok && after != read) {
            changed = after;
            return false;
        }
        changeSeen = false;
        settled = read;
        return true;
    }
};
