// The inputs the viewer fills when a program declares them, under the names
// glslViewer gives them, so that shaders people bring work: time, frame,
// window size and pointer. The frame moves them on once per frame of the
// drawing window; the per-draw upload of the user's parameters sends them
// (user_parameters.h).
#pragma once

#include <string>

enum ShaderInput {
    INPUT_TIME,       // float u_time: seconds since the viewer started
    INPUT_DELTA,      // float u_delta: seconds since the last frame
    INPUT_FRAME,      // int u_frame: frames drawn before this one
    INPUT_RESOLUTION, // vec2 u_resolution: the drawing window's size, pixels
    INPUT_MOUSE,      // vec2 u_mouse: the pointer's last place over it, pixels from the bottom left
    SHADER_INPUT_COUNT,
};

struct ShaderInputRow {
    const char* name;
    const char* type; // as a program must declare it
};
extern const ShaderInputRow SHADER_INPUTS[SHADER_INPUT_COUNT];

// The input called `name`; SHADER_INPUT_COUNT when there is none.
ShaderInput findShaderInput(const std::string& name);

// Time
// "Pause Time": while set, u_time stands still and u_delta is 0. The panel's
// check box edits it.
extern bool timePaused;
// Starts the clock of u_time; start-up calls it first thing.
void startShaderClock();
// --time SECONDS: u_time stands at `seconds` and time is paused, so pictures
// are the same on every run; clearing "Pause Time" lets it run on from there.
void fixShaderTime(double seconds);
// Moves u_time, u_delta and u_frame on; the frame calls it once, before it draws.
void advanceShaderInputs();

// The value the input has in this frame into `out`: how many floats (1 or 2;
// u_frame as a whole number).
int shaderInputValue(ShaderInput input, float out[2]);
