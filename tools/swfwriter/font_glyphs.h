// Embedded fonts with glyph outlines (DefineFont, DefineFont2, DefineFont3) and
// static text that uses them (DefineText, DefineText2).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/swfwriter/byte_writer.h"
#include "tools/swfwriter/records.h"
#include "tools/swfwriter/shape.h"

namespace swf {

// Glyphs are shapes with one fill (any colour: the text gives it) and no lines, in
// glyph units: 1024 per font height for versions 1 and 2, 20480 for version 3.
// The layout block of DefineFont2/3 (text fields lay their text out with it), in
// glyph units. The glyph bounds are written empty and there is no kerning.
struct GlyphLayout {
    uint16_t ascent = 0, descent = 0;
    int16_t leading = 0;
    std::vector<int16_t> advances;  // one per glyph
};

struct GlyphFont {
    int version = 2;  // 1 DefineFont, 2 DefineFont2, 3 DefineFont3
    std::string name = "Glyphs";
    bool bold = false, italic = false;  // versions 2 and 3
    std::vector<Shape> glyphs;
    std::vector<uint16_t> codes;        // one per glyph (versions 2 and 3)
    std::optional<GlyphLayout> layout;  // versions 2 and 3
};

uint16_t GlyphFontTagCode(int version);
std::optional<Bytes> EncodeGlyphFont(uint16_t id, const GlyphFont& font,
                                     std::string* error = nullptr);

struct GlyphEntry {
    uint32_t index = 0;   // into the font's glyphs
    int32_t advance = 0;  // twips
};

// One TEXTRECORD: a font, colour and position change (all written), then glyphs.
struct TextRun {
    uint16_t fontId = 0;
    uint16_t height = 240;  // twips
    Rgba color;
    int16_t x = 0, y = 0;  // twips, baseline
    std::vector<GlyphEntry> glyphs;
};

// DefineText (`withAlpha` false) or DefineText2.
Bytes EncodeDefineText(uint16_t id, const Rect& bounds, const Matrix& matrix,
                       const std::vector<TextRun>& runs, bool withAlpha);

}  // namespace swf
