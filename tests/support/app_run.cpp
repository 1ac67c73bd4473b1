// Child processes for end-to-end tests.
#include "app_run.h"

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

struct AppOutput {
    std::mutex lock;
    std::condition_variable changed;
    std::string out, err;
    int openStreams = 2;
    std::thread outReader, errReader;
    // The last owner may be a reader thread itself, when the AppRun went first:
    // that thread cannot join itself and is let go.
    ~AppOutput()
    {
        for (std::thread* reader : {&outReader, &errReader}) {
            if (!reader->joinable()) continue;
            if (reader->get_id() == std::this_thread::get_id())
                reader->detach();
            else
                reader->join();
        }
    }
};

static void readStream(std::shared_ptr<AppOutput> output, int fd, bool isErr)
{
    char buf[65536];
    while (true) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        std::lock_guard<std::mutex> guard(output->lock);
        (isErr ? output->err : output->out).append(buf, size_t(n));
        output->changed.notify_all();
    }
    close(fd);
    std::lock_guard<std::mutex> guard(output->lock);
    output->openStreams--;
    output->changed.notify_all();
}

bool startApp(AppRun& app, const std::vector<std::string>& argv, const std::string& workDir,
              const std::vector<std::string>& env)
{
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return false;
    pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        close(outPipe[0]);
        close(errPipe[0]);
        close(outPipe[1]);
        close(errPipe[1]);
        int devnull = open("/dev/null", O_RDONLY);
        if (devnull >= 0) dup2(devnull, 0);
        if (chdir(workDir.c_str()) != 0) _exit(126);
        for (const std::string& e : env)
            putenv(strdup(e.c_str()));
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    app.pid = pid;
    app.exitStatus = -1;
    app.exitSignal = 0;
    app.output = std::make_shared<AppOutput>();
    app.output->outReader = std::thread(readStream, app.output, outPipe[0], false);
    app.output->errReader = std::thread(readStream, app.output, errPipe[0], true);
    return true;
}

std::string appStdout(const AppRun& app)
{
    std::lock_guard<std::mutex> guard(app.output->lock);
    return app.output->out;
}

std::string appStderr(const AppRun& app)
{
    std::lock_guard<std::mutex> guard(app.output->lock);
    return app.output->err;
}

static void collect(AppRun& app, int status)
{
    app.pid = -1;
    if (WIFEXITED(status))
        app.exitStatus = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        app.exitSignal = WTERMSIG(status);
    // the pipes close when the process is gone: wait for the readers to finish
    std::unique_lock<std::mutex> guard(app.output->lock);
    app.output->changed.wait_for(guard, std::chrono::seconds(5),
                                 [&] { return app.output->openStreams == 0; });
}

bool appRunning(AppRun& app)
{
    if (app.pid < 0) return false;
    int status;
    if (waitpid(app.pid, &status, WNOHANG) == app.pid) {
        collect(app, status);
        return false;
    }
    return true;
}

bool waitForStdout(AppRun& app, const std::string& text, int timeoutMs, size_t from)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        {
            std::unique_lock<std::mutex> guard(app.output->lock);
            if (app.output->out.find(text, from) != std::string::npos) return true;
            if (app.output->openStreams == 0) return false;
            app.output->changed.wait_for(guard, std::chrono::milliseconds(50));
        }
    }
    return false;
}

bool waitForExit(AppRun& app, int timeoutMs)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (appRunning(app)) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

void stopApp(AppRun& app)
{
    if (!appRunning(app)) return;
    kill(app.pid, SIGTERM);
    if (!waitForExit(app, 3000)) {
        kill(app.pid, SIGKILL);
        waitForExit(app, 3000);
    }
}

long numberAfter(std::istream& text, const std::string& name)
{
    std::string word;
    long value = -1;
    while (text >> word)
        if (word == name) {
            text >> value;
            break;
        }
    return value;
}

long residentKiB(pid_t pid, const char* field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    return numberAfter(status, field);
}

double cpuMs(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // the command name in parentheses may hold blanks: fields are counted after it
    const size_t close = text.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    double ticks = 0;
    // fields 3 to 13 come first; utime and stime are fields 14 and 15
    for (int i = 3; i <= 15 && fields >> field; i++)
        if (i >= 14) ticks += std::stod(field);
    return ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

std::string programPath()
{
    return MESHSHADE_RUN_DIR "/meshshade";
}
std::string runDirectory()
{
    return MESHSHADE_RUN_DIR;
}

std::string shippedShaderPath(const std::string& name)
{
    return std::string(MESHSHADE_SHIPPED_DIR "/") + name;
}

std::string makeTempDir()
{
    std::string pattern = (fs::temp_directory_path() / "meshshade-test-XXXXXX").string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) abort();
    return buf.data();
}

void removeDir(const std::string& dir)
{
    std::error_code ignored;
    fs::remove_all(dir, ignored);
}

std::string makeWorkDir()
{
    std::string dir = makeTempDir();
    const fs::path run = runDirectory();
    for (const char* name : {"bunny500.m", "cessna_color500.m"})
        if (fs::exists(run / name)) fs::copy_file(run / name, fs::path(dir) / name);
    for (const char* name : {"vp_reflection.cg", "fp_reflection.cg"})
        fs::copy_file(shippedShaderPath(name), fs::path(dir) / name);
    if (fs::exists(run / "cubemaps"))
        fs::copy(run / "cubemaps", fs::path(dir) / "cubemaps", fs::copy_options::recursive);
    return dir;
}

void writeFile(const std::string& path, const std::string& contents)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << contents;
}

std::string readFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}
