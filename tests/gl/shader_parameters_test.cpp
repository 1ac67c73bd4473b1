// What the viewer's own programs receive on a shaded draw.
#define GL_GLEXT_PROTOTYPES
#include <filesystem>
#include <unistd.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include "app/scene_state.h"
#include "shading/shader_contract.h"
#include "shading/shader_parameters.h"
#include "shading/shader_setup.h"

namespace fs = std::filesystem;

namespace {

// Reads a uniform of the program in use by name.
std::vector<float> uniform(const char* name, int count)
{
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    std::vector<float> values(16, -99);
    GLint location = glGetUniformLocation(GLuint(program), name);
    if (location >= 0) glGetUniformfv(GLuint(program), location, values.data());
    values.resize(count);
    return values;
}

struct ViewerPrograms : testing::Test {
    static void SetUpTestSuite()
    {
        // the programs are read from the working directory, as the viewer does
        std::string previous = fs::current_path();
        fs::current_path(MESHSHADE_RUN_DIR);
        setupShaders();
        fs::current_path(previous);
    }
    void SetUp() override
    {
        restoreStartValues();
        eyePosition[0] = 0.5f, eyePosition[1] = -1, eyePosition[2] = 3;
        const ShaderBindingsRecord& b = ShaderBindings;
        cgGLEnableProfile(b.vertexProfile);
        cgGLEnableProfile(b.fragmentProfile);
        cgGLBindProgram(b.vertexProgram);
        cgGLBindProgram(b.fragmentProgram);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override
    {
        cgGLDisableProfile(ShaderBindings.vertexProfile);
        cgGLDisableProfile(ShaderBindings.fragmentProfile);
    }
};

} // namespace

TEST_F(ViewerPrograms, setUpFillsEveryHandleAndPointsTheSkySamplerAtUnitZero)
{
    ASSERT_EQ(cgGetError(), CG_NO_ERROR);
    for (int i = 0; i < SHADER_PARAMETER_COUNT; i++)
        EXPECT_NE(ShaderBindings.*SHADER_PARAMETERS[i].handle, nullptr) << SHADER_PARAMETERS[i].name;
    // the sky cube leaves its cube map bound on unit 0
    GLint program = 0, unit = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetUniformiv(GLuint(program), glGetUniformLocation(GLuint(program), "environmentMap"), &unit);
    EXPECT_EQ(unit, 0);
}

TEST_F(ViewerPrograms, everyValueReachesItsParameter)
{
    shading = {0.25f, 0.5f, 0.75f, 0.125f, 0.375f, 0.98f, 1};
    light.ambient[0] = 0.1f, light.diffuse[1] = 0.2f, light.specular[2] = 0.3f;
    material.shininess = 42;
    setShaderParameters();
    EXPECT_EQ(uniform("eyePosition", 4), (std::vector<float>{0.5f, -1, 3, 1}));
    // the programs always get a point light: w is 1 while the fixed-function light keeps 0
    EXPECT_EQ(uniform("lightPosition", 4), (std::vector<float>{1, 1, 1.5f, 1}));
    EXPECT_FLOAT_EQ(light.position[3], 0);
    EXPECT_FLOAT_EQ(uniform("etaRatio", 1)[0], 0.98f);
    EXPECT_FLOAT_EQ(uniform("reflectivity", 1)[0], 0.25f);
    EXPECT_FLOAT_EQ(uniform("matRatio", 1)[0], 0.5f);
    EXPECT_FLOAT_EQ(uniform("aw", 1)[0], 0.75f);
    EXPECT_FLOAT_EQ(uniform("dw", 1)[0], 0.125f);
    EXPECT_FLOAT_EQ(uniform("weight", 1)[0], 0.375f);
    EXPECT_EQ(uniform("globalAmbient", 3), (std::vector<float>{0.1f, 0.6f, 0.6f}));
    EXPECT_EQ(uniform("diffColor", 3), (std::vector<float>{0.6f, 0.2f, 0.6f}));
    EXPECT_EQ(uniform("specColor", 3), (std::vector<float>{0.8f, 0.8f, 0.3f}));
    EXPECT_EQ(uniform("Kd", 3), (std::vector<float>{0.9f, 0, 0}));
    EXPECT_FLOAT_EQ(uniform("shininess", 1)[0], 42);
}

TEST_F(ViewerPrograms, shadowReductionIsExactlyZeroOrOne)
{
    shading.shadowReduction = 1;
    setShaderParameters();
    EXPECT_EQ(uniform("shadowReduction", 1)[0], 1.0f);
    shading.shadowReduction = 0;
    setShaderParameters();
    EXPECT_EQ(uniform("shadowReduction", 1)[0], 0.0f);
}

TEST_F(ViewerPrograms, trackedMatricesFollowTheMeshTransform)
{
    glTranslatef(0, 0, -3);
    glScalef(2, 2, 2);
    setShaderParameters();
    std::vector<float> modelView = uniform("modelView", 16), modelViewIT = uniform("modelViewIT", 16);
    EXPECT_FLOAT_EQ(modelView[0], 2);
    EXPECT_FLOAT_EQ(modelView[14], -3);
    EXPECT_FLOAT_EQ(modelViewIT[0], 0.5f);
    EXPECT_FLOAT_EQ(modelViewIT[11], 1.5f); // the translation lands in the last row
    float projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    std::vector<float> mvp = uniform("modelViewProj", 16);
    EXPECT_FLOAT_EQ(mvp[0], projection[0] * 2);
}
