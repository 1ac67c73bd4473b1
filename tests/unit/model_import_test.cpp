// A user's model files of each format, read into a mesh: triangulation, merged
// meshes under node transforms, joined vertices, colours, orientation, fit, and
// one clear reason for every file that cannot be shown.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "../support/model_files.h"
#include "mesh/import_message.h"
#include "mesh/import_sandbox.h"
#include "mesh/model_import.h"
#include "render/projection.h"

namespace {

struct ModelDir {
    std::string path;
    ModelDir()
    {
        char name[] = "/tmp/meshshade_modelXXXXXX";
        path = mkdtemp(name);
    }
    ~ModelDir() { (void)system(("rm -rf '" + path + "'").c_str()); }
    std::string write(const std::string& name, const std::string& bytes) const
    {
        std::string file = path + "/" + name;
        FILE* f = fopen(file.c_str(), "wb");
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
        return file;
    }
};

// Reads a file into a mesh; the console output is swallowed into `out` and `err`.
bool import(const std::string& path, Mesh& mesh, std::string& why, std::string* out = nullptr,
            std::string* err = nullptr)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    bool ok = importModelFile(mesh, path.c_str(), why);
    std::string text = testing::internal::GetCapturedStdout();
    std::string errors = testing::internal::GetCapturedStderr();
    if (out) *out = text;
    if (err) *err = errors;
    return ok;
}

const float* position(const Mesh& m, int face, int corner)
{
    return m.vertices[size_t(m.faces[size_t(face)].corners[corner] - 1)].position;
}

double signedVolume(const Mesh& m)
{
    double volume = 0;
    for (size_t f = 0; f < m.faces.size(); f++) {
        const float *a = position(m, int(f), 0), *b = position(m, int(f), 1), *c = position(m, int(f), 2);
        volume += a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
                  a[2] * (b[0] * c[1] - b[1] * c[0]);
    }
    return volume / 6;
}

} // namespace

