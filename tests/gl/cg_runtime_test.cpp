// The shader runtime on the real driver: compiling, entry functions, parameter
// lookup, values and tracked matrices as the linked GL program sees them, the
// switch between programs and the fixed-function pipeline, and error reporting.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>

#include "shading/cg_runtime.h"

namespace {

// What the error callback saw on its last call.
struct CallbackRecord {
    int calls = 0;
    CGerror error = CG_NO_ERROR;
    std::string during; // the call the test was making
};
CallbackRecord seen;
std::string currentCall; // names the runtime call in progress; empty between calls

void recordError()
{
    seen.calls++;
    seen.error = cgGetError();
    seen.during = currentCall;
}

// Runs one runtime call under a name that the error callback records.
void during(const char* name, const std::function<void()>& call)
{
    currentCall = name;
    call();
    currentCall.clear();
}

// Paints with the fixed-function transform and the colour "tint".
const char* PAINT_VERTEX = "#version 120\n"
                           "uniform vec3 tint;\n"
                           "void vp_paint()\n"
                           "{\n"
                           "    gl_Position = ftransform();\n"
                           "    gl_FrontColor = vec4(tint, 1.0);\n"
                           "}\n";

// Adds "paint" to the colour that reaches the fragment.
const char* PAINT_FRAGMENT = "#version 120\n"
                             "uniform vec3 paint;\n"
                             "void fp_paint()\n"
                             "{\n"
                             "    gl_FragColor = vec4(paint + gl_Color.rgb, 1.0);\n"
                             "}\n";

// Declares uniforms of several kinds, one of them unused.
const char* LOOKUP_FRAGMENT = "#version 120\n"
                              "uniform float etaRatio;\n"
                              "uniform vec3 Ka, Kd;\n"
                              "uniform float unusedWeight;\n"
                              "uniform samplerCube environmentMap;\n"
                              "uniform mat4 frame;\n"
                              "void fp_lookup()\n"
                              "{\n"
                              "    vec4 sky = textureCube(environmentMap, vec3(1.0, 0.0, 0.0));\n"
                              "    gl_FragColor = frame * vec4(Ka * etaRatio + Kd, 1.0) + sky;\n"
                              "}\n";

// Feeds every tracked matrix into the colour, so none is dropped.
const char* MATRIX_VERTEX =
    "#version 120\n"
    "uniform mat4 asIs, transposed, inverted, invertedTransposed, projected;\n"
    "void vp_matrices()\n"
    "{\n"
    "    gl_Position = ftransform();\n"
    "    gl_FrontColor = asIs * gl_Vertex + transposed * gl_Vertex + inverted * gl_Vertex\n"
    "                  + invertedTransposed * gl_Vertex + projected * gl_Vertex;\n"
    "}\n";

struct CgRuntime : testing::Test {
    CGcontext context = nullptr;
    std::filesystem::path dir;

    void SetUp() override
    {
        char name[] = "/tmp/cg_runtime_test_XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
        seen = CallbackRecord{};
        cgSetErrorCallback(recordError);
        cgGetError();
        context = cgCreateContext();
    }

    void TearDown() override
    {
        cgGLDisableProfile(CG_PROFILE_GLSLV);
        cgGLDisableProfile(CG_PROFILE_GLSLF);
        cgDestroyContext(context);
        cgSetErrorCallback(nullptr);
        cgGetError();
        std::filesystem::remove_all(dir);
    }

    // Writes a program file into the test's directory and returns its path.
    std::string writeFile(const std::string& name, const std::string& text)
    {
        const std::string path = (dir / name).string();
        std::ofstream(path) << text;
        return path;
    }

    CGprogram compile(const std::string& name, const std::string& text, CGprofile profile, const char* entry)
    {
        return cgCreateProgramFromFile(context, CG_SOURCE, writeFile(name, text).c_str(), profile, entry,
                                       nullptr);
    }

    CGprogram compileAndLoad(const std::string& name, const std::string& text, CGprofile profile,
                             const char* entry)
    {
        CGprogram program = compile(name, text, profile, entry);
        if (program) cgGLLoadProgram(program);
        return program;
    }

