// DefineShape 1-4 records -> ShapeDefinition. Edges are collected with their
// fill0/fill1/line styles and handed to buildShapeGeometry, which joins them into
// closed contours per fill.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/swf_format.h"
#include "player/core/shape_definition.h"
#include "player/core/shape_geometry.h"

namespace kestrel::player {

namespace {

constexpr size_t kMaxEdgesPerShape = 1000000;

struct StyleTables {
    std::vector<FillStyle>& fills;
    std::vector<LineStyleInfo>& lines;
};

Rgba readColor(ByteReader& r, int shapeVersion) {
    return shapeVersion >= 3 ? r.rgba() : r.rgb();
}

// GRADIENT / FOCALGRADIENT records. The average of the stops stands in as the
// style's approximate colour.
void readGradient(ByteReader& r, int shapeVersion, FillStyle& style) {
    uint8_t head = r.u8();
    unsigned count = head & 0x0F;
    unsigned spread = head >> 6;
    style.spread = spread == 1   ? FillStyle::Reflect
                   : spread == 2 ? FillStyle::Repeat
                                 : FillStyle::Pad;
    style.linearRgb = ((head >> 4) & 3) == 1;
    unsigned sum[4] = {0, 0, 0, 0};
    for (unsigned i = 0; i < count && r.ok(); ++i) {
        GradientStop stop;
        stop.ratio = r.u8();
        stop.color = readColor(r, shapeVersion);
        sum[0] += stop.color.r;
        sum[1] += stop.color.g;
        sum[2] += stop.color.b;
        sum[3] += stop.color.a;
        style.stops.push_back(stop);
    }
    if (style.kind == FillStyle::FocalGradient)
        style.focalPoint = std::clamp(static_cast<int16_t>(r.u16()) / 256.0, -1.0, 1.0);
    if (count == 0) {
        style.color = Rgba{0, 0, 0, 255};
        return;
    }
    style.color = Rgba{static_cast<uint8_t>(sum[0] / count), static_cast<uint8_t>(sum[1] / count),
                       static_cast<uint8_t>(sum[2] / count), static_cast<uint8_t>(sum[3] / count)};
}

FillStyle readFillStyle(ByteReader& r, int shapeVersion) {
    FillStyle style;
    uint8_t type = r.u8();
    switch (type) {
        case swf::kFillSolid:
            style.color = readColor(r, shapeVersion);
            break;
        case swf::kFillLinearGradient:
        case swf::kFillRadialGradient:
        case swf::kFillFocalGradient:
            style.kind = type == swf::kFillLinearGradient   ? FillStyle::LinearGradient
                         : type == swf::kFillRadialGradient ? FillStyle::RadialGradient
                                                            : FillStyle::FocalGradient;
            style.matrix = r.matrix();
            readGradient(r, shapeVersion, style);
            break;
        case swf::kFillRepeatingBitmap:
        case swf::kFillClippedBitmap:
        case swf::kFillHardRepeatingBitmap:
        case swf::kFillHardClippedBitmap:
            // Bitmaps are not decoded: a neutral grey stands in for the picture.
            style.kind = FillStyle::Bitmap;
            style.bitmapRepeats =
                type == swf::kFillRepeatingBitmap || type == swf::kFillHardRepeatingBitmap;
            style.bitmapSmoothed =
                type == swf::kFillRepeatingBitmap || type == swf::kFillClippedBitmap;
            style.bitmapId = r.u16();
            style.matrix = r.matrix();
            style.color = Rgba{192, 192, 192, 255};
            break;
        default:
            r.fail();
            break;
    }
    return style;
}

unsigned readCount(ByteReader& r, int shapeVersion) {
    unsigned count = r.u8();
    if (count == 0xFF && shapeVersion >= 2) count = r.u16();
    return count;
}

LineStyleInfo::Cap CapOf(unsigned bits) {
    bits &= 3;
    return bits == swf::kCapNone     ? LineStyleInfo::NoCap
           : bits == swf::kCapSquare ? LineStyleInfo::SquareCap
                                     : LineStyleInfo::RoundCap;
}

bool readStyles(ByteReader& r, int shapeVersion, StyleTables& t) {
    unsigned fillCount = readCount(r, shapeVersion);
    for (unsigned i = 0; i < fillCount && r.ok(); ++i)
        t.fills.push_back(readFillStyle(r, shapeVersion));
    unsigned lineCount = readCount(r, shapeVersion);
    for (unsigned i = 0; i < lineCount && r.ok(); ++i) {
        LineStyleInfo line;
        line.width = r.u16();
        if (shapeVersion >= 4) {
            uint8_t flags0 = r.u8();
            uint8_t flags1 = r.u8();
            line.startCap = CapOf(flags0 >> swf::kLineStartCapShift);
            line.endCap = CapOf(flags1 & swf::kLineEndCapMask);
            unsigned join = (flags0 >> swf::kLineJoinShift) & 3;
            line.join = join == swf::kJoinBevel   ? LineStyleInfo::BevelJoin
                        : join == swf::kJoinMiter ? LineStyleInfo::MiterJoin
                                                  : LineStyleInfo::RoundJoin;
            bool hasFill = (flags0 & swf::kLineHasFill) != 0;
            bool noHScale = (flags0 & swf::kLineNoHScale) != 0,
                 noVScale = (flags0 & swf::kLineNoVScale) != 0;
            line.scaling = noHScale && noVScale ? LineStyleInfo::ScaleNone
                           : noVScale           ? LineStyleInfo::ScaleHorizontal
                           : noHScale           ? LineStyleInfo::ScaleVertical
                                                : LineStyleInfo::ScaleNormal;
            line.noClose = (flags1 & swf::kLineNoClose) != 0;
            // 8.8 fixed point; below 1 a miter would be cut inside the line itself.
            if (join == swf::kJoinMiter) line.miterLimit = std::max(1.0, r.u16() / 256.0);
            if (hasFill) {
                line.hasFill = true;
                line.fill = readFillStyle(r, shapeVersion);
                line.color = line.fill.color;
            } else {
                line.color = r.rgba();
            }
        } else {
            line.color = readColor(r, shapeVersion);
        }
        t.lines.push_back(line);
    }
    return r.ok();
}

}  // namespace

bool parseShape(ByteReader& r, int tagCode, ShapeDefinition& out) {
    int shapeVersion = tagCode == 2 ? 1 : tagCode == 22 ? 2 : tagCode == 32 ? 3 : 4;
    out.bounds = r.rect();
    if (shapeVersion == 4) {
        r.rect();  // edge bounds
        uint8_t flags = r.u8();
        out.nonZeroWinding = (flags & 0x04) != 0;
    }

    StyleTables tables{out.fillStyles, out.lineStyles};
    if (!readStyles(r, shapeVersion, tables)) return false;
    bool ended = parseShapeRecords(r, shapeVersion, out.fillStyles, out.lineStyles, out.edges);
    std::vector<Rgba> colors;
    colors.reserve(out.fillStyles.size());
    for (const FillStyle& style : out.fillStyles) colors.push_back(style.color);
    buildShapeGeometry(out.edges, colors, out.lineStyles, out);
    return r.ok() && ended;
}

bool parseGlyphShape(ByteReader& r, std::vector<ShapeEdge>& edges) {
    // Glyphs have no style tables: fill index 1 is "the text colour".
    std::vector<FillStyle> fills(1);
    std::vector<LineStyleInfo> lines;
    return parseShapeRecords(r, 1, fills, lines, edges);
}

bool parseShapeRecords(ByteReader& r, int shapeVersion, std::vector<FillStyle>& fills,
                       std::vector<LineStyleInfo>& lines, std::vector<ShapeEdge>& edges) {
    StyleTables tables{fills, lines};
    size_t fillBase = 0, lineBase = 0;  // style indexes of the current table group
    unsigned fillBits = r.bits(4);
    unsigned lineBits = r.bits(4);
    int fill0 = 0, fill1 = 0, line = 0;
    int64_t x = 0, y = 0;
    bool ended = false;
    while (r.ok() && !ended) {
        if (edges.size() > kMaxEdgesPerShape) {
            r.fail();
            break;
        }
        if (r.bits(1) == 0) {
            unsigned flags = r.bits(5);
            if (flags == 0) {
                ended = true;
                break;
            }
            if (flags & 0x01) {
                unsigned n = r.bits(5);
                x = r.signedBits(n);
                y = r.signedBits(n);
            }
            auto styleIndex = [](uint32_t raw, size_t base, size_t count) {
                // Out-of-range indexes mean "no style" rather than a broken shape.
                return raw == 0 || raw > count - base ? 0 : static_cast<int>(base + raw);
            };
            if (flags & 0x02) fill0 = styleIndex(r.bits(fillBits), fillBase, fills.size());
            if (flags & 0x04) fill1 = styleIndex(r.bits(fillBits), fillBase, fills.size());
            if (flags & 0x08) line = styleIndex(r.bits(lineBits), lineBase, lines.size());
            if ((flags & 0x10) && shapeVersion >= 2) {
                fillBase = fills.size();
                lineBase = lines.size();
                if (!readStyles(r, shapeVersion, tables)) break;
                fillBits = r.bits(4);
                lineBits = r.bits(4);
                fill0 = fill1 = line = 0;
            }
            continue;
        }
        ShapeEdge e;
        e.fill0 = fill0;
        e.fill1 = fill1;
        e.line = line;
        e.x0 = x;
        e.y0 = y;
        if (r.bits(1)) {  // straight
            unsigned n = r.bits(4) + 2;
            int64_t dx = 0, dy = 0;
            if (r.bits(1)) {
                dx = r.signedBits(n);
                dy = r.signedBits(n);
            } else if (r.bits(1)) {
                dy = r.signedBits(n);
            } else {
                dx = r.signedBits(n);
            }
            x += dx;
            y += dy;
            e.cx = x;
            e.cy = y;
        } else {
            unsigned n = r.bits(4) + 2;
            int64_t cdx = r.signedBits(n), cdy = r.signedBits(n);
            int64_t adx = r.signedBits(n), ady = r.signedBits(n);
            e.curve = true;
            e.cx = x + cdx;
            e.cy = y + cdy;
            x = e.cx + adx;
            y = e.cy + ady;
        }
        e.x1 = x;
        e.y1 = y;
        if (r.ok()) edges.push_back(e);
    }
    return r.ok() && ended;
}

}  // namespace kestrel::player
