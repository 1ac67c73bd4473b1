// The confinement of the importer process, set up by the child itself before
// it reads a byte of the model: limits of memory, processor time, files and
// processes, no writing of files, and where the kernel offers it (Landlock) no
// reading outside the model's folder. Used by import_process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Memory: a fixed allowance plus this many bytes per byte of the files read
// (the model and the files it names), at most the cap.
constexpr uint64_t IMPORT_MEMORY_ALLOWANCE = uint64_t(256) << 20;
constexpr uint64_t IMPORT_MEMORY_PER_FILE_BYTE = 8;
constexpr uint64_t IMPORT_MEMORY_CAP = uint64_t(4) << 30;
// Processor time of the import, in seconds.
constexpr int IMPORT_CPU_SECONDS = 30;
// Exit status of an importer whose memory ran out (it has sent its reply).
constexpr int IMPORT_EXIT_OUT_OF_MEMORY = 3;

// The memory an import may take when the files it read hold `fileBytes`.
uint64_t importBudget(uint64_t fileBytes);

// Confines this process. `folder` is the real path of the model's folder, the
// only place it may still open files in (for reading); `replyFd` is where an
// out-of-memory reply goes when an allocation fails. Whatever part the system
// does not offer is left out; the limits are always set.
void confineImporter(const std::string& folder, int replyFd);
// Raises the memory budget to that of `fileBytes` of files read: called as
// the model names more files.
void budgetForFiles(size_t fileBytes);
