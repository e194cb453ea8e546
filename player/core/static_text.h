// Embedded font glyphs (DefineFont 1-3) and static text (DefineText 1-2). A static
// text is turned into a shape at load time: its glyph outlines, placed and coloured,
// filled like any other shape.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "player/core/byte_reader.h"
#include "player/core/shape_definition.h"
#include "player/core/shape_geometry.h"

namespace kestrel::player {

struct FontGlyphs {
    std::vector<std::vector<ShapeEdge>> glyphs;
    double emSize = 1024;               // glyph units per font height (DefineFont3: 20480)
    std::string name;                   // DefineFont2/3 only; a trailing NUL is dropped
    bool bold = false, italic = false;  // DefineFont2/3 style flags
    // DefineFont2/3: the character of each glyph, and the layout block when there is one.
    std::vector<uint16_t> codes;
    bool hasLayout = false;
    double ascent = 0, descent = 0, leading = 0;  // glyph units
    std::vector<int16_t> advances;                // glyph units, one per glyph
    bool wideCodes = false, layoutFlag = false;   // flags read on the way
};

// Body of DefineFont/DefineFont2/DefineFont3 after the font id. Keeps the glyphs
// read before a fault.
void parseFontGlyphs(ByteReader& reader, int tagCode, FontGlyphs& out);

// Body of DefineText/DefineText2 after the character id. Glyphs of unknown fonts
// or out-of-range indexes are skipped.
void parseStaticText(ByteReader& reader, int tagCode, const std::map<uint16_t, FontGlyphs>& fonts,
                     ShapeDefinition& out);

}  // namespace kestrel::player
