// PLY: a text header naming elements and their properties, then the elements'
// values, as text or as binary numbers of either byte order.
#include "mesh/ply_reader.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <sstream>

#include <fast_float/fast_float.h>

namespace {

enum ValueType { TYPE_NONE, INT8, UINT8, INT16, UINT16, INT32, UINT32, FLOAT32, FLOAT64 };

struct Property {
    std::string name;
    ValueType type = TYPE_NONE;      // of the value, or of a list's items
    ValueType countType = TYPE_NONE; // a list's count; TYPE_NONE for a single value
};

struct Element {
    std::string name;
    uint64_t count = 0;
    std::vector<Property> properties;
};

ValueType typeNamed(const std::string& name)
{
    static const struct {
        const char* name;
        ValueType type;
    } TYPES[] = {{"char", INT8},     {"int8", INT8},       {"uchar", UINT8},    {"uint8", UINT8},
                 {"short", INT16},   {"int16", INT16},     {"ushort", UINT16},  {"uint16", UINT16},
                 {"int", INT32},     {"int32", INT32},     {"uint", UINT32},    {"uint32", UINT32},
                 {"float", FLOAT32}, {"float32", FLOAT32}, {"double", FLOAT64}, {"float64", FLOAT64}};
    for (const auto& t : TYPES)
        if (name == t.name) return t.type;
    return TYPE_NONE;
}

size_t sizeOf(ValueType type)
{
    switch (type) {
    case INT8:
    case UINT8:
        return 1;
    case INT16:
    case UINT16:
        return 2;
    case INT32:
    case UINT32:
    case FLOAT32:
        return 4;
    case FLOAT64:
        return 8;
    default:
        return 0;
    }
}

// A value of type T from its bytes in this machine's order.
template <typename T> double decoded(const unsigned char* bytes)
{
    T v;
    memcpy(&v, bytes, sizeof v);
    return double(v);
}

// The values of the body, one at a time, whatever the format.
struct ValueReader {
    const char* at = nullptr;
    const char* end = nullptr;
    bool text = false;
    bool swapBytes = false; // big-endian numbers on this little-endian machine

