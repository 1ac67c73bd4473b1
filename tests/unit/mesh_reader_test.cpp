// The .m reader: what a file's lines become, and that no file, however broken,
// gets a bad line into the mesh or takes the reader out of bounds.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "../fuzz/mesh_checks.h"
#include "mesh/mesh_reader.h"
#include "mesh/vector_math.h"
#include "mesh_test_files.h"

static const char* TRIANGLE_VERTICES = "Vertex 1 0 0 0\nVertex 2 1 0 0\nVertex 3 0 1 0\n";

static void expectPosition(const Vertex& v, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(v.position[0], x);
    EXPECT_FLOAT_EQ(v.position[1], y);
    EXPECT_FLOAT_EQ(v.position[2], z);
}

TEST(MeshReader, skipsCommentsBlankLinesAndUnknownLines)
{
    Loaded r = loadMeshText("# a comment\n"
                            "\n"
                            "   \n"
                            "\t\n"
                            "Vertex 1 1 2 3\n"
                            "# Vertex 2 9 9 9\n"
                            "Texture 1 0 0\n"
                            "   Vertex 2 4 5 6\n"
                            "Vertex\n");
    const Mesh& m = meshes[1];
    ASSERT_EQ(m.vertices.size(), 2u);
    expectPosition(m.vertices[0], 1, 2, 3);
    expectPosition(m.vertices[1], 4, 5, 6); // blanks before the keyword are skipped
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "Reading coordinates from " + r.path + "\n");
}

TEST(MeshReader, keywordsAreCaseSensitiveAndNeedOneSpace)
{
    Loaded r = loadMeshText(std::string(TRIANGLE_VERTICES) + "vertex 4 9 9 9\n"
                                                             "VERTEX 5 9 9 9\n"
                                                             "Vertex\t6 9 9 9\n"
                                                             "face 1 1 2 3\n"
                                                             "Face\t2 1 2 3\n"
                                                             "Faces 3 1 2 3\n");
    EXPECT_EQ(meshes[1].vertices.size(), 3u);
    EXPECT_EQ(meshes[1].faces.size(), 0u);
    EXPECT_EQ(r.err, ""); // ignored lines are not errors
}

TEST(MeshReader, numbersVerticesByLineOrderNotByTheirWrittenNumber)
{
    loadMeshText("Vertex 7 1 2 3\n"
                 "Vertex 3 4 5 6\n"
                 "Vertex 100 7 8 9\n"
                 "Face 42 1 2 3\n"
                 "Face 99999999999999999999 0000000000000003 00002 1\n");
    const Mesh& m = meshes[1];
    ASSERT_EQ(m.vertices.size(), 3u);
    expectPosition(m.vertices[0], 1, 2, 3);
    ASSERT_EQ(m.faces.size(), 2u);
    // the face's own number 42 is dropped, however long; corners are positions
    // in the file, leading zeros allowed
    EXPECT_EQ(m.faces[0].corners[0], 1);
    EXPECT_EQ(m.faces[0].corners[1], 2);
    EXPECT_EQ(m.faces[0].corners[2], 3);
    EXPECT_EQ(m.faces[1].corners[0], 3);
    EXPECT_EQ(m.faces[1].corners[2], 1);
    EXPECT_FLOAT_EQ(m.faces[0].centre[0], 4);
    EXPECT_FLOAT_EQ(m.faces[0].centre[1], 5);
    EXPECT_FLOAT_EQ(m.faces[0].centre[2], 6);
}

TEST(MeshReader, keepsTheFirstThreeVertexNumbersOfALongerFaceAndCountsSuchFacesOnce)
{
    Loaded r =
        loadMeshText(std::string(TRIANGLE_VERTICES) +
                     "Vertex 4 1 1 0\nFace 1 1 2 3 4\nFace 2 4 3 2 1 2 3\nFace 3 1 2 3 {rgb=(1 1 1)}\n");
    EXPECT_EQ(r.err, r.path + ": 2 faces have more than three corners; only their first three are used\n");
    const Mesh& m = meshes[1];
    ASSERT_EQ(m.faces.size(), 3u); // no fan triangulation
    const int expected[2][3] = {{1, 2, 3}, {4, 3, 2}};
    for (int f = 0; f < 2; f++)
        for (int k = 0; k < 3; k++)
            EXPECT_EQ(m.faces[f].corners[k], expected[f][k]);
}

