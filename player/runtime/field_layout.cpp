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

namespace {

// A line of the whole text: its characters, its width for alignment (with the indent
// that opens a paragraph), its height without leading and the leading below it.
struct TextLineBox {
    size_t begin = 0, end = 0;
    double widthTwips = 0, indentTwips = 0;
    double ascentTwips = 0, descentTwips = 0, leadingTwips = 0;
    double HeightTwips() const { return ascentTwips + descentTwips; }
};

// Measures every character in its run's font and size and breaks the text into lines,
// paragraph by paragraph, each in its own width; a paragraph's indent takes room at the
// start of its first line.
std::vector<TextLineBox> LayOutText(const player::EditText& field, FieldLayout& out) {
    const player::EditTextDefinition& d = field.format();
    out.text = avm1::decodeUtf8(field.text());
    if (d.password)
        for (char32_t& c : out.text)
            if (!IsBreak(c)) c = U'*';
    TakeRuns(field, out);
    if (out.text.empty()) return {};

    std::vector<TextLayoutOptions> options;
    options.reserve(out.formats.size());
    for (const TextRunFormat& f : out.formats) options.push_back(RunLayoutOptions(field, f));
    out.advances.resize(out.text.size());
    for (size_t i = 0; i < out.text.size(); ++i)
        out.advances[i] = AdvanceTwips(out.text[i], options[out.formatOf[i]]);

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
                    1.0, d.bounds.width() - 2 * kTextGutterTwips - f.leftMargin - f.rightMargin);
            for (TextLine line : LayOutLines(out.text.substr(paragraph, i - paragraph), breaking)) {
                line.begin += paragraph;
                line.end += paragraph;
                lines.push_back(line);
            }
        }
        if (i + 1 < out.text.size() && out.text[i] == U'\r' && out.text[i + 1] == U'\n') ++i;
        paragraph = i + 1;
    }

    std::vector<TextLineBox> boxes;
    boxes.reserve(lines.size());
    for (const TextLine& line : lines) {
        TextLineBox box{line.begin, line.end, line.widthTwips};
        const TextRunFormat& f = FormatAt(out, line.begin);
        bool opensParagraph = line.begin == 0 || IsBreak(out.text[line.begin - 1]);
        if (opensParagraph && line.end > line.begin) box.indentTwips = f.indent;
        box.leadingTwips = f.leading;
        // A line is as tall as its tallest run; an empty one as its line break's.
        size_t last = std::max(line.end, line.begin + 1);
        for (size_t i = line.begin; i < last; ++i) {
            const TextLayoutOptions& o = options[out.formatOf[std::min(i, out.text.size() - 1)]];
            double ascent = AscentTwips(o);
            box.ascentTwips = std::max(box.ascentTwips, ascent);
            box.descentTwips = std::max(box.descentTwips, LineHeightTwips(o) - ascent);
        }
        boxes.push_back(box);
    }
    return boxes;
}

ScrollPosition ScrollOf(const player::EditText& field, const std::vector<TextLineBox>& lines,
                        int wantedScroll) {
    ScrollPosition p;
    if (lines.empty()) return p;
    // A line fits while it ends inside the box; the leading below it may hang out.
    double room = field.format().bounds.height() - 2 * kTextGutterTwips;
    auto lastShown = [&](size_t first) {
        size_t last = first;
        double used = lines[first].HeightTwips() + lines[first].leadingTwips;
        while (last + 1 < lines.size()) {
            const TextLineBox& next = lines[last + 1];
            if (used + next.HeightTwips() > room) break;
            used += next.HeightTwips() + next.leadingTwips;
            ++last;
        }
        return last;
    };
    // The text scrolls by as many lines as the first page shows, whatever their heights
    // further down.
    size_t firstPage = lastShown(0) + 1;
    p.maxScroll = static_cast<int>(lines.size() - firstPage) + 1;
    p.scroll = std::clamp(wantedScroll, 1, p.maxScroll);
    p.bottomScroll = static_cast<int>(lastShown(static_cast<size_t>(p.scroll) - 1)) + 1;
    return p;
}

}  // namespace

