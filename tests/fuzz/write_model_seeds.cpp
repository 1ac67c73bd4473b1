// Writes the model fuzzer's seeds into the folder given as the first argument:
// the small files of every format that the tests write, and the sample models
// named after it (assimp's test models) of at most 64 KiB in a format the
// fuzzer knows, each behind its format byte.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "../support/model_files.h"
#include "model_fuzz_formats.h"

static void writeSeed(const std::string& folder, const char* name, const char* extension,
                      const std::string& bytes)
{
    const std::string path = folder + "/" + name + "." + extension;
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return;
    fputc(fuzzCode(extension), f);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: write_model_seeds FOLDER [SAMPLE...]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const TriangleModel cube = cubeModel(0, 0, 0, 1), inward = cubeModel(1000, 0, 0, 2, true);
    std::string buffer;
    writeSeed(folder, "quad", "obj", "v 0 0 0\nv 2 0 0\nv 1 0.5 0\nv 1 2 0\nf 1 2 3 4\n");
    writeSeed(folder, "inward", "obj", objText(inward));
    writeSeed(folder, "cube", "stl", binaryStl(cube));
    writeSeed(folder, "cube", "ply", binaryPly(cube, std::vector<uint8_t>(cube.faces.size(), 200)));
    writeSeed(
        folder, "ascii", "ply",
        "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\nproperty float z\n"
        "element face 1\nproperty list uchar int vertex_indices\nend_header\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n");
    writeSeed(folder, "two", "gltf", gltfTwoNodes("", buffer));
    writeSeed(folder, "tetra", "off",
              "OFF\n4 4 0\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n3 0 2 1\n3 0 1 3\n3 0 3 2\n3 1 2 3\n");
    writeSeed(folder, "solid", "stl",
              "solid t\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\nendloop\n"
              "endfacet\nendsolid t\n");
    writeSeed(folder, "tri", "m",
              "Vertex 1 0 0 0\nVertex 2 1 0 0\nVertex 3 0 1 0\nFace 1 1 2 3 {rgb=(1 0 0)}\n");
    for (int i = 2; i < argc; i++) {
        const std::string sample = argv[i];
        std::string extension = sample.substr(sample.rfind('.') + 1);
        for (char& c : extension)
            c = char(tolower((unsigned char)c));
        std::ifstream in(sample, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (bytes.empty() || bytes.size() > 65536 ||
            strcmp(FUZZ_EXTENSIONS[fuzzCode(extension.c_str())], extension.c_str()) != 0)
            continue;
        const std::string name = "sample" + std::to_string(i) + "-" + sample.substr(sample.rfind('/') + 1);
        writeSeed(folder, name.c_str(), extension.c_str(), bytes);
    }
    return 0;
}
