// #include in program files: the included text in place, every file's lines
// under numbers of its own that the driver's messages are turned back into,
// only includes of taken branches read, and every bad include refused with the
// place it stands, at once.
#include <algorithm>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shading/driver_log.h"
#include "shading/program_includes.h"
#include "shading/uniform_scan.h"

namespace {

struct Folder {
    std::string path;
    Folder()
    {
        char name[] = "/tmp/program_includes_XXXXXX";
        path = mkdtemp(name);
    }
    ~Folder() { EXPECT_EQ(system(("rm -rf " + path).c_str()), 0); }
    std::string write(const std::string& name, const std::string& text) const
    {
        const std::string file = path + "/" + name;
        FILE* f = fopen(file.c_str(), "wb");
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
        return file;
    }
};

// The compiler's line number of `text`'s first line that holds `marker`, as a
// GLSL 1.20 compiler counts after `#line N` (the next line is N + 1).
int compilerLineOf(const std::string& text, const std::string& marker)
{
    int line = 1;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string l = text.substr(start, end - start);
        if (l.find(marker) != std::string::npos) return line;
        line = l.compare(0, 6, "#line ") == 0 ? std::atoi(l.c_str() + 6) + 1 : line + 1;
        start = end + 1;
    }
    return -1;
}

// The 1-based line of `text` that holds `marker`.
int textLineOf(const std::string& text, const std::string& marker)
{
    const size_t at = text.find(marker);
    return at == std::string::npos ? -1 : 1 + int(std::count(text.begin(), text.begin() + long(at), '\n'));
}

} // namespace

TEST(ProgramIncludes, includedTextStandsInPlaceAndMessagesNameItsFileAndLine)
{
    Folder folder;
    mkdir((folder.path + "/lib").c_str(), 0700);
    // lib/noise.glsl includes common.glsl beside it; the program includes
    // common.glsl again (left out) and, in a branch not taken, a missing file
    folder.write("lib/noise.glsl", "// noise\n#include \"common.glsl\"\nuniform float noiseScale; // min=0\n"
                                   "float noise(vec3 p) { return NOISE_MARK; }\n");
    folder.write("lib/common.glsl", "uniform vec3 tint; /* a comment\n   over lines */ float COMMON_MARK;\n");
    const std::string text = "#version 120\n"
                             "#define WITH_NOISE 1\n"
                             "#if WITH_NOISE\n"
                             "#include \"lib/noise.glsl\" // the helpers\n"
                             "#else\n"
                             "#include \"missing.glsl\"\n"
                             "#endif\n"
                             "#include \"lib/common.glsl\"\n"
                             "#ifdef FROM_ARGUMENTS\n"
                             "#include \"lib/argument.glsl\"\n"
                             "#endif\n"
                             "#include \"lib/common.glsl\" /* a comment that\n"
                             "goes on */ uniform float afterInclude;\n"
                             "void fp() { MAIN_MARK; }\n";
    const std::string main = folder.write("fp.cg", text);
    const ExpandedProgram expanded = expandIncludes(main, text);
    ASSERT_EQ(expanded.error, "");
    ASSERT_EQ(expanded.files.size(), 3u);
    EXPECT_EQ(expanded.files[0].file, main);
    EXPECT_EQ(expanded.files[1].file, folder.path + "/lib/noise.glsl");
    EXPECT_EQ(expanded.files[2].file, folder.path + "/lib/common.glsl");
    // the missing file was not read, the argument's was not looked at either
    EXPECT_EQ(expanded.looked.size(), 3u);
    EXPECT_EQ(expanded.text.find("#include"), std::string::npos) << expanded.text;
    EXPECT_LT(expanded.text.find("COMMON_MARK"), expanded.text.find("NOISE_MARK"));
    EXPECT_EQ(expanded.text.find("COMMON_MARK"), expanded.text.rfind("COMMON_MARK"));
    // what the scans see: the declarations of the included files, in order, each
    // with the comment that ends its line and the place it stands in its file
    std::string names;
    for (const UniformDeclaration& u : scanUniforms(expanded.text)) {
        const SourcePlace place = placeOfTextLine(expanded, u.line);
        names += u.name + "[" + u.comment + "]" + place.file.substr(folder.path.size()) + ":" +
                 std::to_string(place.line) + " ";
    }
    EXPECT_EQ(names, "tint[]/lib/common.glsl:1 noiseScale[ min=0]/lib/noise.glsl:3 afterInclude[]/fp.cg:13 ");

    // a message on each marked line comes back with the file and line it stands on
    const std::string log =
        "0:" + std::to_string(compilerLineOf(expanded.text, "NOISE_MARK")) +
        "(30): error: `NOISE_MARK' undeclared\n0:" +
        std::to_string(compilerLineOf(expanded.text, "COMMON_MARK")) +
        "(21): error: x\n0:" + std::to_string(compilerLineOf(expanded.text, "MAIN_MARK")) +
        "(13): error: y\n0:" + std::to_string(compilerLineOf(expanded.text, "afterInclude")) +
        "(12): error: z\n";
    EXPECT_EQ(rewriteDriverLog(log, expanded.files),
              folder.path + "/lib/noise.glsl:4(30): error: `NOISE_MARK' undeclared\n" + folder.path +
                  "/lib/common.glsl:2(21): error: x\n" + main + ":14(13): error: y\n" + main +
                  ":13(12): error: z");
    // Mesa's preprocessor numbers them one line early after #line
    EXPECT_EQ(rewriteDriverLog("0:" + std::to_string(compilerLineOf(expanded.text, "NOISE_MARK") - 1) +
                                   "(1): preprocessor error: stop",
                               expanded.files, 1),
              folder.path + "/lib/noise.glsl:4(1): preprocessor error: stop");

    // ... and so does each line of the text, for the scans' messages
    struct Mark {
        const char* marker;
        std::string file;
        int line;
    } marks[] = {{"NOISE_MARK", folder.path + "/lib/noise.glsl", 4},
                 {"COMMON_MARK", folder.path + "/lib/common.glsl", 2},
                 {"noiseScale", folder.path + "/lib/noise.glsl", 3},
                 {"goes on", main, 13},
                 {"MAIN_MARK", main, 14},
                 {"WITH_NOISE 1", main, 2}};
    for (const Mark& m : marks) {
        const SourcePlace place = placeOfTextLine(expanded, textLineOf(expanded.text, m.marker));
        EXPECT_EQ(place.file + ":" + std::to_string(place.line), m.file + ":" + std::to_string(m.line))
            << m.marker;
    }

    // with the argument's define, its include is read (and is missing)
    const ExpandedProgram withArgument = expandIncludes(main, text, {"FROM_ARGUMENTS"});
    EXPECT_EQ(withArgument.error, main + ":10: error: cannot include \"lib/argument.glsl\" (" + folder.path +
                                      "/lib/argument.glsl): No such file or directory");
    EXPECT_EQ(withArgument.looked.back(), folder.path + "/lib/argument.glsl");

    // from GLSL 3.30 on `#line N` numbers the next line N
    const std::string modern = "#version 330 compatibility\n#include \"lib/common.glsl\"\nvoid fp() {}\n";
    const ExpandedProgram m = expandIncludes(main, modern);
    EXPECT_NE(m.text.find("#line " + std::to_string(m.files[1].first) + "\n"), std::string::npos) << m.text;
    EXPECT_NE(m.text.find("#line 3\nvoid fp"), std::string::npos) << m.text;

    // a file without includes is given back as it is
    EXPECT_EQ(expandIncludes(main, "void fp() {}\n").text, "void fp() {}\n");
}

