// The start values of the viewer state, in one table: the globals of
// scene_state.h are defined with them, and restoreStartValues() puts them
// back. Values not listed start at zero or empty.
#pragma once

#include "app/viewer_records.h"

// Window and projection; start-up turns perspective on
constexpr int START_PERSPECTIVE_PROJECTION = 0;
constexpr float START_ORTHO_LEFT = -2.0f; // orthographic base extents, world units
constexpr float START_ORTHO_RIGHT = 2.0f;
constexpr float START_ORTHO_BOTTOM = -2.0f;
constexpr float START_ORTHO_TOP = 2.0f;

// Camera orbit; start-up places the eye at (0, 0, START_CAMERA_RADIUS)
constexpr float START_CAMERA_RADIUS = 3.0f;    // world units
constexpr float START_CAMERA_AZIMUTH = 90.0f;  // degrees
constexpr float START_CAMERA_ELEVATION = 0.0f; // degrees

constexpr InteractionMode START_INTERACTION_MODE = RotateCamera;

// Light, panel material and shading values; the defaults start equal to them
constexpr Light START_LIGHT = {
    {1.0f, 1.0f, 1.5f, 0.0f},
    {0.6f, 0.6f, 0.6f, 1.0f},
    {0.6f, 0.6f, 0.6f, 1.0f},
    {0.8f, 0.8f, 0.8f, 1.0f},
};
constexpr Material START_MATERIAL = {
    {0.3f, 0.0f, 0.0f, 1.0f}, {0.9f, 0.0f, 0.0f, 1.0f}, {0.2f, 0.0f, 0.4f, 1.0f}, 65.0f, false,
};
constexpr ShadingValues START_SHADING = {1.0f, 1.0f, 1.0f, 1.0f, 0.5f, 0.9f, 1};

// The panel's choices: the list on "Cessna" (slot 2), the radio group on "Sky1"
constexpr int START_MESH_LIST_VALUE = 2;
constexpr int START_TEXTURE_GROUP_VALUE = 0;
