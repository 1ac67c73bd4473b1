// The panel's layout report.
#include "panel/panel_layout.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char* layoutPath = nullptr;
std::string layout, writtenLayout;

} // namespace

void openLayoutReport()
{
    layoutPath = getenv("MESHSHADE_PANEL_LAYOUT");
}

void beginLayoutReport()
{
    layout.clear();
}

void recordRect(const char* name, ImVec2 min, ImVec2 max, const char* value)
{
    if (!layoutPath) return;
    char line[256];
    snprintf(line, sizeof line, "%s %d %d %d %d %s\n", name, int(min.x), int(min.y), int(max.x - min.x),
             int(max.y - min.y), value);
    layout += line;
}

void recordItem(const char* name, const char* value)
{
    recordRect(name, ImGui::GetItemRectMin(), ImGui::GetItemRectMax(), value);
}

void recordValue(const char* name, float value)
{
    char text[32];
    snprintf(text, sizeof text, "%.3f", value);
    recordItem(name, text);
}

void endLayoutReport(long framesDrawn)
{
    // how often the panel was drawn, for tests that check it is drawn only when needed
    char frames[32];
    snprintf(frames, sizeof frames, "%ld", framesDrawn);
    recordRect("PanelFrames", ImVec2(0, 0), ImVec2(0, 0), frames);
    if (!layoutPath || layout == writtenLayout) return;
    std::string temporary = std::string(layoutPath) + ".tmp";
    if (FILE* f = fopen(temporary.c_str(), "w")) {
        fputs(layout.c_str(), f);
        fclose(f);
        rename(temporary.c_str(), layoutPath);
        writtenLayout = layout;
    }
}
