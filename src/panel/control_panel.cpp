// The "Controls" window, drawn with Dear ImGui in a GLUT window of its own.
// Every control edits its viewer variable directly; controls with an action
// call controlCallback when their value changes. The panel is drawn again only
// when what it shows may have changed: a redraw costs as much as a mesh frame.
#include "panel/control_panel.h"

#include <array>
#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <GL/freeglut.h>
#include <imgui.h>
#include <imgui_internal.h>
#include <backends/imgui_impl_glut.h>
#include <backends/imgui_impl_opengl2.h>

#include "app/scene_state.h"
#include "render/user_sky.h"

long panelFramesDrawn = 0;

namespace {

int panelWindow = 0;

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

// Input reached the panel window: draw it for a few frames.
void panelInput()
{
    framesOwed = SETTLE_FRAMES;
}

// Beside the drawing window, not over it: PANEL_GAP pixels right of it (at 720
// for the window of 600 x 600 at 100, 100), at its height.
const int PANEL_GAP = 20;
const int PANEL_Y = 100;
const int PANEL_WIDTH = 470;
const int PANEL_HEIGHT = 740;

// Pixels of a field and of the label column in front of it.
const float FIELD_WIDTH = 110;
const float LABEL_WIDTH = 50;
const float WIDE_LABEL_WIDTH = 200;

// When MESHSHADE_PANEL_LAYOUT names a file, the panel writes there where each
// control sits (panel-window pixels) and what it shows, one control a line
// ("name x y width height value"), so tests can find and read controls by name.
const char* layoutPath = nullptr;
std::string layout, writtenLayout;

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

void writeLayoutIfChanged()
{
    if (!layoutPath || layout == writtenLayout) return;
    std::string temporary = std::string(layoutPath) + ".tmp";
    if (FILE* f = fopen(temporary.c_str(), "w")) {
        fputs(layout.c_str(), f);
        fclose(f);
        rename(temporary.c_str(), layoutPath);
        writtenLayout = layout;
    }
}

// A float field dragged with the mouse, clamped to [low, high]. `speed` scales
// how far one pixel of drag moves the value, relative to the field's range.
bool spinner(const char* label, const char* id, float* value, float low, float high, float speed,
             float labelWidth = LABEL_WIDTH)
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

// Three colour fields under a heading; every change calls back with `callbackId` (-1: none).
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

// An embossed panel: a titled frame around a group of controls.
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

void lightAndMaterial()
{
    if (!ImGui::CollapsingHeader("Light and Material", ImGuiTreeNodeFlags_DefaultOpen)) return;
    ImGui::Columns(2, "lightAndMaterial", false);
    beginFramedGroup("Light");
    colourSpinners("Ambient", "lightAmbient", light.ambient, ID_LIGHT);
    colourSpinners("Diffuse", "lightDiffuse", light.diffuse, ID_LIGHT);
    colourSpinners("Specular", "lightSpecular", light.specular, ID_LIGHT);
    if (button("Default Light", "DefaultLight")) controlCallback(ID_DEFAULT_LIGHT);
    endFramedGroup();

    ImGui::NextColumn();
    beginFramedGroup("Material");
    colourSpinners("Ka", "materialAmbient", material.ambient, -1);
    colourSpinners("Kd", "materialDiffuse", material.diffuse, -1);
    colourSpinners("Ks", "materialSpecular", material.specular, -1);
    ImGui::TextUnformatted(" ");
    spinner("Shininess:", "##Shininess", &material.shininess, 0, 100, 2.0f, 80);
    if (button("Default Material", "DefaultMaterial")) controlCallback(ID_DEFAULT_MATERIAL);
    endFramedGroup();
    ImGui::Columns(1);
}

void meshAndTexture()
{
    struct MeshItem {
        const char* label;
        int id;
    };
    // a model given on the command line comes first, under its file name
    MeshItem items[4] = {{modelSlotLabel.c_str(), MODEL_SLOT}, {"Cessna", 2}, {"Bunny", 1}, {"Sphere", 0}};
    const MeshItem* firstItem = modelSlotLabel.empty() ? items + 1 : items;
    const MeshItem* const itemsEnd = items + 4;

    if (!ImGui::CollapsingHeader("Mesh and Environment Texture", ImGuiTreeNodeFlags_DefaultOpen)) return;
    ImGui::Columns(2, "meshAndTexture", true);
    beginFramedGroup("Mesh");
    // The list names the slot that is drawn, which is not always the one last
    // chosen: start-up falls back to the bunny without the aircraft, and a
    // choice whose file did not load shows the sphere.
    const int drawnSlot = int(currentMesh - meshes);
    const char* shown = "";
    for (const MeshItem* item = firstItem; item != itemsEnd; item++)
        if (item->id == drawnSlot) shown = item->label;
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted("Mesh:");
    ImGui::SameLine();
    ImGui::SetNextItemWidth(FIELD_WIDTH);
    // an open list is the last item afterwards: take the field's place before
    const ImVec2 field = ImGui::GetCursorScreenPos();
    bool open = ImGui::BeginCombo("##Mesh", shown);
    recordRect("Mesh", field, ImVec2(field.x + FIELD_WIDTH, field.y + ImGui::GetFrameHeight()), shown);
    if (open) {
        for (const MeshItem* item = firstItem; item != itemsEnd; item++) {
            bool chosen = ImGui::Selectable(item->label, item->id == drawnSlot);
            recordItem(item->id == MODEL_SLOT ? "Model" : item->label, chosen ? "chosen" : "-");
            if (chosen && item->id != drawnSlot) {
                meshListValue = item->id;
                controlCallback(ID_MESH);
            }
        }
        ImGui::EndCombo();
    }
    endFramedGroup();

    ImGui::NextColumn();
    beginFramedGroup("Texture");
    static const char* const SKIES[3] = {"Sky1", "Sky2", "Lobby"};
    // the user's sky, when there is one, is a fourth choice named after its path
    const int skyCount = userSkyTexture ? 4 : 3;
    for (int i = 0; i < skyCount; i++) {
        int before = textureGroupValue;
        const char* label = i < 3 ? SKIES[i] : userSkyLabel.c_str();
        ImGui::PushID(i);
        ImGui::RadioButton(label, &textureGroupValue, i);
        ImGui::PopID();
        recordItem(i < 3 ? SKIES[i] : "UserSky", textureGroupValue == i ? "on" : "off");
        if (textureGroupValue != before) controlCallback(ID_TEXTURE);
    }
    endFramedGroup();
    ImGui::Columns(1);
}

void shaderOptions()
{
    if (!ImGui::CollapsingHeader("Shader Options", ImGuiTreeNodeFlags_DefaultOpen)) return;
    spinner("Phong Shading Amount:", "##PhongShadingAmount", &shading.matRatio, 0, 1, 0.8f, WIDE_LABEL_WIDTH);
    spinner("Ambient Component:", "##AmbientComponent", &shading.aw, 0, 1, 0.8f, WIDE_LABEL_WIDTH);
    spinner("Diffuse Component:", "##DiffuseComponent", &shading.dw, 0, 1, 0.8f, WIDE_LABEL_WIDTH);
    ImGui::Separator();
    spinner("Other Shading Amount:", "##OtherShadingAmount", &shading.weight, 0, 1, 0.8f, WIDE_LABEL_WIDTH);
    spinner("Reflectivity/Transmitance:", "##Reflectivity", &shading.reflectivity, 0, 1, 0.8f,
            WIDE_LABEL_WIDTH);
    spinner("Eta:", "##Eta", &shading.etaRatio, 0, 1, 0.2f, WIDE_LABEL_WIDTH);
    bool shadowReduction = shading.shadowReduction != 0;
    if (ImGui::Checkbox("Shadow Reduction:", &shadowReduction))
        shading.shadowReduction = shadowReduction ? 1 : 0;
    recordItem("ShadowReduction", shading.shadowReduction ? "on" : "off");
    if (button("Default Shading", "DefaultShading")) controlCallback(ID_DEFAULT_SHADING);
    if (button("Shader Toggle", "ShaderToggle")) controlCallback(ID_SHADER_TOGGLE);
}

// The panel reads the mouse buttons once a frame. A click whose press and
// release both arrive between two frames would go unseen, so such a release is
// held back until the press has been through a frame.
struct HeldRelease {
    bool pressedSinceFrame = false;
    bool waiting = false;
    int x = 0, y = 0;
};
HeldRelease heldReleases[3];

// The GLUT backend reads Ctrl, Shift and Alt on key events only: a Ctrl held
// for a click would go unseen, a Shift let go since the last key would still
// speed up drags. Every pointer event takes them afresh.
void takeModifiers()
{
    const int modifiers = glutGetModifiers();
    ImGuiIO& io = ImGui::GetIO();
    io.KeyCtrl = (modifiers & GLUT_ACTIVE_CTRL) != 0;
    io.KeyShift = (modifiers & GLUT_ACTIVE_SHIFT) != 0;
    io.KeyAlt = (modifiers & GLUT_ACTIVE_ALT) != 0;
}

void panelMotion(int x, int y)
{
    panelInput();
    takeModifiers();
    ImGui_ImplGLUT_MotionFunc(x, y);
}

void panelWheel(int wheel, int direction, int x, int y)
{
    panelInput();
    takeModifiers();
    ImGui_ImplGLUT_MouseWheelFunc(wheel, direction, x, y);
}

void panelMouse(int button, int state, int x, int y)
{
    panelInput();
    takeModifiers();
    if (button >= 0 && button < 3) {
        HeldRelease& held = heldReleases[button];
        if (state == GLUT_DOWN) {
            held.pressedSinceFrame = true;
        } else if (held.pressedSinceFrame) {
            held.waiting = true;
            held.x = x;
            held.y = y;
            return;
        }
    }
    ImGui_ImplGLUT_MouseFunc(button, state, x, y);
}

void panelReshape(int width, int height)
{
    panelInput();
    ImGui_ImplGLUT_ReshapeFunc(width, height);
}

void panelKey(unsigned char c, int x, int y)
{
    panelInput();
    ImGui_ImplGLUT_KeyboardFunc(c, x, y);
}

void panelKeyUp(unsigned char c, int x, int y)
{
    panelInput();
    ImGui_ImplGLUT_KeyboardUpFunc(c, x, y);
}

void panelSpecial(int key, int x, int y)
{
    panelInput();
    ImGui_ImplGLUT_SpecialFunc(key, x, y);
}

void panelSpecialUp(int key, int x, int y)
{
    panelInput();
    ImGui_ImplGLUT_SpecialUpFunc(key, x, y);
}

void releaseHeldButtons()
{
    for (int button = 0; button < 3; button++) {
        HeldRelease& held = heldReleases[button];
        held.pressedSinceFrame = false;
        if (held.waiting) {
            held.waiting = false;
            ImGui_ImplGLUT_MouseFunc(button, GLUT_UP, held.x, held.y);
        }
    }
}

// The dark style's window background (0.06, 0.06, 0.06 at alpha 0.94) blended
// over the former clear colour (0.2, 0.2, 0.22) gave 17, 17, 17 of 255: one
// clear to that costs far less than blending over the whole window.
const float PANEL_BACKGROUND[3] = {17 / 255.0f, 17 / 255.0f, 17 / 255.0f};

void drawControlPanel()
{
    // values edited during this frame, by a later control's callback too, differ
    // from these and bring one more frame
    lastShown = shownValues();
    if (framesOwed > 0) framesOwed--;
    panelFramesDrawn++;
    ImGui_ImplOpenGL2_NewFrame();
    ImGui_ImplGLUT_NewFrame();
    // Debian's ImGui 1.86 starts the frame inside ImGui_ImplGLUT_NewFrame, later
    // backends leave it to the caller; the frame scope (imgui_internal.h) tells which.
    if (!ImGui::GetCurrentContext()->WithinFrameScope) ImGui::NewFrame();
    // this frame has seen the presses; releases held back reach the next one
    releaseHeldButtons();

    layout.clear();
    const ImGuiIO& io = ImGui::GetIO();
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(io.DisplaySize);
    ImGui::SetNextWindowBgAlpha(0.0f);
    ImGui::Begin("Controls", nullptr,
                 ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove |
                     ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoSavedSettings);
    lightAndMaterial();
    meshAndTexture();
    shaderOptions();
    ImGui::End();
    // how often the panel was drawn, for tests that check it is drawn only when needed
    char frames[32];
    snprintf(frames, sizeof frames, "%ld", panelFramesDrawn);
    recordRect("PanelFrames", ImVec2(0, 0), ImVec2(0, 0), frames);
    writeLayoutIfChanged();
    // a held drag, an open list or text entry goes on drawing
    if (ImGui::IsAnyItemActive() || ImGui::IsPopupOpen(nullptr, ImGuiPopupFlags_AnyPopupId))
        framesOwed = SETTLE_FRAMES;

    ImGui::Render();
    glViewport(0, 0, int(io.DisplaySize.x), int(io.DisplaySize.y));
    glClearColor(PANEL_BACKGROUND[0], PANEL_BACKGROUND[1], PANEL_BACKGROUND[2], 1);
    glClear(GL_COLOR_BUFFER_BIT);
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
    glutSwapBuffers();
}

} // namespace

