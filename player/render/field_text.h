// Text fields that draw with an embedded font: the field's text laid out as the
// runtime measures it (line breaks, word wrap, alignment, margins, leading) and
// every character placed as its glyph's outline, for the renderer to fill.
#pragma once

#include <vector>

#include "player/core/display_object.h"
#include "player/core/shape_definition.h"
#include "player/core/swf_types.h"

namespace kestrel::render {

struct PlacedGlyph {
    const std::vector<player::ShapeEdge>* outline = nullptr;  // not owned: the movie's font
    player::Matrix glyphToField;                              // glyph units -> field twips
};

// Fills `out` with the glyphs of a field that draws with its embedded font's outlines.
// False when the field does not (no useOutlines, or its font has no outlines or no
// layout data): such a field is device text.
bool LayOutFieldGlyphs(const player::EditText& field, std::vector<PlacedGlyph>& out);

}  // namespace kestrel::render
