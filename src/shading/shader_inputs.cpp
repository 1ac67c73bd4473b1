// The inputs' values.
#include "shading/shader_inputs.h"

#include <chrono>

#include "app/scene_state.h"

const ShaderInputRow SHADER_INPUTS[SHADER_INPUT_COUNT] = {
    {"u_time", "float"},      {"u_delta", "float"}, {"u_frame", "int"},
    {"u_resolution", "vec2"}, {"u_mouse", "vec2"},
};

bool timePaused = false;

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point clockStart = Clock::now();
Clock::time_point lastFrame;
bool anyFrame = false;
double seconds = 0; // u_time in this frame
double delta = 0;   // u_delta in this frame
long frame = -1;    // u_frame in this frame; -1 before the first

double secondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

} // namespace

ShaderInput findShaderInput(const std::string& name)
{
    for (int i = 0; i < SHADER_INPUT_COUNT; i++)
        if (name == SHADER_INPUTS[i].name) return ShaderInput(i);
    return SHADER_INPUT_COUNT;
}

void startShaderClock()
{
    clockStart = Clock::now();
}

void fixShaderTime(double at)
{
    seconds = at;
    timePaused = true;
}

void advanceShaderInputs()
{
    const Clock::time_point now = Clock::now();
    // time runs by the frames' intervals, so that a pause holds it where it stood
    delta = 0;
    if (!anyFrame) {
        if (!timePaused) seconds = secondsBetween(clockStart, now);
    } else if (!timePaused) {
        delta = secondsBetween(lastFrame, now);
        seconds += delta;
    }
    lastFrame = now;
    anyFrame = true;
    frame++;
}

int shaderInputValue(ShaderInput input, float out[2])
{
    switch (input) {
    case INPUT_TIME:
        out[0] = float(seconds);
        return 1;
    case INPUT_DELTA:
        out[0] = float(delta);
        return 1;
    case INPUT_FRAME:
        out[0] = float(frame < 0 ? 0 : frame);
        return 1;
    case INPUT_RESOLUTION:
        out[0] = float(windowWidth);
        out[1] = float(windowHeight);
        return 2;
    case INPUT_MOUSE:
        out[0] = pointerPosition[0];
        out[1] = pointerPosition[1];
        return 2;
    default:
        return 0;
    }
}