    std::string listing() const
    {
        const char* text = cgGetLastListing(context);
        return text ? text : "(none)";
    }
};

GLuint currentGlProgram()
{
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    return (GLuint)program;
}

// The uniform's value in the GL program in use; `count` floats.
std::vector<float> uniformValue(const char* name, int count)
{
    std::vector<float> value(16, -999.0f);
    const GLint location = glGetUniformLocation(currentGlProgram(), name);
    EXPECT_GE(location, 0) << name;
    if (location >= 0) glGetUniformfv(currentGlProgram(), location, value.data());
    value.resize(count);
    return value;
}

// Draws a quad over the whole window in red through whatever pipeline is in
// use, and returns the colour at the centre as 0-255 red, green, blue.
std::vector<int> drawAndReadCentre()
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBegin(GL_QUADS);
    glColor3f(1, 0, 0);
    glVertex2f(-1, -1);
    glVertex2f(1, -1);
    glVertex2f(1, 1);
    glVertex2f(-1, 1);
    glEnd();
    glFinish();
    unsigned char rgb[3] = {};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(32, 32, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    return {rgb[0], rgb[1], rgb[2]};
}

using Rgb = std::vector<int>;

// True once glDeleteProgram has been called on the program. Mesa may keep a
// deleted program alive, flagged, while its pipeline state still refers to it.
bool isDeletedProgram(GLuint program)
{
    if (!glIsProgram(program)) return true;
    GLint flagged = GL_FALSE;
    glGetProgramiv(program, GL_DELETE_STATUS, &flagged);
    return flagged == GL_TRUE;
}

void expectMatrixNear(const std::vector<float>& actual, const float (&expected)[16], const char* what)
{
    ASSERT_EQ(actual.size(), 16u);
    for (int i = 0; i < 16; i++)
        EXPECT_NEAR(actual[i], expected[i], 1e-5) << what << " element " << i;
}

} // namespace

// Compiling

TEST_F(CgRuntime, goodProgramCompilesWithoutErrorOrListing)
{
    EXPECT_EQ(cgGetLastListing(context), nullptr);
    CGprogram program = compile("vp_paint.cg", PAINT_VERTEX, CG_PROFILE_GLSLV, "vp_paint");
    EXPECT_NE(program, nullptr);
    EXPECT_EQ(seen.calls, 0);
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);
    EXPECT_EQ(cgGetLastListing(context), nullptr) << listing();
}

// A syntax error on a known line of the file, in files laid out in different ways.
struct SyntaxErrorCase {
    const char* layout;
    const char* text;
    int errorLine;
};

void PrintTo(const SyntaxErrorCase& c, std::ostream* out)
{
    *out << c.layout;
}

struct CgRuntimeLines : CgRuntime, testing::WithParamInterface<SyntaxErrorCase> {};

TEST_P(CgRuntimeLines, syntaxErrorIsReportedAtItsFileLine)
{
    const SyntaxErrorCase& c = GetParam();
    CGprogram program = nullptr;
    during("create", [&] { program = compile("broken.cg", c.text, CG_PROFILE_GLSLV, "vp_broken"); });
    EXPECT_EQ(program, nullptr);
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.error, CG_COMPILER_ERROR);
    EXPECT_EQ(seen.during, "create");
    const std::string where = "broken.cg:" + std::to_string(c.errorLine) + "(";
    EXPECT_NE(listing().find(where), std::string::npos) << c.layout << ": expected " << where << " in\n"
                                                        << listing();
    EXPECT_NE(listing().find("error"), std::string::npos) << listing();
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, CgRuntimeLines,
    testing::Values(
        SyntaxErrorCase{"version 120 on line 1",
                        "#version 120\nvoid vp_broken()\n{\n    gl_Position = ;\n}\n", 4},
        SyntaxErrorCase{"no version line", "void vp_broken()\n{\n    gl_Position = ;\n}\n", 3},
        SyntaxErrorCase{"error on the first line", "float x = ;\nvoid vp_broken() {}\n", 1},
        SyntaxErrorCase{"comments before the version",
                        "// Broken on purpose.\n/* two\n   lines */\n#version 120\n\nvoid vp_broken()\n{\n"
                        "    gl_Position = ;\n}\n",
                        8},
        SyntaxErrorCase{"version 330 compatibility",
                        "#version 330 compatibility\nvoid vp_broken()\n{\n    gl_Position = ;\n}\n", 4},
        SyntaxErrorCase{"error right after the version", "#version 120\nfloat x = ;\nvoid vp_broken() {}\n",
                        2},
        SyntaxErrorCase{"block comment carrying the version on",
                        "#version 120 /* one\n   two */\nvoid vp_broken()\n{\n    gl_Position = ;\n}\n", 5},
        // the preprocessor's own messages
        SyntaxErrorCase{"#error, no version line", "void vp_broken() {}\n\n#error stop\n", 3},
        SyntaxErrorCase{"#error, version 120", "#version 120\nvoid vp_broken() {}\n\n#error stop\n", 4},
        SyntaxErrorCase{"#error, version 330",
                        "#version 330 compatibility\nvoid vp_broken() {}\n#error stop\n", 3},
        SyntaxErrorCase{"misplaced #version", "void vp_broken() {}\n\n#version 120\n", 3}));