void buildControlPanel()
{
    const int previous = glutGetWindow();
    layoutPath = getenv("MESHSHADE_PANEL_LAYOUT");
    // the drawing window was made with these just before; whatever its width
    const int panelX = glutGet(GLUT_INIT_WINDOW_X) + glutGet(GLUT_INIT_WINDOW_WIDTH) + PANEL_GAP;
    glutInitWindowSize(PANEL_WIDTH, PANEL_HEIGHT);
    glutInitWindowPosition(panelX, PANEL_Y);
    panelWindow = glutCreateWindow("Controls");
    glutDisplayFunc(drawControlPanel);

    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr; // the viewer writes no files
    ImGui::StyleColorsDark();
    ImGui_ImplGLUT_Init();
    ImGui_ImplGLUT_InstallFuncs(); // on the panel window only
    glutMouseFunc(panelMouse);
    glutMotionFunc(panelMotion);
    glutPassiveMotionFunc(panelMotion);
    glutMouseWheelFunc(panelWheel);
    glutReshapeFunc(panelReshape);
    glutKeyboardFunc(panelKey);
    glutKeyboardUpFunc(panelKeyUp);
    glutSpecialFunc(panelSpecial);
    glutSpecialUpFunc(panelSpecialUp);
    ImGui_ImplOpenGL2_Init();

    glutSetWindow(previous);
}

int controlPanelWindow()
{
    return panelWindow;
}

void syncPanel()
{
    if (!panelWindow) return;
    if (framesOwed > 0 || shownValues() != lastShown) glutPostWindowRedisplay(panelWindow);
}