TEST(MeshReader, colourBlockGivesTheFaceItsOwnMaterial)
{
    Loaded r = loadMeshText(std::string(TRIANGLE_VERTICES) + "Face 1 1 2 3{rgb=(1 0 0)}\n"
                                                             "Face 2 1 2 3 {rgb=(1 0 0) matid=4}\n"
                                                             "Face 3 1 2 3 { matid=2 }\n"
                                                             "Face 4 1 2 3\n"
                                                             "Face 5 1 2 3\t{rgb=( 0.2 0.4 1)}\n"
                                                             "Face 6 1 2 3 {}\n");
    const Mesh& m = meshes[1];
    ASSERT_EQ(m.faces.size(), 6u);
    EXPECT_EQ(r.err, "");
    // with and without a blank before "{", with a matid after the colour: the same face
    for (int f = 0; f < 2; f++) {
        const Material& mat = m.faces[f].material;
        EXPECT_TRUE(mat.hasOwnMaterial);
        const float ambient[4] = {0.45f, 0, 0, 1}, diffuse[4] = {0.75f, 0, 0, 1}, specular[4] = {1, 0, 0, 1};
        for (int i = 0; i < 4; i++) {
            EXPECT_FLOAT_EQ(mat.ambient[i], ambient[i]);
            EXPECT_FLOAT_EQ(mat.diffuse[i], diffuse[i]);
            EXPECT_FLOAT_EQ(mat.specular[i], specular[i]);
        }
        EXPECT_FLOAT_EQ(mat.shininess, 100);
        EXPECT_FLOAT_EQ(m.faces[f].colour[0], 1);
        EXPECT_FLOAT_EQ(m.faces[f].colour[1], 0);
    }
    EXPECT_FALSE(m.faces[2].material.hasOwnMaterial); // a block without "rgb="
    EXPECT_FALSE(m.faces[3].material.hasOwnMaterial); // no block
    EXPECT_FALSE(m.faces[5].material.hasOwnMaterial);
    const Face& blue = m.faces[4];
    EXPECT_TRUE(blue.material.hasOwnMaterial);
    const float rgb[3] = {0.2f, 0.4f, 1};
    for (int i = 0; i < 3; i++) {
        EXPECT_FLOAT_EQ(blue.colour[i], rgb[i]);
        EXPECT_FLOAT_EQ(blue.material.ambient[i], 0.45f * rgb[i]);
        EXPECT_FLOAT_EQ(blue.material.diffuse[i], 0.75f * rgb[i]);
        EXPECT_FLOAT_EQ(blue.material.specular[i], rgb[i]);
    }
}

TEST(MeshReader, readsNumbersAsScanfDoes)
{
    Loaded r = loadMeshText("Vertex 1 1.5e2 -2.5E-1 +3\n"
                            "Vertex 2 .5 5. 0x1p3\n"
                            "Vertex 3 1e-50 -0 7 and words after z\n"
                            "Vertex -4 1\t2\t3\r\n"
                            "Vertex 5 1.5.25 6\n");
    const Mesh& m = meshes[1];
    EXPECT_EQ(r.err, "");
    ASSERT_EQ(m.vertices.size(), 5u);
    expectPosition(m.vertices[0], 150, -0.25f, 3);
    expectPosition(m.vertices[1], 0.5f, 5, 8);
    expectPosition(m.vertices[2], 0, 0, 7); // below the float range reads as 0
    expectPosition(m.vertices[3], 1, 2, 3);
    expectPosition(m.vertices[4], 1.5f, 0.25f, 6); // each number ends where %g stops
}

