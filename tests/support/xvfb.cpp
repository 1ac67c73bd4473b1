// Xvfb start and stop for tests.
#include "xvfb.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

bool startXvfb(XvfbServer& server)
{
    int fds[2];
    if (pipe(fds) != 0) return false;
    pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        close(fds[0]);
        int devnull = open("/dev/null", O_WRONLY);
        if (devnull >= 0) {
            dup2(devnull, 1);
            dup2(devnull, 2);
        }
        char fd[16];
        snprintf(fd, sizeof fd, "%d", fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd, "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
               "-noreset", (char*)nullptr);
        _exit(127);
    }
    close(fds[1]);
    // Xvfb writes the display number it chose, then a line feed, once it accepts clients.
    std::string number;
    pollfd p = {fds[0], POLLIN, 0};
    for (int waited = 0; waited < 20000;) {
        int r = poll(&p, 1, 100);
        if (r < 0 && errno != EINTR) break;
        if (r <= 0) {
            waited += 100;
            continue;
        }
        char c;
        ssize_t n = read(fds[0], &c, 1);
        if (n <= 0) break;
        if (c == '\n') break;
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        fprintf(stderr, "Xvfb did not start (is the xvfb package installed?)\n");
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return false;
    }
    server.pid = pid;
    server.display = ":" + number;
    setenv("DISPLAY", server.display.c_str(), 1);
    return true;
}

void stopXvfb(XvfbServer& server)
{
    if (server.pid > 0) {
        kill(server.pid, SIGTERM);
        waitpid(server.pid, nullptr, 0);
        server.pid = -1;
    }
}

static XvfbServer shared;

static void stopShared()
{
    stopXvfb(shared);
}

const XvfbServer& sharedXvfb()
{
    if (shared.pid < 0) {
        if (!startXvfb(shared)) abort();
        atexit(stopShared);
    }
    return shared;
}