    // The next value as a double; false at the end of the data or on a bad number.
    bool next(ValueType type, double& value)
    {
        if (text) {
            while (at < end && (*at == ' ' || (*at >= '\t' && *at <= '\r')))
                at++;
            if (at == end) return false;
            const char* start = at;
            while (at < end && !(*at == ' ' || (*at >= '\t' && *at <= '\r')))
                at++;
            const auto result = fast_float::from_chars(start, at, value);
            return result.ec == std::errc() && result.ptr == at;
        }
        const size_t size = sizeOf(type);
        if (size_t(end - at) < size) return false;
        unsigned char bytes[8];
        memcpy(bytes, at, size);
        at += size;
        if (swapBytes)
            for (size_t i = 0; i < size / 2; i++)
                std::swap(bytes[i], bytes[size - 1 - i]);
        switch (type) {
        case INT8:
            value = int8_t(bytes[0]);
            break;
        case UINT8:
            value = bytes[0];
            break;
        case INT16:
            value = decoded<int16_t>(bytes);
            break;
        case UINT16:
            value = decoded<uint16_t>(bytes);
            break;
        case INT32:
            value = decoded<int32_t>(bytes);
            break;
        case UINT32:
            value = decoded<uint32_t>(bytes);
            break;
        case FLOAT32:
            value = decoded<float>(bytes);
            break;
        case FLOAT64:
            value = decoded<double>(bytes);
            break;
        default:
            return false;
        }
        return true;
    }
};

// A colour component: integers count up to their type's largest value.
float colourComponent(ValueType type, double value)
{
    switch (type) {
    case UINT8:
        return float(value / 255.0);
    case UINT16:
        return float(value / 65535.0);
    case FLOAT32:
    case FLOAT64:
        return float(value);
    default:
        return float(value / 255.0);
    }
}

bool parseHeader(const std::string& bytes, std::vector<Element>& elements, ValueReader& reader,
                 std::string& why)
{
    const size_t headerEnd = bytes.find("\nend_header");
    if (bytes.compare(0, 3, "ply") != 0 || headerEnd == std::string::npos) {
        why = "not a PLY file: no \"ply\" line first or no end_header line";
        return false;
    }
    size_t bodyStart = bytes.find('\n', headerEnd + 1);
    bodyStart = bodyStart == std::string::npos ? bytes.size() : bodyStart + 1;
    std::istringstream header(bytes.substr(0, headerEnd));
    std::string line;
    bool formatSeen = false;
    std::getline(header, line); // "ply"
    while (std::getline(header, line)) {
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (keyword == "format") {
            std::string format;
            words >> format;
            reader.text = format == "ascii";
            reader.swapBytes = format == "binary_big_endian";
            if (!reader.text && !reader.swapBytes && format != "binary_little_endian") {
                why = "unknown PLY format \"" + format + "\"";
                return false;
            }
            formatSeen = true;
        } else if (keyword == "element") {
            Element element;
            std::string count;
            // the count in digits only: a stream reads "-1" as the largest count there is
            if (!(words >> element.name >> count) ||
                count.find_first_not_of("0123456789") != std::string::npos || count.size() > 19) {
                why = "a PLY element line without a name and count";
                return false;
            }
            element.count = std::stoull(count);
            elements.push_back(element);
        } else if (keyword == "property") {
            std::string first, second, third;
            words >> first >> second >> third;
            Property property;
            if (first == "list") {
                property.countType = typeNamed(second);
                property.type = typeNamed(third);
                words >> property.name;
                if (property.countType == FLOAT32 || property.countType == FLOAT64)
                    property.countType = TYPE_NONE;
            } else {
                property.type = typeNamed(first);
                property.name = second;
            }
            if (elements.empty() || property.type == TYPE_NONE ||
                (first == "list" && property.countType == TYPE_NONE)) {
                why = "a PLY property line that cannot be read: \"" + line + "\"";
                return false;
            }
            elements.back().properties.push_back(property);
        }
        // "comment", "obj_info" and anything else say nothing about the values
    }
    if (!formatSeen) {
        why = "the PLY header names no format";
        return false;
    }
    reader.at = bytes.data() + bodyStart;
    reader.end = bytes.data() + bytes.size();
    return true;
}

int propertyIndex(const Element& element, const char* a, const char* b = nullptr)
{
    for (size_t i = 0; i < element.properties.size(); i++)
        if (element.properties[i].name == a || (b && element.properties[i].name == b)) return int(i);
    return -1;
}

} // namespace