//  (1,2) D
//        |\          a concave quad A B C D: C is the reflex corner; a fan from
//        | \         A would put a triangle outside it
//  (1,.5)C  \ .
//       /     .
//  A---------B  (0,0) (2,0)
TEST(ModelImport, concaveObjQuadIsSplitInsideItsOutline)
{
    ModelDir dir;
    Mesh mesh;
    std::string why;
    ASSERT_TRUE(import(dir.write("quad.obj", "v 0 0 0\nv 2 0 0\nv 1 0.5 0\nv 1 2 0\nf 1 2 3 4\n"), mesh, why))
        << why;
    ASSERT_EQ(mesh.vertices.size(), 4u);
    ASSERT_EQ(mesh.faces.size(), 2u);
    double area = 0;
    for (int f = 0; f < 2; f++) {
        const float *a = position(mesh, f, 0), *b = position(mesh, f, 1), *c = position(mesh, f, 2);
        const double z = (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
        EXPECT_GT(z, 0) << "face " << f << " wound clockwise";
        area += z / 2;
        EXPECT_NEAR(mesh.faces[size_t(f)].normal[2], 1, 1e-6);
    }
    // the shoelace area of A B C D (a split along B D gives 2 + 0.75 unsigned)
    EXPECT_NEAR(area, 1.25, 1e-6);
    EXPECT_FALSE(mesh.faces[0].material.hasOwnMaterial); // no material file: the panel's material
    EXPECT_TRUE(mesh.loaded && mesh.hasGeometry && mesh.useShaders);
    EXPECT_EQ(mesh.rotationRef, mesh.rotation);
}

TEST(ModelImport, binaryStlCornersJoinIntoAClosedOutwardCube)
{
    ModelDir dir;
    Mesh mesh;
    std::string why, out;
    ASSERT_TRUE(import(dir.write("cube.stl", binaryStl(cubeModel(0, 0, 0, 2))), mesh, why, &out)) << why;
    EXPECT_EQ(mesh.vertices.size(), 8u); // 36 corners, 8 positions
    EXPECT_EQ(mesh.faces.size(), 12u);
    EXPECT_NEAR(signedVolume(mesh), 8, 1e-4);
    EXPECT_EQ(out.find("turned outward"), std::string::npos) << out;
    // fitted as the mesh files are: centroid, extent, scale
    EXPECT_NEAR(mesh.centroid[0], 1, 1e-6);
    EXPECT_NEAR(mesh.extent, 2, 1e-6);
    EXPECT_NEAR(mesh.scale, 0.75, 1e-6);
}

TEST(ModelImport, plyFaceColoursAndVertexColoursBecomeTheFacesOwn)
{
    ModelDir dir;
    Mesh mesh;
    std::string why;
    const TriangleModel cube = cubeModel(0, 0, 0, 1);
    std::vector<uint8_t> rgb;
    for (uint8_t f = 0; f < 12; f++)
        rgb.insert(rgb.end(), {uint8_t(f * 20), uint8_t(255 - f * 20), 51});
    ASSERT_TRUE(import(dir.write("faces.ply", binaryPly(cube, rgb)), mesh, why)) << why;
    ASSERT_EQ(mesh.faces.size(), 12u);
    EXPECT_EQ(mesh.vertices.size(), 8u);
    for (size_t f = 0; f < 12; f++) {
        ASSERT_TRUE(mesh.faces[f].material.hasOwnMaterial) << f;
        EXPECT_FLOAT_EQ(mesh.faces[f].colour[0], f * 20 / 255.0f) << f;
        EXPECT_FLOAT_EQ(mesh.faces[f].colour[1], (255 - f * 20) / 255.0f) << f;
        EXPECT_FLOAT_EQ(mesh.faces[f].material.specular[2], 0.2f) << f;
    }

    // text PLY: float vertex colours give a face the mean of its corners'; a
    // quad (assimp splits polygons) is two triangles
    const std::string header =
        "ply\nformat ascii 1.0\nelement vertex 4\nproperty float x\nproperty float y\n"
        "property float z\nproperty float red\nproperty float green\nproperty float blue\n"
        "element face 1\nproperty list uchar int vertex_indices\nend_header\n"
        "0 0 0 1 0 0\n1 0 0 1 0 0\n1 1 0 0 0 1\n0 1 0 0 0 1\n";
    ASSERT_TRUE(import(dir.write("text.ply", header + "3 0 1 2\n"), mesh, why)) << why;
    ASSERT_EQ(mesh.faces.size(), 1u);
    EXPECT_FLOAT_EQ(mesh.faces[0].colour[0], 2 / 3.0f);
    EXPECT_FLOAT_EQ(mesh.faces[0].colour[2], 1 / 3.0f);
    ASSERT_TRUE(import(dir.write("quad.ply", header + "4 0 1 2 3\n"), mesh, why)) << why;
    EXPECT_EQ(mesh.faces.size(), 2u);
}

TEST(ModelImport, inwardClosedBoxIsTurnedOutwardWithOneLineAndAnOpenOneIsNot)
{
    ModelDir dir;
    Mesh mesh;
    std::string why, out;
    const std::string path = dir.write("inward.obj", objText(cubeModel(0, 0, 0, 1, true)));
    ASSERT_TRUE(import(path, mesh, why, &out)) << why;
    EXPECT_NEAR(signedVolume(mesh), 1, 1e-5);
    EXPECT_EQ(out, path + ": the faces were wound inward; turned outward\n");
    for (const Face& f : mesh.faces) {
        // every face normal points away from the centre (0.5, 0.5, 0.5)
        EXPECT_GT((f.centre[0] - 0.5f) * f.normal[0] + (f.centre[1] - 0.5f) * f.normal[1] +
                      (f.centre[2] - 0.5f) * f.normal[2],
                  0);
    }

    // one side missing: not closed, so there is no inside to tell; left as it is
    TriangleModel open = cubeModel(0, 0, 0, 1, true);
    open.faces.resize(open.faces.size() - 6);
    ASSERT_TRUE(import(dir.write("open.obj", objText(open)), mesh, why, &out)) << why;
    EXPECT_LT(signedVolume(mesh), 0);
    EXPECT_EQ(out, "");
}

TEST(ModelImport, gltfMeshesUnderTransformedNodesAreMergedWithTheirColour)
{
    ModelDir dir;
    for (const std::string& uri : {std::string(), std::string("two.bin")}) {
        std::string buffer;
        const std::string gltf = gltfTwoNodes(uri, buffer);
        if (!uri.empty()) dir.write(uri, buffer);
        Mesh mesh;
        std::string why;
        ASSERT_TRUE(import(dir.write("two.gltf", gltf), mesh, why)) << uri << ": " << why;
        ASSERT_EQ(mesh.faces.size(), 2u) << uri;
        EXPECT_EQ(mesh.vertices.size(), 6u) << uri;
        // (10..11, 0..1) from the moved node; (0..2, -5..-3) from the scaled child of the moved parent
        EXPECT_FLOAT_EQ(mesh.boundsMin[0], 0);
        EXPECT_FLOAT_EQ(mesh.boundsMax[0], 11);
        EXPECT_FLOAT_EQ(mesh.boundsMin[1], -5);
        EXPECT_FLOAT_EQ(mesh.boundsMax[1], 1);
        for (const Face& f : mesh.faces) {
            ASSERT_TRUE(f.material.hasOwnMaterial);
            EXPECT_FLOAT_EQ(f.colour[0], 1);
            EXPECT_FLOAT_EQ(f.colour[1], 0);
            EXPECT_FLOAT_EQ(f.material.diffuse[0], 0.75f);
            EXPECT_FLOAT_EQ(f.normal[2], 1);
        }
    }
}

TEST(ModelImport, modelFarFromTheOriginIsFittedAndItsDrawnCentroidStaysInView)
{
    ModelDir dir;
    Mesh mesh;
    std::string why;
    ASSERT_TRUE(import(dir.write("far.ply", binaryPly(cubeModel(1000, 1000, 0, 4))), mesh, why)) << why;
    EXPECT_NEAR(mesh.centroid[0], 1002, 1e-3);
    EXPECT_NEAR(mesh.centroid[1], 1002, 1e-3);
    EXPECT_NEAR(mesh.scale, 1.5 / 4, 1e-6);

    // The clamp of the built-in meshes tests scale * centroid + offset (375.75
    // here) and would move the drawn centroid to 2 - 375.75, far out of view.
    const ViewWindow window{600, 600};
    mesh.clampDrawnCentroid = true;
    keepMeshInView(mesh, window, CLAMP_X_AND_Y);
    EXPECT_FLOAT_EQ(mesh.translateX, 0);
    EXPECT_FLOAT_EQ(mesh.translateY, 0);
    mesh.translateX = 7;
    mesh.translateY = -9;
    keepMeshInView(mesh, window, CLAMP_X_AND_Y);
    EXPECT_FLOAT_EQ(mesh.translateX, 2);
    EXPECT_FLOAT_EQ(mesh.translateY, -2);
}

TEST(ModelImport, unreadableFilesGiveOneReasonAndLeaveTheMeshAlone)
{
    ModelDir dir;
    Mesh mesh;
    mesh.scale = 42; // a last good model, which must stay
    std::string buffer;
    const std::string truncatedPly = binaryPly(cubeModel(0, 0, 0, 1));
    struct Case {
        std::string path, reason;
    } cases[] = {
        {dir.write("short.ply", truncatedPly.substr(0, truncatedPly.size() - 20)), ""},
        {dir.write("nobuffer.gltf", gltfTwoNodes("missing.bin", buffer)), "missing.bin"},
        {dir.write("range.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n"), "out of range"},
        {dir.write("nan.obj", "v 0 0 0\nv nan 0 0\nv 0 1 0\nf 1 2 3\n"), "not a finite number"},
        {dir.write("empty.obj", "# nothing\n"), ""},
        {dir.write("empty.m", "# nothing\nVertex 1 0 0 0\n"), "holds no faces"},
        {dir.write("lines.obj", "v 0 0 0\nv 1 0 0\nl 1 2\n"), ""},
        // found by fuzzing: an element of no properties counted 2^64 - 1 was looped over for ever
        {dir.write("count.ply", "ply\nformat ascii 1.0\nelement junk -1\nelement vertex 1\nproperty float x\n"
                                "property float y\nproperty float z\nend_header\n0 0 0\n"),
         "a PLY element line without a name and count"},
        {dir.write("noise.ply",
                   std::string("ply\nformat binary_little_endian 1.0\n") + std::string(300, '\xff')),
         ""},
        {dir.path, "is a directory"},
        {dir.path + "/absent.obj", "No such file or directory"},
    };
    for (const Case& c : cases) {
        std::string why;
        EXPECT_FALSE(import(c.path, mesh, why)) << c.path;
        EXPECT_FALSE(why.empty()) << c.path;
        EXPECT_NE(why.find(c.reason), std::string::npos) << c.path << ": " << why;
        EXPECT_EQ(why.find('\n'), std::string::npos) << c.path << ": " << why;
        EXPECT_EQ(mesh.scale, 42) << c.path;
    }

    // A 2 GB file (sparse: no disk space used) is refused by its size, unread.
    const std::string huge = dir.path + "/huge.stl";
    const int fd = open(huge.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_EQ(ftruncate(fd, off_t(2) << 30), 0);
    close(fd);
    std::string why;
    EXPECT_FALSE(import(huge, mesh, why));
    EXPECT_NE(why.find("larger than 512 MiB"), std::string::npos) << why;

    // Without read permission (root reads everything: nothing to test then).
    if (geteuid() != 0) {
        const std::string locked = dir.write("locked.obj", objText(cubeModel(0, 0, 0, 1)));
        chmod(locked.c_str(), 0);
        EXPECT_FALSE(import(locked, mesh, why));
        EXPECT_NE(why.find("Permission denied"), std::string::npos) << why;
    }
}

// The files a model names: only regular files in its folder or below are read;
// a buffer it cannot do without refuses the model, a material library it can is
// left out with a line naming it.
TEST(ModelImport, filesTheModelNamesStayInItsFolderAndAreRegularFiles)
{
    ModelDir dir;
    mkdir((dir.path + "/sub").c_str(), 0755);
    mkdir((dir.path + "/other").c_str(), 0755);
    std::string buffer, why, err;
    const std::string inside = gltfTwoNodes("buffers/two.bin", buffer);
    mkdir((dir.path + "/sub/buffers").c_str(), 0755);
    dir.write("sub/buffers/two.bin", buffer);
    dir.write("other/two.bin", buffer);
    Mesh mesh;
    ASSERT_TRUE(import(dir.write("sub/inside.gltf", inside), mesh, why)) << why;
    for (const std::string& uri : {std::string("../other/two.bin"),
                                   std::string("../../../../../../etc/passwd"), std::string("link.bin")}) {
        symlink((dir.path + "/other/two.bin").c_str(), (dir.path + "/sub/link.bin").c_str());
        mesh.scale = 42;
        EXPECT_FALSE(import(dir.write("sub/outside.gltf", gltfTwoNodes(uri, buffer)), mesh, why)) << uri;
        EXPECT_NE(why.find(uri + " is outside the model's folder "), std::string::npos) << why;
        EXPECT_EQ(mesh.scale, 42);
    }

    // a binary glTF whose header claims 4 GiB
    std::string glb = "glTF";
    appendBytes(glb, uint32_t(2));
    appendBytes(glb, uint32_t(0xffffffff));
    glb += std::string(64, ' ');
    EXPECT_FALSE(import(dir.write("long.glb", glb), mesh, why));
    EXPECT_EQ(why, "its binary glTF header gives a length of 4 GiB, more than the file's 76 bytes");

    // material libraries that are a pipe, a folder and a device: the model without them, a line each
    mkfifo((dir.path + "/pipe.mtl").c_str(), 0644);
    mkdir((dir.path + "/folder.mtl").c_str(), 0755);
    symlink("/dev/zero", (dir.path + "/zero.mtl").c_str());
    const std::string obj = dir.write("model.obj", "mtllib pipe.mtl\nmtllib folder.mtl\nmtllib zero.mtl\n" +
                                                       objText(cubeModel(0, 0, 0, 1)));
    ASSERT_TRUE(import(obj, mesh, why, nullptr, &err)) << why;
    EXPECT_EQ(mesh.faces.size(), 12u);
    EXPECT_EQ(err, "meshshade: " + obj + ": pipe.mtl is a named pipe (FIFO), not a regular file; left out\n" +
                       "meshshade: " + obj + ": folder.mtl is a directory; left out\n" + "meshshade: " + obj +
                       ": zero.mtl is outside the model's folder " + dir.path + "; left out\n");
}

// The importer process's confinement, set up in a child of the test: no file
// written, and an allocation beyond its memory answered with the budget.
TEST(ImportSandbox, importerWritesNoFileAndEndsWithItsBudgetWhenMemoryRunsOut)
{
    ModelDir dir;
    char* real = realpath(dir.path.c_str(), nullptr);
    const std::string folder = real;
    free(real);
    int replyPipe[2];
    ASSERT_EQ(pipe(replyPipe), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(replyPipe[0]);
        confineImporter(folder, replyPipe[1]);
        const int fd = open((folder + "/written").c_str(), O_WRONLY | O_CREAT, 0644);
        if (fd >= 0 && write(fd, "x", 1) == 1) _exit(10);
        for (int i = 0; i < 64; i++)
            memset(new char[64 << 20], 1, 64 << 20); // 4 GiB at most
        _exit(11);
    }
    close(replyPipe[1]);
    std::string bytes;
    char chunk[256];
    for (ssize_t n; (n = read(replyPipe[0], chunk, sizeof chunk)) > 0;)
        bytes.append(chunk, size_t(n));
    close(replyPipe[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), IMPORT_EXIT_OUT_OF_MEMORY);
    ImportReply reply;
    std::string why;
    ASSERT_TRUE(decodeImportReply(bytes, reply, why)) << why;
    EXPECT_EQ(reply.outcome, IMPORT_OUT_OF_MEMORY);
    EXPECT_EQ(reply.budgetBytes, IMPORT_MEMORY_ALLOWANCE);
    struct stat written;
    EXPECT_TRUE(stat((folder + "/written").c_str(), &written) != 0 || written.st_size == 0);
}