// Coordinates in the many ways files write them read to the very float strtof
// gives, last bit included.
TEST(MeshReader, coordinatesRoundExactlyAsStrtofRounds)
{
    std::vector<std::string> numbers = {
        "16777215",  "16777216",   "16777217",     "0.16777217",    "99999999",   "1.0000001", "0.99999994",
        "0.000001",  "-0.0000001", "3.4028235e38", "1e-45",         "123456.78",  "0.1",       "0.2",
        "0.3",       "-7.",        ".0000005",     "1234567.8",     "12345678.5", ".12345678", "9999999.9",
        "0.1234567", "1677721.5",  "7.0000000",    "00000000000.5", "123456789",  ".123456789"};
    std::mt19937 random(7);
    const char* formats[] = {"%.6f", "%.7f", "%.3f", "%.8g", "%.9g", "%.1f", "%.6e", "%.12f"};
    for (int i = 0; i < 3000; i++) {
        double magnitude = std::pow(10.0, int(random() % 12) - 6);
        double value = (double(random()) / random.max() - 0.5) * magnitude;
        char text[64];
        snprintf(text, sizeof text, formats[i % std::size(formats)], value);
        numbers.push_back(text);
    }
    while (numbers.size() % 3)
        numbers.push_back("1");
    std::string file;
    for (size_t i = 0; i < numbers.size(); i += 3)
        file += "Vertex 1 " + numbers[i] + " " + numbers[i + 1] + "\t" + numbers[i + 2] + "\n";
    Loaded r = loadMeshText(file);
    EXPECT_EQ(r.err, "");
    ASSERT_EQ(meshes[1].vertices.size(), numbers.size() / 3);
    for (size_t i = 0; i < numbers.size(); i++) {
        float expected = strtof(numbers[i].c_str(), nullptr);
        float read = meshes[1].vertices[i / 3].position[i % 3];
        EXPECT_EQ(memcmp(&read, &expected, sizeof read), 0) << numbers[i] << " read as " << read;
    }
}

TEST(MeshReader, interpretsOnlyTheFirst255CharactersOfALine)
{
    // z starts at column 253, so its third digit lies beyond the 255 that count
    std::string longVertex = "Vertex 1 1 2 " + std::string(240, ' ') + "345";
    ASSERT_EQ(longVertex.size(), 256u);
    longVertex += std::string(44, '6');
    ASSERT_EQ(longVertex.size(), 300u);
    // leading blanks do not count towards the 255
    Loaded r = loadMeshText("\t  " + longVertex + "\nVertex 2 7 8 9\n");
    const Mesh& m = meshes[1];
    ASSERT_EQ(m.vertices.size(), 2u);
    expectPosition(m.vertices[0], 1, 2, 34);
    expectPosition(m.vertices[1], 7, 8, 9);
    EXPECT_EQ(r.err, "");
}

TEST(MeshReader, skipsTheRestOfALongLineWholeHoweverLong)
{
    // Over-long lines whose tails are mostly blanks with vertex lines between:
    // a reader that stops skipping anywhere in such a tail, after a bounded number
    // of characters or at the end of a read chunk, picks up a vertex.
    std::string tail;
    while (tail.size() < 3000000)
        tail += std::string(50, '\t') + "Vertex 9 5 5 5";
    std::string text;
    for (size_t cut : {255u, 256u, 4096u, 10254u, 65536u, 1000000u, 2500000u}) {
        // a vertex line right after the first `cut` characters; 10254 is where
        // skipping 9999 characters after the interpreted 255 would end
        std::string line = "# " + std::string(cut - 2, 'x') + "Vertex 9 5 5 5";
        line += tail.substr(0, 3000000 - line.size());
        text += line + "\n";
    }
    text += "Vertex 1 1 1 1\n";
    text += "Face 1 " + std::string(100000, '7') + "\n"; // a number list cut mid-number
    text += "Vertex 2 2 2 2";
    Loaded r = loadMeshText(text);
    const Mesh& m = meshes[1];
    ASSERT_EQ(m.vertices.size(), 2u);
    expectPosition(m.vertices[0], 1, 1, 1);
    EXPECT_EQ(m.faces.size(), 0u);
    EXPECT_NE(r.err.find(r.path + ":9:"), std::string::npos) << r.err;
    EXPECT_EQ(lineCount(r.err), 1);
}

