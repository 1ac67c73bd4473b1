/* Preloaded into the viewer by the frame-rate benchmark: counts the buffer
   swaps of the "Mesh display" window into a small shared file, so frames are
   counted from outside the program; the end-to-end tests wait on them too. The
   file (MESHSHADE_SWAP_COUNTER) holds a struct SwapCounter (swap_counter.h). */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include "swap_counter.h"

static struct SwapCounter* counter;
static GLXDrawable mainDrawable;
static GLXDrawable otherDrawables[8];

static struct SwapCounter* openCounter(void)
{
    const char* path = getenv("MESHSHADE_SWAP_COUNTER");
    if (!path) return NULL;
    int fd = open(path, O_RDWR);
    if (fd < 0) return NULL;
    void* p = mmap(NULL, sizeof(struct SwapCounter), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    close(fd);
    return p == MAP_FAILED ? NULL : (struct SwapCounter*)p;
}

static int isMainWindow(Display* display, GLXDrawable drawable)
{
    if (drawable == mainDrawable) return 1;
    for (int i = 0; i < 8; i++)
        if (otherDrawables[i] == drawable) return 0;
    char* name = NULL;
    int main = XFetchName(display, drawable, &name) && name && strcmp(name, "Mesh display") == 0;
    if (name) XFree(name);
    if (main)
        mainDrawable = drawable;
    else
        for (int i = 0; i < 8; i++)
            if (!otherDrawables[i]) {
                otherDrawables[i] = drawable;
                break;
            }
    return main;
}

void glXSwapBuffers(Display* display, GLXDrawable drawable)
{
    static void (*real)(Display*, GLXDrawable) = NULL;
    if (!real) real = (void (*)(Display*, GLXDrawable))dlsym(RTLD_NEXT, "glXSwapBuffers");
    real(display, drawable);
    if (!counter) counter = openCounter();
    if (!counter || !isMainWindow(display, drawable)) return;
    if (counter->swaps == 0) {
        struct timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        counter->firstSwapNs = (uint64_t)now.tv_sec * 1000000000u + (uint64_t)now.tv_nsec;
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        /* and the importer process's, which has ended by then */
        struct rusage children;
        getrusage(RUSAGE_CHILDREN, &children);
        counter->firstSwapCpuNs =
            (uint64_t)now.tv_sec * 1000000000u + (uint64_t)now.tv_nsec +
            ((uint64_t)children.ru_utime.tv_sec + (uint64_t)children.ru_stime.tv_sec) * 1000000000u +
            ((uint64_t)children.ru_utime.tv_usec + (uint64_t)children.ru_stime.tv_usec) * 1000u;
    }
    counter->swaps++;
}
