// The files assimp may open while it reads a user's model: the model itself,
// through the descriptor the viewer checked, and the files it names (glTF
// buffers, OBJ material libraries, ...) only when they are regular files in the
// model's folder or below it, each checked and read through one descriptor.
// Used by the assimp walk.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include <assimp/DefaultIOSystem.h>

struct ModelFileSystem : Assimp::DefaultIOSystem {
    // `modelFd` is the model file, opened and checked by the caller, who keeps
    // it open while assimp reads; `modelPath` names it as assimp is given it.
    ModelFileSystem(int modelFd, const std::string& modelPath);

    // Why each refused file was refused, one line each, the file named as the
    // model names it ("../x.bin is outside the model's folder /home/me/models"),
    // in the order assimp asked for them.
    std::vector<std::string> refusals;
    // Bytes of the distinct files opened so far, the model's included.
    size_t bytesOpened = 0;
    // Called after each file that adds to bytesOpened, with the new total.
    void (*onBytesOpened)(size_t total) = nullptr;

    bool Exists(const char* path) const override;
    Assimp::IOStream* Open(const char* path, const char* mode) override;
    // assimp never writes, moves or makes files for a reader
    bool CreateDirectory(const std::string&) override { return false; }
    bool ChangeDirectory(const std::string&) override { return false; }
    bool DeleteFile(const std::string&) override { return false; }

  private:
    int modelFd = -1;
    std::string modelPath;
    std::string folder; // the real path of the model's folder
    std::vector<std::pair<dev_t, ino_t>> counted;
    void refuse(const char* path, const std::string& why);
    void count(int fd);
};
