// The "Your Parameters" section: a row for each parameter of the user's own
// programs, "Pause Time" and "Default Parameters".
#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

#include <imgui.h>
#include <imgui_internal.h>

#include "panel/panel_layout.h"
#include "panel/panel_sections.h"
#include "panel/panel_widgets.h"
#include "shading/user_parameters.h"

namespace {

// Pixels of the names' column; a longer name puts its fields on a line of their own.
const float NAME_WIDTH = 150;
// Rows the list shows at least, scrolling, however little room is left.
const int LEAST_ROWS = 4;

const char* const VECTOR_NAMES[4] = {"x", "y", "z", "w"};
const char* const COLOUR_NAMES[4] = {"r", "g", "b", "a"};

// Decimals that write `x` exactly enough (at most 6).
int decimalsOf(float x)
{
    for (int d = 0; d < 6; d++) {
        const double scaled = double(x) * std::pow(10.0, d);
        if (std::fabs(scaled - std::round(scaled)) < 1e-3) return d;
    }
    return 6;
}

// The field's drag range: the annotation's, 0 to 1 for a colour's, none
// otherwise (low == high).
void dragRange(const UserParameter& p, float& low, float& high)
{
    const ParameterAnnotation& a = p.annotation;
    low = high = 0;
    if (a.hasMin || a.hasMax) {
        low = a.hasMin ? a.min : -FLT_MAX;
        high = a.hasMax ? a.max : FLT_MAX;
    } else if (a.colour) {
        low = 0, high = 1;
    }
}

// A field that drags in steps of the annotation's step, from its min (or 0):
// ImGui drags the number of steps, and the field shows the value it stands for.
// Ctrl-click typing enters a value, which may lie between steps and out of range.
bool steppedField(const char* id, float* v, const UserParameter& p)
{
    const ParameterAnnotation& a = p.annotation;
    const float base = a.hasMin ? a.min : 0;
    // the steps dragged so far, fractions included, while this field is held
    static ImGuiID heldField = 0;
    static float heldSteps = 0;
    const ImGuiID field = ImGui::GetID(id);
    const bool typing = ImGui::TempInputIsActive(field);
    float steps = heldField == field ? heldSteps : (*v - base) / a.step;
    if (typing) steps = *v;
    char shown[64];
    snprintf(shown, sizeof shown, "%.*f", std::max(decimalsOf(a.step), decimalsOf(base)), double(*v));
    const float low = a.hasMin ? 0 : -FLT_MAX;
    const float high = a.hasMax ? std::floor((a.max - base) / a.step + 1e-4f) : FLT_MAX;
    // a format without a conversion shows that text as it is
    const bool changed = ImGui::DragFloat(id, &steps, 0.25f, typing ? 0 : low, typing ? 0 : high, shown,
                                          ImGuiSliderFlags_NoRoundToFormat);
    if (ImGui::IsItemActive() && !typing) {
        heldField = field;
        heldSteps = steps;
    } else if (heldField == field) {
        heldField = 0;
    }
    if (!changed) return false;
    const float value = typing ? steps : base + std::round(steps) * a.step;
    if (value == *v) return false;
    *v = value;
    return true;
}

// One number field of parameter p, `width` pixels wide.
bool numberField(const char* id, float* v, const UserParameter& p, float width)
{
    ImGui::SetNextItemWidth(width);
    if (p.annotation.hasStep) return steppedField(id, v, p);
    float low, high;
    dragRange(p, low, high);
    const bool ranged = low < high && low > -FLT_MAX && high < FLT_MAX;
    if (p.kind == USER_INT) {
        int whole = int(*v);
        const float speed = ranged ? std::max((high - low) / 200.0f, 0.05f) : 0.1f;
        const int lowInt = low <= float(INT_MIN) ? INT_MIN : int(std::ceil(low));
        const int highInt = high >= float(INT_MAX) ? INT_MAX : int(std::floor(high));
        if (!ImGui::DragInt(id, &whole, speed, lowInt, highInt)) return false;
        *v = float(whole);
        return true;
    }
    const float speed = ranged ? (high - low) / 200.0f : 0.01f;
    return ImGui::DragFloat(id, v, speed, low, high, "%.3f");
}

// The name at the start of a row, cut off at its column (all of it in a
// tooltip), so that every row is one line high; the fields follow at the column's end.
void rowName(const char* name, const char* layoutName = nullptr)
{
    ImGui::AlignTextToFramePadding();
    const float start = ImGui::GetCursorPosX();
    const ImVec2 at = ImGui::GetCursorScreenPos();
    const float column = NAME_WIDTH - ImGui::GetStyle().ItemSpacing.x;
    ImGui::PushClipRect(at, ImVec2(at.x + column, at.y + ImGui::GetFrameHeight()), true);
    ImGui::TextUnformatted(name);
    ImGui::PopClipRect();
    if (layoutName) recordItem(layoutName, "not-editable");
    if (ImGui::IsItemHovered() && ImGui::CalcTextSize(name).x > column) ImGui::SetTooltip("%s", name);
    ImGui::SameLine();
    ImGui::SetCursorPosX(start + NAME_WIDTH);
}

void editableRow(UserParameter& p)
{
    const bool colour = p.annotation.colour;
    const char* const* parts = colour ? COLOUR_NAMES : VECTOR_NAMES;
    rowName(p.name.c_str());
    const ImGuiStyle& style = ImGui::GetStyle();
    // the colour editor's swatch takes a square at the end of the row
    const float swatch = colour ? ImGui::GetFrameHeight() + style.ItemInnerSpacing.x : 0;
    const float room = ImGui::GetContentRegionAvail().x - swatch;
    const int n = p.components;
    const float width = std::min(FIELD_WIDTH, (room - style.ItemInnerSpacing.x * float(n - 1)) / float(n));
    for (int i = 0; i < n; i++) {
        if (i > 0) ImGui::SameLine(0, style.ItemInnerSpacing.x);
        const std::string name = n == 1 ? p.name : p.name + "." + parts[i];
        const std::string id = "##" + name;
        if (p.kind == USER_BOOL) {
            bool on = p.value[i] != 0;
            if (ImGui::Checkbox(id.c_str(), &on)) p.value[i] = on ? 1.0f : 0.0f;
            recordItem(name.c_str(), p.value[i] != 0 ? "on" : "off");
            continue;
        }
        numberField(id.c_str(), &p.value[i], p, width);
        recordValue(name.c_str(), p.value[i]);
    }
    if (colour) {
        ImGui::SameLine(0, style.ItemInnerSpacing.x);
        const ImGuiColorEditFlags flags = ImGuiColorEditFlags_NoInputs | ImGuiColorEditFlags_NoLabel |
                                          (n == 3 ? ImGuiColorEditFlags_NoAlpha : 0);
        const std::string id = "##" + p.name + ".colour";
        if (n == 3)
            ImGui::ColorEdit3(id.c_str(), p.value, flags);
        else
            ImGui::ColorEdit4(id.c_str(), p.value, flags);
        recordItem(p.name.c_str(), "colour");
    }
}

// A parameter the panel cannot edit, listed with its type.
void listedRow(const UserParameter& p)
{
    rowName(p.name.c_str(), p.name.c_str());
    ImGui::TextDisabled("%s, not editable", p.typeName.c_str());
}

} // namespace

