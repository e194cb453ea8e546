// A small SWF reader written independently of the writer, so tests check the bytes against
// the file format rather than against the writer's own idea of it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace swftest {

using Bytes = std::vector<uint8_t>;

class BitReader {
  public:
    BitReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint32_t UB(unsigned bits);
    int32_t SB(unsigned bits);
    double FB(unsigned bits) { return SB(bits) / 65536.0; }
    void Align() { bit_ = (bit_ + 7) & ~size_t{7}; }
    size_t BytePos() const { return (bit_ + 7) / 8; }
    bool ok() const { return ok_; }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t bit_ = 0;
    bool ok_ = true;
};

struct Rect {
    unsigned bits = 0;
    int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};
Rect ReadRect(BitReader& r);

struct Tag {
    uint16_t code = 0;
    bool longHeader = false;
    Bytes body;
};

struct Movie {
    bool ok = false;
    std::string error;
    char signature = 0;  // 'F' or 'C'
    uint8_t version = 0;
    uint32_t fileLength = 0;      // from the header
    size_t uncompressedSize = 0;  // actual, including the 8-byte prefix
    Rect stage;
    uint16_t frameRateRaw = 0;
    uint16_t frameCount = 0;
    std::vector<Tag> tags;  // including End
};

Movie ReadMovie(const Bytes& file);
// Tags inside a tag body (DefineSprite's control tags).
std::vector<Tag> ReadTags(const uint8_t* data, size_t size, bool& ok);

inline uint16_t U16(const Bytes& b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}
Bytes Hex(const std::string& text);  // "96 04 00" -> bytes; blanks ignored
std::string ToHex(const Bytes& b);

}  // namespace swftest

namespace swftest {

// A decoded shape: styles and every edge with absolute twip coordinates.
struct ShapeEdge {
    bool curve = false;
    int32_t fromX = 0, fromY = 0, controlX = 0, controlY = 0, toX = 0, toY = 0;
    uint32_t fill0 = 0, fill1 = 0, line = 0;  // styles in effect
};
struct DecodedShape {
    bool ok = false;
    uint16_t id = 0;
    Rect bounds;
    std::vector<uint32_t> fills;                       // 0xRRGGBBAA
    std::vector<std::pair<uint16_t, uint32_t>> lines;  // width, 0xRRGGBBAA
    std::vector<ShapeEdge> edges;
    int moves = 0;
};
DecodedShape DecodeShape(const Bytes& body, int version);

struct DecodedPlace {
    bool ok = false;
    uint8_t flags = 0;
    uint16_t depth = 0, character = 0, ratio = 0, clipDepth = 0;
    bool hasMatrix = false;
    double a = 1, b = 0, c = 0, d = 1;
    int32_t tx = 0, ty = 0;
    bool hasColor = false;
    int32_t mul[4] = {256, 256, 256, 256}, add[4] = {0, 0, 0, 0};
    std::string name;
    size_t clipActionsAt = 0;  // offset of the clip actions in the body
};
DecodedPlace DecodePlace2(const Bytes& body);

}  // namespace swftest
