// The panel's widgets: labelled float fields dragged with the mouse, colour
// triples, buttons and framed groups, each recorded in the layout report under
// its name. Used by the panel's sections.
#pragma once

// Pixels of a field and of the label column in front of it.
constexpr float FIELD_WIDTH = 110;
constexpr float LABEL_WIDTH = 50;
constexpr float WIDE_LABEL_WIDTH = 200;

// A float field dragged with the mouse, clamped to [low, high], after its label.
// `speed` scales how far one pixel of drag moves the value, relative to the
// field's range. The layout report names it after `id` without its "##".
// True when the value changed.
bool spinner(const char* label, const char* id, float* value, float low, float high, float speed,
             float labelWidth = LABEL_WIDTH);
// Three colour fields "Red:", "Green:", "Blue:" under a heading, named
// idPrefix + "Red" and so on; every change calls back with `callbackId` (-1: none).
void colourSpinners(const char* heading, const char* idPrefix, float* colour, int callbackId);
// A button, named `name` in the layout report. True when clicked.
bool button(const char* label, const char* name);
// An embossed panel: a titled frame around the controls between the two calls.
void beginFramedGroup(const char* title);
void endFramedGroup();
