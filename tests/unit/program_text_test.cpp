// Program text handling of the shader runtime: which uniforms a file declares
// (through the preprocessor) and their annotations, where the entry function's
// define goes, and how driver logs are renamed.
#include <cstdio>
#include <cstring>

#include <gtest/gtest.h>

#include "shading/driver_log.h"
#include "shading/parameter_annotations.h"
#include "shading/program_source.h"
#include "shading/uniform_scan.h"

static std::string describe(const std::vector<UniformDeclaration>& uniforms)
{
    std::string out;
    for (const UniformDeclaration& u : uniforms)
        out += u.type + " " + u.name + "[" + std::to_string(u.arraySize) + "] ";
    return out;
}

TEST(UniformScan, scanFindsEveryFileScopeUniformAndNothingElse)
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

TEST(UniformScan, scanSurvivesUnfinishedDeclarations)
{
    EXPECT_EQ(describe(scanUniforms("uniform")), "");
    EXPECT_EQ(describe(scanUniforms("uniform vec3")), "");
    EXPECT_EQ(describe(scanUniforms("uniform vec3 a")), "vec3 a[1] ");
    EXPECT_EQ(describe(scanUniforms("uniform float b[N]; uniform float c[")), "float b[0] float c[0] ");
    EXPECT_EQ(describe(scanUniforms("/* uniform float open")), "");
    EXPECT_EQ(describe(scanUniforms("} uniform float d; {")), "float d[1] ");
}

TEST(UniformScan, entryFunctionIsFoundOnlyAtFileScope)
{
    EXPECT_TRUE(declaresFunction("void vp_reflection()\n{\n}\n", "vp_reflection"));
    EXPECT_TRUE(declaresFunction("vec4 shade(vec3 n);", "shade"));
    EXPECT_FALSE(declaresFunction("void main() { vp_reflection(); }", "vp_reflection"));
    EXPECT_FALSE(declaresFunction("// void vp_reflection() {}\nvoid main() {}", "vp_reflection"));
    EXPECT_FALSE(declaresFunction("void vp_reflectionX() {}", "vp_reflection"));
}

TEST(UniformScan, scanSeesWhatTheCompilerSees)
{
    // only taken branches count; a declared but unused parameter counts
    const char* text = "#version 120\n"
                       "#define FLOAT_PARAM uniform float\n"
                       "#define COLOUR vec3\n"
                       "#define PARAM(type, name) uniform type name\n"
                       "#if 0\n"
                       "uniform float hiddenByIfZero;\n"
                       "#elif defined(COLOUR) && __VERSION__ >= 120 && (1 << 2) == 4\n"
                       "FLOAT_PARAM aw;\n"
                       "#   if 0\n"
                       "uniform float nestedHidden;\n"
                       "#   else\n"
                       "uniform COLOUR Ka;\n"
                       "#   endif\n"
                       "#else\n"
                       "uniform float elseHidden;\n"
                       "#endif\n"
                       "#ifdef NOT_DEFINED\n"
                       "uniform float ifdefHidden;\n"
                       "#elif 1\n"
                       "PARAM(vec4, lightPosition);\n"
                       "#endif\n"
                       "#ifndef FROM_ARGUMENTS\n"
                       "uniform float withoutArgument;\n"
                       "#endif\n"
                       "#undef COLOUR\n"
                       "#ifdef COLOUR\n"
                       "uniform float afterUndef;\n"
                       "#endif\n"
                       "#if LEVEL > 1 \\\n"
                       "    && !defined UNKNOWN\n"
                       "uniform float continuedCondition;\n"
                       "#endif\n"
                       "#define SELF SELF\n"
                       "uniform float SELF;\n"
                       "void main() { float aw2 = aw; }\n";
    EXPECT_EQ(describe(scanUniforms(text)), "float aw[1] vec3 Ka[1] vec4 lightPosition[1] "
                                            "float withoutArgument[1] float SELF[1] ");
    EXPECT_EQ(describe(scanUniforms(text, {"FROM_ARGUMENTS", "LEVEL 2"})),
              "float aw[1] vec3 Ka[1] vec4 lightPosition[1] float continuedCondition[1] float SELF[1] ");
    EXPECT_EQ(describe(scanUniforms("#version 150 compatibility\n#ifdef GL_compatibility_profile\n"
                                    "uniform float compatible;\n#endif\n")),
              "float compatible[1] ");
    EXPECT_TRUE(declaresFunction("#define ENTRY vp_reflection\nvoid ENTRY() {}\n", "vp_reflection"));
    EXPECT_FALSE(declaresFunction("#if 0\nvoid vp_reflection() {}\n#endif\n", "vp_reflection"));

    // macros that multiply each other end in bounded work, not in exhausted memory
    std::string doubling = "#define M0 uniform float x;\n";
    for (int i = 1; i <= 40; i++)
        doubling += "#define M" + std::to_string(i) + " M" + std::to_string(i - 1) + " M" +
                    std::to_string(i - 1) + "\n";
    EXPECT_LE(scanUniforms(doubling + "M40\n").size(), size_t(1) << 21);
}

