// The .m reader. The file is read once, in big chunks, and cut into lines; at
// most the first 255 characters of each line are interpreted and the rest of the
// line is skipped, however long it is.
#include "mesh/mesh_reader.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <string>

#include <fast_float/fast_float.h>

#include "io/bounded_file.h"
#include "mesh/digit_runs.h"
#include "mesh/mesh_prepare.h"

// Characters of a line that are interpreted, counted from its first non-blank one.
static const size_t MAX_LINE_CHARS = 255;

// White space as isspace() sees it in the C locale, by byte value: a table
// takes fewer instructions than the comparisons, on every byte between numbers.
struct BlankTable {
    bool blank[256] = {};
    constexpr BlankTable()
    {
        for (int c = '\t'; c <= '\r'; c++)
            blank[c] = true;
        blank[int(' ')] = true;
    }
};
static constexpr BlankTable BLANKS;

static inline bool isBlank(char c)
{
    return BLANKS.blank[uint8_t(c)];
}

static inline bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A keyword of at most eight characters, as eightBytesAt would load it, and
// which of the eight bytes it fills.
struct Keyword {
    uint64_t bytes = 0;
    uint64_t mask = 0;
};

static constexpr Keyword keyword(const char* text)
{
    Keyword k;
    for (int i = 0; text[i] != '\0'; i++) {
        k.bytes |= uint64_t(uint8_t(text[i])) << (8 * i);
        k.mask |= uint64_t(0xFF) << (8 * i);
    }
    return k;
}

static constexpr Keyword VERTEX_KEYWORD = keyword("Vertex "), FACE_KEYWORD = keyword("Face "),
                         RGB_KEYWORD = keyword("rgb=");

// Whether the line at `s` goes on with `k`: one load, as lines are padded (see
// LINE_PADDING).
static inline bool startsWith(const char* s, Keyword k)
{
    return (eightBytesAt(s) & k.mask) == k.bytes;
}

static bool fail(const char** problem, const char* why)
{
    if (problem) *problem = why;
    return false;
}

// Powers of ten that are exact floats (5^8 fits the 24-bit significand).
static const float POWERS_OF_TEN[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f};
static const uint32_t DECIMAL_SHIFTS[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};

// The common number of a mesh file, a plain decimal such as "0.654321" with at
// most eight digits whose value as an integer stays below 2^24: that integer and
// the power of ten are exact floats, so one division rounds exactly as a full
// conversion does. False for anything else (an exponent, more digits,
// hexadecimal, inf, nan), which the general conversion then reads.
__attribute__((always_inline)) static inline bool scanShortDecimal(const char* s, float* value,
                                                                   const char** after)
{
    // A run of eight digits may go on: such numbers take the general way.
    const uint64_t integerBytes = eightBytesAt(s);
    const int integerDigits = leadingDigits(integerBytes);
    if (integerDigits == 8) return false;
    uint32_t mantissa = integerDigits > 0 ? digitsValue(integerBytes, integerDigits) : 0;
    s += integerDigits;
    int fractionDigits = 0;
    if (*s == '.') {
        const uint64_t fractionBytes = eightBytesAt(s + 1);
        fractionDigits = leadingDigits(fractionBytes);
        if (fractionDigits == 8 || integerDigits + fractionDigits > 8) return false;
        if (fractionDigits > 0)
            mantissa = mantissa * DECIMAL_SHIFTS[fractionDigits] + digitsValue(fractionBytes, fractionDigits);
        s += 1 + fractionDigits;
    }
    if (integerDigits + fractionDigits == 0 || mantissa >= (1u << 24)) return false;
    if (*s == 'e' || *s == 'E' || *s == 'x' || *s == 'X') return false;
    *value = float(mantissa) / POWERS_OF_TEN[fractionDigits];
    *after = s;
    return true;
}

