#include "player/runtime/text_metrics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "player/avm1/utf8.h"
#include "player/core/movie_definition.h"
#include "player/core/stage.h"

namespace kestrel::runtime {
namespace {

constexpr double kAscent = 0.905, kDescent = 0.212;
constexpr double kGutterTwips = kTextGutterTwips;
constexpr int kOtherWidth = 556;

// Arial advance widths, 1/1000 em, for ' ' (32) to '~' (126).
constexpr uint16_t kAsciiWidths[95] = {
    278,  278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278,  // ' '../
    556,  556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556,  // 0..?
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778,  // @..O
    667,  778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556,  // P.._
    333,  556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,  // `..o
    556,  556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584,       // p..~
};

double deviceAdvance(char32_t c) {
    if (c >= 32 && c <= 126) return kAsciiWidths[c - 32];
    if (c == '\t') return kAsciiWidths[0];
    return kOtherWidth;
}

class LineBreaker {
  public:
    explicit LineBreaker(const TextLayoutOptions& o) : o_(o) {}

    double Advance(char32_t c) const {
        if (!o_.font) return deviceAdvance(c) * o_.fontHeightTwips / 1000.0;
        auto it = o_.font->advances.find(c);
        if (it == o_.font->advances.end() || o_.font->emSize <= 0) return 0;
        return std::trunc(it->second * o_.fontHeightTwips / o_.font->emSize);
    }

    // The advance of chars[k] where the text is laid out.
    double At(const std::u32string& chars, size_t k) const {
        if (o_.advances && k < o_.advances->size()) return (*o_.advances)[k];
        return Advance(chars[k]);
    }

    double LineHeight() const {
        if (!o_.font || o_.font->emSize <= 0) return o_.fontHeightTwips * (kAscent + kDescent);
        return (o_.font->ascent + o_.font->descent) * o_.fontHeightTwips / o_.font->emSize;
    }

    // The lines of the paragraph chars[begin, end).
    void Paragraph(const std::u32string& chars, size_t begin, size_t end,
                   std::vector<TextLine>& lines) const {
        if (o_.wrapWidthTwips <= 0) {
            double w = 0, visible = 0;
            for (size_t k = begin; k < end; ++k) {
                w += At(chars, k);
                if (chars[k] != U' ') visible = w;
            }
            lines.push_back(TextLine{begin, end, o_.trailingSpacesCount ? w : visible});
            return;
        }
        double line = 0, visible = 0;  // visible: without trailing spaces
        size_t i = begin, lineStart = begin;
        bool lineEmpty = true;
        auto breakAt = [&](size_t at, double width) {
            lines.push_back(TextLine{lineStart, at, width});
            lineStart = at;
            line = visible = 0;
            lineEmpty = true;
        };
        while (i < end) {
            size_t wordEnd = i;
            double word = 0;
            while (wordEnd < end && chars[wordEnd] != U' ') word += At(chars, wordEnd++);
            double spaces = 0;
            size_t after = wordEnd;
            while (after < end && chars[after] == U' ') spaces += At(chars, after++);
            if (!lineEmpty && line + word > o_.wrapWidthTwips) breakAt(i, visible);
            if (lineEmpty && word > o_.wrapWidthTwips) {
                // A word longer than the line is broken where it overflows.
                for (size_t k = i; k < wordEnd; ++k) {
                    double a = At(chars, k);
                    if (!lineEmpty && line + a > o_.wrapWidthTwips) breakAt(k, line);
                    line += a;
                    lineEmpty = false;
                }
                visible = line;
            } else {
                line += word;
                visible = line;
                lineEmpty = false;
            }
            line += spaces;
            i = after;
        }
        lines.push_back(TextLine{lineStart, end, o_.trailingSpacesCount ? line : visible});
    }

  private:
    const TextLayoutOptions& o_;
};

}  // namespace

std::vector<TextLine> LayOutLines(const std::u32string& text, const TextLayoutOptions& options) {
    std::vector<TextLine> lines;
    if (text.empty()) return lines;
    LineBreaker breaker(options);
    size_t paragraph = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != U'\r' && text[i] != U'\n') continue;
        breaker.Paragraph(text, paragraph, i, lines);
        if (i + 1 < text.size() && text[i] == U'\r' && text[i + 1] == U'\n') ++i;
        paragraph = i + 1;
    }
    return lines;
}

double AdvanceTwips(char32_t c, const TextLayoutOptions& options) {
    return LineBreaker(options).Advance(c);
}

double LineHeightTwips(const TextLayoutOptions& options) {
    return LineBreaker(options).LineHeight();
}

double AscentTwips(const TextLayoutOptions& options) {
    if (!options.font || options.font->emSize <= 0) return options.fontHeightTwips * kAscent;
    return options.font->ascent * options.fontHeightTwips / options.font->emSize;
}

