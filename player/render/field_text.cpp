#include "player/render/field_text.h"

#include <algorithm>
#include <unordered_map>

#include "player/core/movie_definition.h"
#include "player/core/stage.h"
#include "player/runtime/field_layout.h"

namespace kestrel::render {

using player::Matrix;

namespace {

// A field can hold any amount of text; past this many glyphs the rest is not drawn.
constexpr size_t kMaxFieldGlyphs = 100000;

// A run's font with its characters' glyphs.
struct RunFont {
    const player::FontGlyphs* font = nullptr;  // not owned: the movie's; null: none
    std::unordered_map<char32_t, size_t> glyphOf;
};

// The index in `found` of the font a run draws with (many runs share a few).
size_t FontOf(const player::EditText& field, const player::TextRunFormat& format,
              std::vector<RunFont>& found) {
    const player::FontGlyphs* font =
        format.fontName.empty()
            ? nullptr
            : field.stage().movie().EmbeddedFont(format.fontName, format.bold, format.italic);
    if (!font || !font->hasLayout || !(font->emSize > 0)) font = nullptr;
    for (size_t i = 0; i < found.size(); ++i)
        if (found[i].font == font) return i;
    RunFont run;
    run.font = font;
    if (font)
        for (size_t i = 0; i < font->codes.size() && i < font->glyphs.size(); ++i)
            run.glyphOf.emplace(font->codes[i], i);
    found.push_back(std::move(run));
    return found.size() - 1;
}

// An underline lies a tenth of an em below the baseline, a twentieth of an em
// (at least a pixel) thick.
player::Rect UnderlineBox(double x0, double x1, double baseline, double heightTwips) {
    double top = baseline + heightTwips / 10;
    double thickness = std::max(player::kTwipsPerPixel, heightTwips / 20);
    return player::Rect{x0, top, x1, top + thickness};
}

}  // namespace

bool LayOutFieldGlyphs(const player::EditText& field, FieldGlyphs& out) {
    out.glyphs.clear();
    out.underlines.clear();
    if (!field.format().useOutlines) return false;
    runtime::FieldLayout layout = runtime::LayOutField(field);
    // Per format, the index of its font in `found`.
    std::vector<RunFont> found;
    std::vector<size_t> fonts;
    fonts.reserve(layout.formats.size());
    for (const player::TextRunFormat& format : layout.formats)
        fonts.push_back(FontOf(field, format, found));

    for (const runtime::FieldLine& line : layout.lines) {
        double x = line.left;
        for (size_t i = line.begin; i < line.end; ++i) {
            uint32_t f = layout.formatOf[i];
            const player::TextRunFormat& format = layout.formats[f];
            double advance = layout.advances[i];
            const RunFont& run = found[fonts[f]];
            if (!run.font) {
                x += advance;
                continue;
            }
            if (format.underline) {
                // Neighbours in one run make one line.
                bool joins = i > line.begin && layout.formatOf[i - 1] == f &&
                             !out.underlines.empty() && out.underlines.back().box.xMax == x;
                if (joins)
                    out.underlines.back().box.xMax = x + advance;
                else
                    out.underlines.push_back(FieldUnderline{
                        UnderlineBox(x, x + advance, line.baseline, format.heightTwips),
                        format.color});
            }
            auto glyph = run.glyphOf.find(layout.text[i]);
            if (glyph != run.glyphOf.end() && !run.font->glyphs[glyph->second].empty()) {
                if (out.glyphs.size() == kMaxFieldGlyphs) return true;
                double scale = format.heightTwips / run.font->emSize;
                out.glyphs.push_back(PlacedGlyph{&run.font->glyphs[glyph->second],
                                                 Matrix{scale, 0, 0, scale, x, line.baseline},
                                                 format.color});
            }
            x += advance;
        }
    }
    return true;
}

}  // namespace kestrel::render
