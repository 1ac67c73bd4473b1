// Main-menu choices, their console lines, and the help text.
#include <gtest/gtest.h>

#include "app/scene_state.h"
#include "input/help.h"
#include "input/menus.h"

static std::string output(int value)
{
    testing::internal::CaptureStdout();
    applyMenuChoice(value);
    return testing::internal::GetCapturedStdout();
}

TEST(Menus, modeEntriesSetTheirModeAndPrintTheirLine)
{
    restoreStartValues();
    meshes[0].loaded = true;
    const struct {
        int value;
        InteractionMode mode;
        const char* line;
    } entries[] = {
        {MENU_TRANSLATE_MESH, TranslateMesh, "Translate Mode\n"},
        {MENU_SCALE_MESH, ScaleMesh, "Scale Mode\n"},
        {MENU_ROTATE_MESH, RotateMesh, "Rotate Mode\n"},
        {MENU_TRANSLATE_LIGHT_XY, TranslateLightXY, "Translate Light Mode\n"},
        {MENU_TRANSLATE_LIGHT_Z, TranslateLightZ, "Translate Light Depth Mode\n"},
        {MENU_ROTATE_CAMERA, RotateCamera, "Camera Rotate Mode\n"},
    };
    for (const auto& e : entries) {
        EXPECT_EQ(output(e.value), e.line);
        EXPECT_EQ(interactionMode, e.mode);
        // choosing it again prints again and changes nothing
        EXPECT_EQ(output(e.value), e.line);
        EXPECT_EQ(interactionMode, e.mode);
    }
    // values without an entry do nothing
    EXPECT_EQ(output(6), "");
    EXPECT_EQ(output(42), "");
    EXPECT_EQ(interactionMode, RotateCamera);
}

TEST(Menus, resetsPrintTheMenuLineThenTheResetLine)
{
    restoreStartValues();
    meshes[0].loaded = true;
    meshes[0].rotationRef = meshes[0].rotation;
    currentMesh = &meshes[0];
    interactionMode = TranslateLightZ;
    EXPECT_EQ(output(MENU_RESET_ALL), "Resetting All...\nResetting all...\n");
    EXPECT_EQ(output(MENU_RESET_LIGHT), "Resetting lighting...\nResetting the Light...\n");
    EXPECT_EQ(interactionMode, TranslateLightZ);
}

TEST(Menus, exitEndsWithSuccess)
{
    EXPECT_EXIT(applyMenuChoice(MENU_EXIT), testing::ExitedWithCode(0), "");
}

TEST(Help, textIsExactAndTheMenuEntryPrintsTheSame)
{
    const std::string expected =
        "\n---Help Menu---\n\nh - help menu\n"
        "q - quit\n\n"
        "All other control aspects of the program are either attached to the mouse\n"
        "buttons or the control window.  The menu attached to the right mouse button\n"
        "has the functions for the left mouse button, viewing options, and other\n"
        "utility type functions.  The middle mouse button controls camera zooming."
        "\n\n---------------\n\n";
    testing::internal::CaptureStdout();
    printHelp();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
    EXPECT_EQ(output(MENU_HELP), expected);
}
