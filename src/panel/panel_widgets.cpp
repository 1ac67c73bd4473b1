// The panel's widgets.
#include "panel/panel_widgets.h"

#include <cstdio>

#include <imgui.h>

#include "panel/control_panel.h"
#include "panel/panel_layout.h"

bool spinner(const char* label, const char* id, float* value, float low, float high, float speed,
             float labelWidth)
{
    const float start = ImGui::GetCursorPosX();
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted(label);
    ImGui::SameLine();
    ImGui::SetCursorPosX(start + labelWidth);
    ImGui::SetNextItemWidth(FIELD_WIDTH);
    const float perPixel = (high - low) * speed / 100.0f;
    bool changed = ImGui::DragFloat(id, value, perPixel, low, high, "%.3f", ImGuiSliderFlags_AlwaysClamp);
    recordValue(id + 2, *value);
    return changed;
}

void colourSpinners(const char* heading, const char* idPrefix, float* colour, int callbackId)
{
    static const char* const LABELS[3] = {"Red:", "Green:", "Blue:"};
    static const char* const NAMES[3] = {"Red", "Green", "Blue"};
    ImGui::TextUnformatted(heading);
    for (int i = 0; i < 3; i++) {
        char id[64];
        snprintf(id, sizeof id, "##%s%s", idPrefix, NAMES[i]);
        if (spinner(LABELS[i], id, &colour[i], 0, 1, 0.4f) && callbackId >= 0) controlCallback(callbackId);
    }
}

bool button(const char* label, const char* name)
{
    bool clicked = ImGui::Button(label);
    recordItem(name, "-");
    return clicked;
}

void beginFramedGroup(const char* title)
{
    ImGui::BeginGroup();
    ImGui::TextDisabled("%s", title);
    ImGui::Indent(6);
}

void endFramedGroup()
{
    ImGui::Unindent(6);
    ImGui::EndGroup();
    ImVec2 min = ImGui::GetItemRectMin(), max = ImGui::GetItemRectMax();
    ImU32 edge = ImGui::GetColorU32(ImGuiCol_Border);
    ImGui::GetWindowDrawList()->AddRect(ImVec2(min.x - 4, min.y - 2), ImVec2(max.x + 4, max.y + 4), edge, 3);
    ImGui::Dummy(ImVec2(0, 4));
}