TextMeasure MeasureLaidOutText(std::string_view text, const TextLayoutOptions& options) {
    TextMeasure m;
    std::vector<TextLine> lines = LayOutLines(avm1::decodeUtf8(text), options);
    if (lines.empty()) return m;
    m.lines = static_cast<int>(lines.size());
    for (const TextLine& line : lines)
        m.exactWidthTwips = std::max(m.exactWidthTwips, line.widthTwips);
    m.exactHeightTwips = m.lines * LineHeightTwips(options) + (m.lines - 1) * options.leadingTwips;
    m.leadingTwips = options.leadingTwips;
    m.textWidth = std::floor(m.exactWidthTwips / player::kTwipsPerPixel);
    m.textHeight = std::floor(m.exactHeightTwips / player::kTwipsPerPixel);
    return m;
}

TextMeasure MeasureDeviceText(std::string_view text, double fontHeightTwips, double leadingTwips) {
    TextLayoutOptions options;
    options.fontHeightTwips = fontHeightTwips;
    options.leadingTwips = leadingTwips;
    return MeasureLaidOutText(text, options);
}

TextLayoutOptions LayoutOptionsOf(const player::EditText& field) {
    const player::EditTextDefinition& d = field.format();
    TextLayoutOptions options;
    options.fontHeightTwips = d.fontHeight;
    options.leadingTwips = d.leading;
    // Movies before SWF 8 measure trailing spaces whatever the alignment.
    options.trailingSpacesCount = d.align == 0 || field.stage().movie().version() < 8;
    if (d.useOutlines && !d.fontName.empty())
        options.font = field.stage().movie().fontMetrics(d.fontName, d.fontBold, d.fontItalic);
    if (d.wordWrap)
        options.wrapWidthTwips =
            std::max(1.0, d.bounds.width() - 2 * kGutterTwips - d.leftMargin - d.rightMargin);
    return options;
}

TextMeasure MeasureText(const player::EditText& field) {
    return MeasureLaidOutText(field.text(), LayoutOptionsOf(field));
}

ScrollPosition ScrollLines(const player::EditText& field, int wantedScroll) {
    TextMeasure m = MeasureText(field);
    ScrollPosition p;
    int lines = std::max(1, m.lines);
    double step = m.lines > 0 ? (m.exactHeightTwips + m.leadingTwips) / m.lines : 1;
    double room = field.format().bounds.height() - 2 * kGutterTwips + m.leadingTwips;
    int shown = step > 0 ? static_cast<int>(std::floor(room / step)) : lines;
    shown = std::clamp(shown, 1, lines);
    p.maxScroll = lines - shown + 1;
    p.scroll = std::clamp(wantedScroll, 1, p.maxScroll);
    p.bottomScroll = std::min(lines, p.scroll + shown - 1);
    return p;
}

void ResizeTextField(player::EditText& field, bool horizontal, double pixels) {
    if (!std::isfinite(pixels) || pixels < 0) return;
    double scale = (horizontal ? field.xScale() : field.yScale()) / 100.0;
    if (!std::isfinite(scale) || std::fabs(scale) < 1e-9) return;
    double twips = std::round(pixels * player::kTwipsPerPixel / std::fabs(scale));
    player::Rect& b = field.format().bounds;
    if (b.isEmpty()) b = player::Rect{0, 0, 0, 0};
    if (horizontal)
        b.xMax = b.xMin + twips;
    else
        b.yMax = b.yMin + twips;
}

void ApplyAutoSize(player::EditText& field) {
    player::EditTextDefinition& format = field.format();
    if (format.autoSize == player::TextAutoSize::None) return;
    TextMeasure m = MeasureText(field);
    player::Rect& b = format.bounds;
    if (b.isEmpty()) b = player::Rect{0, 0, 0, 0};
    // Sizes and positions are whole twips; the last line's leading is part of the field.
    double height = m.lines > 0 ? m.exactHeightTwips + m.leadingTwips : 0;
    b.yMax = b.yMin + std::floor(height + 2 * kGutterTwips);
    if (format.wordWrap) return;
    double oldWidth = b.xMax - b.xMin;
    double newWidth = std::floor(m.exactWidthTwips + 2 * kGutterTwips);
    b.xMax = b.xMin + newWidth;
    double shift = 0;
    if (format.autoSize == player::TextAutoSize::Center)
        shift = std::trunc((oldWidth - newWidth) / 2);
    if (format.autoSize == player::TextAutoSize::Right) shift = oldWidth - newWidth;
    if (shift != 0)
        field.setX(std::round(field.x() * player::kTwipsPerPixel + shift) / player::kTwipsPerPixel);
}

}  // namespace kestrel::runtime