TEST_F(CgRuntime, includedFilesCompileInPlaceAndTheirMessagesNameTheirFileAndLine)
{
    // the helper's uniform becomes a parameter of the program that includes it
    writeFile("shade.glsl", "uniform vec3 tint;\nvec3 shade() { return tint; }\n");
    CGprogram program =
        compile("fp.cg", "#include \"shade.glsl\"\nvoid fp() { gl_FragColor = vec4(shade(), 1.0); }\n",
                CG_PROFILE_GLSLF, "fp");
    ASSERT_NE(program, nullptr) << listing();
    EXPECT_NE(cgGetNamedParameter(program, "tint"), nullptr);
    EXPECT_EQ(programSourceFiles(context),
              (std::vector<std::string>{(dir / "fp.cg").string(), (dir / "shade.glsl").string()}));

    // an error on line 3 of the helper, from the compiler and from the
    // preprocessor, under every way the versions number lines
    const char* versions[] = {"", "#version 120\n", "#version 330 compatibility\n"};
    for (const char* version : versions) {
        for (const char* fault : {"float broken = undeclaredHere;\n", "#error stop\n"}) {
            writeFile("noise.glsl", std::string("// noise\n\n") + fault + "float noise() { return 0.5; }\n");
            const std::string main =
                std::string(version) +
                "// program\n#include \"noise.glsl\"\nvoid fp() { gl_FragColor = vec4(noise()); "
                "}\nfloat after = undeclaredThere;\n";
            seen = CallbackRecord{};
            EXPECT_EQ(compile("fp.cg", main, CG_PROFILE_GLSLF, "fp"), nullptr);
            EXPECT_EQ(seen.error, CG_COMPILER_ERROR);
            const std::string where = (dir / "noise.glsl").string() + ":3(";
            EXPECT_EQ(listing().find(where), 0u) << version << fault << listing();
            if (fault[0] != '#') {
                // the program's own error after the include keeps its line
                const std::string after = "fp.cg:" + std::to_string(version[0] ? 5 : 4) + "(";
                EXPECT_NE(listing().find(after), std::string::npos) << version << listing();
            }
        }
    }

    // an include that cannot be read is a compile error naming its place, and
    // the missing file is among those read, for a reload to watch
    seen = CallbackRecord{};
    EXPECT_EQ(compile("fp.cg", "\n#include \"missing.glsl\"\nvoid fp() {}\n", CG_PROFILE_GLSLF, "fp"),
              nullptr);
    EXPECT_EQ(seen.error, CG_COMPILER_ERROR);
    EXPECT_EQ(listing(), (dir / "fp.cg").string() + ":2: error: cannot include \"missing.glsl\" (" +
                             (dir / "missing.glsl").string() + "): No such file or directory");
    EXPECT_EQ(programSourceFiles(context).back(), (dir / "missing.glsl").string());
}

TEST_F(CgRuntime, entryFunctionMustExist)
{
    // the named entry is the stage's main: a file without one is an error
    CGprogram wrongName = nullptr;
    during("create", [&] { wrongName = compile("vp_paint.cg", PAINT_VERTEX, CG_PROFILE_GLSLV, "vp_other"); });
    EXPECT_EQ(wrongName, nullptr);
    EXPECT_EQ(seen.error, CG_COMPILER_ERROR);
    EXPECT_EQ(seen.during, "create");
    EXPECT_NE(listing().find("vp_paint.cg: error: no entry function `vp_other' is defined"),
              std::string::npos)
        << listing();

    seen = CallbackRecord{};
    CGprogram fragment = compile("fp_paint.cg", PAINT_FRAGMENT, CG_PROFILE_GLSLF, "fp_paint");
    EXPECT_NE(fragment, nullptr);
    EXPECT_EQ(compile("fp_paint2.cg", PAINT_FRAGMENT, CG_PROFILE_GLSLF, "fp_reflection"), nullptr);
    EXPECT_EQ(seen.calls, 1);

    // a file whose function is called main works with the entry "main"
    seen = CallbackRecord{};
    EXPECT_NE(compile("plain.cg", "void main() { gl_FragColor = vec4(1.0); }\n", CG_PROFILE_GLSLF, "main"),
              nullptr);
    EXPECT_EQ(seen.calls, 0) << listing();
}

TEST_F(CgRuntime, compilerArgumentsDefineMacros)
{
    const char* text = "void fp_defined() { gl_FragColor = vec4(SHADE); }\n";
    const char* args[] = {"-DSHADE=0.5", nullptr};
    EXPECT_NE(cgCreateProgramFromFile(context, CG_SOURCE, writeFile("a.cg", text).c_str(), CG_PROFILE_GLSLF,
                                      "fp_defined", args),
              nullptr);
    EXPECT_EQ(seen.calls, 0) << listing();

    const char* unknown[] = {"-O3", nullptr};
    EXPECT_EQ(cgCreateProgramFromFile(context, CG_SOURCE, writeFile("b.cg", text).c_str(), CG_PROFILE_GLSLF,
                                      "fp_defined", unknown),
              nullptr);
    EXPECT_EQ(seen.error, CG_COMPILER_ERROR);
    EXPECT_NE(listing().find("-O3"), std::string::npos) << listing();
}

// Parameters