// The reader takes a file in chunks of 1 MiB. Lines of every kind are put across
// that boundary at offsets a few characters apart, and must read as they would anywhere.
TEST(MeshReader, linesReadTheSameAcrossTheReadChunkBoundary)
{
    std::string block = "   Vertex 1 1.5 2.5 3.5" + std::string(230, ' ') + std::string(60, 'x') + "\r\n";
    block += "Vertex 2 4 5 " + std::string(240, ' ') + "678Vertex 9 9 9 9\n";
    block += "\n\n  \r\nVertex 3 0 0 0\n";
    block += "Face 1 1 2 3 {rgb=(0.5 0.25 1)}\r\n";
    block += "# " + std::string(1000, 'y') + "Vertex 8 8 8 8\n";
    block += "Vertex 4 7 8 9";
    const size_t chunk = size_t(1) << 20;
    for (size_t shift = 0; shift < block.size(); shift += 23) {
        SCOPED_TRACE(shift);
        // a comment line that ends `shift` characters before the boundary
        const size_t start = chunk - shift;
        std::string text = "#" + std::string(start - 2, 'f') + "\n" + block;
        Loaded r = loadMeshText(text);
        const Mesh& m = meshes[1];
        ASSERT_EQ(m.vertices.size(), 4u);
        expectPosition(m.vertices[0], 1.5f, 2.5f, 3.5f);
        expectPosition(m.vertices[1], 4, 5, 67);
        expectPosition(m.vertices[3], 7, 8, 9);
        ASSERT_EQ(m.faces.size(), 1u);
        EXPECT_FLOAT_EQ(m.faces[0].colour[1], 0.25f);
        EXPECT_EQ(r.err, "");
    }
}

TEST(MeshReader, readsCrlfFilesAndALastLineWithoutLineFeed)
{
    const std::string lf =
        std::string(TRIANGLE_VERTICES) + "# colour\nFace 1 1 2 3 {rgb=(0.5 0.25 1)}\nVertex 4 7 8 9";
    std::string crlf;
    for (char c : lf)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);

    Loaded r = loadMeshText(lf);
    EXPECT_EQ(r.err, "");
    const Mesh a = meshes[1];
    r = loadMeshText(crlf);
    EXPECT_EQ(r.err, "");
    const Mesh& b = meshes[1];
    ASSERT_EQ(a.vertices.size(), 4u);
    ASSERT_EQ(b.vertices.size(), 4u);
    ASSERT_EQ(a.faces.size(), 1u);
    ASSERT_EQ(b.faces.size(), 1u);
    expectPosition(a.vertices[3], 7, 8, 9);
    for (size_t v = 0; v < 4; v++)
        EXPECT_EQ(memcmp(&a.vertices[v], &b.vertices[v], sizeof(Vertex)), 0);
    EXPECT_EQ(memcmp(a.faces[0].corners, b.faces[0].corners, sizeof a.faces[0].corners), 0);
    EXPECT_EQ(memcmp(a.faces[0].colour, b.faces[0].colour, sizeof a.faces[0].colour), 0);
    EXPECT_TRUE(b.faces[0].material.hasOwnMaterial);
}

