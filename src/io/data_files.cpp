// Finding the viewer's files: the working directory, then the shipped files.
#include "io/data_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <climits>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool shippedFilesInUse = false;
bool folderAnnounced = false;
std::string programFolder; // of --shaders, "" for none

bool exists(const std::string& path)
{
    struct stat s;
    return stat(path.c_str(), &s) == 0;
}

bool isRegularFile(const std::string& path)
{
    struct stat s;
    return stat(path.c_str(), &s) == 0 && S_ISREG(s.st_mode);
}

// The folder of the running executable, without a trailing slash.
std::string executableFolder()
{
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "";
    std::string exe(path, size_t(length));
    size_t slash = exe.rfind('/');
    return slash == std::string::npos ? "." : exe.substr(0, slash);
}

std::string findShippedFolder()
{
    const std::string exe = executableFolder();
    if (exe.empty()) return "";
    // A folder holds the shipped files when it holds the vertex program; an
    // installed share/ folder is named by its canonical path.
    const std::string candidates[] = {exe, exe + "/../share/meshshade"};
    for (const std::string& folder : candidates) {
        if (!isRegularFile(folder + "/vp_reflection.cg")) continue;
        char resolved[PATH_MAX];
        return realpath(folder.c_str(), resolved) ? std::string(resolved) : folder;
    }
    return "";
}

} // namespace

void useShippedFilesWhereMissing()
{
    shippedFilesInUse = true;
}

bool takeProgramFilesFrom(const std::string& folder, std::string& why)
{
    struct stat s;
    if (stat(folder.c_str(), &s) != 0) {
        why = strerror(errno);
        return false;
    }
    if (!S_ISDIR(s.st_mode)) {
        why = "is not a folder";
        return false;
    }
    programFolder = folder;
    while (programFolder.size() > 1 && programFolder.back() == '/')
        programFolder.pop_back();
    return true;
}

std::string programFilePath(const char* name)
{
    if (programFolder.empty()) return dataFilePath(name);
    return programFolder == "/" ? "/" + std::string(name) : programFolder + "/" + name;
}

const std::string& shippedFilesFolder()
{
    static const std::string folder = findShippedFolder();
    return folder;
}

std::string dataFilePath(const char* name)
{
    if (!shippedFilesInUse || exists(name) || shippedFilesFolder().empty()) return name;
    std::string shipped = shippedFilesFolder() + "/" + name;
    if (!exists(shipped)) return name; // reported as missing under the name the user knows
    if (!folderAnnounced) {
        printf("Files not in this folder are taken from %s\n", shippedFilesFolder().c_str());
        folderAnnounced = true;
    }
    return shipped;
}
