// The file watcher of the live reloads.
#include "io/file_watch.h"

#include <algorithm>

namespace {

// Milliseconds between looks: a save is taken up 75 to 150 ms later.
const int LOOK_INTERVAL_MS = 75;

std::vector<FileWatch*> watches;
bool looked = false;
int lastLook = 0;

std::vector<FileStamp> stampsOf(const std::vector<std::string>& files)
{
    std::vector<FileStamp> stamps;
    for (const std::string& file : files)
        stamps.push_back(stampOf(file.c_str()));
    return stamps;
}

void look(FileWatch& watch)
{
    const std::vector<std::string> files = watch.files();
    const std::vector<FileStamp> stamps = stampsOf(files);
    if (!watch.stamps.readNow(stamps)) return;
    const bool reloaded = watch.reload();
    if (!watch.stamps.readDone(reloaded, stamps, stampsOf(files))) return;
    // A read may change which files are watched (a shader program includes
    // another file now): those it brought in count as read as they are now.
    const std::vector<std::string> filesNow = watch.files();
    if (filesNow != files) watch.stamps.settled = stampsOf(filesNow);
    watch.tell(reloaded);
}

} // namespace

void watchFiles(FileWatch& watch)
{
    watch.stamps = HoldStill<std::vector<FileStamp>>();
    watch.stamps.settled = stampsOf(watch.files());
    if (std::find(watches.begin(), watches.end(), &watch) == watches.end()) watches.push_back(&watch);
}

void checkWatchedFiles(int nowMs)
{
    if (looked && nowMs - lastLook < LOOK_INTERVAL_MS) return;
    looked = true;
    lastLook = nowMs;
    for (FileWatch* watch : watches)
        look(*watch);
}