TEST(MeshReader, aNulByteEndsWhatIsInterpretedOfItsLine)
{
    const char raw[] = "Vertex 1 1 2 3\n"
                       "Ver\0tex 2 5 5 5\n"
                       "Vertex 3 4\0 5 6\n"
                       "# \0\0\0\n"
                       "\0\n"
                       "Vertex 4 7 8 9\0";
    const std::string text(raw, sizeof raw - 1);
    ASSERT_EQ(text.back(), '\0');
    Loaded r = loadMeshText(text);
    const Mesh& m = meshes[1];
    ASSERT_EQ(m.vertices.size(), 2u);
    expectPosition(m.vertices[0], 1, 2, 3);
    expectPosition(m.vertices[1], 7, 8, 9);
    // only the cut vertex line is malformed
    EXPECT_EQ(lineCount(r.err), 1);
    EXPECT_NE(r.err.find(r.path + ":3:"), std::string::npos) << r.err;
}

// Each bad line sits at line 4 of a file with three vertices before it and one after.
TEST(MeshReader, skipsEachMalformedLineWithOneWarningAndReadsOn)
{
    const char* badLines[] = {
        "Face 1 1 2 4",                       // names the vertex on the next line
        "Face 1 0 1 2",                       // there is no vertex 0
        "Face 1 1 2 99999999999999999999999", // far beyond any vertex and the int range
        "Face 1 1 2 2147483648",              // just beyond the int range
        "Face 1 1 2 4294967299",              // 2^32 + 3
        "Face 1 -1 2 3",                      // a sign
        "Face 1 1 2 x3",                      // a letter
        "Face 1 1/1 2/2 3/3",                 // slashes
        "Face 1 1 2 3 }",                     // a stray brace
        "Face 1 1 2",                         // too few vertex numbers
        "Face {rgb=(1 0 0)}",                 // no numbers at all
        "Face 1 1 2 3 {rgb=(1 0)}",           // colour cut short
        "Face 1 1 2 3 {rgb=1 0 0}",           // no parenthesis
        "Face 1 1 2 3 {rgb=(1 inf 0)}",       // not a colour
        "Face 1 1 2 3{rgb=(1e39 0 0)}",       // beyond the float range
        "Vertex 1 2 3",                       // two coordinates
        "Vertex x 1 2 3",                     // no vertex number
        "Vertex 1 1e39 0 0",                  // beyond the float range
        "Vertex 1 inf 0 0",                   // infinite
        "Vertex 1 -nan 0 0",                  // not a number
        "Vertex 1 1 2 ,3",                    // a comma before z
        "Vertex 1 1 2 +-3",                   // two signs
    };
    for (const char* bad : badLines) {
        SCOPED_TRACE(bad);
        Loaded r = loadMeshText(std::string(TRIANGLE_VERTICES) + bad + "\nVertex 4 1 1 1\n");
        const Mesh& m = meshes[1];
        EXPECT_TRUE(m.loaded);
        EXPECT_EQ(m.faces.size(), 0u);
        EXPECT_EQ(m.vertices.size(), 4u); // reading went on past the bad line
        for (const Vertex& v : m.vertices)
            EXPECT_EQ(dotProduct(v.normal, v.normal), 0.0f) << "a skipped face touched a vertex normal";
        EXPECT_EQ(lineCount(r.err), 1) << r.err;
        EXPECT_EQ(r.err.rfind(r.path + ":4: ", 0), 0u) << r.err;
        EXPECT_EQ(r.out, "Reading coordinates from " + r.path + "\n");
    }

    // a face before any vertex
    Loaded r = loadMeshText("Face 1 1 1 1\nVertex 1 0 0 0\n");
    EXPECT_EQ(meshes[1].faces.size(), 0u);
    EXPECT_EQ(r.err.rfind(r.path + ":1: ", 0), 0u) << r.err;
}

TEST(MeshReader, aFileFullOfBadLinesIsReportedInBrief)
{
    std::string text = TRIANGLE_VERTICES;
    for (int i = 0; i < 500; i++)
        text += "Face 1 9 9 9\n";
    text += "Face 1 1 2 3\n";
    Loaded r = loadMeshText(text);
    EXPECT_EQ(meshes[1].faces.size(), 1u);
    // twenty lines by number, then one count of the rest
    EXPECT_EQ(lineCount(r.err), 21) << r.err;
    EXPECT_NE(r.err.find(r.path + ":23: "), std::string::npos);
    EXPECT_EQ(r.err.find(r.path + ":24: "), std::string::npos);
    EXPECT_NE(r.err.find(r.path + ": 480 more malformed lines skipped\n"), std::string::npos) << r.err;
}

