// Morph styles come in start/end pairs; the edges come as two SHAPEs of which the
// second holds only moves and edges. The two edge lists pair up in order; where
// one edge is straight and its partner curved, the straight one is taken as a
// curve with its control point halfway, so both interpolate as curves.
#include "player/core/morph_shape.h"

#include <algorithm>
#include <cmath>

#include "common/swf_format.h"
#include "player/core/shape_geometry.h"

namespace kestrel::player {

namespace {

struct MorphStyles {
    std::vector<FillStyle>& startFills;
    std::vector<FillStyle>& endFills;
    std::vector<LineStyleInfo>& startLines;
    std::vector<LineStyleInfo>& endLines;
};

void setSpread(uint8_t head, FillStyle& style) {
    unsigned spread = head >> 6;
    style.spread = spread == 1   ? FillStyle::Reflect
                   : spread == 2 ? FillStyle::Repeat
                                 : FillStyle::Pad;
    style.linearRgb = ((head >> 4) & 3) == 1;
}

void readMorphFill(ByteReader& r, FillStyle& start, FillStyle& end) {
    uint8_t type = r.u8();
    switch (type) {
        case swf::kFillSolid:
            start.color = r.rgba();
            end.color = r.rgba();
            break;
        case swf::kFillLinearGradient:
        case swf::kFillRadialGradient:
        case swf::kFillFocalGradient: {
            start.kind = end.kind = type == swf::kFillLinearGradient   ? FillStyle::LinearGradient
                                    : type == swf::kFillRadialGradient ? FillStyle::RadialGradient
                                                                       : FillStyle::FocalGradient;
            start.matrix = r.matrix();
            end.matrix = r.matrix();
            uint8_t head = r.u8();
            setSpread(head, start);
            setSpread(head, end);
            unsigned count = head & 0x0F;
            for (unsigned i = 0; i < count && r.ok(); ++i) {
                GradientStop s, e;
                s.ratio = r.u8();
                s.color = r.rgba();
                e.ratio = r.u8();
                e.color = r.rgba();
                start.stops.push_back(s);
                end.stops.push_back(e);
            }
            if (type == swf::kFillFocalGradient) {
                start.focalPoint = std::clamp(r.s16() / 256.0, -1.0, 1.0);
                end.focalPoint = std::clamp(r.s16() / 256.0, -1.0, 1.0);
            }
            start.color = start.stops.empty() ? Rgba{0, 0, 0, 255} : start.stops[0].color;
            end.color = end.stops.empty() ? Rgba{0, 0, 0, 255} : end.stops[0].color;
            break;
        }
        case swf::kFillRepeatingBitmap:
        case swf::kFillClippedBitmap:
        case swf::kFillHardRepeatingBitmap:
        case swf::kFillHardClippedBitmap:
            start.kind = end.kind = FillStyle::Bitmap;
            start.bitmapRepeats = end.bitmapRepeats =
                type == swf::kFillRepeatingBitmap || type == swf::kFillHardRepeatingBitmap;
            start.bitmapSmoothed = end.bitmapSmoothed =
                type == swf::kFillRepeatingBitmap || type == swf::kFillClippedBitmap;
            start.bitmapId = end.bitmapId = r.u16();
            start.matrix = r.matrix();
            end.matrix = r.matrix();
            start.color = end.color = Rgba{192, 192, 192, 255};
            break;
        default:
            r.fail();
            break;
    }
}

unsigned readCount(ByteReader& r) {
    unsigned count = r.u8();
    return count == 0xFF ? r.u16() : count;
}

bool readMorphStyles(ByteReader& r, bool version2, MorphStyles& t) {
    unsigned fillCount = readCount(r);
    for (unsigned i = 0; i < fillCount && r.ok(); ++i) {
        FillStyle start, end;
        readMorphFill(r, start, end);
        if (!r.ok()) break;
        t.startFills.push_back(start);
        t.endFills.push_back(end);
    }
    unsigned lineCount = readCount(r);
    for (unsigned i = 0; i < lineCount && r.ok(); ++i) {
        LineStyleInfo start, end;
        start.width = r.u16();
        end.width = r.u16();
        if (version2) {
            uint8_t flags0 = r.u8();
            r.u8();
            if (((flags0 >> 4) & 3) == 2) r.u16();  // miter limit
            if (flags0 & 0x08) {
                FillStyle startFill, endFill;
                readMorphFill(r, startFill, endFill);
                start.color = startFill.color;
                end.color = endFill.color;
            } else {
                start.color = r.rgba();
                end.color = r.rgba();
            }
        } else {
            start.color = r.rgba();
            end.color = r.rgba();
        }
        if (!r.ok()) break;
        t.startLines.push_back(start);
        t.endLines.push_back(end);
    }
    return r.ok();
}

double mix(double a, double b, double t) {
    return a + (b - a) * t;
}

int64_t mixTwips(int64_t a, int64_t b, double t) {
    return std::llround(mix(static_cast<double>(a), static_cast<double>(b), t));
}

uint8_t mixChannel(uint8_t a, uint8_t b, double t) {
    return static_cast<uint8_t>(std::clamp(std::lround(mix(a, b, t)), 0L, 255L));
}

Rgba mixColor(const Rgba& a, const Rgba& b, double t) {
    return Rgba{mixChannel(a.r, b.r, t), mixChannel(a.g, b.g, t), mixChannel(a.b, b.b, t),
                mixChannel(a.a, b.a, t)};
}

Matrix mixMatrix(const Matrix& a, const Matrix& b, double t) {
    return Matrix{mix(a.a, b.a, t), mix(a.b, b.b, t),   mix(a.c, b.c, t),
                  mix(a.d, b.d, t), mix(a.tx, b.tx, t), mix(a.ty, b.ty, t)};
}

FillStyle mixFill(const FillStyle& start, const FillStyle& end, double t) {
    FillStyle out = start;
    out.color = mixColor(start.color, end.color, t);
    out.matrix = mixMatrix(start.matrix, end.matrix, t);
    out.focalPoint = mix(start.focalPoint, end.focalPoint, t);
    for (size_t i = 0; i < out.stops.size() && i < end.stops.size(); ++i) {
        out.stops[i].ratio = mixChannel(start.stops[i].ratio, end.stops[i].ratio, t);
        out.stops[i].color = mixColor(start.stops[i].color, end.stops[i].color, t);
    }
    return out;
}

// A straight edge as a curve, its control point halfway.
ShapeEdge asCurve(ShapeEdge e) {
    if (!e.curve) {
        e.curve = true;
        e.cx = e.x0 + (e.x1 - e.x0) / 2;
        e.cy = e.y0 + (e.y1 - e.y0) / 2;
    }
    return e;
}

ShapeEdge mixEdge(const ShapeEdge& start, const ShapeEdge& end, double t) {
    ShapeEdge a = start, b = end;
    if (a.curve != b.curve) {
        a = asCurve(a);
        b = asCurve(b);
    }
    ShapeEdge out = start;
    out.curve = a.curve;
    out.x0 = mixTwips(a.x0, b.x0, t);
    out.y0 = mixTwips(a.y0, b.y0, t);
    out.cx = mixTwips(a.cx, b.cx, t);
    out.cy = mixTwips(a.cy, b.cy, t);
    out.x1 = mixTwips(a.x1, b.x1, t);
    out.y1 = mixTwips(a.y1, b.y1, t);
    return out;
}

}  // namespace

bool parseMorphShape(ByteReader& r, int tagCode, MorphShapeDefinition& out) {
    bool version2 = tagCode == swf::kTagDefineMorphShape2;
    out.startBounds = r.rect();
    out.endBounds = r.rect();
    if (version2) {
        r.rect();  // edge bounds, start and end
        r.rect();
        r.u8();  // stroke scaling flags
    }
    size_t offset = r.u32();
    size_t afterOffset = r.position();
    if (!r.ok() || offset > r.remaining()) return false;
    MorphStyles styles{out.startFills, out.endFills, out.startLines, out.endLines};
    if (!readMorphStyles(r, version2, styles)) return false;
    // Read as a first-version shape: a morph cannot bring new styles midway, as
    // they would have no end.
    if (!parseShapeRecords(r, 1, out.startFills, out.startLines, out.startEdges)) return false;
    // No offset: the shape has no end edges and stays as it starts.
    if (offset == 0) return true;
    // The end edges start where the offset says, whatever the start edges left.
    const uint8_t* base = r.current() - r.position();
    ByteReader end(base + afterOffset + offset, r.size() - afterOffset - offset);
    std::vector<FillStyle> noFills;
    std::vector<LineStyleInfo> noLines;
    return parseShapeRecords(end, 1, noFills, noLines, out.endEdges);
}

void morphShapeAt(const MorphShapeDefinition& morph, uint16_t ratio, ShapeDefinition& out) {
    double t = ratio / 65535.0;
    out = ShapeDefinition();
    out.id = morph.id;
    const Rect &a = morph.startBounds, &b = morph.endBounds;
    out.bounds = Rect{mix(a.xMin, b.xMin, t), mix(a.yMin, b.yMin, t), mix(a.xMax, b.xMax, t),
                      mix(a.yMax, b.yMax, t)};
    size_t fills = std::min(morph.startFills.size(), morph.endFills.size());
    size_t lines = std::min(morph.startLines.size(), morph.endLines.size());
    for (size_t i = 0; i < fills; ++i)
        out.fillStyles.push_back(mixFill(morph.startFills[i], morph.endFills[i], t));
    for (size_t i = 0; i < lines; ++i) {
        const LineStyleInfo &s = morph.startLines[i], &e = morph.endLines[i];
        LineStyleInfo line;
        line.width =
            static_cast<uint16_t>(std::clamp(std::lround(mix(s.width, e.width, t)), 0L, 65535L));
        line.color = mixColor(s.color, e.color, t);
        out.lineStyles.push_back(line);
    }
    out.edges.reserve(morph.startEdges.size());
    // Edges without a partner (bad data) stay where the start put them.
    for (size_t i = 0; i < morph.startEdges.size(); ++i)
        out.edges.push_back(i < morph.endEdges.size()
                                ? mixEdge(morph.startEdges[i], morph.endEdges[i], t)
                                : morph.startEdges[i]);
    std::vector<Rgba> colors;
    colors.reserve(out.fillStyles.size());
    for (const FillStyle& style : out.fillStyles) colors.push_back(style.color);
    buildShapeGeometry(out.edges, colors, out.lineStyles, out);
}

}  // namespace kestrel::player
