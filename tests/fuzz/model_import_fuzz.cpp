// libFuzzer target for the import of a user's model, the way the viewer reads
// it, with the importer process's own steps run in this process so that they
// are instrumented: the assimp walk, the reply written and read back, then the
// build. The first byte of an input picks the file name's extension (and with
// it the reader); a first byte of REPLY_CODE or above makes the rest a reply of
// the importer process instead, as a subverted importer could send. Whatever
// an input holds, the import must end with a reason or with a sound mesh.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "io/bounded_file.h"
#include "mesh/assimp_walk.h"
#include "mesh/import_message.h"
#include "mesh/model_import.h"
#include "mesh_checks.h"
#include "model_fuzz_formats.h"

static std::string directory;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char name[] = "/tmp/model_import_fuzzXXXXXX";
    if (!mkdtemp(name)) {
        perror("mkdtemp");
        abort();
    }
    directory = name;
    return 0;
}

// The bytes the importer would have sent for this file.
static std::string replyOf(int modelFd, const char* path)
{
    ImportReply reply;
    reply.outcome =
        importWithAssimp(modelFd, path, reply.model, reply.leftOut, reply.why) ? IMPORT_READ : IMPORT_REFUSED;
    const int fd = memfd_create("reply", MFD_CLOEXEC);
    if (fd < 0 || !writeImportReply(fd, reply)) abort();
    std::string bytes, why;
    if (!readOpenFile(fd, size_t(lseek(fd, 0, SEEK_END)), size_t(1) << 31, bytes, why)) abort();
    close(fd);
    return bytes;
}

static bool readReply(const std::string& bytes, ImportedModel& model, std::vector<std::string>& leftOut,
                      std::string& why)
{
    ImportReply reply;
    if (!decodeImportReply(bytes, reply, why)) return false;
    if (reply.outcome != IMPORT_READ) {
        why = reply.why.empty() ? "out of memory" : reply.why;
        return false;
    }
    model = std::move(reply.model);
    leftOut = std::move(reply.leftOut);
    return true;
}

// In the importer process's place: the walk, the reply and its decoding.
static bool importHere(int modelFd, const char* path, ImportedModel& model, std::vector<std::string>& leftOut,
                       std::string& why)
{
    return readReply(replyOf(modelFd, path), model, leftOut, why);
}

static void checkMesh(const Mesh& mesh)
{
    if (mesh.faces.empty()) {
        fprintf(stderr, "a model without faces was taken\n");
        abort();
    }
    if (const char* fault = findMeshFault(mesh)) {
        fprintf(stderr, "unsound mesh: %s\n", fault);
        abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string why;
    if (data[0] >= REPLY_CODE) {
        ImportedModel model;
        std::vector<std::string> leftOut;
        if (!readReply(bytes, model, leftOut, why) || !orientModel(model, why)) return 0;
        Mesh mesh;
        buildMesh(model, mesh, "reply");
        checkMesh(mesh);
        return 0;
    }
    const std::string path = directory + "/model." + fuzzExtension(data[0]);
    FILE* f = fopen(path.c_str(), "wb");
    if (!f || fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) abort();
    fclose(f);
    Mesh mesh;
    if (importModelFileWith(mesh, path.c_str(), why, importHere)) {
        checkMesh(mesh);
    } else if (why.empty()) {
        fprintf(stderr, "a refusal without a reason\n");
        abort();
    }
    unlink(path.c_str());
    return 0;
}
