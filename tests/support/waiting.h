// Waiting in tests and benchmarks: a plain pause, and a wait on a condition
// with a deadline, which is what a test should use wherever it can.
#pragma once

// Pauses this thread.
void sleepMs(int ms);

// Checks `ready` every `stepMs` until it holds (true) or `timeoutMs` has passed (false).
template <typename Ready> bool waitUntil(Ready ready, int timeoutMs, int stepMs = 20)
{
    for (int waited = 0;; waited += stepMs) {
        if (ready()) return true;
        if (waited >= timeoutMs) return false;
        sleepMs(stepMs);
    }
}