TEST_F(CgRuntime, parametersAreFoundByExactDeclaredName)
{
    CGprogram program = compileAndLoad("fp_lookup.cg", LOOKUP_FRAGMENT, CG_PROFILE_GLSLF, "fp_lookup");
    ASSERT_NE(program, nullptr) << listing();

    for (const char* name : {"etaRatio", "Ka", "Kd", "unusedWeight", "environmentMap", "frame"})
        EXPECT_NE(cgGetNamedParameter(program, name), nullptr) << name;
    EXPECT_EQ(cgGetNamedParameter(program, "Ka"), cgGetNamedParameter(program, "Ka"));
    EXPECT_NE(cgGetNamedParameter(program, "Ka"), cgGetNamedParameter(program, "Kd"));
    std::string types;
    for (const char* name : {"etaRatio", "Ka", "environmentMap", "frame"})
        types += std::string(cgGetParameterTypeString(cgGetNamedParameter(program, name))) + " ";
    EXPECT_EQ(types, "float vec3 samplerCube mat4 ");
    for (const char* name : {"etaratio", "ETARATIO", "ka", "eta", "etaRatio ", "shininess", "", "gl_Color"})
        EXPECT_EQ(cgGetNamedParameter(program, name), nullptr) << name;
    EXPECT_EQ(seen.calls, 0) << "an undeclared name is not an error";

    // the driver really dropped the unused uniform; setting it is harmless
    cgGLEnableProfile(CG_PROFILE_GLSLF);
    cgGLBindProgram(program);
    ASSERT_NE(currentGlProgram(), 0u);
    EXPECT_EQ(glGetUniformLocation(currentGlProgram(), "unusedWeight"), -1);
    cgGLSetParameter1f(cgGetNamedParameter(program, "unusedWeight"), 2.0f);
    EXPECT_EQ(seen.calls, 0);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);

    // a sampler reads a texture unit of its own, unit 0 when told so
    GLint unit = -1;
    const GLint sampler = glGetUniformLocation(currentGlProgram(), "environmentMap");
    glGetUniformiv(currentGlProgram(), sampler, &unit);
    EXPECT_EQ(unit, 1);
    setSamplerUnit(cgGetNamedParameter(program, "environmentMap"), 0);
    glGetUniformiv(currentGlProgram(), sampler, &unit);
    EXPECT_EQ(unit, 0);
    EXPECT_EQ(seen.calls, 0);
    during("unit for a float", [&] { setSamplerUnit(cgGetNamedParameter(program, "etaRatio"), 0); });
    EXPECT_EQ(seen.error, CG_INVALID_VALUE_TYPE_ERROR);
}

TEST_F(CgRuntime, valuesSetBeforePairingReachTheProgramAndAreKept)
{
    CGprogram vertex = compileAndLoad("vp_paint.cg", PAINT_VERTEX, CG_PROFILE_GLSLV, "vp_paint");
    CGprogram fragment = compileAndLoad("fp_paint.cg", PAINT_FRAGMENT, CG_PROFILE_GLSLF, "fp_paint");
    ASSERT_TRUE(vertex && fragment) << listing();
    CGparameter tint = cgGetNamedParameter(vertex, "tint");
    CGparameter paint = cgGetNamedParameter(fragment, "paint");
    cgGLSetParameter3f(tint, 0.25f, 0.5f, 0.75f);
    cgGLSetParameter3f(paint, 0.1f, 0.2f, 0.3f);

    // in the order the viewer uses
    cgGLEnableProfile(CG_PROFILE_GLSLV);
    cgGLEnableProfile(CG_PROFILE_GLSLF);
    cgGLBindProgram(vertex);
    cgGLBindProgram(fragment);
    ASSERT_NE(currentGlProgram(), 0u);
    EXPECT_EQ(uniformValue("tint", 3), std::vector<float>({0.25f, 0.5f, 0.75f}));
    EXPECT_EQ(uniformValue("paint", 3), std::vector<float>({0.1f, 0.2f, 0.3f}));

    // a value set while in use goes straight to the program
    cgGLSetParameter3f(paint, 0.9f, 0.8f, 0.7f);
    EXPECT_EQ(uniformValue("paint", 3), std::vector<float>({0.9f, 0.8f, 0.7f}));

    // off, changed, on again: the latest values arrive, the others are kept
    cgGLDisableProfile(CG_PROFILE_GLSLV);
    cgGLDisableProfile(CG_PROFILE_GLSLF);
    EXPECT_EQ(currentGlProgram(), 0u);
    cgGLSetParameter3f(tint, 1.0f, 0.0f, 0.5f);
    cgGLEnableProfile(CG_PROFILE_GLSLV);
    cgGLEnableProfile(CG_PROFILE_GLSLF);
    ASSERT_NE(currentGlProgram(), 0u);
    EXPECT_EQ(uniformValue("tint", 3), std::vector<float>({1.0f, 0.0f, 0.5f}));
    EXPECT_EQ(uniformValue("paint", 3), std::vector<float>({0.9f, 0.8f, 0.7f}));
    EXPECT_EQ(seen.calls, 0);
}

