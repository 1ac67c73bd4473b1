// The shader programs in the real viewer: failures at start-up end it with the
// runtime's report, and every mixing value of the panel shows in the picture.
#include <gtest/gtest.h>

#include "viewer.h"
#include "xvfb.h"

namespace {

// Runs the viewer in a working directory changed by `prepare` and waits for it to end.
AppRun runToEnd(void (*prepare)(const std::string& dir))
{
    sharedXvfb();
    std::string dir = makeWorkDir();
    prepare(dir);
    AppRun app;
    EXPECT_TRUE(startApp(app, {programPath()}, dir));
    EXPECT_TRUE(waitForExit(app, 30000));
    stopApp(app);
    removeDir(dir);
    return app;
}

// Replaces the first occurrence of `from` in a working-directory file.
void edit(const std::string& path, const std::string& from, const std::string& to)
{
    std::string text = readFile(path);
    size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    writeFile(path, text.replace(at, from.size(), to));
}

const std::string BACKSPACES(2000000, '\b');

} // namespace

TEST(ShaderFailure, missingFragmentFileIsReportedBeforeTheVertexFileIsRead)
{
    AppRun app = runToEnd([](const std::string& dir) { std::remove((dir + "/fp_reflection.cg").c_str()); });
    EXPECT_EQ(app.exitStatus, 1);
    std::string out = appStdout(app);
    size_t report = out.find("fp_reflection.cg");
    ASSERT_NE(report, std::string::npos) << out.substr(0, 2000);
    EXPECT_EQ(out.find("vp_reflection.cg"), std::string::npos);
    size_t exiting = out.find("Cg error, exiting...\n");
    ASSERT_NE(exiting, std::string::npos);
    EXPECT_LT(report, exiting);
    // the pause: two million backspaces after the last line
    EXPECT_EQ(out.substr(exiting + 21), BACKSPACES);
}

TEST(ShaderFailure, compileErrorPrintsTextListingWithLineAndExits)
{
    AppRun app = runToEnd([](const std::string& dir) {
        edit(dir + "/vp_reflection.cg", "gl_Position = modelViewProj * gl_Vertex;",
             "gl_Position = modelViewProj * gl_Vertex; not valid here");
    });
    EXPECT_EQ(app.exitStatus, 1);
    std::string out = appStdout(app);
    size_t exiting = out.find("Cg error, exiting...\n");
    ASSERT_NE(exiting, std::string::npos) << out.substr(0, 2000);
    std::string report = out.substr(0, exiting);
    // the runtime's error text, then the listing naming the file and its line
    EXPECT_NE(report.find("compile"), std::string::npos) << report;
    const std::string source = readFile(shippedShaderPath("vp_reflection.cg"));
    int expected = 1;
    for (size_t i = 0; i < source.find("gl_Position = modelViewProj"); i++)
        expected += source[i] == '\n';
    EXPECT_NE(report.find("vp_reflection.cg:" + std::to_string(expected) + "("), std::string::npos) << report;
    EXPECT_EQ(out.substr(exiting + 21), BACKSPACES);
}

TEST(ShaderFailure, missingVertexParameterEndsWithTheVertexMessage)
{
    AppRun app = runToEnd([](const std::string& dir) {
        edit(dir + "/vp_reflection.cg", "uniform float aw;", "uniform float awe;");
        edit(dir + "/vp_reflection.cg", "ambientTerm = aw * Ka", "ambientTerm = awe * Ka");
    });
    EXPECT_EQ(app.exitStatus, 1);
    std::string out = appStdout(app);
    // the line of old alone, right after the meshes are read; the parameter is named on the error stream
    EXPECT_NE(
        out.find("cessna_color500.m\nUnable to get program parameters from vertex shader, exiting...\n" +
                 BACKSPACES),
        std::string::npos)
        << out.substr(0, 2000);
    EXPECT_EQ(out.find("fragment shader"), std::string::npos);
    EXPECT_EQ(appStderr(app), "vp_reflection.cg: parameter `aw' is not declared\n");
}

