// The shader workspace made by --init.
#include "app/workspace.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <climits>
#include <unistd.h>

#include "io/data_files.h"

namespace fs = std::filesystem;

namespace {

// What a run reads from the shipped folder: its shader files, meshes and cube
// maps. The build's ".shipped" copies and anything else there stay behind.
std::vector<fs::path> filesToCopy(const fs::path& shipped, std::error_code& error)
{
    std::vector<fs::path> files;
    for (const char* name : {"vp_reflection.cg", "fp_reflection.cg"})
        files.push_back(name);
    for (const fs::directory_entry& entry : fs::directory_iterator(shipped, error))
        if (entry.is_regular_file() && entry.path().extension() == ".m")
            files.push_back(entry.path().filename());
    if (error) return files;
    for (const fs::directory_entry& entry : fs::directory_iterator(shipped / "cubemaps", error))
        if (entry.is_regular_file()) files.push_back(fs::path("cubemaps") / entry.path().filename());
    return files;
}

std::string programPathForUsers()
{
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, size_t(length)) : "meshshade";
}

} // namespace

int makeShaderWorkspace(const char* dir)
{
    const std::string& shipped = shippedFilesFolder();
    if (shipped.empty()) {
        fprintf(stderr, "meshshade: --init: the shipped files are neither beside the program nor in "
                        "../share/meshshade/\n");
        return 1;
    }
    std::error_code error;
    const fs::path target(dir);
    if (fs::exists(target, error) && !(fs::is_directory(target, error) && fs::is_empty(target, error))) {
        fprintf(stderr,
                "meshshade: --init: %s already exists and is not an empty folder; nothing was written\n",
                dir);
        return 1;
    }
    std::vector<fs::path> files = filesToCopy(shipped, error);
    if (error) {
        fprintf(stderr, "meshshade: --init: cannot list %s: %s\n", shipped.c_str(), error.message().c_str());
        return 1;
    }
    fs::create_directories(target / "cubemaps", error);
    for (const fs::path& file : files) {
        if (error) break;
        // overwrite_existing is never needed: the folder was empty
        fs::copy_file(fs::path(shipped) / file, target / file, fs::copy_options::none, error);
        if (error) {
            fprintf(stderr, "meshshade: --init: cannot copy %s into %s: %s\n", file.c_str(), dir,
                    error.message().c_str());
            return 1;
        }
    }
    if (error) {
        fprintf(stderr, "meshshade: --init: cannot make %s: %s\n", dir, error.message().c_str());
        return 1;
    }
    printf("Made a shader workspace in %s with %zu files from %s.\n"
           "Start the viewer there:\n"
           "  cd %s && %s\n"
           "Edits to vp_reflection.cg and fp_reflection.cg show as soon as they are saved.\n",
           dir, files.size(), shipped.c_str(), dir, programPathForUsers().c_str());
    return 0;
}