TEST(ProgramIncludes, badIncludesAreRefusedWithTheirPlaceAndNeverHang)
{
    Folder folder;
    const std::string& dir = folder.path;
    ASSERT_EQ(mkfifo((dir + "/pipe.glsl").c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", (dir + "/zero.glsl").c_str()), 0);
    mkdir((dir + "/folder.glsl").c_str(), 0700);
    folder.write("self.glsl", "\n#include \"self.glsl\"\n");
    folder.write("a.glsl", "#include \"b.glsl\"\n");
    folder.write("b.glsl", "float b;\n#include \"a.glsl\"\n");
    folder.write("versioned.glsl", "// a helper\n#version 120\n");
    folder.write("nul.glsl", std::string("float x;\n\0", 10));
    folder.write("open.glsl", "float x; /* never closed\n");
    folder.write("big.glsl", std::string(3 << 20, ' '));
    folder.write("big2.glsl", std::string(3 << 20, ' '));
    for (int i = 0; i <= 33; i++)
        folder.write("deep" + std::to_string(i) + ".glsl",
                     "#include \"deep" + std::to_string(i + 1) + ".glsl\"\n");
    const std::string main = dir + "/fp.cg";

    struct Case {
        std::string line;
        std::string error;
    } cases[] = {
        {"#include \"missing.glsl\"", "fp.cg:2: error: cannot include \"missing.glsl\" (" + dir +
                                          "/missing.glsl): No such file or directory"},
        {"#include \"folder.glsl\"",
         "fp.cg:2: error: cannot include \"folder.glsl\" (" + dir + "/folder.glsl): is a directory"},
        {"#include \"pipe.glsl\"", "is a named pipe (FIFO), not a regular file"},
        {"#include \"zero.glsl\"", "is a device, not a regular file"},
        {"#include \"self.glsl\"",
         "self.glsl:2: error: include cycle: " + dir + "/self.glsl -> " + dir + "/self.glsl"},
        {"#include \"a.glsl\"",
         "b.glsl:2: error: include cycle: " + dir + "/a.glsl -> " + dir + "/b.glsl -> " + dir + "/a.glsl"},
        {"#include \"fp.cg\"", "fp.cg:2: error: include cycle: " + main + " -> " + main},
        {"#include \"deep0.glsl\"", "deep31.glsl:1: error: cannot include \"deep32.glsl\" (" + dir +
                                        "/deep32.glsl): includes nest deeper than 32 files"},
        {"#include \"versioned.glsl\"",
         "versioned.glsl:2: error: #version belongs in the program file alone, not in a file it includes"},
        {"#include \"nul.glsl\"", "nul.glsl:2: error: a NUL byte; a program file must be plain text"},
        {"#include \"open.glsl\"", "open.glsl: error: a block comment is not closed by the end of the file"},
        {"#include \"big.glsl\"\n#include \"big2.glsl\"",
         "fp.cg:3: error: cannot include \"big2.glsl\" (" + dir +
             "/big2.glsl): the program with the files it includes is larger than 4 MiB"},
        {"#include <noise.glsl>", "fp.cg:2: error: #include needs a file name in double quotes"},
        {"#include", "fp.cg:2: error: #include needs a file name in double quotes"},
        {"#include \"unclosed", "fp.cg:2: error: #include needs a file name in double quotes"},
    };
    for (const Case& c : cases) {
        const std::string text = "// program\n" + c.line + "\nvoid fp() {}\n";
        folder.write("fp.cg", text);
        const ExpandedProgram program = expandIncludes(main, text);
        EXPECT_NE(program.error.find(c.error), std::string::npos) << c.line << "\n" << program.error;
        EXPECT_EQ(program.text, "") << c.line;
    }
}
