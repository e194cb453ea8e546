// DefineMorphShape and DefineMorphShape2: a shape given at its start and its end,
// drawn at any ratio between (PlaceObject's ratio, 0..65535) by interpolating
// every edge, fill (colours, gradients, bitmap matrices) and line style.
#pragma once

#include <cstdint>
#include <vector>

#include "player/core/byte_reader.h"
#include "player/core/shape_definition.h"
#include "player/core/swf_types.h"

namespace kestrel::player {

struct MorphShapeDefinition {
    uint16_t id = 0;
    Rect startBounds, endBounds;
    // Start and end of each style; the tables always have equal lengths.
    std::vector<FillStyle> startFills, endFills;
    std::vector<LineStyleInfo> startLines, endLines;
    // The start edges carry the styles; end edge i is where start edge i goes.
    std::vector<ShapeEdge> startEdges, endEdges;
};

// Body of DefineMorphShape (tag 46) or DefineMorphShape2 (tag 84) after the id.
// False when malformed; `out` then keeps the styles and edges read before the fault.
bool parseMorphShape(ByteReader& reader, int tagCode, MorphShapeDefinition& out);

// The shape at `ratio` (0 the start, 65535 the end), with its contours built.
void morphShapeAt(const MorphShapeDefinition& morph, uint16_t ratio, ShapeDefinition& out);

}  // namespace kestrel::player
