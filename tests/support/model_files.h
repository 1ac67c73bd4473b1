// Small model files of the common formats, written by the tests themselves:
// for the importer's tests, the end-to-end run, the fuzzer's seeds and the bench.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

struct TriangleModel {
    std::vector<float> positions; // x, y, z per vertex
    std::vector<uint32_t> faces;  // three 0-based vertex numbers per face
};

// A cube from (x, y, z) to (x + size, y + size, z + size): 8 vertices, 12
// triangles wound counter-clockwise seen from outside, or inward.
inline TriangleModel cubeModel(float x, float y, float z, float size, bool inward = false)
{
    TriangleModel m;
    for (int i = 0; i < 8; i++)
        m.positions.insert(m.positions.end(),
                           {x + size * (i & 1), y + size * ((i >> 1) & 1), z + size * (i >> 2)});
    // two triangles per side, outward: -z, +z, -y, +y, -x, +x
    const uint32_t sides[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                  {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto& s : sides) {
        m.faces.insert(m.faces.end(), {s[0], s[1], s[2], s[0], s[2], s[3]});
    }
    if (inward)
        for (size_t f = 0; f < m.faces.size(); f += 3)
            std::swap(m.faces[f + 1], m.faces[f + 2]);
    return m;
}

inline std::string objText(const TriangleModel& m)
{
    std::string text;
    char line[128];
    for (size_t v = 0; v < m.positions.size(); v += 3) {
        snprintf(line, sizeof line, "v %.9g %.9g %.9g\n", m.positions[v], m.positions[v + 1],
                 m.positions[v + 2]);
        text += line;
    }
    for (size_t f = 0; f < m.faces.size(); f += 3) {
        snprintf(line, sizeof line, "f %u %u %u\n", m.faces[f] + 1, m.faces[f + 1] + 1, m.faces[f + 2] + 1);
        text += line;
    }
    return text;
}

template <typename T> inline void appendBytes(std::string& out, T value)
{
    char bytes[sizeof(T)];
    memcpy(bytes, &value, sizeof(T));
    out.append(bytes, sizeof(T));
}

// Binary STL: an 80-byte header, the count, then per facet a normal, three
// corners and two attribute bytes.
inline std::string binaryStl(const TriangleModel& m)
{
    std::string out(80, ' ');
    out.replace(0, 10, "meshshade ");
    appendBytes(out, uint32_t(m.faces.size() / 3));
    for (size_t f = 0; f < m.faces.size(); f += 3) {
        for (int i = 0; i < 3; i++)
            appendBytes(out, 0.0f);
        for (int k = 0; k < 3; k++)
            for (int i = 0; i < 3; i++)
                appendBytes(out, m.positions[m.faces[f + k] * 3 + i]);
        appendBytes(out, uint16_t(0));
    }
    return out;
}

// Binary little-endian PLY; with `faceRgb` (three bytes per face) the faces
// carry red, green and blue properties.
inline std::string binaryPly(const TriangleModel& m, const std::vector<uint8_t>& faceRgb = {})
{
    std::string out = "ply\nformat binary_little_endian 1.0\ncomment meshshade test\nelement vertex " +
                      std::to_string(m.positions.size() / 3) +
                      "\nproperty float x\nproperty float y\nproperty float z\nelement face " +
                      std::to_string(m.faces.size() / 3) + "\nproperty list uchar int vertex_indices\n";
    if (!faceRgb.empty()) out += "property uchar red\nproperty uchar green\nproperty uchar blue\n";
    out += "end_header\n";
    for (float p : m.positions)
        appendBytes(out, p);
    for (size_t f = 0; f < m.faces.size(); f += 3) {
        appendBytes(out, uint8_t(3));
        for (int k = 0; k < 3; k++)
            appendBytes(out, int32_t(m.faces[f + k]));
        if (!faceRgb.empty()) out.append(reinterpret_cast<const char*>(&faceRgb[f]), 3);
    }
    return out;
}

inline std::string base64(const std::string& bytes)
{
    static const char* const DIGITS = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t chunk = uint32_t(uint8_t(bytes[i])) << 16;
        if (i + 1 < bytes.size()) chunk |= uint32_t(uint8_t(bytes[i + 1])) << 8;
        if (i + 2 < bytes.size()) chunk |= uint8_t(bytes[i + 2]);
        out += DIGITS[chunk >> 18 & 63];
        out += DIGITS[chunk >> 12 & 63];
        out += i + 1 < bytes.size() ? DIGITS[chunk >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? DIGITS[chunk & 63] : '=';
    }
    return out;
}

// glTF 2 with one triangle mesh (a unit right triangle in z = 0: (0,0,0),
// (1,0,0), (0,1,0)) drawn by two nodes: one moved by (10, 0, 0), one scaled
// by 2 under a parent moved by (0, -5, 0). The material is red. The buffer is
// `bufferUri` (a file name) or, when empty, embedded as a data URI; `buffer`
// receives its bytes.
inline std::string gltfTwoNodes(const std::string& bufferUri, std::string& buffer)
{
    buffer.clear();
    const float corners[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    for (float c : corners)
        appendBytes(buffer, c);
    for (uint16_t i : {0, 1, 2})
        appendBytes(buffer, i);
    appendBytes(buffer, uint16_t(0)); // pad to 4 bytes
    const std::string uri =
        bufferUri.empty() ? "data:application/octet-stream;base64," + base64(buffer) : bufferUri;
    return R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0,1]}],
"nodes":[{"mesh":0,"translation":[10,0,0]},{"translation":[0,-5,0],"children":[2]},{"mesh":1,"scale":[2,2,2]}],
"meshes":[{"primitives":[{"attributes":{"POSITION":0},"indices":1,"material":0}]},
          {"primitives":[{"attributes":{"POSITION":0},"indices":1,"material":0}]}],
"materials":[{"name":"red","pbrMetallicRoughness":{"baseColorFactor":[1,0,0,1]}}],
"buffers":[{"uri":")" +
           uri + R"(","byteLength":44}],
"bufferViews":[{"buffer":0,"byteOffset":0,"byteLength":36},{"buffer":0,"byteOffset":36,"byteLength":6}],
"accessors":[{"bufferView":0,"componentType":5126,"count":3,"type":"VEC3","min":[0,0,0],"max":[1,1,0]},
             {"bufferView":1,"componentType":5123,"count":3,"type":"SCALAR"}]})";
}
