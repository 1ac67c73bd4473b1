// The refused reload's box in the drawing window.
#include "render/refusal_box.h"

#include <algorithm>

#define GL_GLEXT_PROTOTYPES
#include <GL/freeglut.h>
#include <GL/glext.h>

#include "shading/shader_reload.h"

namespace {

const char* const HEADING = "Shader reload failed; drawing with the previous programs.";

// Pixels: the box's distance from the window's edges and its text's from the box's.
const int MARGIN = 8;
const int PADDING = 6;

struct BoxFont {
    void* font;
    int width, height, lineHeight; // pixels a character and a line take
};
// The larger fixed-width font reads better; narrow windows get the smaller.
const BoxFont LARGE_FONT = {GLUT_BITMAP_9_BY_15, 9, 15, 17};
const BoxFont SMALL_FONT = {GLUT_BITMAP_8_BY_13, 8, 13, 14};

// Lines of the box as last laid out, for the report and window size they were made for.
struct Layout {
    std::string report;
    int width = 0, height = 0;
    std::vector<std::string> lines;
};

void fillRectangle(int x0, int y0, int x1, int y1)
{
    glBegin(GL_QUADS);
    glVertex2i(x0, y0);
    glVertex2i(x1, y0);
    glVertex2i(x1, y1);
    glVertex2i(x0, y1);
    glEnd();
}

void drawText(const BoxFont& font, int x, int y, const std::string& text)
{
    glRasterPos2i(x, y);
    for (char c : text)
        glutBitmapCharacter(font.font, (unsigned char)c);
}

} // namespace

std::vector<std::string> refusalBoxLines(const std::string& report, int columns, int maxLines)
{
    if (columns < 8) columns = 8;
    std::vector<std::string> lines;
    const std::string text = std::string(HEADING) + "\n" + report;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        for (char& c : line)
            if (c == '\t' || c == '\r')
                c = ' ';
            else if ((unsigned char)c < 32 || (unsigned char)c > 126)
                c = '?';
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        if (line.empty()) continue;
        // a long line goes on, indented, on the lines below, broken at a space
        // where one is near the end
        for (bool first = true; !line.empty(); first = false) {
            const size_t room = size_t(first ? columns : columns - 2);
            size_t cut = line.size() <= room ? line.size() : line.rfind(' ', room);
            if (cut == std::string::npos || cut < room / 2) cut = std::min(room, line.size());
            lines.push_back((first ? "" : "  ") + line.substr(0, cut));
            line.erase(0, line.find_first_not_of(' ', cut) == std::string::npos
                              ? line.size()
                              : line.find_first_not_of(' ', cut));
        }
    }
    // the heading shows whatever the room
    const size_t room = size_t(maxLines < 2 ? 1 : maxLines);
    if (room == 1) lines.resize(1);
    if (lines.size() > room) {
        const size_t more = lines.size() - room + 1;
        lines.resize(room);
        lines.back() =
            "(" + std::to_string(more) + " more line" + (more == 1 ? "" : "s") + " on the console)";
        if (int(lines.back().size()) > columns) lines.back().resize(size_t(columns));
    }
    return lines;
}

void drawRefusalBoxIfRefused()
{
    const ShaderRefusal* refusal = lastShaderRefusal();
    if (!refusal) return;

    const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
    const BoxFont& font = width < 360 ? SMALL_FONT : LARGE_FONT;
    static Layout layout;
    if (layout.report != refusal->text || layout.width != width || layout.height != height) {
        // at most about a third of the window
        const int columns = (width - 2 * MARGIN - 2 * PADDING) / font.width;
        const int rows = (height / 3 - 2 * PADDING) / font.lineHeight;
        layout = {refusal->text, width, height, refusalBoxLines(refusal->text, columns, rows)};
    }

    // Everything the box changes goes back as it was: the program in use, the
    // enables, colours, blending, matrices and viewport.
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glUseProgram(0);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glViewport(0, 0, width, height);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_CUBE_MAP);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_GEN_R);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    // a dark, translucent box at the top, a red bar at its left
    const int top = height - MARGIN;
    const int bottom = top - int(layout.lines.size()) * font.lineHeight - 2 * PADDING;
    glColor4f(0.05f, 0.05f, 0.07f, 0.82f);
    fillRectangle(MARGIN, bottom, width - MARGIN, top);
    glColor4f(0.9f, 0.25f, 0.2f, 1.0f);
    fillRectangle(MARGIN, bottom, MARGIN + 3, top);

    int baseline = top - PADDING - font.height + 3;
    for (size_t i = 0; i < layout.lines.size(); i++) {
        // the heading in a warm light colour, the report's lines in light grey
        if (i == 0)
            glColor3f(1.0f, 0.7f, 0.6f);
        else
            glColor3f(0.93f, 0.93f, 0.93f);
        drawText(font, MARGIN + PADDING + 2, baseline, layout.lines[i]);
        baseline -= font.lineHeight;
    }

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    glUseProgram(GLuint(program));
}
