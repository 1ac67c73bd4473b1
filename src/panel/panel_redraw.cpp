// Redraw scheduling of the panel window.
#include "panel/panel_redraw.h"

#include <vector>

#include "app/scene_state.h"
#include "shading/shader_contract.h"
#include "shading/user_parameters.h"

long panelFramesDrawn = 0;

namespace {

// Frames drawn after the last input, so that hover and press states ImGui
// takes from the previous frame's layout settle.
const int SETTLE_FRAMES = 3;
int framesOwed = SETTLE_FRAMES;

// Every value the panel shows: the shader parameters it edits, its choices,
// the parameters of the user's own.
void collectShownValues(std::vector<float>& values)
{
    values.clear();
    for (int i = 0; i < SHADER_PARAMETER_COUNT; i++) {
        if (!shownInPanel(SHADER_PARAMETERS[i])) continue;
        float v[4];
        const int count = parameterValue(SHADER_PARAMETERS[i], material, v);
        values.insert(values.end(), v, v + count);
    }
    for (int choice : {int(currentMesh - meshes), meshListValue, textureGroupValue})
        values.push_back(float(choice));
    // the programs' own parameters (the inputs' values are not shown)
    appendUserParameterValues(values);
}

// What the panel showed when it was last drawn, and what it would show now.
std::vector<float> lastShown, shownNow;

} // namespace

void panelInput()
{
    framesOwed = SETTLE_FRAMES;
}

void panelFrameBegins()
{
    // values edited during this frame, by a later control's callback too, differ
    // from these and bring one more frame
    collectShownValues(lastShown);
    if (framesOwed > 0) framesOwed--;
    panelFramesDrawn++;
}

void panelFrameBuilt(bool imguiBusy)
{
    if (imguiBusy) framesOwed = SETTLE_FRAMES;
}

bool panelNeedsDrawing()
{
    if (framesOwed > 0) return true;
    collectShownValues(shownNow);
    return shownNow != lastShown;
}
