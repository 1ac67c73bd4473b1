// Starting the importer with posix_spawn: nothing runs in the child between
// the fork and the exec but the descriptor moves, which is safe in a viewer
// that holds an X connection and threads of the OpenGL driver; the child is the
// same program (/proc/self/exe), so it can never be of another version.
#include "mesh/import_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "io/bounded_file.h"
#include "mesh/assimp_walk.h"
#include "mesh/import_message.h"
#include "mesh/import_sandbox.h"

extern char** environ;

namespace {

// The descriptors the importer finds its model and its pipe on.
const int CHILD_MODEL_FD = 3, CHILD_REPLY_FD = 4;

double secondsNow()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The viewer's environment without what would lead the importer to a display.
std::vector<char*> importerEnvironment()
{
    std::vector<char*> kept;
    for (char** variable = environ; *variable; ++variable) {
        static const char* const display[] = {"DISPLAY=", "XAUTHORITY=", "WAYLAND_DISPLAY="};
        bool drop = false;
        for (const char* name : display)
            drop = drop || strncmp(*variable, name, strlen(name)) == 0;
        if (!drop) kept.push_back(*variable);
    }
    kept.push_back(nullptr);
    return kept;
}

// Starts the importer on the model and the write end of the pipe; its pid, or
// -1 with the reason in `why`.
pid_t startImporter(int modelFd, int replyFd, const char* path, std::string& why)
{
    // Above the numbers the child gets them under, so that each dup2 makes a
    // copy, which loses close-on-exec.
    const int model = fcntl(modelFd, F_DUPFD_CLOEXEC, 10), reply = fcntl(replyFd, F_DUPFD_CLOEXEC, 10);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, model, CHILD_MODEL_FD);
    posix_spawn_file_actions_adddup2(&actions, reply, CHILD_REPLY_FD);
    posix_spawn_file_actions_addclosefrom_np(&actions, CHILD_REPLY_FD + 1);
    // every signal as a new program has it, none blocked
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    char name[] = "meshshade", option[] = "--import-child";
    std::string pathCopy = path;
    char* argv[] = {name, option, &pathCopy[0], nullptr};
    std::vector<char*> environment = importerEnvironment();
    pid_t pid = -1;
    const int failed = model < 0 || reply < 0 ? errno
                                              : posix_spawn(&pid, "/proc/self/exe", &actions, &attributes,
                                                            argv, environment.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (model >= 0) close(model);
    if (reply >= 0) close(reply);
    if (failed) {
        why = std::string("the importer could not be started: ") + strerror(failed);
        return -1;
    }
    return pid;
}

// Fills `size` bytes from the pipe; false when it ends first or the time is up.
bool readPipe(int fd, void* into, size_t size, double deadline, bool& timedOut)
{
    char* at = static_cast<char*>(into);
    while (size > 0) {
        pollfd ready = {fd, POLLIN, 0};
        const int polled = poll(&ready, 1, 100);
        if (polled < 0 && errno == EINTR) continue;
        if (polled <= 0) {
            if (polled < 0) return false;
            if (secondsNow() > deadline) {
                timedOut = true;
                return false;
            }
            continue;
        }
        const ssize_t n = read(fd, at, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        at += n;
        size -= size_t(n);
    }
    return true;
}

// Waits for the importer to end, ending it at the deadline. Its wait status.
int reap(pid_t pid, double deadline)
{
    int status = 0;
    for (;;) {
        const pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid) return status;
        if (ended < 0 && errno != EINTR) return 0;
        if (secondsNow() > deadline) {
            kill(pid, SIGKILL);
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            return status;
        }
        usleep(1000);
    }
}

std::string mebibytes(uint64_t bytes)
{
    return std::to_string((bytes + (uint64_t(1) << 20) - 1) >> 20) + " MiB";
}

} // namespace

bool importInChildProcess(int modelFd, const char* path, ImportedModel& model,
                          std::vector<std::string>& leftOut, std::string& why)
{
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        why = std::string("the importer could not be started: ") + strerror(errno);
        return false;
    }
    // a larger pipe: a big model crosses in fewer turns between the two
    fcntl(pipeFds[0], F_SETPIPE_SZ, 1 << 20);
    const pid_t pid = startImporter(modelFd, pipeFds[1], path, why);
    close(pipeFds[1]);
    if (pid < 0) {
        close(pipeFds[0]);
        return false;
    }
    const double deadline = secondsNow() + IMPORT_WALL_SECONDS;
    bool timedOut = false;
    ImportReply reply;
    std::string unread;
    const bool replied = readImportReply(
        [&](void* into, size_t size) { return readPipe(pipeFds[0], into, size, deadline, timedOut); }, reply,
        unread);
    // a child still writing (a reply that did not read) ends on the closed pipe
    close(pipeFds[0]);
    if (timedOut) kill(pid, SIGKILL);
    const int status = reap(pid, deadline);

    if (timedOut) {
        why = "the importer did not answer within " + std::to_string(IMPORT_WALL_SECONDS) + " s";
        return false;
    }
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        if (signal == SIGXCPU)
            why =
                "the importer took more than " + std::to_string(IMPORT_CPU_SECONDS) + " s of processor time";
        else
            why = "the importer failed (signal " + std::to_string(signal) + ")";
        return false;
    }
    if (!replied) {
        const int exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        why = exitStatus != 0 ? "the importer failed (exit status " + std::to_string(exitStatus) + ")"
                              : "the importer failed (" + unread + ")";
        return false;
    }
    switch (reply.outcome) {
    case IMPORT_OUT_OF_MEMORY:
        why = "the importer needs more than " + mebibytes(reply.budgetBytes);
        return false;
    case IMPORT_REFUSED:
        why = reply.why;
        return false;
    case IMPORT_READ:
        break;
    }
    model = std::move(reply.model);
    leftOut = std::move(reply.leftOut);
    return true;
}

int runImporterIfAsked(int argc, char** argv)
{
    if (argc < 2 || strcmp(argv[1], "--import-child") != 0) return -1;
    struct stat model, reply;
    if (argc != 3 || fstat(CHILD_MODEL_FD, &model) != 0 || !S_ISREG(model.st_mode) ||
        fstat(CHILD_REPLY_FD, &reply) != 0 || !S_ISFIFO(reply.st_mode)) {
        fprintf(stderr,
                "meshshade: --import-child is the viewer's own importer process; the viewer starts it\n");
        _exit(2);
    }
    const char* path = argv[2];
    confineImporter(realFolderOf(path), CHILD_REPLY_FD);
    ImportReply answer;
    answer.outcome =
        importWithAssimp(CHILD_MODEL_FD, path, answer.model, answer.leftOut, answer.why, budgetForFiles)
            ? IMPORT_READ
            : IMPORT_REFUSED;
    // Ended at once: nothing of the process is needed after the reply, and
    // nothing that assimp left behind is run again.
    _exit(writeImportReply(CHILD_REPLY_FD, answer) ? 0 : 1);
}
