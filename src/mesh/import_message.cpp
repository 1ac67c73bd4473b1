// The reply's layout, in the byte order of the machine (both ends are one
// program): an 8-byte mark, the outcome, flags, the counts of vertices, faces
// and text bytes, the budget; then the text (reason or left-out lines, one per
// line), the positions, the corners, a byte per face telling whether it is
// coloured, and when any face is, three floats of colour per face.
#include "mesh/import_message.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace {

const char MARK[8] = {'M', 'S', 'I', 'M', 'P', 'O', 'R', 'T'};
const uint32_t HAS_COLOURS = 1;
// Texts longer than this are cut: a reason is one line on the console.
const uint64_t MAX_TEXT_BYTES = 64 * 1024;

struct Header {
    char mark[8];
    uint32_t outcome;
    uint32_t flags;
    uint64_t vertices;
    uint64_t faces;
    uint64_t textBytes;
    uint64_t budgetBytes;
};
static_assert(sizeof(Header) == 48, "the reply's header has no padding");

bool writeAll(int fd, const void* data, size_t size)
{
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, at, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        at += n;
        size -= size_t(n);
    }
    return true;
}

// Bytes of everything after the header; 0 when the counts are beyond the limits.
uint64_t bodyBytes(const Header& h)
{
    if (h.faces > MAX_MODEL_FACES || h.vertices > 3 * uint64_t(MAX_MODEL_FACES) ||
        h.textBytes > MAX_TEXT_BYTES)
        return 0;
    const uint64_t colours = (h.flags & HAS_COLOURS) ? h.faces * 12 : 0;
    return h.textBytes + h.vertices * 12 + h.faces * 13 + colours;
}

// A console line: control characters become blanks.
std::string printable(std::string text)
{
    for (char& c : text)
        if ((unsigned char)c < 32 || c == 127) c = ' ';
    return text;
}

} // namespace

bool writeOutOfMemoryReply(int fd, uint64_t budgetBytes)
{
    Header h = {};
    memcpy(h.mark, MARK, sizeof MARK);
    h.outcome = IMPORT_OUT_OF_MEMORY;
    h.budgetBytes = budgetBytes;
    return writeAll(fd, &h, sizeof h);
}

bool writeImportReply(int fd, const ImportReply& reply)
{
    const ImportedModel& m = reply.model;
    const bool read = reply.outcome == IMPORT_READ;
    std::string text = read ? "" : reply.why;
    if (read)
        for (const std::string& line : reply.leftOut)
            text += printable(line) + "\n";
    if (text.size() > MAX_TEXT_BYTES) text.resize(MAX_TEXT_BYTES);
    Header h = {};
    memcpy(h.mark, MARK, sizeof MARK);
    h.outcome = reply.outcome;
    const size_t faces = read ? m.coloured.size() : 0;
    h.flags = read && m.colours.size() == faces * 3 && faces > 0 ? HAS_COLOURS : 0;
    h.vertices = read ? m.positions.size() / 3 : 0;
    h.faces = faces;
    h.textBytes = text.size();
    h.budgetBytes = reply.budgetBytes;
    return writeAll(fd, &h, sizeof h) && writeAll(fd, text.data(), text.size()) &&
           writeAll(fd, m.positions.data(), size_t(h.vertices) * 12) &&
           writeAll(fd, m.corners.data(), faces * 12) && writeAll(fd, m.coloured.data(), faces) &&
           (!(h.flags & HAS_COLOURS) || writeAll(fd, m.colours.data(), faces * 12));
}

bool readImportReply(const ReplySource& source, ImportReply& reply, std::string& why)
{
    reply = ImportReply();
    Header h;
    if (!source(&h, sizeof h) || memcmp(h.mark, MARK, sizeof MARK) != 0) {
        why = "its reply is cut off or not one";
        return false;
    }
    if (h.outcome != IMPORT_READ && h.outcome != IMPORT_REFUSED && h.outcome != IMPORT_OUT_OF_MEMORY) {
        why = "its reply has no outcome";
        return false;
    }
    if (bodyBytes(h) == 0 && (h.vertices | h.faces | h.textBytes) != 0) {
        why = "its reply counts more than the viewer reads";
        return false;
    }
    reply.outcome = ImportOutcome(h.outcome);
    reply.budgetBytes = h.budgetBytes;
    std::string text(size_t(h.textBytes), '\0');
    if (!source(&text[0], text.size())) {
        why = "its reply is cut off";
        return false;
    }
    if (reply.outcome != IMPORT_READ) {
        if (h.vertices || h.faces) {
            why = "its reply holds a model and a refusal";
            return false;
        }
        reply.why = printable(text);
        if (reply.outcome == IMPORT_REFUSED && reply.why.empty())
            reply.why = "not a model file the viewer can read";
        return true;
    }
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) reply.leftOut.push_back(printable(text.substr(start, end - start)));
    }

    // The arrays, read straight into their places, growing as their bytes
    // come: counts that the bytes do not follow cost no memory.
    ImportedModel& m = reply.model;
    const size_t vertices = size_t(h.vertices), faces = size_t(h.faces);
    auto take = [&source](auto& array, size_t count) {
        for (size_t done = 0; done < count;) {
            const size_t next = std::min(count, std::max(done * 2, size_t(1) << 20));
            array.resize(next);
            if (!source(&array[done], (next - done) * sizeof array[0])) return false;
            done = next;
        }
        return true;
    };
    if (!take(m.positions, vertices * 3) || !take(m.corners, faces * 3) || !take(m.coloured, faces) ||
        ((h.flags & HAS_COLOURS) && !take(m.colours, faces * 3))) {
        why = "its reply is cut off";
        return false;
    }
    for (float x : m.positions)
        if (!std::isfinite(x)) {
            why = "its reply holds a coordinate that is not a finite number";
            return false;
        }
    for (uint32_t corner : m.corners)
        if (corner >= vertices) {
            why = "its reply holds a face that names no vertex";
            return false;
        }
    for (size_t f = 0; f < faces; f++) {
        if (m.coloured[f] > 1 || (m.coloured[f] && m.colours.empty())) {
            why = "its reply holds a colour it does not give";
            return false;
        }
        if (m.coloured[f] && !std::isfinite(m.colours[f * 3] + m.colours[f * 3 + 1] + m.colours[f * 3 + 2])) {
            why = "its reply holds a colour that is not a finite number";
            return false;
        }
    }
    return true;
}

bool decodeImportReply(const std::string& bytes, ImportReply& reply, std::string& why)
{
    size_t at = 0;
    const ReplySource fromBytes = [&](void* into, size_t size) {
        if (size > bytes.size() - at) return false;
        memcpy(into, bytes.data() + at, size);
        at += size;
        return true;
    };
    if (!readImportReply(fromBytes, reply, why)) return false;
    if (at != bytes.size()) {
        why = "its reply goes on past its end";
        return false;
    }
    return true;
}
