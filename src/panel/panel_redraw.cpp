// Redraw scheduling of the panel window.
#include "panel/panel_redraw.h"

#include <array>
#include <cassert>

#include "app/scene_state.h"

long panelFramesDrawn = 0;

namespace {

// Frames drawn after the last input, so that hover and press states ImGui
// takes from the previous frame's layout settle.
const int SETTLE_FRAMES = 3;
int framesOwed = SETTLE_FRAMES;

// Every value the panel shows, as it stood when the panel was last drawn.
using ShownValues = std::array<float, 35>;
ShownValues lastShown;

ShownValues shownValues()
{
    ShownValues v{};
    size_t n = 0;
    auto add = [&](const float* values, int count) {
        for (int i = 0; i < count; i++)
            v[n++] = values[i];
    };
    add(light.ambient, 4);
    add(light.diffuse, 4);
    add(light.specular, 4);
    add(material.ambient, 4);
    add(material.diffuse, 4);
    add(material.specular, 4);
    add(&material.shininess, 1);
    const float mix[7] = {shading.reflectivity,
                          shading.matRatio,
                          shading.aw,
                          shading.dw,
                          shading.weight,
                          shading.etaRatio,
                          float(shading.shadowReduction)};
    add(mix, 7);
    const float choices[3] = {float(currentMesh - meshes), float(meshListValue), float(textureGroupValue)};
    add(choices, 3);
    assert(n == v.size() && "every shown value has its place");
    return v;
}

} // namespace

void panelInput()
{
    framesOwed = SETTLE_FRAMES;
}

void panelFrameBegins()
{
    // values edited during this frame, by a later control's callback too, differ
    // from these and bring one more frame
    lastShown = shownValues();
    if (framesOwed > 0) framesOwed--;
    panelFramesDrawn++;
}

void panelFrameBuilt(bool imguiBusy)
{
    if (imguiBusy) framesOwed = SETTLE_FRAMES;
}

bool panelNeedsDrawing()
{
    return framesOwed > 0 || shownValues() != lastShown;
}
