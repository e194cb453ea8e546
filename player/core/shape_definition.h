// A parsed DefineShape (1-4) turned into drawable geometry: closed contours per
// fill style (built by matching the fill0/fill1 sides of the edges) and open
// polylines per line style.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "player/core/byte_reader.h"
#include "player/core/swf_types.h"

namespace kestrel::player {

struct BitmapDefinition;

// One path command in twips. Quad uses (cx, cy) as control point and (x, y) as end.
struct PathCommand {
    enum Kind : uint8_t { MoveTo, LineTo, QuadTo } kind = MoveTo;
    double cx = 0, cy = 0;
    double x = 0, y = 0;
};

// Every contour starts with MoveTo and is closed (its last point equals its first).
struct FillPath {
    Rgba color;  // gradients and bitmaps arrive here as one approximate colour
    std::vector<PathCommand> commands;
};

struct GradientStop {
    uint8_t ratio = 0;  // 0..255 along the gradient
    Rgba color;
};

// A fill style as the shape declares it. Renderers that cannot draw a kind use
// `color`, its approximate colour (the stops' average, grey for bitmaps).
struct FillStyle {
    enum Kind : uint8_t { Solid, LinearGradient, RadialGradient, FocalGradient, Bitmap };
    enum Spread : uint8_t { Pad, Reflect, Repeat };
    Kind kind = Solid;
    Rgba color;
    Matrix matrix;  // gradient square (-16384..16384 twips) or bitmap -> shape space
    std::vector<GradientStop> stops;
    Spread spread = Pad;
    bool linearRgb = false;  // interpolation in linear RGB
    double focalPoint = 0;   // -1..1 along the radius (FocalGradient)
    uint16_t bitmapId = 0;
    bool bitmapRepeats = true;   // tiled; otherwise the edge pixels reach on
    bool bitmapSmoothed = true;  // filtered; otherwise nearest pixel
    // Not owned: the decoded bitmap in the MovieDefinition; null when the id names
    // none (the fill then draws nothing).
    const BitmapDefinition* bitmap = nullptr;
};

struct LineStyleInfo {
    enum Cap : uint8_t { RoundCap, NoCap, SquareCap };
    enum Join : uint8_t { RoundJoin, BevelJoin, MiterJoin };
    // Which of the placement's scalings widen the line (DefineShape4 only; older
    // lines scale both ways).
    enum Scaling : uint8_t { ScaleNormal, ScaleNone, ScaleHorizontal, ScaleVertical };
    uint16_t width = 20;  // twips; 0 means hairline
    Rgba color;
    Cap startCap = RoundCap, endCap = RoundCap;
    Join join = RoundJoin;
    double miterLimit = 3;  // miter joins: how many half-widths a corner may reach out
    Scaling scaling = ScaleNormal;
    bool noClose = false;  // closed paths keep their caps instead of joining
    // LINESTYLE2 with a fill: the stroke is painted with `fill`; `color` is its
    // approximate colour.
    bool hasFill = false;
    FillStyle fill;
};

// One edge as the shape stores it: fill0 lies on its left, fill1 on its right.
struct ShapeEdge {
    int64_t x0 = 0, y0 = 0;
    int64_t cx = 0, cy = 0;  // control point (equals the end for straight edges)
    int64_t x1 = 0, y1 = 0;
    bool curve = false;
    int fill0 = 0, fill1 = 0, line = 0;  // 1-based style indexes, 0 = none
};

struct StrokePath {
    Rgba color;
    double width = 20;  // twips; 0 means hairline
    std::vector<PathCommand> commands;
};

struct ShapeDefinition {
    uint16_t id = 0;
    Rect bounds;                  // twips, as declared
    bool nonZeroWinding = false;  // DefineShape4 flag; otherwise even-odd
    std::vector<FillPath> fills;
    std::vector<StrokePath> strokes;
    // The shape as declared, for renderers that fill both sides of each edge at
    // once. Static text has its placed glyph edges here, one solid style per colour.
    std::vector<FillStyle> fillStyles;  // style i of the edges is fillStyles[i - 1]
    std::vector<LineStyleInfo> lineStyles;
    std::vector<ShapeEdge> edges;
    // Static text only: its characters (UTF-16 code units from the fonts' code tables),
    // one entry per line; empty for shapes and for fonts without a code table.
    std::vector<std::u16string> textLines;

    // True when (x, y) in shape space lies inside one of the fills (or near a stroke).
    bool hitTest(double x, double y) const;
};

// Parses the body of a DefineShape tag (tagCode 2, 22, 32 or 83) after its id.
// Returns false when the records are malformed; `out` then holds what was read.
bool parseShape(ByteReader& reader, int tagCode, ShapeDefinition& out);

}  // namespace kestrel::player
