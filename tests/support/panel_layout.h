// The panel's report of where its controls are: with MESHSHADE_PANEL_LAYOUT
// naming a file, the viewer writes one line per control, "name x y width
// height value" (panel pixels), whenever the panel's layout or a value changes.
#pragma once

#include <string>

struct PanelControl {
    int x = 0, y = 0, width = 0, height = 0; // panel pixels
    std::string value;                       // what it shows: "0.600", "on", "Cessna", ...
};

// Reads control `name` from the report at `path`; false when the report does not list it (yet).
bool readPanelControl(const std::string& path, const std::string& name, PanelControl& control);
