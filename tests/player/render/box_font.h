// Fonts for text tests whose glyphs are boxes, so where they land is plain to check.
#pragma once

#include <string>

#include "tools/swfwriter/font_glyphs.h"
#include "tools/swfwriter/shape.h"

namespace kestrel::render {

// "A" is a box `widthEms` of an em wide and a full em tall standing on the baseline,
// "B" a full em square with a hole in its middle half, " " has no outline; every
// advance but the space's (half an em) is one em. Ascent one em, no descent: a line is
// one em tall.
inline swf::GlyphFont BoxFont(int version, const std::string& name = "Boxes", double widthEms = 1,
                              bool bold = false) {
    double em = version == 3 ? 20480 : 1024;
    double unit = em / 20;  // the writer takes pixels and stores twips
    swf::GlyphFont font;
    font.version = version;
    font.name = name;
    font.bold = bold;
    swf::GlyphLayout layout;
    layout.ascent = static_cast<uint16_t>(em);
    for (int i = 0; i < 3; ++i) {
        swf::Shape glyph(1);
        if (i < 2) {
            uint16_t fill = glyph.AddFill(swf::Rgba{0, 0, 0, 255});
            glyph.SetStyle(0, fill, 0);
            glyph.Rectangle(0, -unit, i == 0 ? unit * widthEms : unit, unit);
            if (i == 1) {
                glyph.SetStyle(fill, 0, 0);
                glyph.Rectangle(unit / 4, -unit * 3 / 4, unit / 2, unit / 2);
            }
        }
        font.glyphs.push_back(glyph);
        font.codes.push_back(i == 2 ? ' ' : static_cast<uint16_t>('A' + i));
        layout.advances.push_back(static_cast<int16_t>(i == 2 ? em / 2 : em));
    }
    font.layout = layout;
    return font;
}

}  // namespace kestrel::render
