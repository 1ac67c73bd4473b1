// Tiny .m files for the mesh tests: written to a temporary file, loaded into a
// slot as start-up does, with the console output kept for checking.
#pragma once

#include <gtest/gtest.h>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "app/mesh_slots.h"
#include "app/scene_state.h"

// Writes `text` (NUL bytes allowed) to a new temporary file; returns its path.
static inline std::string writeTempMesh(const std::string& text)
{
    char path[] = "/tmp/meshshade_meshXXXXXX";
    int fd = mkstemp(path);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, text.data(), text.size()), ssize_t(text.size()));
    close(fd);
    return path;
}

struct Loaded {
    std::string path; // the file that was read, already removed
    std::string out;  // standard output while loading
    std::string err;  // standard error while loading
};

// Starts from the program's start values and loads `text` into `slot`.
static inline Loaded loadMeshText(const std::string& text, int slot = 1)
{
    restoreStartValues();
    Loaded r;
    r.path = writeTempMesh(text);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    std::string why;
    loadMeshSlot(slot, r.path.c_str(), why);
    r.err = testing::internal::GetCapturedStderr();
    r.out = testing::internal::GetCapturedStdout();
    unlink(r.path.c_str());
    return r;
}

// Number of lines in `text`.
static inline int lineCount(const std::string& text)
{
    int n = 0;
    for (char c : text)
        n += c == '\n';
    return n;
}
