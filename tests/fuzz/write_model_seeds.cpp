// Writes the model fuzzer's seeds into the folder given as the argument: the
// small files of every format that the tests write, each behind its format byte.
#include <cstdio>
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
    if (argc != 2) {
        fprintf(stderr, "usage: write_model_seeds FOLDER\n");
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
    return 0;
}