TEST_F(CgRuntime, trackedMatricesMatchHandComputedOnes)
{
    CGprogram program = compileAndLoad("vp_matrices.cg", MATRIX_VERTEX, CG_PROFILE_GLSLV, "vp_matrices");
    ASSERT_NE(program, nullptr) << listing();

    // modelview M = T(1, 2, 3) · Rz(90°) · S(2); projection P = glOrtho(-2, 2, -4, 4, 1, 3)
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-2, 2, -4, 4, 1, 3);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    glRotatef(90, 0, 0, 1);
    glScalef(2, 2, 2);
    // set before the program is in use
    cgGLSetStateMatrixParameter(cgGetNamedParameter(program, "asIs"), CG_GL_MODELVIEW_MATRIX,
                                CG_GL_MATRIX_IDENTITY);
    cgGLSetStateMatrixParameter(cgGetNamedParameter(program, "transposed"), CG_GL_MODELVIEW_MATRIX,
                                CG_GL_MATRIX_TRANSPOSE);
    cgGLSetStateMatrixParameter(cgGetNamedParameter(program, "inverted"), CG_GL_MODELVIEW_MATRIX,
                                CG_GL_MATRIX_INVERSE);
    cgGLSetStateMatrixParameter(cgGetNamedParameter(program, "invertedTransposed"), CG_GL_MODELVIEW_MATRIX,
                                CG_GL_MATRIX_INVERSE_TRANSPOSE);
    cgGLSetStateMatrixParameter(cgGetNamedParameter(program, "projected"), CG_GL_MODELVIEW_PROJECTION_MATRIX,
                                CG_GL_MATRIX_IDENTITY);
    // the matrices were taken at the call: later changes do not reach them
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);

    cgGLEnableProfile(CG_PROFILE_GLSLV);
    cgGLBindProgram(program);
    ASSERT_NE(currentGlProgram(), 0u);
    EXPECT_EQ(seen.calls, 0);
    // column-major, as OpenGL stores them
    const float m[16] = {0, 2, 0, 0, -2, 0, 0, 0, 0, 0, 2, 0, 1, 2, 3, 1};
    const float mT[16] = {0, -2, 0, 1, 2, 0, 0, 2, 0, 0, 2, 3, 0, 0, 0, 1};
    const float mI[16] = {0, -0.5f, 0, 0, 0.5f, 0, 0, 0, 0, 0, 0.5f, 0, -1, 0.5f, -1.5f, 1};
    const float mIT[16] = {0, 0.5f, 0, -1, -0.5f, 0, 0, 0.5f, 0, 0, 0.5f, -1.5f, 0, 0, 0, 1};
    const float pm[16] = {0, 0.5f, 0, 0, -1, 0, 0, 0, 0, 0, -2, 0, 0.5f, 0.5f, -5, 1};
    expectMatrixNear(uniformValue("asIs", 16), m, "modelview");
    expectMatrixNear(uniformValue("transposed", 16), mT, "transpose");
    expectMatrixNear(uniformValue("inverted", 16), mI, "inverse");
    expectMatrixNear(uniformValue("invertedTransposed", 16), mIT, "inverse transpose");
    expectMatrixNear(uniformValue("projected", 16), pm, "projection x modelview");

    // set while in use: uploaded at once
    glScalef(4, 4, 4);
    cgGLSetStateMatrixParameter(cgGetNamedParameter(program, "inverted"), CG_GL_MODELVIEW_MATRIX,
                                CG_GL_MATRIX_INVERSE);
    const float quarter[16] = {0.25f, 0, 0, 0, 0, 0.25f, 0, 0, 0, 0, 0.25f, 0, 0, 0, 0, 1};
    expectMatrixNear(uniformValue("inverted", 16), quarter, "inverse of S(4)");

    // a singular matrix has no inverse: the last value stays, without an error
    glScalef(0, 0, 0);
    cgGLSetStateMatrixParameter(cgGetNamedParameter(program, "inverted"), CG_GL_MODELVIEW_MATRIX,
                                CG_GL_MATRIX_INVERSE);
    expectMatrixNear(uniformValue("inverted", 16), quarter, "after a singular matrix");
    EXPECT_EQ(seen.calls, 0);

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

// Binding

