// Counting the drawing window's frames from outside the program.
#include "frame_counter.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

bool openFrameCounter(FrameCounter& counter, const std::string& path)
{
    closeFrameCounter(counter);
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    const SwapCounter zero = {};
    void* mapped = MAP_FAILED;
    if (write(fd, &zero, sizeof zero) == ssize_t(sizeof zero))
        mapped = mmap(nullptr, sizeof(SwapCounter), PROT_READ, MAP_SHARED, fd, 0);
    close(fd);
    if (mapped == MAP_FAILED) return false;
    counter.path = path;
    counter.shared = static_cast<const SwapCounter*>(mapped);
    return true;
}

void closeFrameCounter(FrameCounter& counter)
{
    if (counter.shared) munmap(const_cast<SwapCounter*>(counter.shared), sizeof(SwapCounter));
    counter.shared = nullptr;
}

std::vector<std::string> frameCounterEnvironment(const FrameCounter& counter, const std::string& preload)
{
    const std::string library = SWAP_COUNTER_LIBRARY;
    return {"LD_PRELOAD=" + (preload.empty() ? library : library + ":" + preload),
            "MESHSHADE_SWAP_COUNTER=" + counter.path};
}

uint64_t framesDrawn(const FrameCounter& counter)
{
    return counter.shared ? counter.shared->swaps : 0;
}