// The rest of scanFloat, for anything but a short decimal: `start` is where the
// number starts (its sign included), `s` is past the sign.
static bool scanLongFloat(const char** p, const char* start, const char* s, bool negative, const char* end,
                          float* value, bool* notFinite)
{
    float v = 0;
    const char* after;
    auto parsed = fast_float::from_chars(s, end, v);
    bool hex = s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
    if (parsed.ec == std::errc() && !hex) {
        after = parsed.ptr;
        if (negative) v = -v;
    } else if (parsed.ec == std::errc::invalid_argument) {
        return false;
    } else {
        // Hexadecimal floats, and values beyond the float range (strtof gives
        // infinity or zero there, as scanf would); both are rare.
        char* stop;
        v = strtof(start, &stop);
        if (stop == start) return false;
        after = stop;
    }
    if (!std::isfinite(v)) *notFinite = true;
    *value = v;
    *p = after;
    return true;
}

// Reads one number as scanf's %g does: leading white space, an optional sign, then
// a decimal or hexadecimal float, "inf", "infinity" or "nan". Moves *p past it;
// false when no number starts there. `end` is the end of the line. Sets
// *notFinite for infinity, nan and values beyond the float range, and leaves it
// alone otherwise. The common short decimal, always finite, is read here,
// anything else by scanLongFloat. Always inlined: GCC keeps it a call, which
// costs a big file several percent of its reading.
__attribute__((always_inline)) static inline bool scanFloat(const char** p, const char* end, float* value,
                                                            bool* notFinite)
{
    const char* s = *p;
    while (isBlank(*s))
        s++;
    const char* start = s;
    bool negative = false;
    if (*s == '+' || *s == '-') {
        negative = *s == '-';
        s++;
        if (*s == '+' || *s == '-') return false;
    }
    float v;
    const char* after;
    if (scanShortDecimal(s, &v, &after)) {
        *value = negative ? -v : v;
        *p = after;
        return true;
    }
    return scanLongFloat(p, start, s, negative, end, value, notFinite);
}

// Passes over an integer as scanf's %d reads it: white space, an optional sign
// and at least one digit. The value is not needed, so any length is accepted.
static bool skipInteger(const char** p)
{
    const char* s = *p;
    while (isBlank(*s))
        s++;
    if (*s == '+' || *s == '-') s++;
    if (!isDigit(*s)) return false;
    *p = pastDigits(s);
    return true;
}

// "Vertex %d %g %g %g": the number is read and dropped, vertices count by order.
static bool parseVertex(Mesh& mesh, const char* line, const char* end, const char** problem)
{
    const char* s = line + 7;
    if (!skipInteger(&s)) return fail(problem, "vertex line has no vertex number after \"Vertex \"");
    float position[3];
    bool notFinite = false;
    for (float& coordinate : position)
        if (!scanFloat(&s, end, &coordinate, &notFinite))
            return fail(problem, "vertex line does not hold three coordinates");
    if (notFinite)
        return fail(problem, "vertex coordinate is infinite, not a number or beyond the float range");

    Vertex& vertex = mesh.vertices.emplace_back();
    for (int i = 0; i < 3; i++) {
        vertex.position[i] = position[i];
        mesh.centroid[i] += position[i];
        // without branches on the coordinates
        mesh.boundsMax[i] = position[i] > mesh.boundsMax[i] ? position[i] : mesh.boundsMax[i];
        mesh.boundsMin[i] = position[i] < mesh.boundsMin[i] ? position[i] : mesh.boundsMin[i];
    }
    return true;
}