TEST_F(CgRuntime, profilesSwitchBetweenProgramsAndFixedFunction)
{
    CGprogram vertex = compileAndLoad("vp_paint.cg", PAINT_VERTEX, CG_PROFILE_GLSLV, "vp_paint");
    CGprogram fragment = compileAndLoad("fp_paint.cg", PAINT_FRAGMENT, CG_PROFILE_GLSLF, "fp_paint");
    ASSERT_TRUE(vertex && fragment) << listing();
    cgGLSetParameter3f(cgGetNamedParameter(vertex, "tint"), 0, 0, 1);    // blue
    cgGLSetParameter3f(cgGetNamedParameter(fragment, "paint"), 0, 1, 0); // green

    // the quad is drawn red; a program stage replaces or adds to that
    const Rgb red = {255, 0, 0}, blue = {0, 0, 255}, cyan = {0, 255, 255}, yellow = {255, 255, 0};
    EXPECT_EQ(drawAndReadCentre(), red) << "nothing enabled: fixed function";

    cgGLEnableProfile(CG_PROFILE_GLSLV);
    cgGLEnableProfile(CG_PROFILE_GLSLF);
    EXPECT_EQ(drawAndReadCentre(), red) << "enabled, nothing bound";
    cgGLBindProgram(vertex);
    EXPECT_EQ(drawAndReadCentre(), blue) << "vertex program, fixed-function fragments";
    cgGLBindProgram(fragment);
    EXPECT_EQ(drawAndReadCentre(), cyan) << "both programs: green paint on the blue tint";

    cgGLDisableProfile(CG_PROFILE_GLSLV);
    EXPECT_EQ(drawAndReadCentre(), yellow) << "fragment program alone: green paint on the red colour";
    cgGLDisableProfile(CG_PROFILE_GLSLF);
    EXPECT_EQ(drawAndReadCentre(), red) << "both disabled: fixed function again";
    EXPECT_EQ(currentGlProgram(), 0u);

    // bindings survive disabling
    cgGLEnableProfile(CG_PROFILE_GLSLF);
    EXPECT_EQ(drawAndReadCentre(), yellow);
    EXPECT_EQ(seen.calls, 0);
}

TEST_F(CgRuntime, pairThatDoesNotLinkFailsInTheCallThatActivatesIt)
{
    const char* vertexText = "varying vec3 shade;\n"
                             "void vp_shade() { gl_Position = ftransform(); shade = vec3(1.0); }\n";
    const char* fragmentText = "varying vec2 shade;\n"
                               "void fp_shade() { gl_FragColor = vec4(shade, 0.0, 1.0); }\n";
    CGprogram vertex = compileAndLoad("vp_shade.cg", vertexText, CG_PROFILE_GLSLV, "vp_shade");
    CGprogram fragment = compileAndLoad("fp_shade.cg", fragmentText, CG_PROFILE_GLSLF, "fp_shade");
    ASSERT_TRUE(vertex && fragment) << listing();

    cgGLEnableProfile(CG_PROFILE_GLSLV);
    cgGLEnableProfile(CG_PROFILE_GLSLF);
    cgGLBindProgram(vertex);
    EXPECT_EQ(seen.calls, 0);
    during("bind fragment", [&] { cgGLBindProgram(fragment); });
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.error, CG_LINK_ERROR);
    EXPECT_EQ(seen.during, "bind fragment");
    const std::string pair = (dir / "vp_shade.cg").string() + " + " + (dir / "fp_shade.cg").string();
    EXPECT_EQ(listing().find(pair + ": error: "), 0u) << listing();
    EXPECT_EQ(currentGlProgram(), 0u);
    EXPECT_EQ(drawAndReadCentre(), Rgb({255, 0, 0}));

    // linked on purpose, the same failure is a value, and the callback is not called
    cgGLDisableProfile(CG_PROFILE_GLSLV);
    cgGLDisableProfile(CG_PROFILE_GLSLF);
    seen = CallbackRecord{};
    EXPECT_EQ(linkProgramPair(vertex, fragment), CG_LINK_ERROR);
    EXPECT_EQ(seen.calls, 0);
    EXPECT_EQ(listing().find(pair + ": error: "), 0u) << listing();
    EXPECT_EQ(linkedPairUniforms(vertex, fragment), nullptr);
}

// Errors

