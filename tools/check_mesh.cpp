// check_mesh [--closed] [--coloured] file.m: checks a .m mesh file before it ships. Reports the
// counts and the enclosed volume of each connected part, and fails (status 1) on a face that names
// a missing or later vertex, a face of zero area, a repeated face, a vertex no face uses, a part
// that winds inwards (negative volume), and with --closed an edge that is not shared by exactly
// two faces of opposite winding, with --coloured a face without an "{rgb=(r g b)" block.
// Reads the file with its own small parser, so that it does not share faults with the viewer's.
#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <numeric>
#include <set>
#include <string>
#include <vector>

struct CheckFace {
    std::array<int, 3> corners = {0, 0, 0}; // 0-based
    bool hasColour = false;
    std::array<float, 3> colour = {0, 0, 0};
    int matid = -1;
    int line = 0;
};

struct CheckMesh {
    std::vector<std::array<double, 3>> positions;
    std::vector<CheckFace> faces;
};

static int problems = 0;

static void problem(const char* path, int line, const char* what)
{
    if (problems < 50) fprintf(stderr, "%s:%d: %s\n", path, line, what);
    problems++;
}

static bool readMesh(const char* path, CheckMesh& mesh)
{
    std::ifstream in(path);
    if (!in) {
        fprintf(stderr, "check_mesh: cannot open %s\n", path);
        return false;
    }
    std::string text;
    int lineNumber = 0;
    while (std::getline(in, text)) {
        lineNumber++;
        const char* line = text.c_str();
        while (*line == ' ' || *line == '\t' || *line == '\r')
            line++;
        if (strncmp(line, "Vertex ", 7) == 0) {
            int number;
            double x, y, z;
            if (sscanf(line, "Vertex %d %lf %lf %lf", &number, &x, &y, &z) != 4) {
                problem(path, lineNumber, "vertex line without a number and three coordinates");
                continue;
            }
            if (number != int(mesh.positions.size()) + 1)
                problem(path, lineNumber, "vertex number out of sequence");
            mesh.positions.push_back({x, y, z});
        } else if (strncmp(line, "Face ", 5) == 0) {
            CheckFace face;
            face.line = lineNumber;
            const char* block = strchr(line, '{');
            std::string list(line + 5, block ? block : line + strlen(line));
            std::vector<long> numbers;
            size_t at = 0;
            bool bad = false;
            while (at < list.size()) {
                if (isspace((unsigned char)list[at])) {
                    at++;
                } else if (isdigit((unsigned char)list[at])) {
                    size_t end = at;
                    while (end < list.size() && isdigit((unsigned char)list[end]))
                        end++;
                    // Ten digits or more cannot name a vertex; keep them out of stol's range too.
                    numbers.push_back(end - at > 9 ? -1 : std::stol(list.substr(at, end - at)));
                    at = end;
                } else {
                    bad = true;
                    break;
                }
            }
            if (bad || numbers.size() != 4) {
                problem(path, lineNumber, "face line is not a face number and three vertex numbers");
                continue;
            }
            for (int c = 0; c < 3; c++) {
                long n = numbers[size_t(c) + 1];
                if (n < 1 || n > long(mesh.positions.size())) {
                    problem(path, lineNumber, "face names a vertex that does not come before it");
                    bad = true;
                }
                face.corners[size_t(c)] = int(n - 1);
            }
            if (bad) continue;
            if (block) {
                float r, g, b;
                if (sscanf(block, "{rgb=(%f %f %f)", &r, &g, &b) == 3) {
                    face.hasColour = true;
                    face.colour = {r, g, b};
                    for (float v : face.colour)
                        if (!(v >= 0.0f && v <= 1.0f)) problem(path, lineNumber, "colour outside 0..1");
                } else {
                    problem(path, lineNumber, "attribute block without rgb=(r g b)");
                }
                if (const char* mat = strstr(block, " matid=")) face.matid = atoi(mat + 7);
                if (!strchr(block, '}')) problem(path, lineNumber, "attribute block not closed");
            }
            mesh.faces.push_back(face);
        } else if (*line && *line != '#') {
            problem(path, lineNumber, "line is neither a vertex, a face nor a comment");
        }
    }
    return true;
}

