// The importer process's reply to the viewer: what it read, or why not. The
// child writes it into its pipe; the viewer decodes it trusting nothing, since
// the child has run assimp on a file that may have been made to subvert it.
// Used by import_process and the model fuzzer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "mesh/model_build.h"

enum ImportOutcome : uint32_t {
    IMPORT_READ = 1,          // `model` and `leftOut` hold what was read
    IMPORT_REFUSED = 2,       // `why` says why the file cannot be shown
    IMPORT_OUT_OF_MEMORY = 3, // the import needed more than `budgetBytes`
};

struct ImportReply {
    ImportOutcome outcome = IMPORT_REFUSED;
    std::string why;
    std::vector<std::string> leftOut; // one line per named file that was refused
    uint64_t budgetBytes = 0;
    ImportedModel model;
};

// Writes the reply to `fd` (blocking). False when the pipe fails.
bool writeImportReply(int fd, const ImportReply& reply);
// Writes an out-of-memory reply without allocating: called when memory has run out.
bool writeOutOfMemoryReply(int fd, uint64_t budgetBytes);
// Where a reply is read from: fills `size` bytes at `into`, false when they do not come.
using ReplySource = std::function<bool(void* into, size_t size)>;
// Reads a reply. False, with the reason in `why`, when it is not one the
// importer writes: counts beyond the limits, corners naming no vertex, numbers
// that are not finite, bytes missing. Texts come out as single lines of
// printable characters.
bool readImportReply(const ReplySource& source, ImportReply& reply, std::string& why);
// The same for a whole reply held in `bytes`, which must end with it.
bool decodeImportReply(const std::string& bytes, ImportReply& reply, std::string& why);
