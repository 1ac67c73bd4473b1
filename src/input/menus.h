// The right-button popup menu of the drawing window, and its keyboard.
#pragma once

// Values of the main menu. No entry has 6: the values are fixed (the menu hands
// them to applyMenuChoice, tests choose by them), so the gap stays. The mode
// entries map to the InteractionMode they select in menus.cpp.
enum {
    MENU_TRANSLATE_MESH = 1,
    MENU_SCALE_MESH = 2,
    MENU_ROTATE_MESH = 3,
    MENU_TRANSLATE_LIGHT_XY = 4,
    MENU_TRANSLATE_LIGHT_Z = 5,
    MENU_ROTATE_CAMERA = 7,
    MENU_RESET_ALL = 8,
    MENU_RESET_LIGHT = 9,
    MENU_HELP = 10,
    MENU_EXIT = 11,
};

// Builds the "Viewing" submenu and the main menu and attaches the main menu to
// the right button of the current window. Start-up builds them as side windows.
void createMenus();
// GLUT menu-status callback: a menu that opens takes the pointer, and with it
// the release of a drag's button, so the drag ends here; while a menu is open,
// its windows are drawn again now and then.
void menuStatus(int status, int x, int y);
// GLUT menu callback of the main menu: the choice, then a redisplay.
void mainMenu(int value);
// What a main-menu choice does: sets the mode, resets, prints help, or exits.
void applyMenuChoice(int value);
// GLUT keyboard callback: h/H help, q/Q/Escape quit.
void keyboard(unsigned char key, int x, int y);