TEST(UniformScan, eachDeclarationHasTheLineOfItsNameAndTheCommentEndingIt)
{
    const char* text = "#version 120\n"                                       // 1
                       "uniform float bands = 4.0; // min=1 max=16 step=1\n"  // 2
                       "/* uniform float notOne; // min=0\n"                  // 3
                       "   still a comment */ uniform vec3 tint; // colour\n" // 4
                       "uniform float\n"                                      // 5
                       "    late = 1.0, other; //  max = 2\n"                 // 6
                       "#define PARAM(type, name) uniform type name\n"        // 7
                       "PARAM(vec2, offset); // min=-1\n"                     // 8
                       "uniform float plain; /* min=0 */\n"                   // 9
                       "uniform float url; // see http://example.org/?a=b\n"; // 10
    std::string seen;
    for (const UniformDeclaration& u : scanUniforms(text))
        seen += u.name + "@" + std::to_string(u.line) + "[" + u.comment + "] ";
    EXPECT_EQ(seen, "bands@2[ min=1 max=16 step=1] tint@4[ colour] late@6[  max = 2] other@6[  max = 2] "
                    "offset@8[ min=-1] plain@9[] url@10[ see http://example.org/?a=b] ");
}

TEST(ParameterAnnotation, annotationsGiveRangeStepAndColourAndRemarksNothing)
{
    struct Case {
        const char* comment;
        const char* read; // what it gives, in the order min max step colour
        int problems;
    };
    const Case cases[] = {
        {" min=1 max=16 step=1", "min 1 max 16 step 1", 0},
        {" colour", "colour", 0},
        {"color ", "colour", 0},
        {" step=0.25, colour; min = -1 ,max= 1", "min -1 max 1 step 0.25 colour", 0},
        // an ordinary remark: nothing, and nothing to say
        {" the number of bands", "", 0},
        {" see http://example.org/?a=b", "", 0},
        {" the rim colour", "", 0},
        {"", "", 0},
        // annotations at fault: the rest still counts
        {" min=5 max=1 step=2", "step 2", 1},
        {" min=low max=1", "max 1", 1},
        {" min=0 max=1 brightness", "min 0 max 1", 1},
        {" min=0 maximum=1", "min 0", 1},
        {" step=0 colour", "colour", 1},
        {" step=-1 max=inf", "", 2},
    };
    for (const Case& c : cases) {
        std::vector<std::string> problems;
        const ParameterAnnotation a = readParameterAnnotation(c.comment, problems);
        char read[128] = "";
        if (a.hasMin) snprintf(read + strlen(read), sizeof read - strlen(read), "min %g ", double(a.min));
        if (a.hasMax) snprintf(read + strlen(read), sizeof read - strlen(read), "max %g ", double(a.max));
        if (a.hasStep) snprintf(read + strlen(read), sizeof read - strlen(read), "step %g ", double(a.step));
        if (a.colour) strcat(read, "colour ");
        std::string shown = read;
        if (!shown.empty()) shown.pop_back();
        EXPECT_EQ(shown, c.read) << c.comment;
        EXPECT_EQ(int(problems.size()), c.problems) << c.comment;
    }
}

