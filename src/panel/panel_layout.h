// The panel's layout report, for tests and scripts: with MESHSHADE_PANEL_LAYOUT
// naming a file, the panel writes there where each control sits (panel-window
// pixels) and what it shows, one control a line ("name x y width height
// value"), so that they can find and read controls by name. The panel's widgets
// and sections record into it while a frame is built.
#pragma once

#include <imgui.h>

// Reads MESHSHADE_PANEL_LAYOUT once, when the panel window opens; without it
// nothing below records anything.
void openLayoutReport();
// A panel frame starts an empty report.
void beginLayoutReport();
// Records a control at `min` to `max` showing `value`.
void recordRect(const char* name, ImVec2 min, ImVec2 max, const char* value);
// Records the item ImGui made last.
void recordItem(const char* name, const char* value);
// Records the item ImGui made last, showing `value` as its field does ("%.3f").
void recordValue(const char* name, float value);
// Ends the frame's report with how many frames the panel has drawn and writes
// the file when the report differs from the one written last.
void endLayoutReport(long framesDrawn);
