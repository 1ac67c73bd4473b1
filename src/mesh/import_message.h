// The importer process's reply to the viewer: what it read, or why not. The
// child writes it into its pipe; the viewer decodes it trusting nothing, since
// the child has run assimp on a file that may have been made to subvert it.
// Used by import_process and the model fuzzer.
#pragma once

#include <cstdint>
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
// Bytes of the reply's fixed header, which tells the size of the whole.
constexpr size_t IMPORT_REPLY_HEADER_BYTES = 48;
// The size of the whole reply from its header; 0 when the header is unsound.
uint64_t importReplySize(const char* header);
// Decodes a whole reply. False, with the reason in `why`, when it is not one
// the importer writes: counts beyond the limits, corners naming no vertex,
// numbers that are not finite, bytes missing or left over. Texts come out as
// single lines of printable characters.
bool decodeImportReply(const std::string& bytes, ImportReply& reply, std::string& why);
