// Waiting in tests and benchmarks: a plain pause, and a wait on a condition
// with a deadline, which is what a test should use wherever it can.
#pragma once

#include <chrono>

// Pauses this thread.
void sleepMs(int ms);

// Checks `ready` every `stepMs` until it holds (true) or `timeoutMs` has passed (false).
template <typename Ready> bool waitUntil(Ready ready, int timeoutMs, int stepMs = 20)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!ready()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        sleepMs(stepMs);
    }
    return true;
}
