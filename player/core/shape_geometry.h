// Turns SWF shape edges into drawable paths. SWF stores each edge once with the
// fill on its left (fill0) and right (fill1); a renderer needs closed contours per
// fill, so edges are oriented (fill0 edges reversed) and chained end to start.
#pragma once

#include <cstdint>
#include <vector>

#include "player/core/byte_reader.h"
#include "player/core/shape_definition.h"

namespace kestrel::player {

// SHAPERECORDs after the style tables (and bit counts) up to the end record. False
// when they are malformed or cut short; `edges` keeps what was read.
bool parseShapeRecords(ByteReader& reader, int shapeVersion, std::vector<FillStyle>& fills,
                       std::vector<LineStyleInfo>& lines, std::vector<ShapeEdge>& edges);
// A font glyph: a SHAPE without style tables; its fill is style 1.
bool parseGlyphShape(ByteReader& reader, std::vector<ShapeEdge>& edges);

// Fills out.fills and out.strokes. Style index i refers to fills[i - 1] / lines[i - 1].
void buildShapeGeometry(const std::vector<ShapeEdge>& edges, const std::vector<Rgba>& fills,
                        const std::vector<LineStyleInfo>& lines, ShapeDefinition& out);

}  // namespace kestrel::player
