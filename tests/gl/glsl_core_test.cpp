// The GLSL core on the real driver: what a linked program lists of its
// uniforms, and setting them by their place in the list.
#include <gtest/gtest.h>

#include "shading/glsl_core.h"

namespace {

// A uniform as the scan names it: name, type and array size.
struct Declared {
    const char* name;
    const char* type;
    int arraySize = 1;
};

// Compiles `text` as `stage` declaring `declared`; fails the test when it does not compile.
CompiledStage compiled(ShaderStage stage, const char* text, const std::vector<Declared>& declared)
{
    CompiledStage out;
    out.stage = stage;
    for (const Declared& d : declared) {
        UniformDeclaration u;
        u.name = d.name;
        u.type = d.type;
        u.arraySize = d.arraySize;
        out.declared.push_back(u);
    }
    std::string log;
    EXPECT_EQ(compileGlslStage(out, text, log), STAGE_COMPILED) << log;
    return out;
}

} // namespace

TEST(GlslCore, uniformsOfEveryTypeAreListedAndSetByTheirPlace)
{
    CompiledStage vertex =
        compiled(VERTEX_STAGE,
                 "#version 120\n"
                 "uniform float shared;\n"
                 "uniform vec2 offset;\n"
                 "void main() { gl_Position = ftransform() + vec4(offset * shared, 0.0, 0.0); }\n",
                 {{"shared", "float"}, {"offset", "vec2"}});
    CompiledStage fragment =
        compiled(FRAGMENT_STAGE,
                 "#version 120\n"
                 "uniform float shared;\n"
                 "uniform int bands;\n"
                 "uniform bool on;\n"
                 "uniform float weights[3];\n"
                 "uniform sampler2D first;\n"
                 "uniform samplerCube second;\n"
                 "void main() {\n"
                 "    vec4 c = texture2D(first, vec2(0.5)) + textureCube(second, vec3(1.0));\n"
                 "    float w = weights[0] + weights[1] + weights[2];\n"
                 "    gl_FragColor = on ? c * float(bands) * shared * w : vec4(0.0);\n"
                 "}\n",
                 {{"shared", "float"},
                  {"bands", "int"},
                  {"on", "bool"},
                  {"weights", "float", 3},
                  {"first", "sampler2D"},
                  {"second", "samplerCube"}});
    LinkedPair pair;
    std::string log;
    ASSERT_TRUE(linkGlslProgram(&vertex, &fragment, pair, log)) << log;

    std::string listed;
    for (const ActiveUniform& u : pair.uniforms)
        listed += u.name + ":" + std::to_string(u.size) + ":" + std::to_string(u.stages) + ":" +
                  std::to_string(u.textureUnit) + " ";
    // one entry for a uniform of both stages; samplers from unit 1 up, unit 0 being the sky's
    EXPECT_EQ(listed, "shared:1:3:-1 offset:1:1:-1 bands:1:2:-1 on:1:2:-1 weights:3:2:-1 first:1:2:1 "
                      "second:1:2:2 ");
    EXPECT_EQ(pair.uniforms[int(findGlslUniform(pair, "bands"))].type, GLenum(GL_INT));
    EXPECT_EQ(findGlslUniform(pair, "missing"), -1);

    glUseProgram(pair.program);
    const float three[] = {3}, yes[] = {1}, weights[] = {0.25f, 0.5f, 0.75f}, unit[] = {0};
    setGlslUniform(pair, findGlslUniform(pair, "bands"), three);
    setGlslUniform(pair, findGlslUniform(pair, "on"), yes);
    setGlslUniform(pair, findGlslUniform(pair, "weights"), weights);
    setGlslUniform(pair, findGlslUniform(pair, "second"), unit);
    GLint bands = 0, on = 0, second = -1;
    glGetUniformiv(pair.program, glGetUniformLocation(pair.program, "bands"), &bands);
    glGetUniformiv(pair.program, glGetUniformLocation(pair.program, "on"), &on);
    glGetUniformiv(pair.program, glGetUniformLocation(pair.program, "second"), &second);
    float last = 0;
    glGetUniformfv(pair.program, glGetUniformLocation(pair.program, "weights[2]"), &last);
    EXPECT_EQ(bands, 3);
    EXPECT_EQ(on, 1);
    EXPECT_EQ(second, 0);
    EXPECT_FLOAT_EQ(last, 0.75f);
    glUseProgram(0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    deleteGlslProgram(pair);
    deleteGlslStage(vertex);
    deleteGlslStage(fragment);
}
