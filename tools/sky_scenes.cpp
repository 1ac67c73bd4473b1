// The two outdoor scenes: a clear day over fields ("sky") and a dusk over the sea
// ("sky2"). The eye stands 1 unit above flat ground; clouds lie on a plane above it.
#include <cmath>

#include "cubemap_scenes.h"
#include "scene_math.h"

static const float PI = 3.141592653589793f;
static const uint32_t SEED_DAY_CLOUDS = 0x5eed0001u;
static const uint32_t SEED_FIELDS = 0x5eed0002u;
static const uint32_t SEED_DUSK_CLOUDS = 0x5eed0003u;
static const uint32_t SEED_COAST = 0x5eed0004u;
static const uint32_t SEED_WAVES = 0x5eed0005u;

// Farther than this (world units) the ground is all haze; keeps noise inputs bounded.
static const float MAX_GROUND_DISTANCE = 2000.0f;

// Angle in degrees between unit directions a and b.
static float angleDegrees(Direction a, Direction b)
{
    float c = dot(a, b);
    c = c > 1 ? 1 : (c < -1 ? -1 : c);
    return std::acos(c) * 180.0f / PI;
}

// Where a view ray below the horizon meets the ground 1 unit below the eye: (x, z) and distance.
static float groundPoint(Direction d, float* x, float* z)
{
    float k = -1.0f / d.y;
    float distance = k;
    if (distance > MAX_GROUND_DISTANCE) {
        k *= MAX_GROUND_DISTANCE / distance;
        distance = MAX_GROUND_DISTANCE;
    }
    *x = d.x * k;
    *z = d.z * k;
    return distance;
}

// Cloud cover 0..1 on a plane above the eye, fading out towards the horizon where the
// plane would be too far away to show detail.
static float cloudCover(Direction d, float stretchX, float stretchZ, float threshold, uint32_t seed,
                        float* density)
{
    // the small offset flattens the plane into a dome, so the horizon stays finite
    float k = 1.0f / (d.y + 0.08f);
    float n = fractalNoise(d.x * k * stretchX, d.z * k * stretchZ, 5, seed);
    *density = n;
    return smoothstep(threshold, threshold + 0.22f, n) * smoothstep(0.0f, 0.18f, d.y);
}

// Day

static const Direction SUN_DAY = normalized(Direction{0.32f, 0.26f, -1.0f});

static Rgb dayAir(Direction d)
{
    const Rgb zenith = rgb(0.10f, 0.27f, 0.68f), horizon = rgb(0.70f, 0.82f, 0.94f);
    float y = d.y > 0 ? d.y : 0;
    float h = 1 - y;
    Rgb sky = mix(zenith, horizon, h * h * h);
    // glow around the sun: a tight whitish halo inside a wide, faint warm one; kept
    // below full white so the disc still stands out
    float a = angleDegrees(d, SUN_DAY);
    sky = sky + rgb(0.14f, 0.12f, 0.06f) * std::exp(-a / 25.0f);
    return mix(sky, rgb(0.96f, 0.95f, 0.90f), 0.55f * std::exp(-a / 6.0f));
}

static Rgb dayGround(Direction d)
{
    float x, z;
    float distance = groundPoint(d, &x, &z);
    // fields: a grid turned about 20 degrees, cells 2.5 x 1.6 units, colour picked per
    // cell; the offset puts the eye over the middle of a field rather than a hedge
    float u = (0.94f * x + 0.34f * z) / 2.5f + 0.5f, v = (-0.34f * x + 0.94f * z) / 1.6f + 0.4f;
    float cu = std::floor(u), cv = std::floor(v);
    static const Rgb crops[5] = {rgb(0.28f, 0.46f, 0.16f), rgb(0.40f, 0.56f, 0.20f), rgb(0.66f, 0.62f, 0.28f),
                                 rgb(0.46f, 0.34f, 0.20f), rgb(0.20f, 0.36f, 0.14f)};
    int kind = int(latticeValue(int(cu), int(cv), SEED_FIELDS) * 5.0f) % 5;
    float variation = 0.8f + 0.4f * fractalNoise(x * 1.5f, z * 1.5f, 3, SEED_FIELDS + 7u);
    Rgb field = crops[kind] * variation;
    // hedges along the field borders
    float fu = u - cu, fv = v - cv;
    float edge = std::fmin(std::fmin(fu, 1 - fu) * 2.5f, std::fmin(fv, 1 - fv) * 1.6f);
    field = mix(rgb(0.16f, 0.27f, 0.10f), field, smoothstep(0.01f, 0.06f, edge));
    // aerial haze: distant ground fades to the pale horizon colour
    float haze = 1.0f - std::exp(-distance * 0.045f);
    return mix(field, rgb(0.74f, 0.79f, 0.84f), haze);
}

Rgb daySkyColour(Direction d)
{
    d = normalized(d);
    // a thin bright band of haze sits on the horizon, above and below it
    Rgb hazeLine = rgb(0.10f, 0.09f, 0.07f) * std::exp(-std::fabs(d.y) * 45.0f);
    if (d.y < 0) return dayGround(d) + hazeLine;
    Rgb sky = dayAir(d);
    float density;
    float cover = cloudCover(d, 1.3f, 1.3f, 0.50f, SEED_DAY_CLOUDS, &density);
    Rgb cloud = mix(rgb(0.98f, 0.98f, 0.98f), rgb(0.70f, 0.74f, 0.80f), smoothstep(0.62f, 0.85f, density));
    // clouds near the sun are lit warmer
    cloud = cloud + rgb(0.12f, 0.10f, 0.04f) * smoothstep(0.85f, 1.0f, dot(d, SUN_DAY));
    sky = mix(sky, cloud, cover * 0.92f);
    // the disc (radius 2.5 degrees) shines through thin cloud only
    float disc = 1.0f - smoothstep(2.2f, 2.6f, angleDegrees(d, SUN_DAY));
    sky = mix(sky, rgb(1.0f, 1.0f, 0.97f), disc * (1.0f - 0.8f * cover));
    return sky + hazeLine;
}

