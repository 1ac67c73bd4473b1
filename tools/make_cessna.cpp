// make_cessna out.m: writes cessna_color500.m, a high-wing single-engine light aircraft of about
// 500 vertices with a colour on every face. Each part (fuselage, wing, struts, tail surfaces,
// gear legs, wheels, propeller blades, spinner) is a closed surface of its own whose faces wind
// counter-clockwise seen from outside. Lengths are in metres, close to a real four-seater.
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include "mesh_out.h"

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

static Vec3 operator+(Vec3 a, Vec3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
static Vec3 operator-(Vec3 a, Vec3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
static Vec3 operator*(Vec3 a, double s)
{
    return {a.x * s, a.y * s, a.z * s};
}
static double dot(Vec3 a, Vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
static Vec3 cross(Vec3 a, Vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
static Vec3 normalised(Vec3 a)
{
    return a * (1.0 / std::sqrt(dot(a, a)));
}
static double radians(double degrees)
{
    return degrees * 3.141592653589793 / 180.0;
}

struct Paint {
    float r = 1, g = 1, b = 1;
    int matid = -1;
};

// The livery. Trim and windows also carry a material id (" matid=N"), which the viewer reads past.
static const Paint WHITE = {0.95f, 0.95f, 0.93f};
static const Paint RED = {0.80f, 0.08f, 0.10f, 1};
static const Paint BLUE = {0.10f, 0.20f, 0.60f, 3};
static const Paint WINDOW = {0.10f, 0.13f, 0.20f, 2};
static const Paint TYRE = {0.05f, 0.05f, 0.05f};
static const Paint HUB = {0.70f, 0.70f, 0.72f};
static const Paint METAL = {0.62f, 0.64f, 0.68f};
static const Paint INTAKE = {0.15f, 0.15f, 0.15f};
static const Paint GEAR = {0.80f, 0.80f, 0.80f};

static OutMesh mesh;
static size_t partFirstFace = 0;

enum CapKind { CAP_FAN, CAP_CENTRE };

struct Cap {
    CapKind kind = CAP_FAN;
    Vec3 centre; // used by CAP_CENTRE: the apex of the fan, not necessarily in the ring's plane
    Paint paint = WHITE;
};

static void addFace(int a, int b, int c, Paint paint)
{
    OutFace face;
    face.corners[0] = a;
    face.corners[1] = b;
    face.corners[2] = c;
    face.hasColour = true;
    face.colour[0] = paint.r;
    face.colour[1] = paint.g;
    face.colour[2] = paint.b;
    face.matid = paint.matid;
    mesh.faces.push_back(face);
}

static void beginPart()
{
    partFirstFace = mesh.faces.size();
}

// Every part is built with consistent winding; turn it outwards if it came out inside-out.
static void endPart()
{
    if (signedVolume(mesh, partFirstFace, mesh.faces.size()) < 0)
        flipFaces(mesh, partFirstFace, mesh.faces.size());
}

// Skins rings of equal point count into a closed tube: quads between neighbouring rings, painted by
// sidePaint(ring, point), and a cap over the first and the last ring.
static void loft(const std::vector<std::vector<Vec3>>& rings, const std::function<Paint(int, int)>& sidePaint,
                 Cap startCap, Cap endCap)
{
    beginPart();
    int n = int(rings[0].size());
    std::vector<std::vector<int>> ids;
    for (const auto& ring : rings) {
        ids.emplace_back();
        for (Vec3 p : ring)
            ids.back().push_back(addVertex(mesh, p.x, p.y, p.z));
    }
    for (size_t r = 0; r + 1 < rings.size(); r++)
        for (int k = 0; k < n; k++) {
            int a = ids[r][size_t(k)], b = ids[r][size_t((k + 1) % n)];
            int c = ids[r + 1][size_t((k + 1) % n)], d = ids[r + 1][size_t(k)];
            Paint paint = sidePaint(int(r), k);
            addFace(a, b, c, paint);
            addFace(a, c, d, paint);
        }
    // The first cap runs against the ring order, the last one with it, so shared edges pair up.
    for (int end = 0; end < 2; end++) {
        const Cap& cap = end == 0 ? startCap : endCap;
        const std::vector<int>& ring = end == 0 ? ids.front() : ids.back();
        if (cap.kind == CAP_CENTRE) {
            int centre = addVertex(mesh, cap.centre.x, cap.centre.y, cap.centre.z);
            for (int k = 0; k < n; k++) {
                int p = ring[size_t(k)], q = ring[size_t((k + 1) % n)];
                if (end == 0)
                    addFace(centre, q, p, cap.paint);
                else
                    addFace(centre, p, q, cap.paint);
            }
        } else {
            for (int k = 1; k + 1 < n; k++) {
                int p = ring[size_t(k)], q = ring[size_t(k + 1)];
                if (end == 0)
                    addFace(ring[0], q, p, cap.paint);
                else
                    addFace(ring[0], p, q, cap.paint);
            }
        }
    }
    endPart();
}

static std::function<Paint(int, int)> plain(Paint paint)
{
    return [paint](int, int) { return paint; };
}

// ---- Fuselage

// Angles (degrees) of the ring points of a fuselage cross-section: down the right side from the
// top, then up the left side. Extra points just under the middle bound the trim stripe.
static const double SECTION_ANGLES[] = {90,  50,   22,   4,    -10,  -22, -45, -70,
                                        -90, -110, -135, -158, -170, 176, 158, 130};
static const int SECTION_POINTS = 16;

// Which horizontal band of the section a quad between ring points k and k + 1 lies in, counted
// from the top: the two sides share the numbers.
static int sectionBand(int k)
{
    return k < SECTION_POINTS / 2 ? k : SECTION_POINTS - 1 - k;
}

struct Station {
    double x, centreY, halfWidth, halfHeight;
};

static const Station FUSELAGE[] = {
    {3.28, 0.06, 0.30, 0.28},  // nose bowl behind the spinner
    {3.12, 0.08, 0.45, 0.42},  // front of the cowling
    {2.55, 0.12, 0.54, 0.54},  // back of the cowling
    {2.05, 0.18, 0.56, 0.62},  // foot of the windscreen
    {1.30, 0.30, 0.57, 0.75},  // top of the windscreen, leading edge of the wing
    {1.18, 0.30, 0.57, 0.75},  // windscreen pillar
    {0.25, 0.30, 0.57, 0.75},  // back of the door window
    {0.10, 0.30, 0.57, 0.75},  // door pillar
    {-0.85, 0.30, 0.55, 0.73}, // back of the rear side window
    {-1.45, 0.30, 0.47, 0.64}, // back of the rear window
    {-2.55, 0.30, 0.33, 0.45}, // tail cone
    {-3.65, 0.30, 0.21, 0.28}, // under the fin
    {-4.50, 0.32, 0.12, 0.17}, // tail
};
static const int STATIONS = sizeof FUSELAGE / sizeof FUSELAGE[0];

// A point of a rounded-box section (superellipse of exponent 2.5).
static Vec3 sectionPoint(const Station& s, double degrees)
{
    double t = radians(degrees);
    auto bend = [](double v) { return std::copysign(std::pow(std::fabs(v), 0.8), v); };
    return {s.x, s.centreY + s.halfHeight * bend(std::sin(t)), s.halfWidth * bend(std::cos(t))};
}

// Skin panels, numbered by the station they start from (see FUSELAGE) and by section band.
static const int PANEL_WINDSCREEN = 3, PANEL_DOOR_WINDOW = 5, PANEL_REAR_SIDE_WINDOW = 7,
                 PANEL_TAPER_WINDOW = 8;
static const int BAND_ROOF = 0, BAND_WINDOW_TOP = 1, BAND_WINDOW_BOTTOM = 2, BAND_STRIPE = 4;

static Paint fuselagePaint(int station, int k)
{
    int band = sectionBand(k);
    bool windscreen = station == PANEL_WINDSCREEN && band <= BAND_WINDOW_BOTTOM;
    bool sideWindow = (station == PANEL_DOOR_WINDOW || station == PANEL_REAR_SIDE_WINDOW ||
                       station == PANEL_TAPER_WINDOW) &&
                      (band == BAND_WINDOW_TOP || band == BAND_WINDOW_BOTTOM);
    // The roof panel behind the wing is the rear window, looking up and back.
    bool rearWindow = station == PANEL_TAPER_WINDOW && band == BAND_ROOF;
    if (windscreen || sideWindow || rearWindow) return WINDOW;
    // The stripe runs from the cowling to the tail; the nose bowl stays white.
    if (band == BAND_STRIPE && station >= 1) return RED;
    return WHITE;
}

static void addFuselage()
{
    std::vector<std::vector<Vec3>> rings;
    for (const Station& s : FUSELAGE) {
        rings.emplace_back();
        for (double angle : SECTION_ANGLES)
            rings.back().push_back(sectionPoint(s, angle));
    }
    const Station& nose = FUSELAGE[0];
    const Station& tail = FUSELAGE[STATIONS - 1];
    loft(rings, fuselagePaint, {CAP_CENTRE, {nose.x + 0.04, nose.centreY, 0}, INTAKE},
         {CAP_CENTRE, {tail.x - 0.12, tail.centreY + 0.02, 0}, WHITE});
}

// ---- Wing and tail surfaces

// Cambered airfoil as (fraction of chord from the leading edge, height in chords): leading edge,
// upper surface, trailing edge, lower surface. Convex, so a fan closes its tips.
static const double WING_AIRFOIL[][2] = {{0, 0},     {0.08, 0.055}, {0.3, 0.085},  {0.65, 0.06},
                                         {1, 0.005}, {0.65, -0.02}, {0.3, -0.034}, {0.08, -0.028}};
// Symmetric section of the tail surfaces.
static const double TAIL_AIRFOIL[][2] = {{0, 0}, {0.25, 0.05}, {0.7, 0.03},
                                         {1, 0}, {0.7, -0.03}, {0.25, -0.05}};

// A wing-like section at span position `span`: leading edge at (leadX, height), chord running aft
// (towards -x). `vertical` puts the section in the x-z plane (a fin) instead of the x-y plane.
template <size_t N>
static std::vector<Vec3> surfaceSection(const double (&airfoil)[N][2], double span, double leadX,
                                        double height, double chord, bool vertical)
{
    std::vector<Vec3> ring;
    for (const auto& p : airfoil) {
        double x = leadX - p[0] * chord, across = p[1] * chord;
        ring.push_back(vertical ? Vec3{x, span, height + across} : Vec3{x, height + across, span});
    }
    return ring;
}

static void addWing()
{
    // Rectangular inboard, tapered outboard with a straight trailing edge; 1.7 degrees of dihedral.
    const double trailingX = -0.23, rootChord = 1.63, tipChord = 1.12;
    const double spans[] = {-5.5, -5.2, -2.6, 2.6, 5.2, 5.5};
    std::vector<std::vector<Vec3>> rings;
    for (double z : spans) {
        double outboard = std::fabs(z) > 2.6 ? (std::fabs(z) - 2.6) / (5.5 - 2.6) : 0.0;
        double chord = rootChord + (tipChord - rootChord) * outboard;
        double height = 1.08 + std::fabs(z) * std::tan(radians(1.7));
        rings.push_back(surfaceSection(WING_AIRFOIL, z, trailingX + chord, height, chord, false));
    }
    auto paint = [](int station, int) { return station == 0 || station == 4 ? BLUE : WHITE; };
    loft(rings, paint, {CAP_FAN, {}, BLUE}, {CAP_FAN, {}, BLUE});
}

static void addHorizontalTail()
{
    const double spans[] = {-1.72, -1.5, 1.5, 1.72};
    std::vector<std::vector<Vec3>> rings;
    for (double z : spans) {
        double outboard = std::fabs(z) / 1.72;
        double lead = -3.6 - 0.25 * outboard, chord = 1.1 - 0.3 * outboard;
        rings.push_back(surfaceSection(TAIL_AIRFOIL, z, lead, 0.36, chord, false));
    }
    auto paint = [](int station, int) { return station == 0 || station == 2 ? BLUE : WHITE; };
    loft(rings, paint, {CAP_FAN, {}, BLUE}, {CAP_FAN, {}, BLUE});
}

static void addFin()
{
    // Swept fin from inside the tail cone to the top, with a red and a blue stripe.
    const double heights[] = {0.4, 1.05, 1.2, 1.32, 1.85};
    std::vector<std::vector<Vec3>> rings;
    for (double y : heights) {
        double up = (y - 0.4) / (1.85 - 0.4);
        double lead = -2.6 - 1.6 * up, trail = -4.66 + 0.05 * up;
        rings.push_back(surfaceSection(TAIL_AIRFOIL, y, lead, 0.0, lead - trail, true));
    }
    auto paint = [](int station, int) { return station == 1 ? RED : station == 2 ? BLUE : WHITE; };
    loft(rings, paint, {CAP_FAN, {}, WHITE}, {CAP_FAN, {}, WHITE});
}

// ---- Struts, gear legs, wheels

enum BeamSection { BEAM_STREAMLINED, BEAM_FLAT };

// A straight member from `from` to `to` whose section's chord lies as close to `chordHint` as the
// member's direction allows: a six-point teardrop for struts, a four-point diamond for gear legs.
static void addBeam(Vec3 from, Vec3 to, Vec3 chordHint, double chord, double thickness, BeamSection section,
                    Paint paint)
{
    Vec3 axis = normalised(to - from);
    Vec3 along = normalised(chordHint - axis * dot(chordHint, axis));
    Vec3 across = cross(axis, along);
    static const std::vector<std::vector<double>> streamlined = {{0.5, 0},  {0.15, 0.5},   {-0.3, 0.35},
                                                                 {-0.5, 0}, {-0.3, -0.35}, {0.15, -0.5}};
    static const std::vector<std::vector<double>> flat = {{0.5, 0}, {0, 0.5}, {-0.5, 0}, {0, -0.5}};
    std::vector<std::vector<Vec3>> rings(2);
    for (int end = 0; end < 2; end++)
        for (const auto& p : section == BEAM_STREAMLINED ? streamlined : flat)
            rings[size_t(end)].push_back((end == 0 ? from : to) + along * (p[0] * chord) +
                                         across * (p[1] * thickness));
    loft(rings, plain(paint), {CAP_FAN, {}, paint}, {CAP_FAN, {}, paint});
}

static const int WHEEL_SEGMENTS = 8;

// A wheel turning about the z axis: black tyre with rounded shoulders, grey hub discs.
static void addWheel(Vec3 centre, double radius, double width)
{
    const double profile[][2] = {
        {-0.5, 0.5}, {-0.4, 1.0}, {0.4, 1.0}, {0.5, 0.5}}; // (z in widths, r in radii)
    std::vector<std::vector<Vec3>> rings;
    for (const auto& p : profile) {
        rings.emplace_back();
        for (int k = 0; k < WHEEL_SEGMENTS; k++) {
            double t = 2 * 3.141592653589793 * k / WHEEL_SEGMENTS;
            rings.back().push_back(
                centre + Vec3{radius * p[1] * std::cos(t), radius * p[1] * std::sin(t), width * p[0]});
        }
    }
    double hubOut = width * 0.5 + 0.02;
    loft(rings, plain(TYRE), {CAP_CENTRE, centre + Vec3{0, 0, -hubOut}, HUB},
         {CAP_CENTRE, centre + Vec3{0, 0, hubOut}, HUB});
}

static void addStrutsAndGear()
{
    for (double side : {-1.0, 1.0}) {
        // Wing strut from the lower cabin to the wing's front spar.
        addBeam({0.35, -0.18, 0.55 * side}, {0.95, 1.06, 2.6 * side}, {1, 0, 0}, 0.16, 0.05, BEAM_STREAMLINED,
                WHITE);
        // Spring-steel main gear leg down and out to the axle.
        addBeam({-0.15, -0.38, 0.4 * side}, {-0.15, -0.72, 1.22 * side}, {1, 0, 0}, 0.12, 0.04, BEAM_FLAT,
                GEAR);
        addWheel({-0.15, -0.72, 1.32 * side}, 0.28, 0.16);
    }
    // Nose gear leg under the cowling, and its wheel.
    addBeam({2.65, -0.3, 0}, {2.75, -0.76, 0}, {1, 0, 0}, 0.09, 0.07, BEAM_FLAT, GEAR);
    addWheel({2.75, -0.76, 0}, 0.24, 0.13);
}

// ---- Propeller

static const double PROP_X = 3.36;   // plane of the propeller, m
static const double THRUST_Y = 0.08; // height of the thrust line, m

static void addSpinner()
{
    std::vector<std::vector<Vec3>> rings(1);
    const int segments = 8;
    for (int k = 0; k < segments; k++) {
        double t = 2 * 3.141592653589793 * k / segments;
        rings[0].push_back({PROP_X - 0.05, THRUST_Y + 0.2 * std::sin(t), 0.2 * std::cos(t)});
    }
    // A second, smaller ring rounds the cone towards its tip.
    rings.emplace_back();
    for (int k = 0; k < segments; k++) {
        double t = 2 * 3.141592653589793 * k / segments;
        rings[1].push_back({PROP_X + 0.18, THRUST_Y + 0.14 * std::sin(t), 0.14 * std::cos(t)});
    }
    loft(rings, plain(RED), {CAP_CENTRE, {PROP_X - 0.05, THRUST_Y, 0}, RED},
         {CAP_CENTRE, {PROP_X + 0.42, THRUST_Y, 0}, RED});
}

// One blade pointing along `direction` (a unit vector in the propeller plane), twisted from a steep
// pitch at the root to a flat one at the tip, with painted tips.
static void addBlade(Vec3 direction)
{
    Vec3 axis = {1, 0, 0};
    Vec3 turning = cross(axis, direction);
    // (radius m, chord m, pitch degrees)
    const double stations[][3] = {{0.1, 0.1, 60}, {0.4, 0.15, 35}, {0.8, 0.12, 22}, {0.9, 0.1, 20}};
    std::vector<std::vector<Vec3>> rings;
    for (const auto& s : stations) {
        double pitch = radians(s[2]);
        Vec3 along = turning * std::cos(pitch) + axis * std::sin(pitch);
        Vec3 thick = turning * -std::sin(pitch) + axis * std::cos(pitch);
        Vec3 centre = Vec3{PROP_X, THRUST_Y, 0} + direction * s[0];
        rings.push_back({centre + along * (0.5 * s[1]), centre + thick * 0.014, centre - along * (0.5 * s[1]),
                         centre - thick * 0.014});
    }
    Vec3 tip = Vec3{PROP_X, THRUST_Y, 0} + direction * 0.95;
    loft(rings, [](int station, int) { return station == 2 ? RED : METAL; }, {CAP_FAN, {}, METAL},
         {CAP_CENTRE, tip, RED});
}

static void addPropeller()
{
    // Stopped at 30 degrees from the vertical, so neither blade hides behind the gear leg.
    double t = radians(30);
    addBlade({0, std::cos(t), std::sin(t)});
    addBlade({0, -std::cos(t), -std::sin(t)});
    addSpinner();
}

// The viewer starts unrotated, looking down -z with y up. Built with the nose along +x and the wings
// along z, the aircraft is turned so that it shows three-quarters from the front and a little from
// above: wing, cabin, struts, gear and tail all in the first frame.
static const double START_YAW = -30;  // about y, degrees: the nose swings towards the viewer
static const double START_PITCH = 12; // then about x, degrees: the top tips towards the viewer

// Built in metres; written as a 1:40 model, about 0.25 units across, on which the viewer's normal
// lines (a hundredth of a unit long) stand out clearly.
static const double MODEL_SCALE = 1.0 / 40;

static void turnToStartViewAsModel()
{
    double yaw = radians(START_YAW), pitch = radians(START_PITCH);
    for (size_t v = 0; v < mesh.positions.size(); v += 3) {
        double* p = &mesh.positions[v];
        double x = p[0] * std::cos(yaw) + p[2] * std::sin(yaw);
        double z = -p[0] * std::sin(yaw) + p[2] * std::cos(yaw);
        double y = p[1] * std::cos(pitch) - z * std::sin(pitch);
        p[2] = (p[1] * std::sin(pitch) + z * std::cos(pitch)) * MODEL_SCALE;
        p[0] = x * MODEL_SCALE;
        p[1] = y * MODEL_SCALE;
    }
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: make_cessna out.m\n");
        return 2;
    }
    addFuselage();
    addWing();
    addHorizontalTail();
    addFin();
    addStrutsAndGear();
    addPropeller();
    turnToStartViewAsModel();
    mesh.comments = {
        "cessna_color500.m: a high-wing single-engine light aircraft, made by tools/make_cessna.",
        "Every part is a closed surface; faces wind counter-clockwise seen from outside.",
        "matid 1: red trim, 2: windows, 3: blue trim.",
    };
    if (!writeMeshFile(mesh, argv[1])) return 1;
    printf("make_cessna: %zu vertices, %zu faces, volume %.4g\n", mesh.positions.size() / 3,
           mesh.faces.size(), signedVolume(mesh, 0, mesh.faces.size()));
    return 0;
}
