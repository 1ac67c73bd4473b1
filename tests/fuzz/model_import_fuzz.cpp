// libFuzzer target for the import of a user's model: the first byte of an input
// picks the file name's extension (and with it assimp's reader), the rest is
// the file. Whatever it holds, the import must end, either with a reason or with
// a sound mesh; a crash or a hang in assimp is a finding to guard against.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const std::string path = directory + "/model." + fuzzExtension(data[0]);
    FILE* f = fopen(path.c_str(), "wb");
    if (!f || fwrite(data + 1, 1, size - 1, f) != size - 1) abort();
    fclose(f);
    Mesh mesh;
    std::string why;
    if (importModelFile(mesh, path.c_str(), why)) {
        if (mesh.faces.empty()) {
            fprintf(stderr, "a model without faces was taken\n");
            abort();
        }
        if (const char* fault = findMeshFault(mesh)) {
            fprintf(stderr, "unsound mesh: %s\n", fault);
            abort();
        }
    } else if (why.empty()) {
        fprintf(stderr, "a refusal without a reason\n");
        abort();
    }
    unlink(path.c_str());
    return 0;
}
