// A parsed DefineShape (1-4) turned into drawable geometry: closed contours per
// fill style (built by matching the fill0/fill1 sides of the edges) and open
// polylines per line style.
#pragma once

#include <cstdint>
#include <vector>

#include "core/byte_reader.h"
#include "core/swf_types.h"

namespace kestrel::player {

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

struct StrokePath {
    Rgba color;
    double width = 20;  // twips; 0 means hairline
    std::vector<PathCommand> commands;
};

struct ShapeDefinition {
    uint16_t id = 0;
    Rect bounds;                // twips, as declared
    bool nonZeroWinding = false;  // DefineShape4 flag; otherwise even-odd
    std::vector<FillPath> fills;
    std::vector<StrokePath> strokes;

    // True when (x, y) in shape space lies inside one of the fills (or near a stroke).
    bool hitTest(double x, double y) const;
};

// Parses the body of a DefineShape tag (tagCode 2, 22, 32 or 83) after its id.
// Returns false when the records are malformed; `out` then holds what was read.
bool parseShape(ByteReader& reader, int tagCode, ShapeDefinition& out);

}  // namespace kestrel::player
