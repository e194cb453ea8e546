#include "tools/swfwriter/font_glyphs.h"

#include <algorithm>

#include "common/swf_format.h"

namespace swf {

uint16_t GlyphFontTagCode(int version) {
    return version == 1 ? kTagDefineFont : version == 3 ? kTagDefineFont3 : kTagDefineFont2;
}

std::optional<Bytes> EncodeGlyphFont(uint16_t id, const GlyphFont& font, std::string* error) {
    if (font.version < 1 || font.version > 3 || font.glyphs.empty() ||
        font.glyphs.size() > 0xFFFF || font.name.size() > 0xFF ||
        (font.version > 1 && font.codes.size() != font.glyphs.size()) ||
        (font.layout &&
         (font.version == 1 || font.layout->advances.size() != font.glyphs.size()))) {
        if (error)
            *error =
                "a glyph font has version 1 to 3, glyphs, a code per glyph, and an advance "
                "per glyph when it has a layout (versions 2 and 3)";
        return std::nullopt;
    }
    std::vector<Bytes> shapes;
    for (const Shape& glyph : font.glyphs) {
        ByteWriter g;
        if (!glyph.EncodeRecords(g, true, error)) return std::nullopt;
        shapes.push_back(g.Take());
    }
    ByteWriter out;
    out.U16(id);
    size_t count = shapes.size();
    if (font.version == 1) {
        // Offsets from the start of the table, which is 2 bytes per glyph.
        size_t at = count * 2;
        for (const Bytes& s : shapes) {
            out.U16(static_cast<uint32_t>(at));
            at += s.size();
        }
        for (const Bytes& s : shapes) out.Append(s);
        return out.Take();
    }
    // layout, wide offsets, wide codes, italic, bold
    out.U8((font.layout ? 0x80 : 0) | 0x08 | 0x04 | (font.italic ? 0x02 : 0) |
           (font.bold ? 0x01 : 0));
    out.U8(1);  // language: Latin
    out.U8(static_cast<uint32_t>(font.name.size()));
    for (char c : font.name) out.U8(static_cast<uint8_t>(c));
    out.U16(static_cast<uint32_t>(count));
    size_t at = count * 4 + 4;  // the offsets and the code table offset
    for (const Bytes& s : shapes) {
        out.U32(static_cast<uint32_t>(at));
        at += s.size();
    }
    out.U32(static_cast<uint32_t>(at));
    for (const Bytes& s : shapes) out.Append(s);
    for (uint16_t code : font.codes) out.U16(code);
    if (const auto& layout = font.layout) {
        out.U16(layout->ascent);
        out.U16(layout->descent);
        out.S16(layout->leading);
        for (int16_t advance : layout->advances) out.S16(advance);
        for (size_t i = 0; i < count; ++i) out.U8(0);  // empty bounds: a RECT of 0-bit fields
        out.U16(0);                                    // no kerning pairs
    }
    return out.Take();
}

Bytes EncodeDefineText(uint16_t id, const Rect& bounds, const Matrix& matrix,
                       const std::vector<TextRun>& runs, bool withAlpha) {
    uint32_t maxIndex = 0;
    int32_t maxAdvance = 0;
    for (const TextRun& run : runs)
        for (const GlyphEntry& g : run.glyphs) {
            maxIndex = std::max(maxIndex, g.index);
            maxAdvance = std::max(maxAdvance, std::abs(g.advance));
        }
    unsigned glyphBits = std::max(1u, UnsignedBits(maxIndex));
    unsigned advanceBits = SignedBits(maxAdvance) + 1;
    ByteWriter out;
    out.U16(id);
    WriteRect(out, bounds);
    WriteMatrix(out, matrix);
    out.U8(glyphBits);
    out.U8(advanceBits);
    for (const TextRun& run : runs) {
        out.U8(0x80 | 0x08 | 0x04 | 0x02 | 0x01);  // font, colour, y, x
        out.U16(run.fontId);
        withAlpha ? WriteRgba(out, run.color) : WriteRgb(out, run.color);
        out.S16(run.x);
        out.S16(run.y);
        out.U16(run.height);
        out.U8(static_cast<uint32_t>(run.glyphs.size()));
        BitWriter bits(out);
        for (const GlyphEntry& g : run.glyphs) {
            bits.UB(g.index, glyphBits);
            bits.SB(g.advance, advanceBits);
        }
        bits.Flush();
    }
    out.U8(0);
    return out.Take();
}

}  // namespace swf
