// A private Xvfb server for one test process: started on a free display,
// exported as DISPLAY for the test and the programs it starts, stopped at exit.
#pragma once

#include <string>
#include <sys/types.h>

struct XvfbServer {
    pid_t pid = -1;
    std::string display; // ":N"
};

// Starts Xvfb with a 1280 x 1024 x 24 screen and sets DISPLAY. Returns false,
// with a message on stderr, when the server does not come up within 20 s.
bool startXvfb(XvfbServer& server);
void stopXvfb(XvfbServer& server);

// The one server of this test process, started on first use and stopped at exit.
// Aborts the test run when no server can be started.
const XvfbServer& sharedXvfb();
