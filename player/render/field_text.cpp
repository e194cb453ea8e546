#include "player/render/field_text.h"

#include <string>
#include <unordered_map>

#include "player/avm1/utf8.h"
#include "player/core/movie_definition.h"
#include "player/core/stage.h"
#include "player/runtime/text_metrics.h"

namespace kestrel::render {

using player::Matrix;

namespace {

// A field can hold any amount of text; past this many glyphs the rest is not drawn.
constexpr size_t kMaxFieldGlyphs = 100000;

std::u32string DisplayText(const player::EditText& field) {
    std::u32string text = avm1::decodeUtf8(field.text());
    if (field.format().password)
        for (char32_t& c : text)
            if (c != U'\r' && c != U'\n') c = U'*';
    return text;
}

}  // namespace

bool LayOutFieldGlyphs(const player::EditText& field, std::vector<PlacedGlyph>& out) {
    out.clear();
    const player::EditTextDefinition& format = field.format();
    if (!format.useOutlines) return false;
    const player::FontGlyphs* font = field.stage().movie().font(format.fontId);
    runtime::TextLayoutOptions options = runtime::LayoutOptionsOf(field);
    if (!font || !font->hasLayout || font->glyphs.empty() || !options.font || !(font->emSize > 0) ||
        !(options.font->emSize > 0))
        return false;

    std::unordered_map<char32_t, size_t> glyphOf;
    for (size_t i = 0; i < font->codes.size() && i < font->glyphs.size(); ++i)
        glyphOf.emplace(font->codes[i], i);

    std::u32string text = DisplayText(field);
    std::vector<runtime::TextLine> lines = runtime::LayOutLines(text, options);
    const player::Rect& box = format.bounds;
    double gutter = runtime::kTextGutterTwips;
    double left = box.xMin + gutter + format.leftMargin;
    double room = box.width() - 2 * gutter - format.leftMargin - format.rightMargin;
    double scale = options.fontHeightTwips / font->emSize;
    double ascent = options.font->ascent * options.fontHeightTwips / options.font->emSize;
    double lineStep = runtime::LineHeightTwips(options) + options.leadingTwips;
    for (size_t n = 0; n < lines.size(); ++n) {
        const runtime::TextLine& line = lines[n];
        double baseline = box.yMin + gutter + ascent + static_cast<double>(n) * lineStep;
        // Lines below the field are clipped away whole.
        if (baseline - ascent > box.yMax) break;
        double x = left;
        if (format.align == 1) x += room - line.widthTwips;
        if (format.align == 2) x += (room - line.widthTwips) / 2;
        for (size_t i = line.begin; i < line.end; ++i) {
            auto glyph = glyphOf.find(text[i]);
            if (glyph != glyphOf.end() && !font->glyphs[glyph->second].empty()) {
                if (out.size() == kMaxFieldGlyphs) return true;
                out.push_back(PlacedGlyph{&font->glyphs[glyph->second],
                                          Matrix{scale, 0, 0, scale, x, baseline}});
            }
            x += runtime::AdvanceTwips(text[i], options);
        }
    }
    return true;
}

}  // namespace kestrel::render