TEST(MeshReader, parseMeshLineSaysWhyALineIsMalformed)
{
    Mesh mesh;
    const char* problem = nullptr;
    EXPECT_TRUE(parseMeshLine(mesh, "Vertex 1 0 0 0", &problem));
    EXPECT_TRUE(parseMeshLine(mesh, "# Face 1 5 6 7", &problem));
    EXPECT_TRUE(parseMeshLine(mesh, "anything", &problem));
    EXPECT_FALSE(parseMeshLine(mesh, "Face 1 1 1 2", &problem));
    ASSERT_NE(problem, nullptr);
    EXPECT_NE(std::string(problem).find("vertex"), std::string::npos);
    problem = nullptr;
    EXPECT_FALSE(parseMeshLine(mesh, "Face 1 1 1 a", &problem));
    ASSERT_NE(problem, nullptr);
    EXPECT_FALSE(parseMeshLine(mesh, "Face 1 1 1 a")); // no problem pointer wanted
    EXPECT_TRUE(parseMeshLine(mesh, "Face 1 1 1 1"));
    EXPECT_EQ(mesh.faces.size(), 1u);
}

TEST(MeshReader, boundsFollowTheCoordinatesWhateverTheirSize)
{
    loadMeshText("Vertex 1 2 3 4\n");
    for (int i = 0; i < 3; i++) {
        EXPECT_FLOAT_EQ(meshes[1].boundsMax[i], 2.0f + i);
        EXPECT_FLOAT_EQ(meshes[1].boundsMin[i], 2.0f + i);
    }
    // all x beyond 99999 and all y below -999999
    loadMeshText("Vertex 1 200000 -3000000 5\nVertex 2 300000 -2500000 -5\nVertex 3 250000 -2000000 0\n");
    const Mesh& m = meshes[1];
    EXPECT_FLOAT_EQ(m.boundsMin[0], 200000);
    EXPECT_FLOAT_EQ(m.boundsMax[0], 300000);
    EXPECT_FLOAT_EQ(m.boundsMin[1], -3000000);
    EXPECT_FLOAT_EQ(m.boundsMax[1], -2000000);
    EXPECT_FLOAT_EQ(m.boundsMin[2], -5);
    EXPECT_FLOAT_EQ(m.boundsMax[2], 5);
    EXPECT_FLOAT_EQ(m.extent, 1000000);
    EXPECT_FLOAT_EQ(m.scale, 1.5e-6f);
}

TEST(MeshReader, readMeshFileAppendsAndSumsTheCentroid)
{
    Mesh m;
    std::string path = writeTempMesh(std::string(TRIANGLE_VERTICES) + "Face 1 1 2 3\n");
    testing::internal::CaptureStdout();
    EXPECT_EQ(readMeshFile(m, path.c_str()), 0);
    EXPECT_EQ(readMeshFile(m, path.c_str()), 0);
    std::string out = testing::internal::GetCapturedStdout();
    unlink(path.c_str());
    EXPECT_EQ(m.vertices.size(), 6u);
    ASSERT_EQ(m.faces.size(), 2u);
    EXPECT_EQ(m.faces[1].corners[0], 1); // numbering counts within the mesh
    EXPECT_FLOAT_EQ(m.centroid[0], 2);
    EXPECT_FLOAT_EQ(m.centroid[1], 2);
    // a face line adds its unit normal to each of its vertices
    EXPECT_FLOAT_EQ(m.vertices[0].normal[2], 2);
    EXPECT_FALSE(m.loaded); // the reader touches nothing but the geometry
    EXPECT_EQ(m.rotationRef, nullptr);
    EXPECT_EQ(lineCount(out), 2);
}