TEST(ParameterAnnotation, startValuesAreANameAndOneToFourNumbers)
{
    ParameterSetting setting;
    std::string problem;
    ASSERT_TRUE(readParameterSetting("tint=1,0.5,+2e-1", setting, problem)) << problem;
    EXPECT_EQ(setting.name, "tint");
    EXPECT_EQ(setting.values, (std::vector<float>{1, 0.5f, 0.2f}));
    ASSERT_TRUE(readParameterSetting("bands=-4", setting, problem));
    EXPECT_EQ(setting.values, std::vector<float>{-4});
    for (const char* bad : {"bands", "bands=", "=4", "9lives=1", "bands=1,,2", "bands=1,", "bands=four",
                            "bands=0x10", "bands=inf", "bands=nan", "bands=1 ", "v=1,2,3,4,5"}) {
        EXPECT_FALSE(readParameterSetting(bad, setting, problem)) << bad;
        EXPECT_NE(problem.find(bad), std::string::npos) << problem;
    }
}

TEST(ProgramSource, entryDefineFollowsTheVersionDirective)
{
    // a file without #version gets one in front and keeps every character
    const std::string bare = "void vp() {}\n";
    const PreparedSource prepared = prepareProgramSource(bare, "vp");
    EXPECT_EQ(prepared.text.find("#version 120\n"), 0u);
    EXPECT_NE(prepared.text.find("#define vp main\n#line 0\n"), std::string::npos);
    EXPECT_EQ(prepared.text.substr(prepared.text.size() - bare.size()), bare);
    EXPECT_EQ(prepared.preprocessorLagFrom, 0);

    // a #version in a comment is not the file's version
    EXPECT_EQ(prepareProgramSource("// #version 330\nvoid vp() {}", "vp").text.find("#version 120\n"), 0u);

    // the define comes after the version, even one that follows comments
    const std::string late = "// header\n/* more */\n#version 120 // trailing\nvoid vp() {}";
    const std::string out = prepareProgramSource(late, "vp", {"LEVEL 2"}).text;
    ASSERT_EQ(out.find("#version"), 0u + late.find("#version"));
    EXPECT_LT(out.find("#version"), out.find("#define vp main"));
    EXPECT_LT(out.find("#define vp main"), out.find("#define LEVEL 2"));
    EXPECT_LT(out.find("#define LEVEL 2"), out.find("#line 3\n"));
    EXPECT_LT(out.find("#line"), out.find("void vp() {}"));

    // ... and after a block comment that carries the directive on to line 3;
    // from 3.30 on `#line N` numbers the next line N
    const PreparedSource commented =
        prepareProgramSource("#version 330 compatibility /* one\ntwo\nthree */\nvoid vp() {}\n", "vp");
    EXPECT_NE(commented.text.find("three */\n#define vp main\n#line 4\nvoid vp() {}"), std::string::npos)
        << commented.text;
    EXPECT_EQ(commented.preprocessorLagFrom, -1);
}

TEST(ProgramSource, isGlslIdentifierAcceptsOnlyIdentifiers)
{
    EXPECT_TRUE(isGlslIdentifier("vp_reflection"));
    EXPECT_TRUE(isGlslIdentifier("_x9"));
    EXPECT_FALSE(isGlslIdentifier(""));
    EXPECT_FALSE(isGlslIdentifier("9lives"));
    EXPECT_FALSE(isGlslIdentifier("two words"));
    EXPECT_FALSE(isGlslIdentifier("main()"));
}

TEST(DriverLog, driverLogsNameTheFile)
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
    // Mesa's preprocessor counts one line fewer than its compiler after `#line` before GLSL 3.30
    EXPECT_EQ(rewriteDriverLog("0:9(1): preprocessor error: #error stop\n0:9(1): error: x\n"
                               "0:1(10): preprocessor error: before the #line",
                               "fp.cg", 3),
              "fp.cg:10(1): preprocessor error: #error stop\nfp.cg:9(1): error: x\n"
              "fp.cg:1(10): preprocessor error: before the #line");
    EXPECT_EQ(rewriteDriverLog("\n \n", "vp.cg"), "");
}
