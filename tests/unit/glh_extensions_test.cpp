// The extension loader against a fake driver: fake extension and version
// strings, and a procedure lookup that can miss one chosen entry point.
#include <cstring>
#include <string>
#include <gtest/gtest.h>

#include "app/glh_extensions.h"

namespace {

std::string fakeGl, fakeVersion, fakeWindowSystem, missingEntry;
bool hasWindowSystem = true;

const char* glExt()
{
    return fakeGl.c_str();
}
const char* glVer()
{
    return fakeVersion.c_str();
}
const char* wsExt()
{
    return hasWindowSystem ? fakeWindowSystem.c_str() : nullptr;
}
void* lookup(const char* name)
{
    static char anything;
    return missingEntry == name ? nullptr : &anything;
}

struct FakeDriver : testing::Test {
    void SetUp() override
    {
        fakeGl = "GL_ARB_multitexture GL_EXT_bgra GL_ARB_texture_cube_map";
        fakeVersion = "2.1 Mesa";
        fakeWindowSystem = "GLX_ARB_create_context";
        missingEntry.clear();
        hasWindowSystem = true;
        releaseExtensions();
        setExtensionPlatform({glExt, glVer, wsExt, lookup});
    }
    void TearDown() override
    {
        releaseExtensions();
        setExtensionPlatform(glxExtensionPlatform());
    }
};

} // namespace

TEST_F(FakeDriver, separatorsOfAnyKindAndNumberGiveTheSameResult)
{
    EXPECT_TRUE(initExtensions("GL_ARB_multitexture GL_EXT_bgra"));
    EXPECT_TRUE(initExtensions(" \t\nGL_ARB_multitexture \t\n\n  GL_EXT_bgra\t \n"));
    EXPECT_STREQ(unsupportedExtensions(), "");
    EXPECT_FALSE(initExtensions("\n\tGL_EXT_abgr   GL_NV_fence\t"));
    EXPECT_STREQ(unsupportedExtensions(), "GL_EXT_abgr GL_NV_fence ");
}

TEST_F(FakeDriver, emptyAndNullListsSucceed)
{
    EXPECT_FALSE(initExtensions("GL_NV_fence"));
    EXPECT_TRUE(initExtensions(""));
    EXPECT_STREQ(unsupportedExtensions(), "");
    EXPECT_TRUE(initExtensions(nullptr));
    EXPECT_TRUE(initExtensions("  \t\n "));
}

TEST_F(FakeDriver, namesOutsideTheTableFailInRequestOrder)
{
    fakeGl += " GL_ARB_imaginary GL_XYZ_other";
    EXPECT_FALSE(initExtensions("GL_XYZ_other GL_ARB_imaginary"));
    EXPECT_STREQ(unsupportedExtensions(), "GL_XYZ_other GL_ARB_imaginary ");
    // every token is processed: a failure does not stop the walk
    EXPECT_FALSE(initExtensions("GL_ARB_imaginary GL_ARB_multitexture GL_XYZ_other"));
    EXPECT_STREQ(unsupportedExtensions(), "GL_ARB_imaginary GL_XYZ_other ");
}

TEST_F(FakeDriver, versionNamesFollowTheVersionString)
{
    const struct {
        const char* version;
        bool has12, has13;
    } cases[] = {{"1.1.0", false, false}, {"1.0", false, false},
                 {"1.2.1", true, false},  {"1.3 Mesa", true, true},
                 {"2.0", true, true},     {"4.5 (Compatibility Profile)", true, true}};
    for (const auto& c : cases) {
        fakeVersion = c.version;
        EXPECT_EQ(isExtensionAvailable("GL_VERSION_1_2"), c.has12) << c.version;
        EXPECT_EQ(isExtensionAvailable("GL_VERSION_1_3"), c.has13) << c.version;
    }
    // GL_VERSION_1_3 is available but not in the table: always unsupported
    fakeVersion = "2.0";
    EXPECT_TRUE(initExtensions("GL_VERSION_1_2"));
    EXPECT_FALSE(initExtensions("GL_VERSION_1_3"));
    EXPECT_STREQ(unsupportedExtensions(), "GL_VERSION_1_3 ");
    fakeVersion = "1.1";
    EXPECT_FALSE(initExtensions("GL_VERSION_1_2"));
}

TEST_F(FakeDriver, missingEntryPointFailsAndKeepsEarlierSlots)
{
    missingEntry = "glMultiTexCoord3fARB";
    EXPECT_FALSE(initExtensions("GL_ARB_multitexture"));
    EXPECT_STREQ(unsupportedExtensions(), "GL_ARB_multitexture ");
    EXPECT_NE(extensionEntryPoint("glMultiTexCoord1dARB"), nullptr);
    EXPECT_NE(extensionEntryPoint("glMultiTexCoord2svARB"), nullptr);
    EXPECT_NE(extensionEntryPoint("glMultiTexCoord3dvARB"), nullptr);
    EXPECT_EQ(extensionEntryPoint("glMultiTexCoord3fARB"), nullptr);
    EXPECT_FALSE(resolveExtension("GL_ARB_multitexture"));
    missingEntry.clear();
    EXPECT_TRUE(initExtensions("GL_ARB_multitexture"));
    EXPECT_NE(extensionEntryPoint("glClientActiveTextureARB"), nullptr);
}

TEST_F(FakeDriver, secondCallKeepsTheStringsOfTheFirst)
{
    EXPECT_TRUE(initExtensions("GL_EXT_bgra"));
    fakeGl = "GL_EXT_abgr";
    fakeWindowSystem = "";
    EXPECT_FALSE(initExtensions("GL_EXT_bgra GL_EXT_abgr"));
    EXPECT_STREQ(unsupportedExtensions(), "GL_EXT_abgr ");
    EXPECT_TRUE(isExtensionAvailable("GL_EXT_bgra"));
    EXPECT_FALSE(isExtensionAvailable("GL_EXT_abgr"));
    EXPECT_TRUE(isExtensionAvailable("GLX_ARB_create_context"));
}

TEST_F(FakeDriver, windowSystemStringIsOptional)
{
    hasWindowSystem = false;
    EXPECT_TRUE(initExtensions("GL_EXT_bgra"));
    EXPECT_FALSE(isExtensionAvailable("GLX_ARB_create_context"));
}

TEST_F(FakeDriver, onlyWholeNamesMatch)
{
    fakeGl = "GL_XYZ_ARB_multitexture GL_EXT_bgra_more GL_EXT_abgr";
    EXPECT_FALSE(initExtensions("GL_ARB_multitexture"));
    EXPECT_FALSE(isExtensionAvailable("GL_EXT_bgra"));
    EXPECT_FALSE(isExtensionAvailable("GL_EXT_ab"));
    EXPECT_TRUE(isExtensionAvailable("GL_EXT_abgr"));
    // the OpenGL-only test also accepts the last name without a trailing space
    EXPECT_TRUE(hasGLExtension("GL_EXT_abgr"));
    EXPECT_FALSE(hasGLExtension("GL_ARB_multitexture"));
    EXPECT_FALSE(hasGLExtension("GL_EXT_bgra"));
    EXPECT_FALSE(hasGLExtension(""));
    EXPECT_FALSE(hasGLExtension("GL_EXT_abgr GL_EXT_bgra_more"));
}
