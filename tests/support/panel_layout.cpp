// Reading the panel's layout report.
#include "panel_layout.h"

#include <fstream>
#include <sstream>

bool readPanelControl(const std::string& path, const std::string& name, PanelControl& control)
{
    std::ifstream layout(path);
    std::string line;
    while (std::getline(layout, line)) {
        std::istringstream fields(line);
        std::string id;
        PanelControl found;
        if (fields >> id >> found.x >> found.y >> found.width >> found.height >> found.value && id == name) {
            control = found;
            return true;
        }
    }
    return false;
}
