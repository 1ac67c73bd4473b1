// Waiting in tests and benchmarks.
#include "waiting.h"

#include <chrono>
#include <thread>

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
