// docs_screenshots DIR: runs the viewer under a private Xvfb and saves the
// README's pictures into DIR: every mesh in every sky (300 x 300), and both
// windows side by side. Drives the panel as a user would.
#include <cstdio>
#include <string>
#include <vector>

#include <stb_image_resize.h>

#include "viewer.h"

// Clicks a panel control, saying which one when it cannot be found.
static bool click(Viewer& viewer, const char* name)
{
    if (clickPanelControl(viewer, name)) return true;
    fprintf(stderr, "docs_screenshots: the panel shows no %s\n", name);
    return false;
}

static bool saveHalfSize(const Picture& p, const std::string& path)
{
    Picture half;
    half.width = p.width / 2;
    half.height = p.height / 2;
    half.rgb.resize(size_t(half.width) * half.height * 3);
    stbir_resize_uint8(p.rgb.data(), p.width, p.height, 0, half.rgb.data(), half.width, half.height, 0, 3);
    return savePng(half, path);
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: docs_screenshots DIR\n");
        return 2;
    }
    const std::string out = argv[1];
    Viewer viewer;
    std::string why;
    if (!startViewer(viewer, why)) {
        fprintf(stderr, "docs_screenshots: %s\n", why.c_str());
        return 1;
    }
    // both windows as a user sees them at start, once the picture holds still
    frame(viewer);
    const int left = viewer.window.x - 10, top = viewer.window.y - 10;
    const int right = viewer.panel.x + viewer.panel.width + 10;
    const int bottom =
        std::max(viewer.window.y + viewer.window.height, viewer.panel.y + viewer.panel.height) + 10;
    savePng(captureScreen(left, top, right - left, bottom - top), out + "/viewer_and_panel.png");

    const char* meshes[][2] = {{"Cessna", "aircraft"}, {"Bunny", "bunny"}, {"Sphere", "sphere"}};
    const char* skies[][2] = {{"Sky1", "sky"}, {"Sky2", "sky2"}, {"Lobby", "lobby"}};
    bool ok = true;
    for (const auto& sky : skies) {
        ok = ok && click(viewer, sky[0]);
        for (const auto& mesh : meshes) {
            ok = ok && click(viewer, "Mesh") && click(viewer, mesh[0]);
            // the sphere starts without the shader programs: show it shaded too
            if (std::string(mesh[0]) == "Sphere" && std::string(sky[0]) == "Sky1")
                ok = ok && click(viewer, "ShaderToggle");
            ok = ok && saveHalfSize(frame(viewer), out + "/" + mesh[1] + "_" + sky[1] + ".png");
        }
    }
    stopViewer(viewer);
    return ok ? 0 : 1;
}
