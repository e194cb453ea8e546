#include "player/core/static_text.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kestrel::player {

namespace {

constexpr size_t kMaxGlyphsPerText = 100000;

// DefineFont2/3: the code table starts `codeTable` bytes into the tag body; the layout
// block, when the flags announce one, follows it. Reads from a copy, so a short table
// leaves the glyph outlines alone.
void readCodesAndLayout(const ByteReader& r, size_t codeTable, size_t count, FontGlyphs& out) {
    if (codeTable < r.position() || codeTable > r.size()) return;
    ByteReader t = r;
    t.skip(codeTable - r.position());
    std::vector<uint16_t> codes;
    for (size_t i = 0; i < count && t.ok(); ++i) codes.push_back(out.wideCodes ? t.u16() : t.u8());
    if (!t.ok()) return;
    out.codes = std::move(codes);
    if (!out.layoutFlag) return;
    double ascent = t.u16(), descent = t.u16(), leading = static_cast<int16_t>(t.u16());
    std::vector<int16_t> advances;
    for (size_t i = 0; i < count && t.ok(); ++i) advances.push_back(static_cast<int16_t>(t.u16()));
    if (!t.ok()) return;
    out.hasLayout = true;
    out.ascent = ascent;
    out.descent = descent;
    out.leading = leading;
    out.advances = std::move(advances);
}

}  // namespace

void parseFontGlyphs(ByteReader& r, int tagCode, FontGlyphs& out) {
    size_t tableStart = 0;
    std::vector<size_t> offsets;
    size_t end = 0;
    if (tagCode == 10) {  // DefineFont: the first offset tells the glyph count
        tableStart = r.position();
        size_t first = r.u16();
        if (!r.ok() || first < 2) return;
        offsets.push_back(first);
        for (size_t i = 1; i < first / 2 && r.ok(); ++i) offsets.push_back(r.u16());
        end = r.size() - tableStart;
    } else {
        uint8_t flags = r.u8();
        out.bold = flags & 0x01;
        out.italic = flags & 0x02;
        out.wideCodes = flags & 0x04;
        out.layoutFlag = flags & 0x80;
        r.u8();  // language
        size_t nameLength = r.u8();
        if (const uint8_t* name = r.take(nameLength)) {
            out.name.assign(reinterpret_cast<const char*>(name), nameLength);
            if (size_t nul = out.name.find('\0'); nul != std::string::npos) out.name.resize(nul);
        }
        size_t count = r.u16();
        bool wide = flags & 0x08;
        tableStart = r.position();
        for (size_t i = 0; i < count && r.ok(); ++i) offsets.push_back(wide ? r.u32() : r.u16());
        end = wide ? r.u32() : r.u16();  // code table offset: the glyphs end there
        if (tagCode == 75) out.emSize = 20480;
    }
    if (!r.ok()) return;
    if (tagCode != 10) readCodesAndLayout(r, tableStart + end, offsets.size(), out);
    for (size_t i = 0; i < offsets.size(); ++i) {
        size_t from = offsets[i];
        size_t to = i + 1 < offsets.size() ? offsets[i + 1] : end;
        std::vector<ShapeEdge> edges;
        if (from < to && tableStart + to <= r.size()) {
            ByteReader glyph(r.current() - r.position() + tableStart + from, to - from);
            parseGlyphShape(glyph, edges);
        }
        out.glyphs.push_back(std::move(edges));
    }
}

void parseStaticText(ByteReader& r, int tagCode, const std::map<uint16_t, FontGlyphs>& fonts,
                     ShapeDefinition& out) {
    r.rect();  // declared bounds; the outlines below decide
    Matrix textMatrix = r.matrix();
    unsigned glyphBits = r.u8(), advanceBits = r.u8();
    if (glyphBits > 32 || advanceBits > 32) return;

    std::vector<Rgba> colors;
    std::vector<ShapeEdge> edges;
    const FontGlyphs* font = nullptr;
    double height = 0, x = 0, y = 0;
    int colorIndex = 0;
    size_t glyphsPlaced = 0;
    while (r.ok()) {
        uint8_t flags = r.u8();
        if (flags == 0 || !(flags & 0x80) || !r.ok()) break;
        if (flags & 0x08) {
            auto it = fonts.find(r.u16());
            font = it == fonts.end() ? nullptr : &it->second;
        }
        if (flags & 0x04) {
            colors.push_back(tagCode == 33 ? r.rgba() : r.rgb());
            colorIndex = static_cast<int>(colors.size());
        }
        if (flags & 0x01) x = r.s16();
        if (flags & 0x02) {
            y = r.s16();
            // A record that moves down starts a line.
            if (!out.textLines.empty() && !out.textLines.back().empty())
                out.textLines.emplace_back();
        }
        if (flags & 0x08) height = r.u16();
        unsigned count = r.u8();
        for (unsigned i = 0; i < count && r.ok(); ++i) {
            uint32_t index = r.bits(glyphBits);
            int32_t advance = r.signedBits(advanceBits);
            if (font && index < font->codes.size() && glyphsPlaced < kMaxGlyphsPerText) {
                if (out.textLines.empty()) out.textLines.emplace_back();
                out.textLines.back().push_back(static_cast<char16_t>(font->codes[index]));
            }
            if (font && colorIndex > 0 && index < font->glyphs.size() &&
                ++glyphsPlaced < kMaxGlyphsPerText) {
                double scale = height / font->emSize;
                Matrix place = textMatrix.multiply(Matrix{scale, 0, 0, scale, x, y});
                for (const ShapeEdge& g : font->glyphs[index]) {
                    ShapeEdge e = g;
                    auto map = [&](int64_t& px, int64_t& py) {
                        Point p = place.apply(static_cast<double>(px), static_cast<double>(py));
                        px = std::llround(std::clamp(p.x, -1.0e12, 1.0e12));
                        py = std::llround(std::clamp(p.y, -1.0e12, 1.0e12));
                    };
                    map(e.x0, e.y0);
                    map(e.cx, e.cy);
                    map(e.x1, e.y1);
                    e.fill0 = g.fill0 ? colorIndex : 0;
                    e.fill1 = g.fill1 ? colorIndex : 0;
                    e.line = 0;
                    edges.push_back(e);
                }
            }
            x += advance;
        }
        r.align();
    }
    if (!out.textLines.empty() && out.textLines.back().empty()) out.textLines.pop_back();
    buildShapeGeometry(edges, colors, {}, out);
    out.bounds = Rect::empty();
    for (const ShapeEdge& e : edges) {
        out.bounds.include(static_cast<double>(e.x0), static_cast<double>(e.y0));
        out.bounds.include(static_cast<double>(e.cx), static_cast<double>(e.cy));
        out.bounds.include(static_cast<double>(e.x1), static_cast<double>(e.y1));
    }
    // The placed glyph edges with one solid style per text colour: renderers that
    // fill both sides of each edge draw text like any shape.
    out.fillStyles.clear();
    for (const Rgba& color : colors) {
        FillStyle style;
        style.color = color;
        out.fillStyles.push_back(style);
    }
    out.edges = std::move(edges);
}

}  // namespace kestrel::player
