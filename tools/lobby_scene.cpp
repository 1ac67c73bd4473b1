// The indoor scene ("nvlobby"): the eye stands in the middle of a room 20 units wide and
// deep, 2 units above the floor and 4 below the ceiling. Each view ray is cast to the
// wall, floor or ceiling it meets, and that surface point is coloured.
#include <cmath>

#include "cubemap_scenes.h"
#include "scene_math.h"

// Room bounds in world units, around the eye at the origin.
static const float ROOM_HALF_WIDTH = 10.0f;
static const float FLOOR_Y = -2.0f;
static const float CEILING_Y = 4.0f;
static const uint32_t SEED_MARBLE = 0x10bb0001u;
static const uint32_t SEED_WOOD = 0x10bb0002u;
static const uint32_t SEED_PLASTER = 0x10bb0003u;

enum Wall { WALL_POS_X, WALL_NEG_X, WALL_POS_Z, WALL_NEG_Z };

// A window or door on a wall: u runs along the wall, v is the height (world y).
struct Opening {
    Wall wall = WALL_NEG_Z;
    float u0 = 0, u1 = 0, v0 = 0, v1 = 0;
    bool door = false;
};

static const Opening OPENINGS[] = {
    // the wall in front of the start view: three tall windows
    {WALL_NEG_Z, -7.5f, -4.5f, -0.8f, 3.0f, false},
    {WALL_NEG_Z, -1.5f, 1.5f, -0.8f, 3.0f, false},
    {WALL_NEG_Z, 4.5f, 7.5f, -0.8f, 3.0f, false},
    // behind: double door between two windows
    {WALL_POS_Z, -1.4f, 0.0f, -2.0f, 0.6f, true},
    {WALL_POS_Z, 0.0f, 1.4f, -2.0f, 0.6f, true},
    {WALL_POS_Z, -7.5f, -4.5f, -0.8f, 3.0f, false},
    {WALL_POS_Z, 4.5f, 7.5f, -0.8f, 3.0f, false},
    // sides: a window and a door each
    {WALL_POS_X, -6.0f, -2.0f, -0.6f, 2.6f, false},
    {WALL_POS_X, 3.0f, 4.4f, -2.0f, 0.4f, true},
    {WALL_NEG_X, 2.0f, 6.0f, -0.6f, 2.6f, false},
    {WALL_NEG_X, -4.4f, -3.0f, -2.0f, 0.4f, true},
};

// Distance from (u, v) to the nearest side of the rectangle it lies in.
static float insetFromEdge(float u, float v, float u0, float u1, float v0, float v1)
{
    return std::fmin(std::fmin(u - u0, u1 - u), std::fmin(v - v0, v1 - v));
}

static Rgb floorColour(float x, float z)
{
    // 1.25-unit tiles, cream and slate marble in a checkerboard, with grout lines
    const float tile = 1.25f;
    float u = x / tile, v = z / tile;
    float cu = std::floor(u), cv = std::floor(v);
    bool dark = (int(cu) + int(cv)) & 1;
    float veins = fractalNoise(x * 2.0f, z * 2.0f, 4, SEED_MARBLE);
    Rgb marble = dark ? rgb(0.28f, 0.30f, 0.34f) : rgb(0.88f, 0.85f, 0.78f);
    marble = marble * (0.88f + 0.24f * veins);
    float inset = std::fmin(std::fmin(u - cu, 1 - (u - cu)), std::fmin(v - cv, 1 - (v - cv))) * tile;
    return mix(rgb(0.52f, 0.50f, 0.46f), marble, smoothstep(0.015f, 0.03f, inset));
}

static Rgb ceilingColour(float x, float z)
{
    Rgb plaster = rgb(0.86f, 0.86f, 0.84f);
    // light panels 1.6 x 0.8 units on a 4-unit grid centred at +-2 and +-6
    float cx = (std::floor(x / 4.0f) + 0.5f) * 4.0f, cz = (std::floor(z / 4.0f) + 0.5f) * 4.0f;
    float dx = std::fabs(x - cx), dz = std::fabs(z - cz);
    if (dx < 0.9f && dz < 0.5f) {
        bool lit = dx < 0.8f && dz < 0.4f;
        return lit ? rgb(1.0f, 1.0f, 0.95f) : rgb(0.55f, 0.56f, 0.58f);
    }
    // plaster is brighter close to a panel
    float glow = std::exp(-(dx * dx + dz * dz) * 0.35f);
    return plaster * (0.80f + 0.2f * glow);
}