PlyResult readPly(const std::string& bytes, PlyModel& model, std::string& why)
{
    model = PlyModel();
    std::vector<Element> elements;
    ValueReader reader;
    if (!parseHeader(bytes, elements, reader, why)) return PLY_BAD;

    uint64_t vertexCount = 0;
    bool haveVertices = false;
    for (const Element& element : elements) {
        // every value takes at least one byte (text: a digit and a blank): a
        // count beyond that is a broken header, not a reason to allocate
        const size_t perItem =
            element.properties.empty() ? 0 : element.properties.size() * (reader.text ? 2 : 1);
        if (perItem && element.count > size_t(reader.end - reader.at) / perItem) {
            why = "the file ends before its " + std::to_string(element.count) + " " + element.name +
                  " elements";
            return PLY_BAD;
        }
        const bool isVertex = element.name == "vertex" && !haveVertices;
        const bool isFace = element.name == "face";
        int xyz[3] = {-1, -1, -1}, rgb[3] = {-1, -1, -1}, indices = -1;
        if (isVertex) {
            xyz[0] = propertyIndex(element, "x"), xyz[1] = propertyIndex(element, "y"),
            xyz[2] = propertyIndex(element, "z");
            if (xyz[0] < 0 || xyz[1] < 0 || xyz[2] < 0 || element.properties[size_t(xyz[0])].countType ||
                element.properties[size_t(xyz[1])].countType ||
                element.properties[size_t(xyz[2])].countType) {
                why = "the PLY vertices have no x, y and z";
                return PLY_BAD;
            }
            haveVertices = true;
            vertexCount = element.count;
            model.positions.reserve(element.count * 3);
        }
        if (isVertex || isFace) {
            rgb[0] = propertyIndex(element, "red", "diffuse_red");
            rgb[1] = propertyIndex(element, "green", "diffuse_green");
            rgb[2] = propertyIndex(element, "blue", "diffuse_blue");
            for (int c : rgb)
                if (c >= 0 && element.properties[size_t(c)].countType) rgb[0] = -1;
        }
        const bool coloured = rgb[0] >= 0 && rgb[1] >= 0 && rgb[2] >= 0;
        if (isVertex && coloured) model.hasVertexColours = true;
        if (isFace) {
            indices = propertyIndex(element, "vertex_indices", "vertex_index");
            if (indices < 0 || !element.properties[size_t(indices)].countType) {
                why = "the PLY faces have no vertex_indices list";
                return PLY_BAD;
            }
            if (coloured) model.hasFaceColours = true;
            model.corners.reserve(element.count * 3);
        }

        // an element of no properties takes no bytes, however many it counts
        if (element.properties.empty()) continue;
        for (uint64_t item = 0; item < element.count; item++) {
            float position[3] = {0, 0, 0}, colour[3] = {0, 0, 0};
            uint32_t corner[3] = {0, 0, 0};
            uint64_t cornerCount = 0;
            for (size_t p = 0; p < element.properties.size(); p++) {
                const Property& property = element.properties[p];
                double value = 0;
                if (property.countType) {
                    double count = 0;
                    if (!reader.next(property.countType, count) || count < 0 || count > 1e6) {
                        why = "the PLY data ends early or holds a bad list";
                        return PLY_BAD;
                    }
                    if (int(p) == indices) {
                        cornerCount = uint64_t(count);
                        if (cornerCount > 3) return PLY_POLYGONS;
                    }
                    for (uint64_t i = 0; i < uint64_t(count); i++) {
                        if (!reader.next(property.type, value)) {
                            why = "the PLY data ends early or holds a bad number";
                            return PLY_BAD;
                        }
                        if (int(p) == indices) {
                            if (!(value >= 0 && value < double(vertexCount)) || !haveVertices) {
                                why = "a PLY face names a vertex the file does not have";
                                return PLY_BAD;
                            }
                            corner[i] = uint32_t(value);
                        }
                    }
                    continue;
                }
                if (!reader.next(property.type, value)) {
                    why = "the PLY data ends early or holds a bad number";
                    return PLY_BAD;
                }
                for (int k = 0; k < 3; k++) {
                    if (int(p) == xyz[k]) position[k] = float(value);
                    if (int(p) == rgb[k]) colour[k] = colourComponent(property.type, value);
                }
            }
            if (isVertex) {
                for (float x : position)
                    if (!std::isfinite(x)) {
                        why = "a vertex has a coordinate that is not a finite number";
                        return PLY_BAD;
                    }
                model.positions.insert(model.positions.end(), position, position + 3);
                if (model.hasVertexColours)
                    model.vertexColours.insert(model.vertexColours.end(), colour, colour + 3);
            } else if (isFace && cornerCount == 3) {
                // points and lines are not drawn
                model.corners.insert(model.corners.end(), corner, corner + 3);
                if (model.hasFaceColours)
                    model.faceColours.insert(model.faceColours.end(), colour, colour + 3);
            }
        }
    }
    if (!haveVertices) {
        why = "the PLY file has no vertex element";
        return PLY_BAD;
    }
    return PLY_READ;
}