// Whatever the name stands for, it is read only as a regular file of at most
// 1 GiB, never waited on; a missing file needs no reason.
TEST(MeshReader, reportsAFileThatCannotBeRead)
{
    const std::string dir =
        std::filesystem::temp_directory_path() / ("mesh_reader_" + std::to_string(getpid()));
    std::filesystem::create_directory(dir);
    const std::string fifo = dir + "/bunny500.m", huge = dir + "/huge.m";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // sparse: no disk space taken
    FILE* f = fopen(huge.c_str(), "w");
    ASSERT_TRUE(f);
    fclose(f);
    std::filesystem::resize_file(huge, (size_t(1) << 30) + 1);
    const struct {
        std::string path, reason;
    } cases[] = {{"/nonexistent/bunny500.m", ""},
                 {dir, "is a directory"},
                 {fifo, "is a named pipe (FIFO), not a regular file"},
                 {"/dev/zero", "is a device, not a regular file"},
                 {huge, "is larger than 1 GiB (1 GiB)"}};
    Mesh mesh;
    for (const auto& c : cases) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_EQ(readMeshFile(mesh, c.path.c_str()), -1);
        std::string err = testing::internal::GetCapturedStderr();
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(out, "Reading coordinates from " + c.path + "\nCould not open file " + c.path + "\n");
        EXPECT_EQ(err, c.reason.empty() ? "" : c.path + ": " + c.reason + "\n");
        EXPECT_TRUE(mesh.vertices.empty());
    }
    std::filesystem::remove_all(dir);
}

TEST(MeshReader, emptyAndCommentOnlyFilesReadSuccessfully)
{
    for (const char* text : {"", "# nothing but a comment\n", "\n\n\r\n  \t", "#"}) {
        SCOPED_TRACE(text);
        Loaded r = loadMeshText(text);
        EXPECT_TRUE(meshes[1].loaded);
        EXPECT_TRUE(meshes[1].vertices.empty());
        EXPECT_TRUE(meshes[1].faces.empty());
        EXPECT_EQ(r.err, r.path + ": no vertices; the mesh is empty\n");
        EXPECT_EQ(findMeshFault(meshes[1]), nullptr);
    }
}

// Bytes that mix the format's own pieces with noise, built the same on every run.
static std::string noisyMeshText(unsigned seed, size_t pieces)
{
    static const char* const parts[] = {"Vertex ",    "Face ",      "{rgb=(", ")}",  " matid=", "\n",  "\r\n",
                                        " ",          "\t",         "1",      "2",   "3",       "-",   "+",
                                        ".",          "e",          "e-40",   "e39", "nan",     "inf", "0x",
                                        "4294967297", "2147483647", "#",      "{",   "}",       "/"};
    std::mt19937 random(seed);
    std::string text;
    for (size_t i = 0; i < pieces; i++) {
        unsigned pick = random() % 40;
        if (pick < std::size(parts))
            text += parts[pick];
        else
            text += char(random() % 256);
    }
    return text;
}

TEST(MeshReader, noisyInputNeverGetsABadLineIntoTheMesh)
{
    for (unsigned seed = 1; seed <= 20; seed++) {
        SCOPED_TRACE(seed);
        loadMeshText(noisyMeshText(seed, 20000));
        EXPECT_EQ(findMeshFault(meshes[1]), nullptr);
    }
}

// Every seed and every input the fuzzer once tripped over loads into a sound mesh.
TEST(MeshReader, fuzzCorpusLoadsIntoSoundMeshes)
{
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(MESHSHADE_FUZZ_CORPUS)) {
        SCOPED_TRACE(entry.path().string());
        restoreStartValues();
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        std::string why;
        EXPECT_TRUE(loadMeshSlot(1, entry.path().c_str(), why)) << why;
        testing::internal::GetCapturedStderr();
        testing::internal::GetCapturedStdout();
        EXPECT_TRUE(meshes[1].loaded);
        EXPECT_EQ(findMeshFault(meshes[1]), nullptr);
        files++;
    }
    EXPECT_GE(files, 3);
}
