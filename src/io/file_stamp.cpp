// File stamps for live reloading.
#include "io/file_stamp.h"

#include <sys/stat.h>

FileStamp stampOf(const char* path)
{
    struct stat s;
    FileStamp stamp;
    if (stat(path, &s) == 0) {
        stamp.exists = true;
        stamp.seconds = s.st_mtim.tv_sec;
        stamp.nanoseconds = s.st_mtim.tv_nsec;
        stamp.size = s.st_size;
        stamp.inode = s.st_ino;
        stamp.mode = s.st_mode & S_IFMT;
    }
    return stamp;
}
