// The help text, printed by the "Help" menu entry and the h and H keys.
#pragma once

void printHelp();