static Rgb windowColour(const Opening& o, float u, float v)
{
    float inset = insetFromEdge(u, v, o.u0, o.u1, o.v0, o.v1);
    if (inset < 0.10f) return rgb(0.92f, 0.92f, 0.90f);
    // mullions: one vertical, one horizontal bar
    float mu = 0.5f * (o.u0 + o.u1), mv = o.v0 + 0.62f * (o.v1 - o.v0);
    if (std::fabs(u - mu) < 0.04f || std::fabs(v - mv) < 0.04f) return rgb(0.85f, 0.85f, 0.83f);
    // daylight outside: pale blue, deeper towards the top
    float h = (v - o.v0) / (o.v1 - o.v0);
    return mix(rgb(0.80f, 0.90f, 1.0f), rgb(0.50f, 0.70f, 0.98f), h);
}

static Rgb doorColour(const Opening& o, float u, float v)
{
    float inset = insetFromEdge(u, v, o.u0, o.u1, o.v0, o.v1);
    if (inset < 0.08f) return rgb(0.18f, 0.11f, 0.07f);
    // vertical grain
    float grain = fractalNoise(u * 30.0f, v * 1.5f, 3, SEED_WOOD);
    Rgb wood = rgb(0.40f, 0.23f, 0.12f) * (0.75f + 0.45f * grain);
    // two recessed panels, drawn as darker outlines
    float w = o.u1 - o.u0, h = o.v1 - o.v0;
    float pu0 = o.u0 + 0.2f * w, pu1 = o.u1 - 0.2f * w;
    float upperTop = o.v1 - 0.12f * h, upperBottom = o.v0 + 0.55f * h;
    float lowerTop = o.v0 + 0.45f * h, lowerBottom = o.v0 + 0.10f * h;
    float upper = insetFromEdge(u, v, pu0, pu1, upperBottom, upperTop);
    float lower = insetFromEdge(u, v, pu0, pu1, lowerBottom, lowerTop);
    if ((upper >= 0 && upper < 0.04f) || (lower >= 0 && lower < 0.04f)) wood = wood * 0.6f;
    // brass handle on the side nearer the middle of the opening pair
    float hu = (std::fabs(o.u0) < std::fabs(o.u1) ? o.u0 + 0.15f * w : o.u1 - 0.15f * w);
    float hv = o.v0 + 0.42f * h;
    if ((u - hu) * (u - hu) + (v - hv) * (v - hv) < 0.006f) return rgb(0.86f, 0.70f, 0.30f);
    return wood;
}

static Rgb wallColour(Wall wall, float u, float v)
{
    for (const Opening& o : OPENINGS)
        if (o.wall == wall && u >= o.u0 && u <= o.u1 && v >= o.v0 && v <= o.v1)
            return o.door ? doorColour(o, u, v) : windowColour(o, u, v);
    if (v < FLOOR_Y + 0.2f) return rgb(0.28f, 0.20f, 0.14f);    // skirting board
    if (v > CEILING_Y - 0.15f) return rgb(0.93f, 0.92f, 0.88f); // cornice
    Rgb plaster = rgb(0.80f, 0.71f, 0.58f) * (0.94f + 0.1f * valueNoise(u * 3.0f, v * 3.0f, SEED_PLASTER));
    // lit from the ceiling: brighter towards the top; the side walls are a little darker
    float light = 0.82f + 0.18f * (v - FLOOR_Y) / (CEILING_Y - FLOOR_Y);
    if (wall == WALL_POS_X || wall == WALL_NEG_X) light *= 0.88f;
    return plaster * light;
}

Rgb lobbyColour(Direction d)
{
    // distance along d to each pair of planes; the nearest one is hit
    const float inf = 1e30f;
    float tx = d.x != 0 ? ROOM_HALF_WIDTH / std::fabs(d.x) : inf;
    float tz = d.z != 0 ? ROOM_HALF_WIDTH / std::fabs(d.z) : inf;
    float ty = d.y > 0 ? CEILING_Y / d.y : (d.y < 0 ? FLOOR_Y / d.y : inf);
    float t = std::fmin(tx, std::fmin(ty, tz));
    float x = d.x * t, y = d.y * t, z = d.z * t;
    if (t == ty) return d.y > 0 ? ceilingColour(x, z) : floorColour(x, z);
    // u runs left to right as seen from the middle of the room
    if (t == tx) return d.x > 0 ? wallColour(WALL_POS_X, z, y) : wallColour(WALL_NEG_X, -z, y);
    return d.z > 0 ? wallColour(WALL_POS_Z, -x, y) : wallColour(WALL_NEG_Z, x, y);
}
