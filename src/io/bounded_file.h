// Opening and reading the files a user hands the viewer, safely: only regular
// files (symlinks followed) are read, a named pipe or a device never blocks the
// viewer, and no file is read beyond a size cap that suits its kind. Used by the
// readers of shader files, mesh files and images.
#pragma once

#include <cstddef>
#include <string>

// Size caps of the kinds of file the viewer reads.
constexpr size_t MAX_SHADER_FILE_BYTES = size_t(4) << 20;
constexpr size_t MAX_IMAGE_FILE_BYTES = size_t(256) << 20;

// Opens `path` for reading when it is a regular file of at most `maxBytes`.
// Returns the descriptor (the caller closes it) and the file's size in `size`;
// -1 with the reason in `why` otherwise: "is a directory", "is a named pipe
// (FIFO)", "is larger than 4 MiB (...)", or the system's text ("No such file or
// directory"). Never blocks, whatever the file is.
int openRegularFile(const char* path, size_t maxBytes, std::string& why, size_t* size = nullptr);
// Reads the whole of a regular file of at most `maxBytes` into `bytes`. False,
// with the reason in `why`, as openRegularFile, or when reading fails or the file
// grows beyond the cap while it is read.
bool readRegularFile(const char* path, size_t maxBytes, std::string& bytes, std::string& why);
// The same for a file that openRegularFile opened, of `size` bytes then, read
// from its start through the descriptor, which stays open.
bool readOpenFile(int fd, size_t size, size_t maxBytes, std::string& bytes, std::string& why);

// Folders
// The real path (symbolic links and ".." resolved) of the file open on `fd`;
// empty when the system cannot tell.
std::string realPathOfOpenFile(int fd);
// The real path of the folder that holds `path` (as named, the last symbolic
// link not followed); empty when it does not exist.
std::string realFolderOf(const char* path);
// Whether the real path `file` lies in the real folder `folder` or below it.
bool isWithinFolder(const std::string& file, const std::string& folder);
// A byte count for messages: "4 MiB", "256 MiB", "1.5 GiB", "812 bytes".
std::string describeBytes(size_t bytes);