TEST_F(CgRuntime, everyFailureCallsTheCallbackInsideTheFailingCall)
{
    CGprogram program = compile("fp_lookup.cg", LOOKUP_FRAGMENT, CG_PROFILE_GLSLF, "fp_lookup");
    ASSERT_NE(program, nullptr) << listing();
    CGparameter scalar = cgGetNamedParameter(program, "etaRatio");
    CGparameter colour = cgGetNamedParameter(program, "Ka");
    CGparameter sampler = cgGetNamedParameter(program, "environmentMap");
    CGparameter matrix = cgGetNamedParameter(program, "frame");
    const std::string missing = (dir / "missing.cg").string();

    struct Case {
        const char* call;
        std::function<void()> run;
        CGerror error;
        const char* listing = nullptr; // what the listing must say, when it says anything
    };
    const Case cases[] = {
        {"missing file",
         [&] {
             cgCreateProgramFromFile(context, CG_SOURCE, missing.c_str(), CG_PROFILE_GLSLV, "vp", nullptr);
         },
         CG_FILE_READ_ERROR, "missing.cg: No such file or directory"},
        {"null context",
         [&] {
             cgCreateProgramFromFile(nullptr, CG_SOURCE, missing.c_str(), CG_PROFILE_GLSLV, "vp", nullptr);
         },
         CG_INVALID_CONTEXT_HANDLE_ERROR},
        {"unknown program type",
         [&] {
             cgCreateProgramFromFile(context, (CGenum)0, missing.c_str(), CG_PROFILE_GLSLV, "vp", nullptr);
         },
         CG_INVALID_ENUMERANT_ERROR},
        {"unknown profile",
         [&] {
             cgCreateProgramFromFile(context, CG_SOURCE, missing.c_str(), CG_PROFILE_UNKNOWN, "vp", nullptr);
         },
         CG_INVALID_PROFILE_ERROR},
        {"lookup in null program", [&] { cgGetNamedParameter(nullptr, "etaRatio"); },
         CG_INVALID_PROGRAM_HANDLE_ERROR},
        {"set null parameter", [&] { cgGLSetParameter1f(nullptr, 1.0f); }, CG_INVALID_PARAM_HANDLE_ERROR},
        {"3 floats into a float", [&] { cgGLSetParameter3f(scalar, 1, 2, 3); }, CG_INVALID_VALUE_TYPE_ERROR,
         "fp_lookup.cg: parameter `etaRatio' is declared `float' and cannot take 3 floats"},
        {"1 float into a vec3", [&] { cgGLSetParameter1f(colour, 1); }, CG_INVALID_VALUE_TYPE_ERROR},
        {"4 floats into a vec3", [&] { cgGLSetParameter4f(colour, 1, 2, 3, 4); },
         CG_INVALID_VALUE_TYPE_ERROR},
        {"float into a sampler", [&] { cgGLSetParameter1f(sampler, 1); }, CG_INVALID_VALUE_TYPE_ERROR},
        {"matrix into a vec3",
         [&] { cgGLSetStateMatrixParameter(colour, CG_GL_MODELVIEW_MATRIX, CG_GL_MATRIX_IDENTITY); },
         CG_NOT_4x4_MATRIX_ERROR,
         "fp_lookup.cg: parameter `Ka' is declared `vec3' and cannot take a 4x4 matrix"},
        {"unknown matrix", [&] { cgGLSetStateMatrixParameter(matrix, CG_GL_VERTEX, CG_GL_MATRIX_IDENTITY); },
         CG_INVALID_ENUMERANT_ERROR},
        {"unknown transform",
         [&] { cgGLSetStateMatrixParameter(matrix, CG_GL_MODELVIEW_MATRIX, CG_GL_FRAGMENT); },
         CG_INVALID_ENUMERANT_ERROR},
        {"bind before load", [&] { cgGLBindProgram(program); }, CG_PROGRAM_NOT_LOADED_ERROR},
        {"bind null program", [&] { cgGLBindProgram(nullptr); }, CG_INVALID_PROGRAM_HANDLE_ERROR},
        {"enable unknown profile", [&] { cgGLEnableProfile(CG_PROFILE_UNKNOWN); }, CG_INVALID_PROFILE_ERROR},
        {"disable unknown profile", [&] { cgGLDisableProfile((CGprofile)7); }, CG_INVALID_PROFILE_ERROR},
        {"options for unknown profile", [&] { cgGLSetOptimalOptions(CG_PROFILE_UNKNOWN); },
         CG_INVALID_PROFILE_ERROR},
        {"unknown profile class", [&] { cgGLGetLatestProfile(CG_GL_MODELVIEW_MATRIX); },
         CG_INVALID_ENUMERANT_ERROR},
        {"listing of null context", [&] { cgGetLastListing(nullptr); }, CG_INVALID_CONTEXT_HANDLE_ERROR},
        {"destroy null context", [&] { cgDestroyContext(nullptr); }, CG_INVALID_CONTEXT_HANDLE_ERROR},
    };
    for (const Case& c : cases) {
        seen = CallbackRecord{};
        during(c.call, c.run);
        EXPECT_EQ(seen.calls, 1) << c.call;
        EXPECT_EQ(seen.during, c.call);
        EXPECT_EQ(seen.error, c.error) << c.call << ": " << cgGetErrorString(seen.error);
        EXPECT_EQ(cgGetError(), CG_NO_ERROR) << "the callback took the error";
        if (c.listing) {
            EXPECT_NE(listing().find(c.listing), std::string::npos) << listing();
        }
    }

    // a rejected value leaves the stored one alone
    cgGLSetParameter1f(scalar, 0.5f);
    cgGLSetParameter3f(scalar, 9, 9, 9);
    cgGLLoadProgram(program);
    cgGLEnableProfile(CG_PROFILE_GLSLF);
    cgGLBindProgram(program);
    EXPECT_EQ(uniformValue("etaRatio", 1), std::vector<float>({0.5f}));

    // without a callback the error waits for cgGetError, which clears it
    cgSetErrorCallback(nullptr);
    cgGLSetParameter1f(nullptr, 1.0f);
    EXPECT_EQ(cgGetError(), CG_INVALID_PARAM_HANDLE_ERROR);
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);
}