// "Face" with its own number, then vertex numbers, then an optional "{...}" block.
// The whole line is checked before anything in the mesh changes.
static bool parseFace(Mesh& mesh, const char* line, const char* end, const char** problem, bool* moreCorners)
{
    const char* s = line + 4;
    const int64_t vertexCount = int64_t(mesh.vertices.size());
    int32_t corners[3];
    int numbers = 0; // the face's own number included
    for (;;) {
        while (isBlank(*s))
            s++;
        if (*s == '\0' || *s == '{') break;
        if (!isDigit(*s))
            return fail(problem,
                        "face number list holds a character other than digits, white space and \"{\"");
        if (numbers < 1 || numbers > 3) {
            // the face's own number, and corners after the third, are not kept
            s = pastDigits(s);
            numbers++;
            continue;
        }
        // Up to seven digits after any leading zeros are read at once; ten hold
        // any int, and a longer number names no vertex anyway.
        while (*s == '0')
            s++;
        const uint64_t bytes = eightBytesAt(s);
        const int run = leadingDigits(bytes);
        int64_t n = 0;
        if (run > 0 && run < 8) {
            n = digitsValue(bytes, run);
            s += run;
        } else {
            const char* digits = s;
            for (; isDigit(*s) && s - digits < 10; s++)
                n = n * 10 + (*s - '0');
            if (isDigit(*s)) {
                n = INT64_MAX;
                s = pastDigits(s);
            }
        }
        if (n < 1 || n > vertexCount)
            return fail(problem,
                        "face names vertex 0 or a vertex that is not among the vertices read before it");
        corners[numbers - 1] = int32_t(n);
        numbers++;
    }
    if (numbers < 4) return fail(problem, "face has fewer than three vertex numbers");
    if (moreCorners) *moreCorners = numbers > 4;

    // "{rgb=(r g b" gives the face its own material; any other block is ignored.
    bool coloured = false;
    float rgb[3];
    if (*s == '{' && startsWith(s + 1, RGB_KEYWORD)) {
        s += 5;
        if (*s != '(') return fail(problem, "colour block does not hold three numbers after \"rgb=(\"");
        s++;
        bool notFinite = false;
        for (float& c : rgb)
            if (!scanFloat(&s, end, &c, &notFinite))
                return fail(problem, "colour block does not hold three numbers after \"rgb=(\"");
        if (notFinite)
            return fail(problem, "colour value is infinite, not a number or beyond the float range");
        coloured = true;
    }

    // Copied from a blank record rather than value-initialised in place, which
    // compiles to a slow string store on a million faces.
    static const Face BLANK_FACE;
    mesh.faces.push_back(BLANK_FACE);
    Face& face = mesh.faces.back();
    for (int k = 0; k < 3; k++)
        face.corners[k] = corners[k];
    addFaceGeometry(mesh, face);
    if (coloured) giveFaceOwnColour(face, rgb);
    return true;
}

// Readable bytes that must follow a line's terminating zero: numbers are read
// eight bytes at a time, and a load may start at the zero itself.
static const size_t LINE_PADDING = 7;

// parseMeshLine for a line whose end (its terminating zero) is known and is
// followed by LINE_PADDING readable bytes.
static bool parseLine(Mesh& mesh, const char* line, const char* end, const char** problem, bool* moreCorners)
{
    if (moreCorners) *moreCorners = false;
    if (line[0] == '#') return true;
    if (startsWith(line, VERTEX_KEYWORD)) return parseVertex(mesh, line, end, problem);
    if (startsWith(line, FACE_KEYWORD)) return parseFace(mesh, line, end, problem, moreCorners);
    return true;
}

bool parseMeshLine(Mesh& mesh, const char* line, const char** problem, bool* moreCorners)
{
    std::string padded(line);
    const size_t length = padded.size();
    padded.append(LINE_PADDING, '\0');
    return parseLine(mesh, padded.c_str(), padded.c_str() + length, problem, moreCorners);
}

// Bytes read from the file at a time. Tests of the reader may build it with a
// small chunk, so that lines often straddle two chunks.
#ifndef MESH_READ_CHUNK_BYTES
#define MESH_READ_CHUNK_BYTES (1 << 20)
#endif
static const size_t CHUNK_BYTES = MESH_READ_CHUNK_BYTES;
static_assert(CHUNK_BYTES > MAX_LINE_CHARS, "a chunk must hold the interpreted part of a line");

