// Reloading the viewer's programs: every load gives its outcome, a refusal names
// the file and line at fault and stands until a load is accepted, and the
// programs that draw are those of the last good load.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <gtest/gtest.h>

#include "io/file_watch.h"
#include "shading/shader_reload.h"

namespace fs = std::filesystem;

namespace {

std::string readText(const fs::path& path)
{
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

void writeText(const fs::path& path, const std::string& text)
{
    std::ofstream(path) << text;
}

// The names of the uniforms the drawing programs use, one after another.
std::string uniformNames()
{
    std::string names;
    for (const ActiveUniform& u : shaderUniforms())
        names += u.name + " ";
    return names;
}

} // namespace

TEST(ShaderReload, aRefusalNamesItsFileAndLineAndStandsUntilALoadIsAccepted)
{
    char name[] = "/tmp/shader_reload_test_XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    const fs::path dir = name, previous = fs::current_path();
    for (const char* file : {"vp_reflection.cg", "fp_reflection.cg"})
        fs::copy_file(fs::path(MESHSHADE_RUN_DIR) / file, dir / file);
    fs::current_path(dir);
    setupShaders();
    watchShaderFiles();
    const CGprogram drawing = ShaderBindings.fragmentProgram;
    // the shipped pair uses every parameter of the contract, and declares no others
    EXPECT_EQ(uniformNames(),
              "etaRatio eyePosition modelViewProj modelViewIT modelView modelViewEyeI specColor "
              "diffColor lightPosition Ks Kd Ka shininess globalAmbient dw aw environmentMap "
              "reflectivity matRatio weight shadowReduction ")
        << "in declaration order";

    // line 3 of the fragment program does not compile
    const std::string good = readText(dir / "fp_reflection.cg");
    std::string broken = good;
    broken.insert(broken.find('\n', broken.find('\n') + 1) + 1, "broken here\n");
    writeText(dir / "fp_reflection.cg", broken);
    ShaderLoad load = reloadShaders();
    EXPECT_FALSE(load.accepted);
    EXPECT_EQ(load.refusal.file, "fp_reflection.cg");
    EXPECT_EQ(load.refusal.line, 3);
    EXPECT_EQ(load.refusal.text.find("The compile returned an error.\nfp_reflection.cg:3("), 0u)
        << load.refusal.text;
    EXPECT_EQ(ShaderBindings.fragmentProgram, drawing) << "the last good programs draw on";
    EXPECT_EQ(lastShaderRefusal(), nullptr) << "nothing was told yet";

    // the watch tells the refusal once the file holds still, and keeps it
    testing::internal::CaptureStdout();
    int now = 1000;
    for (int look = 0; look < 3; look++, now += 100)
        checkWatchedFiles(now);
    const std::string told = testing::internal::GetCapturedStdout();
    EXPECT_EQ(told, load.refusal.text + "Shader reload failed; drawing with the previous programs.\n");
    ASSERT_NE(lastShaderRefusal(), nullptr);
    EXPECT_EQ(lastShaderRefusal()->line, 3);

    // a declaration of another type is refused at no line; a mended file is taken up
    writeText(dir / "fp_reflection.cg", good.substr(0, good.find("uniform float weight;")) +
                                            "uniform vec3 weight;" +
                                            good.substr(good.find("uniform float weight;") + 21));
    load = reloadShaders();
    EXPECT_EQ(load.refusal.file, "fp_reflection.cg");
    EXPECT_EQ(load.refusal.line, 0);
    EXPECT_NE(load.refusal.text.find("parameter `weight' is declared `vec3'"), std::string::npos);
    writeText(dir / "fp_reflection.cg", good);
    testing::internal::CaptureStdout();
    for (int look = 0; look < 3; look++, now += 100)
        checkWatchedFiles(now);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Reloaded vp_reflection.cg and fp_reflection.cg.\n");
    EXPECT_EQ(lastShaderRefusal(), nullptr);
    EXPECT_NE(ShaderBindings.fragmentProgram, drawing);
    EXPECT_NE(uniformNames().find("shadowReduction"), std::string::npos);

    fs::current_path(previous);
    fs::remove_all(dir);
}