TEST_F(CgRuntime, everyErrorCodeHasItsOwnText)
{
    const CGerror codes[] = {CG_NO_ERROR,
                             CG_COMPILER_ERROR,
                             CG_INVALID_PARAMETER_ERROR,
                             CG_INVALID_PROFILE_ERROR,
                             CG_PROGRAM_LOAD_ERROR,
                             CG_PROGRAM_BIND_ERROR,
                             CG_PROGRAM_NOT_LOADED_ERROR,
                             CG_INVALID_ENUMERANT_ERROR,
                             CG_NOT_4x4_MATRIX_ERROR,
                             CG_FILE_READ_ERROR,
                             CG_MEMORY_ALLOC_ERROR,
                             CG_INVALID_CONTEXT_HANDLE_ERROR,
                             CG_INVALID_PROGRAM_HANDLE_ERROR,
                             CG_INVALID_PARAM_HANDLE_ERROR,
                             CG_UNKNOWN_PROFILE_ERROR,
                             CG_INVALID_VALUE_TYPE_ERROR,
                             CG_LINK_ERROR};
    std::set<std::string> texts;
    for (CGerror code : codes) {
        const std::string text = cgGetErrorString(code);
        EXPECT_GT(text.size(), 10u) << code;
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), sizeof(codes) / sizeof(codes[0]));
    EXPECT_STREQ(cgGetErrorString(CG_COMPILER_ERROR), "The compile returned an error.");
}

// Lifetime

TEST_F(CgRuntime, destroyingAProgramFreesItAndInvalidatesItsHandles)
{
    CGprogram vertex = compileAndLoad("vp_paint.cg", PAINT_VERTEX, CG_PROFILE_GLSLV, "vp_paint");
    CGprogram fragment = compileAndLoad("fp_paint.cg", PAINT_FRAGMENT, CG_PROFILE_GLSLF, "fp_paint");
    ASSERT_TRUE(vertex && fragment) << listing();
    CGparameter tint = cgGetNamedParameter(vertex, "tint");
    cgGLSetParameter3f(cgGetNamedParameter(fragment, "paint"), 0, 1, 0);
    cgGLEnableProfile(CG_PROFILE_GLSLV);
    cgGLEnableProfile(CG_PROFILE_GLSLF);
    cgGLBindProgram(vertex);
    cgGLBindProgram(fragment);
    const GLuint pair = currentGlProgram();
    ASSERT_NE(pair, 0u);

    // the fragment program goes on alone; the pair's GL program is gone
    cgDestroyProgram(vertex);
    EXPECT_EQ(seen.calls, 0);
    EXPECT_NE(currentGlProgram(), pair);
    EXPECT_TRUE(isDeletedProgram(pair));
    EXPECT_EQ(drawAndReadCentre(), Rgb({255, 255, 0})) << "green paint on the red colour";

    for (auto call : std::vector<std::pair<const char*, std::function<void()>>>{
             {"bind destroyed", [&] { cgGLBindProgram(vertex); }},
             {"load destroyed", [&] { cgGLLoadProgram(vertex); }},
             {"lookup in destroyed", [&] { cgGetNamedParameter(vertex, "tint"); }},
             {"destroy twice", [&] { cgDestroyProgram(vertex); }},
             {"set parameter of destroyed", [&] { cgGLSetParameter3f(tint, 1, 1, 1); }}}) {
        seen = CallbackRecord{};
        during(call.first, call.second);
        EXPECT_EQ(seen.calls, 1) << call.first;
        EXPECT_EQ(seen.during, call.first);
    }

    // destroying the context destroys the rest and returns to fixed function
    const GLuint alone = currentGlProgram();
    cgDestroyContext(context);
    EXPECT_TRUE(isDeletedProgram(alone));
    EXPECT_EQ(currentGlProgram(), 0u);
    seen = CallbackRecord{};
    during("bind after context", [&] { cgGLBindProgram(fragment); });
    EXPECT_EQ(seen.error, CG_INVALID_PROGRAM_HANDLE_ERROR);
    context = cgCreateContext(); // for TearDown
}

TEST_F(CgRuntime, latestProfilesAreGlslOnAGlslCapableContext)
{
    EXPECT_EQ(cgGLGetLatestProfile(CG_GL_VERTEX), CG_PROFILE_GLSLV);
    EXPECT_EQ(cgGLGetLatestProfile(CG_GL_FRAGMENT), CG_PROFILE_GLSLF);
    cgGLSetOptimalOptions(CG_PROFILE_GLSLV);
    cgGLSetOptimalOptions(CG_PROFILE_GLSLF);
    EXPECT_EQ(seen.calls, 0);
}