// A file read in chunks and handed out line by line, in place.
struct LineSource {
    int file = -1;
    // CHUNK_BYTES, one byte for the zero after a line that ends the chunk, and
    // LINE_PADDING; unread bytes are bytes[begin, end)
    char* bytes = nullptr;
    size_t begin = 0;
    size_t end = 0;
    // The line handed out last is zero-terminated in place: the byte the zero
    // replaced, at bytes[begin], and whether the rest of that line is still to skip.
    char replaced = 0;
    bool lineHandedOut = false;
    bool restToSkip = false;
    bool readError = false;
    int readErrno = 0;   // of the failed read
    long lineNumber = 1; // of the next unread byte
};

// Moves the unread bytes to the front and reads more after them. False at the
// end of the file or on a read error.
static bool refill(LineSource& source)
{
    size_t unread = source.end - source.begin;
    memmove(source.bytes, source.bytes + source.begin, unread);
    source.begin = 0;
    source.end = unread;
    ssize_t got;
    do
        got = read(source.file, source.bytes + unread, CHUNK_BYTES - unread);
    while (got < 0 && errno == EINTR);
    if (got <= 0) {
        source.readError = got < 0;
        if (got < 0) source.readErrno = errno;
        return false;
    }
    source.end += size_t(got);
    return true;
}

// Points `line` at the next line, without its leading white space and cut to
// 255 characters, zero-terminated in the chunk itself at `lineEnd`; valid until
// the next call, which passes over the rest of it however long. False when the
// file has no more lines.
static bool nextLine(LineSource& source, char** line, char** lineEnd, long* lineNumber)
{
    if (source.lineHandedOut) {
        source.bytes[source.begin] = source.replaced;
        source.lineHandedOut = false;
    }
    // The rest of the last line goes unread. Its line feed stays for the blank
    // skipping below, which counts it.
    while (source.restToSkip) {
        const char* start = source.bytes + source.begin;
        const char* lineFeed = static_cast<const char*>(memchr(start, '\n', source.end - source.begin));
        if (lineFeed) {
            source.begin += size_t(lineFeed - start);
            break;
        }
        source.begin = source.end;
        if (!refill(source)) break;
    }
    source.restToSkip = false;

    // Blank lines and leading white space; a carriage return is white space too.
    for (;;) {
        while (source.begin < source.end && isBlank(source.bytes[source.begin])) {
            if (source.bytes[source.begin] == '\n') source.lineNumber++;
            source.begin++;
        }
        if (source.begin < source.end) break;
        if (!refill(source)) return false;
    }
    *lineNumber = source.lineNumber;

    // The interpreted part: up to the line feed, at most 255 characters.
    size_t length;
    bool lineFeedSeen;
    for (;;) {
        const char* start = source.bytes + source.begin;
        size_t unread = source.end - source.begin;
        size_t window = unread < MAX_LINE_CHARS ? unread : MAX_LINE_CHARS;
        const char* lineFeed = static_cast<const char*>(memchr(start, '\n', window));
        if (lineFeed || unread >= MAX_LINE_CHARS || !refill(source)) {
            lineFeedSeen = lineFeed != nullptr;
            length = lineFeed ? size_t(lineFeed - start) : window;
            break;
        }
    }
    *line = source.bytes + source.begin;
    source.begin += length;
    // at most bytes[end], the one byte past the chunk
    source.replaced = source.bytes[source.begin];
    source.bytes[source.begin] = '\0';
    *lineEnd = source.bytes + source.begin;
    source.lineHandedOut = true;
    source.restToSkip = !lineFeedSeen;
    return true;
}