FieldLayout LayOutField(const player::EditText& field) {
    FieldLayout out;
    std::vector<TextLineBox> lines = LayOutText(field, out);
    if (lines.empty()) return out;
    const player::Rect& box = field.format().bounds;
    auto first = static_cast<size_t>(ScrollOf(field, lines, field.Scroll()).scroll - 1);
    double top = box.yMin + kTextGutterTwips;
    double shift = field.Hscroll() * player::kTwipsPerPixel;
    for (size_t n = first; n < lines.size(); ++n) {
        const TextLineBox& line = lines[n];
        // Lines below the field are clipped away whole.
        if (top > box.yMax) break;
        const TextRunFormat& f = FormatAt(out, line.begin);
        double left = box.xMin + kTextGutterTwips + f.leftMargin + line.indentTwips - shift;
        double room = box.width() - 2 * kTextGutterTwips - f.leftMargin - f.rightMargin;
        if (f.align == 1) left += room - line.widthTwips;
        if (f.align == 2) left += (room - line.widthTwips) / 2;
        bool closesParagraph = line.end == out.text.size() || IsBreak(out.text[line.end]);
        if (f.align == 3 && !closesParagraph)
            Justify(out, TextLine{line.begin, line.end, line.widthTwips}, room - line.indentTwips);
        out.lines.push_back(FieldLine{line.begin, line.end, left, top + line.ascentTwips});
        top += line.HeightTwips() + line.leadingTwips;
    }
    return out;
}

TextMeasure MeasureText(const player::EditText& field) {
    FieldLayout layout;
    std::vector<TextLineBox> lines = LayOutText(field, layout);
    TextMeasure m;
    if (lines.empty()) return m;
    m.lines = static_cast<int>(lines.size());
    for (const TextLineBox& line : lines) {
        m.exactWidthTwips = std::max(m.exactWidthTwips, line.widthTwips - line.indentTwips);
        m.exactWidthTwips = std::max(m.exactWidthTwips, 0.0);
        m.exactHeightTwips += line.HeightTwips() + line.leadingTwips;
    }
    // The last line's leading is not the text's, though an autosized box keeps it.
    m.leadingTwips = lines.back().leadingTwips;
    m.exactHeightTwips -= m.leadingTwips;
    m.textWidth = std::floor(m.exactWidthTwips / player::kTwipsPerPixel);
    m.textHeight = std::floor(m.exactHeightTwips / player::kTwipsPerPixel);
    return m;
}

ScrollPosition ScrollLines(const player::EditText& field, int wantedScroll) {
    FieldLayout layout;
    return ScrollOf(field, LayOutText(field, layout), wantedScroll);
}

void ResizeAutoSizedField(player::EditText& field, bool horizontal, double pixels) {
    ResizeTextField(field, horizontal, pixels);
    ApplyAutoSize(field);
}

void ApplyAutoSize(player::EditText& field) {
    player::EditTextDefinition& format = field.format();
    if (format.autoSize == player::TextAutoSize::None) return;
    TextMeasure m = MeasureText(field);
    player::Rect& b = format.bounds;
    if (b.isEmpty()) b = player::Rect{0, 0, 0, 0};
    // Sizes and positions are whole twips; the last line's leading is part of the field.
    double height = m.lines > 0 ? m.exactHeightTwips + m.leadingTwips : 0;
    b.yMax = b.yMin + std::floor(height + 2 * kTextGutterTwips);
    if (format.wordWrap) return;
    double oldWidth = b.xMax - b.xMin;
    double newWidth = std::floor(m.exactWidthTwips + 2 * kTextGutterTwips);
    b.xMax = b.xMin + newWidth;
    double shift = 0;
    if (format.autoSize == player::TextAutoSize::Center)
        shift = std::trunc((oldWidth - newWidth) / 2);
    if (format.autoSize == player::TextAutoSize::Right) shift = oldWidth - newWidth;
    // The box moves inside the field, so a duplicate (which takes the transform) starts
    // where the field was placed.
    shift = std::round(shift);
    b.xMin += shift;
    b.xMax += shift;
}

}  // namespace kestrel::runtime
