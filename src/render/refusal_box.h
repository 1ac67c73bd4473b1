// The box over the picture that tells why the last shader reload was refused,
// while the programs of the last good load go on drawing: the console's report
// in the drawing window, where the user looks. display() draws it last, before
// the frame is captured and swapped.
#pragma once

#include <string>
#include <vector>

// The box's lines for a report: a heading, then the report's lines, each cut
// into pieces of at most `columns` characters (the pieces after the first
// indented); at most `maxLines` in all, the last then saying how many more the
// console has. Characters a bitmap font lacks become '?'.
std::vector<std::string> refusalBoxLines(const std::string& report, int columns, int maxLines);
// Draws the box over the top of the drawing window while a reload stands
// refused (lastShaderRefusal); nothing else otherwise. Keeps every OpenGL state
// the frame relies on, the program in use too.
void drawRefusalBoxIfRefused();
