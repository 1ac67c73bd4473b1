// Runs the real program (or any command) as a child process for end-to-end
// tests: in a given working directory, with extra environment, its standard
// output and error collected as they come.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>
#include <sys/types.h>

struct AppOutput; // collected output, shared with the reader threads

struct AppRun {
    pid_t pid = -1;
    int exitStatus = -1; // exit code once ended; -1 while running or when killed by a signal
    int exitSignal = 0;  // the signal that ended it, if any
    std::shared_ptr<AppOutput> output;
};

// Starts `argv[0]` (a path) in `workDir` with `env` ("NAME=value") added to this
// process's environment. Standard input is /dev/null.
bool startApp(AppRun& app, const std::vector<std::string>& argv, const std::string& workDir,
              const std::vector<std::string>& env = {});
// Everything the program wrote so far.
std::string appStdout(const AppRun& app);
std::string appStderr(const AppRun& app);
// Waits until standard output, from its character `from` on, contains `text`
// (true) or the timeout passes or the program ends (false). A line the program
// prints again is waited for from where the output stood before asking for it.
bool waitForStdout(AppRun& app, const std::string& text, int timeoutMs, size_t from = 0);
// Waits for the program to end; false when it is still running after the timeout.
bool waitForExit(AppRun& app, int timeoutMs);
// Whether the program is still running.
bool appRunning(AppRun& app);
// Ends the program (SIGTERM, then SIGKILL) and collects it.
void stopApp(AppRun& app);
// A memory figure of a running process from /proc/PID/status, in KiB: "VmRSS:"
// (resident now), "VmHWM:" (the peak of that); -1 when it cannot be read.
long residentKiB(pid_t pid, const char* field = "VmRSS:");
// User plus system CPU time of a process and all its threads so far, in milliseconds; 0 when it is gone.
double cpuMs(pid_t pid);
// The number after the word `name` in a text of words (a status file, the
// viewer's state report), or -1.
long numberAfter(std::istream& text, const std::string& name);

// The path of the built program and of the assembled run directory.
std::string programPath();
std::string runDirectory();
// The shipped version of a shader file (vp_reflection.cg, fp_reflection.cg). The
// run directory's copy may hold the user's own edits, which a build keeps.
std::string shippedShaderPath(const std::string& name);

// A new empty temporary directory, removed with everything in it by removeDir.
std::string makeTempDir();
void removeDir(const std::string& dir);
// A temporary working directory holding copies of every file the program reads:
// the meshes and cube maps of build/run/, the shader files as shipped.
std::string makeWorkDir();
// Writes a file (binary-safe).
void writeFile(const std::string& path, const std::string& contents);
std::string readFile(const std::string& path);
