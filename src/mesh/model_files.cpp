// Files opened for assimp: one descriptor per stream, read with pread at the
// stream's own position, so streams of one file never disturb each other.
#include "mesh/model_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <assimp/IOStream.hpp>

#include "io/bounded_file.h"
#include "mesh/model_import.h"

namespace {

// A read-only stream over an open descriptor, which it closes.
struct DescriptorStream : Assimp::IOStream {
    int fd;
    size_t size, at = 0;
    DescriptorStream(int descriptor, size_t bytes) : fd(descriptor), size(bytes) {}
    ~DescriptorStream() override { close(fd); }

    size_t Read(void* buffer, size_t itemSize, size_t count) override
    {
        if (itemSize == 0 || count == 0) return 0;
        const size_t wanted = std::min(count, (size - std::min(at, size)) / itemSize) * itemSize;
        size_t got = 0;
        while (got < wanted) {
            const ssize_t n = pread(fd, static_cast<char*>(buffer) + got, wanted - got, off_t(at + got));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += size_t(n);
        }
        at += got;
        return got / itemSize;
    }
    size_t Write(const void*, size_t, size_t) override { return 0; }
    aiReturn Seek(size_t offset, aiOrigin origin) override
    {
        const size_t base = origin == aiOrigin_SET ? 0 : origin == aiOrigin_CUR ? at : size;
        if (offset > SIZE_MAX - base || base + offset > size) return aiReturn_FAILURE;
        at = base + offset;
        return aiReturn_SUCCESS;
    }
    size_t Tell() const override { return at; }
    size_t FileSize() const override { return size; }
    void Flush() override {}
};

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

ModelFileSystem::ModelFileSystem(int fd, const std::string& path)
    : modelFd(fd), modelPath(path), folder(realFolderOf(path.c_str()))
{
    count(modelFd);
}

void ModelFileSystem::refuse(const char* path, const std::string& why)
{
    // named as the model names it: assimp puts the model's own folder in front
    std::string name = path;
    const size_t slash = modelPath.rfind('/');
    if (slash != std::string::npos && name.compare(0, slash + 1, modelPath, 0, slash + 1) == 0)
        name.erase(0, slash + 1);
    const std::string line = name + " " + why;
    if (std::find(refusals.begin(), refusals.end(), line) == refusals.end()) refusals.push_back(line);
}

void ModelFileSystem::count(int fd)
{
    struct stat info;
    if (fstat(fd, &info) != 0) return;
    for (const auto& file : counted)
        if (file.first == info.st_dev && file.second == info.st_ino) return;
    counted.emplace_back(info.st_dev, info.st_ino);
    bytesOpened += size_t(info.st_size);
    if (onBytesOpened) onBytesOpened(bytesOpened);
}

bool ModelFileSystem::Exists(const char* path) const
{
    // Open says why a file is refused: everything that is there exists
    struct stat info;
    return stat(path, &info) == 0;
}

Assimp::IOStream* ModelFileSystem::Open(const char* path, const char* mode)
{
    if (strchr(mode, 'w') || strchr(mode, 'a') || strchr(mode, '+')) return nullptr; // reading only
    struct stat model, named;
    if (fstat(modelFd, &model) != 0) return nullptr;
    // The model itself, however assimp spells its name: a descriptor of its own
    // on the file the viewer checked.
    if (modelPath == path || (stat(path, &named) == 0 && sameFile(named, model))) {
        const int fd = fcntl(modelFd, F_DUPFD_CLOEXEC, 0);
        return fd < 0 ? nullptr : new DescriptorStream(fd, size_t(model.st_size));
    }
    // A named file: judged by where its name leads before it is opened, and by
    // what was opened.
    char* real = realpath(path, nullptr);
    if (!real) {
        // assimp also looks for files nobody named (an OBJ's own .mtl): a
        // missing one is no refusal, and assimp's message names it if it matters
        if (errno != ENOENT) refuse(path, std::string("cannot be read: ") + strerror(errno));
        return nullptr;
    }
    const bool within = isWithinFolder(real, folder);
    free(real);
    if (!within) {
        refuse(path, "is outside the model's folder " + folder);
        return nullptr;
    }
    std::string why;
    size_t size = 0;
    const int fd = openRegularFile(path, MAX_MODEL_FILE_BYTES, why, &size);
    if (fd < 0) {
        refuse(path, why);
        return nullptr;
    }
    const std::string opened = realPathOfOpenFile(fd);
    if (!opened.empty() && !isWithinFolder(opened, folder)) {
        close(fd);
        refuse(path, "is outside the model's folder " + folder);
        return nullptr;
    }
    count(fd);
    return new DescriptorStream(fd, size);
}
