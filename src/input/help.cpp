// The help text.
#include "input/help.h"

#include <cstdio>

void printHelp()
{
    printf("\n---Help Menu---\n\nh - help menu\n");
    printf("q - quit\n\nAll other control aspects of the program are ");
    printf("either attached to the mouse\nbuttons or the control ");
    printf("window.  The menu attached to the right mouse button\nhas ");
    printf("the functions for the left mouse button, viewing options, and ");
    printf("other\nutility type functions.  The middle mouse button ");
    printf("controls camera zooming.");
    printf("\n\n---------------\n\n");
}
