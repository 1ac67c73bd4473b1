// Files the viewer is handed are read only when they are regular files within
// their cap; anything else is refused at once with a reason, never a hang.
#include <string>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "io/bounded_file.h"

TEST(BoundedFile, readsRegularFilesAndRefusesEverythingElseAtOnce)
{
    char dirTemplate[] = "/tmp/bounded_file_XXXXXX";
    const std::string dir = mkdtemp(dirTemplate);
    const std::string plain = dir + "/plain.cg", fifo = dir + "/pipe.cg", zero = dir + "/zero.cg";
    FILE* f = fopen(plain.c_str(), "wb");
    fputs("uniform float aw;\n", f);
    fclose(f);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", zero.c_str()), 0);

    std::string bytes, why;
    EXPECT_TRUE(readRegularFile(plain.c_str(), 100, bytes, why)) << why;
    EXPECT_EQ(bytes, "uniform float aw;\n");

    struct Case {
        std::string path;
        const char* reason;
    } cases[] = {
        {dir, "is a directory"},
        {fifo, "named pipe"},
        {zero, "device"},
        {dir + "/missing.cg", "No such file"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(readRegularFile(c.path.c_str(), MAX_SHADER_FILE_BYTES, bytes, why)) << c.path;
        EXPECT_NE(why.find(c.reason), std::string::npos) << c.path << ": " << why;
    }
    EXPECT_FALSE(readRegularFile(plain.c_str(), 10, bytes, why));
    EXPECT_EQ(why, "is larger than 10 bytes (18 bytes)");

    unlink(plain.c_str());
    unlink(fifo.c_str());
    unlink(zero.c_str());
    rmdir(dir.c_str());
}
