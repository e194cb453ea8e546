// Text fields that draw with embedded fonts: the field's text as the runtime lays it
// out, every character placed as its run's glyph outline in its run's colour, and the
// underlines of underlined runs, for the renderer to fill.
#pragma once

#include <vector>

#include "player/core/display_object.h"
#include "player/core/shape_definition.h"
#include "player/core/swf_types.h"

namespace kestrel::render {

struct PlacedGlyph {
    const std::vector<player::ShapeEdge>* outline = nullptr;  // not owned: the movie's font
    player::Matrix glyphToField;                              // glyph units -> field twips
    player::Rgba color;
};

struct FieldUnderline {
    player::Rect box;  // field twips
    player::Rgba color;
};

struct FieldGlyphs {
    std::vector<PlacedGlyph> glyphs;
    std::vector<FieldUnderline> underlines;
};

// Fills `out` with what a field that embeds its fonts draws. Characters whose font
// the movie does not have draw nothing, as in the player. False when the field does
// not embed its fonts: it is device text.
bool LayOutFieldGlyphs(const player::EditText& field, FieldGlyphs& out);

}  // namespace kestrel::render