// Dusk

static const Direction SUN_DUSK = normalized(Direction{-0.25f, 0.022f, -1.0f});

// Sky colour above the horizon (no coast), also what the sea reflects.
static Rgb duskAir(Direction d, bool withClouds)
{
    float y = d.y > 0 ? d.y : 0;
    // gradient stops by height: orange, pink, purple, indigo
    const Rgb orange = rgb(1.00f, 0.50f, 0.20f), pink = rgb(0.92f, 0.42f, 0.46f);
    const Rgb purple = rgb(0.46f, 0.25f, 0.50f), indigo = rgb(0.08f, 0.06f, 0.22f);
    Rgb sky;
    if (y < 0.12f)
        sky = mix(orange, pink, y / 0.12f);
    else if (y < 0.40f)
        sky = mix(pink, purple, (y - 0.12f) / 0.28f);
    else
        sky = mix(purple, indigo, smoothstep(0.40f, 1.0f, y));
    // the side of the sky where the sun sets glows, most of all along the horizon; the
    // halo round the disc stays below the disc's own brightness
    float a = angleDegrees(normalized(d), SUN_DUSK);
    sky = sky + rgb(0.35f, 0.15f, 0.02f) * (std::exp(-a / 20.0f) * (1.0f - smoothstep(0.0f, 0.5f, y)));
    sky = mix(sky, rgb(1.0f, 0.78f, 0.48f), 0.75f * std::exp(-a / 5.0f));
    if (withClouds) {
        // long thin bands, lit from below: warm towards the sun, grey-violet away from it
        float density;
        float cover = cloudCover(d, 0.5f, 3.0f, 0.52f, SEED_DUSK_CLOUDS, &density);
        Rgb cloud = mix(rgb(0.32f, 0.20f, 0.36f), rgb(1.0f, 0.62f, 0.42f), std::exp(-a / 40.0f));
        sky = mix(sky, cloud, cover * 0.85f);
    }
    // the disc (radius 3 degrees) half sunk behind the horizon
    float disc = 1.0f - smoothstep(2.7f, 3.1f, a);
    return mix(sky, rgb(1.0f, 0.97f, 0.85f), disc);
}

// Highest the coast rises, as the y of a unit direction (about 3 degrees).
static const float COAST_MAX_HEIGHT = 0.05f;

// Height of the far coast above the horizon, as the y of a unit direction, at the
// direction's compass bearing; 0 where there is open sea.
static float coastHeight(Direction d)
{
    if (d.y > COAST_MAX_HEIGHT) return 0;
    float len = std::sqrt(d.x * d.x + d.z * d.z);
    if (len < 1e-6f) return 0;
    // noise around the unit circle of bearings wraps without a seam
    float n = fractalNoise(d.x / len * 2.5f + 40.0f, d.z / len * 2.5f + 40.0f, 4, SEED_COAST);
    return COAST_MAX_HEIGHT * (n - 0.45f) / 0.55f;
}

Rgb duskSkyColour(Direction d)
{
    d = normalized(d);
    if (d.y >= 0) {
        float coast = coastHeight(d);
        if (d.y < coast) {
            // dark silhouette, a touch lighter at its foot where the haze is
            float h = d.y / coast;
            return mix(rgb(0.20f, 0.10f, 0.16f), rgb(0.07f, 0.04f, 0.09f), smoothstep(0.0f, 0.6f, h));
        }
        return duskAir(d, true);
    }
    // sea: the sky mirrored in waves; the distant sea reflects more (grazing angle)
    float x, z;
    float distance = groundPoint(d, &x, &z);
    float ripple = (valueNoise(x * 2.0f, z * 6.0f, SEED_WAVES) - 0.5f) * 0.05f / (1.0f + distance * 0.02f);
    Direction mirrored{d.x, std::fmax(-d.y + ripple, 0.0f), d.z};
    float grazing = 1.0f + d.y;
    float g5 = grazing * grazing * grazing * grazing * grazing;
    float reflectance = 0.15f + 0.7f * g5;
    Rgb deep = rgb(0.04f, 0.03f, 0.08f);
    Rgb sea = mix(deep, duskAir(mirrored, false), reflectance);
    // glitter path: sparkles on the waves in a narrow band of bearings below the sun
    float len = std::sqrt(d.x * d.x + d.z * d.z),
          sunLen = std::sqrt(SUN_DUSK.x * SUN_DUSK.x + SUN_DUSK.z * SUN_DUSK.z);
    // straight down has no bearing
    if (len < 1e-6f) return sea;
    float bearing = (d.x * SUN_DUSK.x + d.z * SUN_DUSK.z) / (len * sunLen);
    float width = 0.002f + 0.02f * (-d.y);
    float path = smoothstep(1.0f - width, 1.0f - 0.3f * width, bearing);
    if (path <= 0) return sea;
    float sparkle = smoothstep(0.55f, 0.8f, valueNoise(x * 6.0f, z * 20.0f, SEED_WAVES + 1u));
    return sea + rgb(1.0f, 0.70f, 0.40f) * (path * sparkle * std::exp(-(-d.y) * 6.0f));
}