TEST(ShaderFailure, parameterOfAnotherTypeEndsWithALineNamingIt)
{
    AppRun app = runToEnd([](const std::string& dir) {
        edit(dir + "/vp_reflection.cg", "uniform vec4 lightPosition;", "uniform vec3 lightPosition;");
    });
    EXPECT_EQ(app.exitStatus, 1);
    EXPECT_NE(appStdout(app).find("cessna_color500.m\nUnable to get program parameters from vertex shader, "
                                  "exiting...\n" +
                                  BACKSPACES),
              std::string::npos)
        << appStdout(app).substr(0, 2000);
    EXPECT_EQ(appStderr(app),
              "vp_reflection.cg: parameter `lightPosition' is declared `vec3'; the viewer needs `vec4'\n");
}

TEST(ShaderFailure, parameterNamesAreCaseSensitive)
{
    AppRun app = runToEnd([](const std::string& dir) {
        edit(dir + "/vp_reflection.cg", "uniform vec3 Ks;", "uniform vec3 ks;");
        edit(dir + "/vp_reflection.cg", "specularTerm = Ks", "specularTerm = ks");
    });
    EXPECT_EQ(app.exitStatus, 1);
    EXPECT_NE(appStdout(app).find("Unable to get program parameters from vertex shader"), std::string::npos);
}

TEST(ShaderFailure, missingEnvironmentMapEndsWithTheFragmentMessage)
{
    AppRun app = runToEnd([](const std::string& dir) {
        std::string path = dir + "/fp_reflection.cg";
        std::string text = readFile(path);
        for (size_t at = text.find("environmentMap"); at != std::string::npos;
             at = text.find("environmentMap"))
            text.replace(at, 14, "skyMap");
        writeFile(path, text);
    });
    EXPECT_EQ(app.exitStatus, 1);
    std::string out = appStdout(app);
    EXPECT_NE(out.find("Unable to get program parameters from fragment shader, exiting...\n" + BACKSPACES),
              std::string::npos)
        << out.substr(0, 2000);
    EXPECT_EQ(out.find("vertex shader"), std::string::npos);
}

namespace {

struct Shading : ViewerTest {
    // Drags a panel field far to the left (its lowest value) or right (its highest).
    void dragField(const std::string& name, bool toHighest)
    {
        ASSERT_TRUE(dragPanelField(viewer, name, toHighest ? 720 : -720)) << name;
    }
};

} // namespace

TEST_F(Shading, shadersChangeTheAircraftsPixels)
{
    Picture shaded = frame(viewer);
    ASSERT_TRUE(clickPanelControl(viewer, "ShaderToggle"));
    Picture fixed = frame(viewer);
    EXPECT_GT(countDifferent(shaded, fixed, 40, 100, 150, 500, 450), 3000);
    // the sky is drawn without them either way
    EXPECT_EQ(countDifferent(shaded, fixed, 12, 0, 0, 80, 80), 0);
}

TEST_F(Shading, everyMixingValueChangesTheMesh)
{
    // refraction shows only where the surface is not a pure mirror
    dragField("Reflectivity", false);
    const char* fields[] = {"PhongShadingAmount", "AmbientComponent", "DiffuseComponent",
                            "OtherShadingAmount", "Reflectivity",     "Eta"};
    for (const char* field : fields) {
        dragField(field, false);
        Picture low = frame(viewer);
        dragField(field, true);
        Picture high = frame(viewer);
        EXPECT_GT(countDifferent(low, high, 20, 100, 150, 500, 450), 800) << field;
        EXPECT_EQ(countDifferent(low, high, 12, 0, 0, 80, 80), 0) << field;
        if (std::string(field) == "Reflectivity") dragField(field, false);
    }
    // the check box: the unlit side falls dark without shadow reduction
    Picture reduced = frame(viewer);
    ASSERT_TRUE(clickPanelControl(viewer, "ShadowReduction"));
    EXPECT_GT(countDifferent(reduced, frame(viewer), 20, 100, 150, 500, 450), 800);
}