static std::array<double, 3> sub(const std::array<double, 3>& a, const std::array<double, 3>& b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

static std::array<double, 3> cross(const std::array<double, 3>& a, const std::array<double, 3>& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

static int findRoot(std::vector<int>& parent, int v)
{
    while (parent[size_t(v)] != v)
        v = parent[size_t(v)] = parent[size_t(parent[size_t(v)])];
    return v;
}

int main(int argc, char** argv)
{
    bool closed = false, coloured = false, usage = false;
    const char* path = nullptr;
    for (int a = 1; a < argc; a++) {
        if (strcmp(argv[a], "--closed") == 0)
            closed = true;
        else if (strcmp(argv[a], "--coloured") == 0)
            coloured = true;
        else if (!path)
            path = argv[a];
        else
            usage = true;
    }
    if (!path || usage) {
        fprintf(stderr, "usage: check_mesh [--closed] [--coloured] file.m\n");
        return 2;
    }
    CheckMesh mesh;
    if (!readMesh(path, mesh)) return 1;
    size_t vertexCount = mesh.positions.size();

    std::array<double, 3> low = {1e300, 1e300, 1e300}, high = {-1e300, -1e300, -1e300};
    for (const auto& p : mesh.positions)
        for (int i = 0; i < 3; i++) {
            low[size_t(i)] = std::min(low[size_t(i)], p[size_t(i)]);
            high[size_t(i)] = std::max(high[size_t(i)], p[size_t(i)]);
        }
    double size = 0;
    for (int i = 0; i < 3; i++)
        size = std::max(size, high[size_t(i)] - low[size_t(i)]);

    // Zero-area faces give no normal; a face a millionth of the model's size squared counts as zero.
    double smallestArea = 1e300;
    std::set<std::array<int, 3>> seen;
    std::vector<char> used(vertexCount, 0);
    std::map<std::pair<int, int>, int> directedEdges;
    std::map<std::string, int> colourCounts;
    std::map<int, int> matidCounts;
    int uncoloured = 0;
    for (const CheckFace& face : mesh.faces) {
        const auto& a = mesh.positions[size_t(face.corners[0])];
        const auto& b = mesh.positions[size_t(face.corners[1])];
        const auto& c = mesh.positions[size_t(face.corners[2])];
        auto n = cross(sub(b, a), sub(c, a));
        double area = 0.5 * std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        smallestArea = std::min(smallestArea, area);
        if (area <= 1e-6 * size * size) problem(path, face.line, "face of zero area");
        std::array<int, 3> key = face.corners;
        std::sort(key.begin(), key.end());
        if (!seen.insert(key).second) problem(path, face.line, "face repeats the corners of an earlier face");
        for (size_t k = 0; k < 3; k++) {
            used[size_t(face.corners[k])] = 1;
            directedEdges[{face.corners[k], face.corners[(k + 1) % 3]}]++;
        }
        if (face.hasColour) {
            char name[64];
            snprintf(name, sizeof name, "(%g %g %g)", face.colour[0], face.colour[1], face.colour[2]);
            colourCounts[name]++;
        } else {
            uncoloured++;
            if (coloured) problem(path, face.line, "face without a colour");
        }
        if (face.matid >= 0) matidCounts[face.matid]++;
    }
    size_t unused = size_t(std::count(used.begin(), used.end(), 0));
    if (unused) problem(path, 0, "vertices that no face uses");

    // An edge of a closed, consistently wound surface is walked once each way.
    int openEdges = 0, overusedEdges = 0;
    for (const auto& [edge, count] : directedEdges) {
        auto back = directedEdges.find({edge.second, edge.first});
        if (count > 1) overusedEdges++;
        if (back == directedEdges.end()) openEdges++;
    }
    if (closed && (openEdges || overusedEdges))
        problem(path, 0, "surface is not closed and consistently wound");

    // Parts are the sets of faces joined by shared vertices.
    std::vector<int> parent(vertexCount);
    std::iota(parent.begin(), parent.end(), 0);
    for (const CheckFace& face : mesh.faces)
        for (int c = 1; c < 3; c++)
            parent[size_t(findRoot(parent, face.corners[size_t(c)]))] = findRoot(parent, face.corners[0]);
    std::map<int, std::pair<int, double>> parts; // root -> faces, volume
    double totalVolume = 0;
    for (const CheckFace& face : mesh.faces) {
        const auto& a = mesh.positions[size_t(face.corners[0])];
        auto bc = cross(mesh.positions[size_t(face.corners[1])], mesh.positions[size_t(face.corners[2])]);
        double volume = (a[0] * bc[0] + a[1] * bc[1] + a[2] * bc[2]) / 6.0;
        auto& part = parts[findRoot(parent, face.corners[0])];
        part.first++;
        part.second += volume;
        totalVolume += volume;
    }

    printf("%s: %zu vertices, %zu faces, %zu parts, volume %.6g\n", path, vertexCount, mesh.faces.size(),
           parts.size(), totalVolume);
    printf("  bounds x %.4g..%.4g  y %.4g..%.4g  z %.4g..%.4g; smallest face area %.3g\n", low[0], high[0],
           low[1], high[1], low[2], high[2], smallestArea);
    printf("  edges: %d open, %d used twice the same way; %d faces without colour\n", openEdges,
           overusedEdges, uncoloured);
    int partNumber = 0;
    for (const auto& [root, part] : parts) {
        const auto& p = mesh.positions[size_t(root)];
        printf("  part %d: %d faces, volume %.6g (near %.3g %.3g %.3g)\n", ++partNumber, part.first,
               part.second, p[0], p[1], p[2]);
        if (part.second <= 0) problem(path, 0, "part winds inwards (volume not positive)");
    }
    for (const auto& [name, count] : colourCounts)
        printf("  colour %s: %d faces\n", name.c_str(), count);
    for (const auto& [id, count] : matidCounts)
        printf("  matid %d: %d faces\n", id, count);
    if (problems) {
        printf("%s: %d problems\n", path, problems);
        return 1;
    }
    printf("%s: no problems\n", path);
    return 0;
}
