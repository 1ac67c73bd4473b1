// Regular files only, opened without blocking and read up to a cap.
#include "io/bounded_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string describeBytes(size_t bytes)
{
    char text[64];
    const double kib = 1024.0, mib = kib * 1024, gib = mib * 1024;
    if (bytes >= size_t(gib))
        snprintf(text, sizeof text, "%.3g GiB", double(bytes) / gib);
    else if (bytes >= size_t(mib))
        snprintf(text, sizeof text, "%.3g MiB", double(bytes) / mib);
    else if (bytes >= size_t(kib))
        snprintf(text, sizeof text, "%.3g KiB", double(bytes) / kib);
    else
        snprintf(text, sizeof text, "%zu bytes", bytes);
    return text;
}

// Why a file of this mode is not read; empty for a regular file.
static std::string notRegular(mode_t mode)
{
    if (S_ISREG(mode)) return "";
    if (S_ISDIR(mode)) return "is a directory";
    if (S_ISFIFO(mode)) return "is a named pipe (FIFO), not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device, not a regular file";
    if (S_ISSOCK(mode)) return "is a socket, not a regular file";
    return "is not a regular file";
}

static std::string tooLarge(size_t size, size_t maxBytes)
{
    return "is larger than " + describeBytes(maxBytes) + " (" + describeBytes(size) + ")";
}

int openRegularFile(const char* path, size_t maxBytes, std::string& why, size_t* size)
{
    // Judged before opening, so that a device is never opened at all ...
    struct stat info;
    if (stat(path, &info) != 0) {
        why = strerror(errno);
        return -1;
    }
    why = notRegular(info.st_mode);
    if (!why.empty()) return -1;
    // ... and again on what was opened, in case the name changed in between. A
    // named pipe opened without O_NONBLOCK would wait for a writer.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        why = strerror(errno);
        return -1;
    }
    if (fstat(fd, &info) != 0 || !(why = notRegular(info.st_mode)).empty()) {
        if (why.empty()) why = strerror(errno);
        close(fd);
        return -1;
    }
    if (size_t(info.st_size) > maxBytes) {
        why = tooLarge(size_t(info.st_size), maxBytes);
        close(fd);
        return -1;
    }
    // Regular files never block; reads are plain from here on.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (size) *size = size_t(info.st_size);
    return fd;
}

bool readRegularFile(const char* path, size_t maxBytes, std::string& bytes, std::string& why)
{
    size_t size = 0;
    const int fd = openRegularFile(path, maxBytes, why, &size);
    if (fd < 0) return false;
    const bool read = readOpenFile(fd, size, maxBytes, bytes, why);
    close(fd);
    return read;
}

bool readOpenFile(int fd, size_t size, size_t maxBytes, std::string& bytes, std::string& why)
{
    // Room for one byte more than the size: a file that grows while it is read is
    // read on, up to one byte past the cap, which tells it is too large.
    bytes.assign(size + 1, '\0');
    size_t got = 0;
    while (got <= maxBytes) {
        if (got == bytes.size()) bytes.resize(std::min(maxBytes + 1, 2 * got));
        const ssize_t n = pread(fd, &bytes[got], bytes.size() - got, off_t(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            why = strerror(errno);
            return false;
        }
        if (n == 0) break;
        got += size_t(n);
    }
    if (got > maxBytes) {
        why = tooLarge(got, maxBytes);
        return false;
    }
    bytes.resize(got);
    return true;
}

std::string realPathOfOpenFile(int fd)
{
    char link[64], target[PATH_MAX + 1];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, target, PATH_MAX);
    // a file deleted since it was opened has " (deleted)" added: no path of its own
    if (n <= 0 || target[0] != '/') return "";
    return std::string(target, size_t(n));
}

std::string realFolderOf(const char* path)
{
    std::string folder = path;
    const size_t slash = folder.rfind('/');
    folder = slash == std::string::npos ? "." : slash == 0 ? "/" : folder.substr(0, slash);
    char* real = realpath(folder.c_str(), nullptr);
    if (!real) return "";
    folder = real;
    free(real);
    return folder;
}

bool isWithinFolder(const std::string& file, const std::string& folder)
{
    if (folder.empty() || file.size() <= folder.size()) return false;
    if (folder == "/") return file[0] == '/';
    return file.compare(0, folder.size(), folder) == 0 && file[folder.size()] == '/';
}