// Asks the kernel to back the whole pages of a big, not yet touched range with
// huge pages: filling a mesh of a million faces otherwise spends much of its
// time taking page faults. Only a hint; nothing changes if it is not taken.
static void adviseHugePages(const void* start, size_t bytes)
{
    const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
    uintptr_t first = (uintptr_t(start) + page - 1) & ~(page - 1);
    uintptr_t last = (uintptr_t(start) + bytes) & ~(page - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

// Malformed lines warned about one by one; the rest of a file's are counted.
static const long MAX_LINE_WARNINGS = 20;

// The shortest lines that add a vertex or a face ("Vertex 1 0 0 0\n", "Face 1 1 2 3\n").
static const size_t SHORTEST_VERTEX_LINE = 15;
static const size_t SHORTEST_FACE_LINE = 13;

// Makes room at once for as many vertices and faces as a file of this size can
// hold, so that a big mesh is never copied as its sequences grow. The room is
// only address space: pages the mesh never fills are never backed by memory.
// When even that cannot be had, the sequences simply grow as they are filled.
static void reserveForFileSize(Mesh& mesh, size_t bytes)
{
    if (bytes < CHUNK_BYTES) return;
    const size_t vertexLines = bytes / SHORTEST_VERTEX_LINE, faceLines = bytes / SHORTEST_FACE_LINE;
    try {
        mesh.vertices.reserve(mesh.vertices.size() + vertexLines);
        mesh.faces.reserve(mesh.faces.size() + faceLines);
    } catch (const std::exception&) {
        return;
    }
    adviseHugePages(mesh.faces.data() + mesh.faces.size(), faceLines * sizeof(Face));
    adviseHugePages(mesh.vertices.data() + mesh.vertices.size(), vertexLines * sizeof(Vertex));
}

int readMeshFile(Mesh& mesh, const char* path)
{
    printf("Reading coordinates from %s\n", path);
    LineSource source;
    std::string why;
    size_t bytes = 0;
    errno = 0;
    source.file = openRegularFile(path, MAX_MESH_FILE_BYTES, why, &bytes);
    const bool missing = source.file < 0 && errno == ENOENT;
    // zeroed: bytes no read has filled yet may be loaded, though never used
    std::unique_ptr<char[]> chunk(source.file >= 0 ? new (std::nothrow) char[CHUNK_BYTES + 1 + LINE_PADDING]()
                                                   : nullptr);
    if (!chunk) {
        if (source.file >= 0) {
            close(source.file);
            why = "no memory to read it";
        }
        printf("Could not open file %s\n", path);
        // a missing file needs no more words; a pipe, a device or a huge file does
        if (!missing) fprintf(stderr, "%s: %s\n", path, why.c_str());
        return -1;
    }
    source.bytes = chunk.get();
    reserveForFileSize(mesh, bytes);

    char *line = nullptr, *lineEnd = nullptr;
    long lineNumber = 0, malformed = 0, moreCornerFaces = 0;
    while (nextLine(source, &line, &lineEnd, &lineNumber)) {
        const char* problem = nullptr;
        bool moreCorners = false;
        if (!parseLine(mesh, line, lineEnd, &problem, &moreCorners) && ++malformed <= MAX_LINE_WARNINGS)
            fprintf(stderr, "%s:%ld: %s; line skipped\n", path, lineNumber, problem);
        if (moreCorners) moreCornerFaces++;
    }
    // a file that is not a mesh at all would otherwise bury the console
    if (malformed > MAX_LINE_WARNINGS)
        fprintf(stderr, "%s: %ld more malformed lines skipped\n", path, malformed - MAX_LINE_WARNINGS);
    // only the first three corners of a face are drawn: say why such a mesh looks torn
    if (moreCornerFaces > 0)
        fprintf(stderr, "%s: %ld faces have more than three corners; only their first three are used\n", path,
                moreCornerFaces);
    close(source.file);
    // A file that opens but does not read (a failing disk) is as unusable as one
    // that does not open.
    if (source.readError) {
        printf("Could not open file %s\n", path);
        fprintf(stderr, "%s: %s\n", path, strerror(source.readErrno));
        return -1;
    }
    return 0;
}
