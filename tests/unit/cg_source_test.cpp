// Program text handling of the shader runtime: which uniforms a file declares,
// where the entry function's define goes, and how driver logs are renamed.
#include <gtest/gtest.h>

#include "shading/cg_source.h"

static std::string describe(const std::vector<UniformDeclaration>& uniforms)
{
    std::string out;
    for (const UniformDeclaration& u : uniforms)
        out += u.type + " " + u.name + "[" + std::to_string(u.arraySize) + "] ";
    return out;
}

TEST(CgSource, scanFindsEveryFileScopeUniformAndNothingElse)
{
    const char* text = "#version 120\n"
                       "// uniform float lineComment;\n"
                       "/* uniform vec3 blockComment;\n"
                       "   uniform vec3 stillComment; */\n"
                       "uniform float etaRatio;\n"
                       "uniform vec3 Ka, Kd,Ks;\n"
                       "uniform\n  mat4\n  modelView ;\n"
                       "uniform samplerCube environmentMap;\n"
                       "uniform float weights[3], single;\n"
                       "uniform float[2] pair;\n"
                       "uniform vec3 tint = vec3(1.0, 0.5, 0.0), other;\n"
                       "uniform highp float precise;\n"
                       "uniform struct Light { vec3 position; float range; } light;\n"
                       "#define FAKE uniform float fromMacroLine; \\\n"
                       "    uniform float continued;\n"
                       "uniform Block { float member; };\n"
                       "const float uniformLooking = 1.0;\n"
                       "void main() { float uniformish = 1.0; }\n"
                       "uniform vec4 afterMain;\n";
    EXPECT_EQ(describe(scanUniforms(text)), "float etaRatio[1] vec3 Ka[1] vec3 Kd[1] vec3 Ks[1] "
                                            "mat4 modelView[1] samplerCube environmentMap[1] "
                                            "float weights[3] float single[1] float pair[2] "
                                            "vec3 tint[1] vec3 other[1] float precise[1] Light light[1] "
                                            "vec4 afterMain[1] ");
}

TEST(CgSource, scanSurvivesUnfinishedDeclarations)
{
    EXPECT_EQ(describe(scanUniforms("uniform")), "");
    EXPECT_EQ(describe(scanUniforms("uniform vec3")), "");
    EXPECT_EQ(describe(scanUniforms("uniform vec3 a")), "vec3 a[1] ");
    EXPECT_EQ(describe(scanUniforms("uniform float b[N]; uniform float c[")), "float b[0] float c[0] ");
    EXPECT_EQ(describe(scanUniforms("/* uniform float open")), "");
    EXPECT_EQ(describe(scanUniforms("} uniform float d; {")), "float d[1] ");
}

TEST(CgSource, entryFunctionIsFoundOnlyAtFileScope)
{
    EXPECT_TRUE(declaresFunction("void vp_reflection()\n{\n}\n", "vp_reflection"));
    EXPECT_TRUE(declaresFunction("vec4 shade(vec3 n);", "shade"));
    EXPECT_FALSE(declaresFunction("void main() { vp_reflection(); }", "vp_reflection"));
    EXPECT_FALSE(declaresFunction("// void vp_reflection() {}\nvoid main() {}", "vp_reflection"));
    EXPECT_FALSE(declaresFunction("void vp_reflectionX() {}", "vp_reflection"));
}

TEST(CgSource, entryDefineFollowsTheVersionLine)
{
    // a file without #version gets one in front and keeps every character
    const std::string bare = "void vp() {}\n";
    const std::string prepared = prepareProgramSource(bare, "vp");
    EXPECT_EQ(prepared.find("#version 120\n"), 0u);
    EXPECT_NE(prepared.find("#define vp main\n"), std::string::npos);
    EXPECT_EQ(prepared.substr(prepared.size() - bare.size()), bare);

    // a #version in a comment is not the file's version
    EXPECT_EQ(prepareProgramSource("// #version 330\nvoid vp() {}", "vp").find("#version 120\n"), 0u);

    // the define comes after the version, even one that follows comments
    const std::string late = "// header\n/* more */\n#version 120 // trailing\nvoid vp() {}";
    const std::string out = prepareProgramSource(late, "vp", {"LEVEL 2"});
    ASSERT_EQ(out.find("#version"), 0u + late.find("#version"));
    EXPECT_LT(out.find("#version"), out.find("#define vp main"));
    EXPECT_LT(out.find("#define vp main"), out.find("#define LEVEL 2"));
    EXPECT_LT(out.find("#define LEVEL 2"), out.find("#line"));
    EXPECT_LT(out.find("#line"), out.find("void vp() {}"));
}

TEST(CgSource, isGlslIdentifierAcceptsOnlyIdentifiers)
{
    EXPECT_TRUE(isGlslIdentifier("vp_reflection"));
    EXPECT_TRUE(isGlslIdentifier("_x9"));
    EXPECT_FALSE(isGlslIdentifier(""));
    EXPECT_FALSE(isGlslIdentifier("9lives"));
    EXPECT_FALSE(isGlslIdentifier("two words"));
    EXPECT_FALSE(isGlslIdentifier("main()"));
}

TEST(CgSource, driverLogsNameTheFile)
{
    // Mesa, then other drivers' styles, then a linker line without a position
    EXPECT_EQ(rewriteDriverLog("0:12(5): error: syntax error\n0:13(1): warning: unused \n\n", "vp.cg"),
              "vp.cg:12(5): error: syntax error\nvp.cg:13(1): warning: unused");
    EXPECT_EQ(rewriteDriverLog("0(7) : error C0000: syntax error", "fp.cg"),
              "fp.cg(7) : error C0000: syntax error");
    EXPECT_EQ(rewriteDriverLog("ERROR: 0:3: 'x' : undeclared identifier", "fp.cg"),
              "ERROR: fp.cg:3: 'x' : undeclared identifier");
    EXPECT_EQ(rewriteDriverLog("error: vertex shader lacks `main'", "vp.cg"),
              "vp.cg: error: vertex shader lacks `main'");
    EXPECT_EQ(rewriteDriverLog("", "vp.cg"), "");
    EXPECT_EQ(rewriteDriverLog("\n \n", "vp.cg"), "");
}
