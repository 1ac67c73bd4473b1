// Limits with setrlimit; memory as address space beyond what the process has
// mapped at the start, its soft limit raised as files are opened, with the cap
// as the hard limit. Under AddressSanitizer, whose reservations fill the
// address space, memory is watched by a thread instead.
#include "mesh/import_sandbox.h"

#include <fcntl.h>
#include <linux/landlock.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <new>
#include <thread>

#include "mesh/import_message.h"

#if defined(__SANITIZE_ADDRESS__)
#define IMPORTER_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define IMPORTER_UNDER_ASAN 1
#endif
#endif

namespace {

int replyTo = -1;
uint64_t startBytes = 0; // address space (or, under ASan, resident memory) at the start
std::atomic<uint64_t> budget{IMPORT_MEMORY_ALLOWANCE};

void outOfMemory()
{
    writeOutOfMemoryReply(replyTo, budget.load());
    _exit(IMPORT_EXIT_OUT_OF_MEMORY);
}

// Pages of the first (address space) or second (resident) field of statm.
uint64_t statmBytes(int fd, int field)
{
    char text[128] = {};
    if (pread(fd, text, sizeof text - 1, 0) <= 0) return 0;
    unsigned long long size = 0, resident = 0;
    if (sscanf(text, "%llu %llu", &size, &resident) != 2) return 0;
    return uint64_t(field == 0 ? size : resident) * uint64_t(sysconf(_SC_PAGESIZE));
}

void setLimit(int resource, rlim_t soft, rlim_t hard)
{
    const rlimit limit = {soft, hard};
    setrlimit(resource, &limit);
}

// Landlock: reading files and folders within `folder`, nothing else; no
// writing, making or removing of files anywhere, on every version the kernel has.
void restrictFiles(const std::string& folder)
{
    const long abi = syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    if (abi < 1) return;
    struct {
        uint64_t fs, net, scoped;
    } handled = {(1ull << 13) - 1, 0, 0};
    if (abi >= 2) handled.fs |= 1ull << 13; // linking and renaming across folders
    if (abi >= 3) handled.fs |= 1ull << 14; // truncating
    if (abi >= 5) handled.fs |= 1ull << 15; // device ioctls
    if (abi >= 4) handled.net = 3;          // TCP bind and connect
    if (abi >= 6) handled.scoped = 3;       // abstract UNIX sockets (an X server's), signals
    const size_t size = abi >= 6 ? 24 : abi >= 4 ? 16 : 8;
    const int ruleset = int(syscall(SYS_landlock_create_ruleset, &handled, size, 0));
    if (ruleset < 0) return;
    landlock_path_beneath_attr beneath = {};
    beneath.allowed_access = LANDLOCK_ACCESS_FS_READ_FILE | LANDLOCK_ACCESS_FS_READ_DIR;
    beneath.parent_fd = open(folder.c_str(), O_PATH | O_CLOEXEC);
    if (beneath.parent_fd >= 0) {
        syscall(SYS_landlock_add_rule, ruleset, LANDLOCK_RULE_PATH_BENEATH, &beneath, 0);
        close(beneath.parent_fd);
    }
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0) syscall(SYS_landlock_restrict_self, ruleset, 0);
    close(ruleset);
}

} // namespace

uint64_t importBudget(uint64_t fileBytes)
{
    const uint64_t perFile = std::min(fileBytes, IMPORT_MEMORY_CAP / IMPORT_MEMORY_PER_FILE_BYTE);
    return std::min(IMPORT_MEMORY_ALLOWANCE + perFile * IMPORT_MEMORY_PER_FILE_BYTE, IMPORT_MEMORY_CAP);
}

void budgetForFiles(size_t fileBytes)
{
    budget = importBudget(fileBytes);
#ifndef IMPORTER_UNDER_ASAN
    setLimit(RLIMIT_AS, rlim_t(startBytes + budget), rlim_t(startBytes + IMPORT_MEMORY_CAP));
#endif
}

void confineImporter(const std::string& folder, int replyFd)
{
    replyTo = replyFd;
    std::set_new_handler(outOfMemory);
    // no core files, no file grown by a byte (a write fails instead of ending the process)
    signal(SIGXFSZ, SIG_IGN);
    setLimit(RLIMIT_CORE, 0, 0);
    setLimit(RLIMIT_FSIZE, 0, 0);
    setLimit(RLIMIT_NOFILE, 256, 256);
    // the soft limit sends SIGXCPU, the hard one a second later SIGKILL
    setLimit(RLIMIT_CPU, IMPORT_CPU_SECONDS, IMPORT_CPU_SECONDS + 1);

    const int statm = open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
#ifndef IMPORTER_UNDER_ASAN
    startBytes = statmBytes(statm, 0);
    close(statm);
    budgetForFiles(0);
#else
    startBytes = statmBytes(statm, 1);
    // resident memory, looked at every 10 ms: AddressSanitizer's own memory
    // counts, so twice the budget is allowed
    std::thread([statm] {
        for (;;) {
            if (statmBytes(statm, 1) > startBytes + 2 * budget.load()) outOfMemory();
            usleep(10000);
        }
    }).detach();
#endif
    // no processes of its own from here on (threads count as processes)
    setLimit(RLIMIT_NPROC, 0, 0);
    restrictFiles(folder);
}
