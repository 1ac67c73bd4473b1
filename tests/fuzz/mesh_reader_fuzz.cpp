// libFuzzer target for the .m reader: every input is loaded into a mesh as
// start-up loads a file slot, and the result must be a sound mesh. The input goes
// through a memory file, so the reader's own file handling is exercised too.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "mesh/mesh_prepare.h"
#include "mesh_checks.h"

static int memoryFile = -1;
static char memoryPath[64];

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    memoryFile = memfd_create("mesh_reader_fuzz", 0);
    if (memoryFile < 0) {
        perror("memfd_create");
        abort();
    }
    snprintf(memoryPath, sizeof memoryPath, "/proc/self/fd/%d", memoryFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (ftruncate(memoryFile, 0) != 0 || pwrite(memoryFile, data, size, 0) != ssize_t(size)) abort();
    Mesh mesh;
    if (!loadMeshFile(mesh, memoryPath)) {
        fprintf(stderr, "a readable file did not load\n");
        abort();
    }
    if (const char* fault = findMeshFault(mesh)) {
        fprintf(stderr, "unsound mesh: %s\n", fault);
        abort();
    }
    return 0;
}
