#include "player/runtime/field_layout.h"

#include <algorithm>
#include <cmath>

#include "player/avm1/utf8.h"
#include "player/core/movie_definition.h"
#include "player/core/stage.h"

namespace kestrel::runtime {

using player::TextRunFormat;

namespace {

bool IsBreak(char32_t c) {
    return c == U'\r' || c == U'\n';
}

// The runs of the field's text; when they do not add up to it (the text was set
// from elsewhere since), the whole text in the field's own format.
void TakeRuns(const player::EditText& field, FieldLayout& out) {
    size_t total = 0;
    for (const player::TextRun& run : field.Runs()) total += run.length;
    if (field.Runs().empty() || total != out.text.size()) {
        out.formats.assign(1, DefinitionRunFormat(field.format()));
        out.formatOf.assign(out.text.size(), 0);
        return;
    }
    out.formatOf.reserve(total);
    for (const player::TextRun& run : field.Runs()) {
        if (run.length == 0) continue;
        auto index = static_cast<uint32_t>(out.formats.size());
        out.formats.push_back(run.format);
        out.formatOf.insert(out.formatOf.end(), run.length, index);
    }
}

// The format of character `i`, or of the last one past the end.
const TextRunFormat& FormatAt(const FieldLayout& layout, size_t i) {
    if (layout.formatOf.empty()) return layout.formats.front();
    return layout.formats[layout.formatOf[std::min(i, layout.formatOf.size() - 1)]];
}

// A justified line that wrapped reaches across its room (`room` less what starts the
// line, such as an indent): the spaces between its words share what is left. Spaces
// that end the line take no share and no room, whatever the version measures.
void Justify(FieldLayout& layout, const TextLine& line, double room) {
    size_t last = line.end;
    while (last > line.begin && layout.text[last - 1] == U' ') --last;
    double visible = 0;
    size_t spaces = 0;
    for (size_t i = line.begin; i < last; ++i) {
        visible += layout.advances[i];
        spaces += layout.text[i] == U' ' ? 1 : 0;
    }
    double extra = room - visible;
    if (spaces == 0 || !(extra > 0)) return;
    for (size_t i = line.begin; i < last; ++i)
        if (layout.text[i] == U' ') layout.advances[i] += extra / static_cast<double>(spaces);
}

}  // namespace

TextRunFormat DefinitionRunFormat(const player::EditTextDefinition& d) {
    TextRunFormat f;
    f.fontName = d.fontName;
    f.bold = d.fontBold;
    f.italic = d.fontItalic;
    f.heightTwips = d.fontHeight;
    f.color = d.textColor;
    f.align = d.align;
    f.leftMargin = d.leftMargin;
    f.rightMargin = d.rightMargin;
    f.indent = d.indent;
    f.leading = d.leading;
    return f;
}

TextLayoutOptions RunLayoutOptions(const player::EditText& field, const TextRunFormat& format) {
    TextLayoutOptions options = LayoutOptionsOf(field);
    options.fontHeightTwips = format.heightTwips;
    options.leadingTwips = format.leading;
    options.font = MeasuredFont(field, format.fontName, format.bold, format.italic);
    return options;
}

FieldLayout LayOutField(const player::EditText& field) {
    FieldLayout out;
    const player::EditTextDefinition& d = field.format();
    out.text = avm1::decodeUtf8(field.text());
    if (d.password)
        for (char32_t& c : out.text)
            if (!IsBreak(c)) c = U'*';
    TakeRuns(field, out);
    if (out.text.empty()) return out;

    std::vector<TextLayoutOptions> options;
    options.reserve(out.formats.size());
    for (const TextRunFormat& f : out.formats) options.push_back(RunLayoutOptions(field, f));
    out.advances.resize(out.text.size());
    for (size_t i = 0; i < out.text.size(); ++i)
        out.advances[i] = AdvanceTwips(out.text[i], options[out.formatOf[i]]);

    // Lines are broken paragraph by paragraph, each in its own width; a paragraph's
    // indent takes room at the start of its first line.
    const player::Rect& box = d.bounds;
    TextLayoutOptions breaking = LayoutOptionsOf(field);
    bool before8 = field.stage().movie().version() < 8;
    std::vector<TextLine> lines;
    std::vector<double> paragraphAdvances;
    size_t paragraph = 0;
    for (size_t i = 0; i <= out.text.size(); ++i) {
        if (i < out.text.size() && !IsBreak(out.text[i])) continue;
        const TextRunFormat& f = FormatAt(out, paragraph);
        if (paragraph == i) {
            lines.push_back(TextLine{paragraph, paragraph, 0});
        } else {
            paragraphAdvances.assign(out.advances.begin() + static_cast<ptrdiff_t>(paragraph),
                                     out.advances.begin() + static_cast<ptrdiff_t>(i));
            paragraphAdvances[0] += f.indent;
            breaking.advances = &paragraphAdvances;
            breaking.trailingSpacesCount = f.align == 0 || before8;
            if (d.wordWrap)
                breaking.wrapWidthTwips = std::max(
                    1.0, box.width() - 2 * kTextGutterTwips - f.leftMargin - f.rightMargin);
            for (TextLine line : LayOutLines(out.text.substr(paragraph, i - paragraph), breaking)) {
                line.begin += paragraph;
                line.end += paragraph;
                lines.push_back(line);
            }
        }
        if (i + 1 < out.text.size() && out.text[i] == U'\r' && out.text[i + 1] == U'\n') ++i;
        paragraph = i + 1;
    }

    int first = ScrollLines(field, field.Scroll()).scroll - 1;
    first = std::clamp(first, 0, static_cast<int>(lines.size()));
    double top = box.yMin + kTextGutterTwips;
    double shift = field.Hscroll() * player::kTwipsPerPixel;
    for (size_t n = static_cast<size_t>(first); n < lines.size(); ++n) {
        const TextLine& line = lines[n];
        // A line is as tall as its tallest run; an empty one as its line break's.
        double ascent = 0, descent = 0;
        size_t last = std::max(line.end, line.begin + 1);
        for (size_t i = line.begin; i < last; ++i) {
            const TextLayoutOptions& o = options[out.formatOf[std::min(i, out.text.size() - 1)]];
            double a = AscentTwips(o);
            ascent = std::max(ascent, a);
            descent = std::max(descent, LineHeightTwips(o) - a);
        }
        // Lines below the field are clipped away whole.
        if (top > box.yMax) break;
        const TextRunFormat& f = FormatAt(out, line.begin);
        double left = box.xMin + kTextGutterTwips + f.leftMargin - shift;
        double room = box.width() - 2 * kTextGutterTwips - f.leftMargin - f.rightMargin;
        bool opensParagraph = line.begin == 0 || IsBreak(out.text[line.begin - 1]);
        if (opensParagraph) left += f.indent;
        double indent = opensParagraph ? f.indent : 0;
        if (f.align == 1) left += room - line.widthTwips;
        if (f.align == 2) left += (room - line.widthTwips) / 2;
        bool closesParagraph = line.end == out.text.size() || IsBreak(out.text[line.end]);
        if (f.align == 3 && !closesParagraph) Justify(out, line, room - indent);
        out.lines.push_back(FieldLine{line.begin, line.end, left, top + ascent});
        top += ascent + descent + f.leading;
    }
    return out;
}

}  // namespace kestrel::runtime
