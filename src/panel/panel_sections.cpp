// The panel's sections.
#include "panel/panel_sections.h"

#include <imgui.h>

#include "app/scene_state.h"
#include "panel/control_panel.h"
#include "panel/panel_layout.h"
#include "panel/panel_widgets.h"
#include "render/user_sky.h"

void lightAndMaterialSection()
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

void meshAndTextureSection()
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

void shaderOptionsSection()
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
