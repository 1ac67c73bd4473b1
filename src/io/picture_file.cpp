// Pictures in the format of their extension, written whole or not at all.
#include "io/picture_file.h"

#include <cerrno>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stb/stb_image_write.h>

namespace {

bool endsWithNoCase(const std::string& text, const char* tail)
{
    const size_t n = strlen(tail);
    if (text.size() < n) return false;
    for (size_t i = 0; i < n; i++)
        if (tolower(static_cast<unsigned char>(text[text.size() - n + i])) != tail[i]) return false;
    return true;
}

// stb_image_write's callback: appends to a byte vector
void appendBytes(void* context, void* data, int size)
{
    auto* bytes = static_cast<std::vector<unsigned char>*>(context);
    const auto* from = static_cast<const unsigned char*>(data);
    bytes->insert(bytes->end(), from, from + size);
}

// Writes all of `bytes` to the open file `fd`, then closes it. False with errno set on failure.
bool writeAllAndClose(int fd, const std::vector<unsigned char>& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            const int saved = errno;
            close(fd);
            errno = saved;
            return false;
        }
        done += size_t(n);
    }
    return close(fd) == 0;
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

bool pictureFormatForPath(const std::string& path, PictureFormat& format)
{
    const struct {
        const char* extension;
        PictureFormat format;
    } formats[] = {{".png", PICTURE_PNG},
                   {".jpg", PICTURE_JPEG},
                   {".jpeg", PICTURE_JPEG},
                   {".bmp", PICTURE_BMP},
                   {".tga", PICTURE_TGA}};
    for (const auto& f : formats)
        if (endsWithNoCase(path, f.extension) && path.size() > strlen(f.extension) &&
            path[path.size() - strlen(f.extension) - 1] != '/') {
            format = f.format;
            return true;
        }
    return false;
}

const char* pictureExtensions()
{
    return ".png, .jpg (or .jpeg), .bmp, .tga";
}

std::vector<unsigned char> encodePictureBottomUp(PictureFormat format, const unsigned char* rgb, int width,
                                                 int height)
{
    std::vector<unsigned char> bytes;
    // the formats' rows run top-down
    stbi_flip_vertically_on_write(1);
    int ok = 0;
    switch (format) {
    case PICTURE_PNG:
        ok = stbi_write_png_to_func(appendBytes, &bytes, width, height, 3, rgb, width * 3);
        break;
    case PICTURE_JPEG:
        ok = stbi_write_jpg_to_func(appendBytes, &bytes, width, height, 3, rgb, JPEG_QUALITY);
        break;
    case PICTURE_BMP:
        ok = stbi_write_bmp_to_func(appendBytes, &bytes, width, height, 3, rgb);
        break;
    case PICTURE_TGA:
        stbi_write_tga_with_rle = 1; // a setting of the library's, shared with anyone else using it
        ok = stbi_write_tga_to_func(appendBytes, &bytes, width, height, 3, rgb);
        break;
    }
    stbi_flip_vertically_on_write(0);
    if (!ok) bytes.clear();
    return bytes;
}

bool writeWholeFile(const std::string& path, const std::vector<unsigned char>& bytes, std::string& why)
{
    struct stat s;
    const bool exists = stat(path.c_str(), &s) == 0;
    if (exists && S_ISDIR(s.st_mode)) {
        why = "is a directory";
        return false;
    }
    if (exists && !S_ISREG(s.st_mode)) {
        // a device or a pipe cannot be replaced: it takes the bytes itself
        const int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd < 0 || !writeAllAndClose(fd, bytes)) {
            why = strerror(errno);
            return false;
        }
        return true;
    }
    // a symbolic link keeps pointing at the file it names
    std::string target = path;
    if (exists) {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved)) target = resolved;
    }
    std::string temporary = folderOf(target) + "/.meshshade-XXXXXX";
    const int fd = mkstemp(&temporary[0]);
    if (fd < 0) {
        why = strerror(errno);
        return false;
    }
    // the permissions a new file gets, or the old file's
    mode_t mode = s.st_mode & 07777;
    if (!exists) {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    bool written = fchmod(fd, mode) == 0;
    if (!written) {
        const int saved = errno;
        close(fd);
        errno = saved;
    } else {
        written = writeAllAndClose(fd, bytes) && rename(temporary.c_str(), target.c_str()) == 0;
    }
    if (!written) {
        why = strerror(errno);
        unlink(temporary.c_str());
    }
    return written;
}