float yourParametersSection()
{
    if (userParameters.empty() && !programsUseTime) return 0;
    const bool open = ImGui::CollapsingHeader("Your Parameters", ImGuiTreeNodeFlags_DefaultOpen);
    recordItem("YourParameters", open ? "open" : "closed");
    if (!open) return 0;
    bool anyEditable = false;
    for (const UserParameter& p : userParameters)
        anyEditable = anyEditable || p.components > 0;
    if (programsUseTime) {
        ImGui::Checkbox("Pause Time", &timePaused);
        recordItem("PauseTime", timePaused ? "on" : "off");
        if (anyEditable) ImGui::SameLine(0, 30);
    }
    if (anyEditable && button("Default Parameters", "DefaultParameters")) defaultUserParameters();
    if (userParameters.empty()) return 0;

    // The list scrolls in a region of its own when the window cannot grow to
    // show it whole; its whole height comes from the frame before.
    static float wholeList = 0;
    const float least = float(LEAST_ROWS) * ImGui::GetFrameHeightWithSpacing();
    const float room = std::max(ImGui::GetContentRegionAvail().y, least);
    const float height = wholeList > 0 ? std::min(wholeList, room) : room;
    ImGui::BeginChild("##YourParametersList", ImVec2(0, height), false);
    // every row is one line high: only those in sight are built
    ImGuiListClipper rows;
    rows.Begin(int(userParameters.size()), ImGui::GetFrameHeightWithSpacing());
    while (rows.Step())
        for (int i = rows.DisplayStart; i < rows.DisplayEnd; i++) {
            UserParameter& p = userParameters[size_t(i)];
            ImGui::PushID(p.name.c_str());
            if (p.components > 0)
                editableRow(p);
            else
                listedRow(p);
            ImGui::PopID();
        }
    rows.End();
    wholeList = ImGui::GetCursorPosY();
    ImGui::EndChild();
    return std::max(0.0f, wholeList - height);
}
