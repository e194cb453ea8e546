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

double AdvanceIn(char32_t c, double fontHeightTwips, const player::FontMetrics* font) {
    if (!font) return deviceAdvance(c) * fontHeightTwips / 1000.0;
    auto it = font->advances.find(c);
    if (it == font->advances.end() || font->emSize <= 0) return 0;
    return std::trunc(it->second * fontHeightTwips / font->emSize);
}

// Ascent and descent of a font at a size.
std::pair<double, double> VerticalMetrics(double fontHeightTwips, const player::FontMetrics* font) {
    if (!font) return {fontHeightTwips * kAscent, fontHeightTwips * kDescent};
    if (font->emSize <= 0) return {0, 0};
    double scale = fontHeightTwips / font->emSize;
    return {font->ascent * scale, font->descent * scale};
}

class LineBreaker {
  public:
    // Measures every character once, unless the caller has.
    LineBreaker(const std::u32string& chars, const TextLayoutOptions& o) : o_(o) {
        advance_.resize(chars.size());
        for (size_t i = 0; i < chars.size(); ++i)
            advance_[i] = o.advances && i < o.advances->size()
                              ? (*o.advances)[i]
                              : AdvanceIn(chars[i], o.fontHeightTwips, o.font);
        auto [ascent, descent] = VerticalMetrics(o.fontHeightTwips, o.font);
        ascent_ = ascent;
        height_ = ascent + descent;
    }

    // The lines of the paragraph chars[begin, end).
    void Paragraph(const std::u32string& chars, size_t begin, size_t end,
                   std::vector<TextLine>& lines) const {
        if (o_.wrapWidthTwips <= 0) {
            double w = 0, visible = 0;
            for (size_t k = begin; k < end; ++k) {
                w += advance_[k];
                if (chars[k] != U' ') visible = w;
            }
            Push(lines, begin, end, o_.trailingSpacesCount ? w : visible);
            return;
        }
        double line = 0, visible = 0;  // visible: without trailing spaces
        size_t i = begin, lineStart = begin;
        bool lineEmpty = true;
        auto breakAt = [&](size_t at, double width) {
            Push(lines, lineStart, at, width);
            lineStart = at;
            line = visible = 0;
            lineEmpty = true;
        };
        while (i < end) {
            size_t wordEnd = i;
            double word = 0;
            while (wordEnd < end && chars[wordEnd] != U' ') word += advance_[wordEnd++];
            double spaces = 0;
            size_t after = wordEnd;
            while (after < end && chars[after] == U' ') spaces += advance_[after++];
            if (!lineEmpty && line + word > o_.wrapWidthTwips)
                breakAt(i, o_.trailingSpacesCount ? line : visible);
            if (lineEmpty && word > o_.wrapWidthTwips) {
                // A word longer than the line is broken where it overflows.
                for (size_t k = i; k < wordEnd; ++k) {
                    double a = advance_[k];
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
        Push(lines, lineStart, end, o_.trailingSpacesCount ? line : visible);
    }

  private:
    void Push(std::vector<TextLine>& lines, size_t begin, size_t end, double width) const {
        lines.push_back(TextLine{begin, end, width, ascent_, height_});
    }

    const TextLayoutOptions& o_;
    std::vector<double> advance_;
    double ascent_ = 0, height_ = 0;
};

}  // namespace

std::vector<TextLine> LayOutLines(const std::u32string& text, const TextLayoutOptions& options) {
    std::vector<TextLine> lines;
    if (text.empty()) return lines;
    LineBreaker breaker(text, options);
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
    return AdvanceIn(c, options.fontHeightTwips, options.font);
}

double LineHeightTwips(const TextLayoutOptions& options) {
    auto [ascent, descent] = VerticalMetrics(options.fontHeightTwips, options.font);
    return ascent + descent;
}

double AscentTwips(const TextLayoutOptions& options) {
    return VerticalMetrics(options.fontHeightTwips, options.font).first;
}

TextMeasure MeasureLaidOutText(std::string_view text, const TextLayoutOptions& options) {
    TextMeasure m;
    std::vector<TextLine> lines = LayOutLines(avm1::decodeUtf8(text), options);
    if (lines.empty()) return m;
    m.lines = static_cast<int>(lines.size());
    for (const TextLine& line : lines) {
        m.exactWidthTwips = std::max(m.exactWidthTwips, line.widthTwips);
        m.exactHeightTwips += line.heightTwips;
    }
    m.exactHeightTwips += (m.lines - 1) * options.leadingTwips;
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

const player::FontMetrics* MeasuredFont(const player::EditText& field, const std::string& name,
                                        bool bold, bool italic) {
    // No characters and an em of 0: every advance and every height is 0.
    static const player::FontMetrics kNoFont = [] {
        player::FontMetrics none;
        none.emSize = 0;
        return none;
    }();
    if (!field.format().useOutlines) return nullptr;
    const player::FontMetrics* font =
        name.empty() ? nullptr : field.stage().movie().fontMetrics(name, bold, italic);
    return font ? font : &kNoFont;
}

TextLayoutOptions LayoutOptionsOf(const player::EditText& field) {
    const player::EditTextDefinition& d = field.format();
    TextLayoutOptions options;
    options.fontHeightTwips = d.fontHeight;
    options.leadingTwips = d.leading;
    // Movies before SWF 8 measure trailing spaces whatever the alignment.
    options.trailingSpacesCount = d.align == 0 || field.stage().movie().version() < 8;
    options.font = MeasuredFont(field, d.fontName, d.fontBold, d.fontItalic);
    if (d.wordWrap)
        options.wrapWidthTwips =
            std::max(1.0, d.bounds.width() - 2 * kGutterTwips - d.leftMargin - d.rightMargin);
    return options;
}

int WantedScrollLine(double value) {
    // The largest number that still scrolls, measured in the reference player.
    constexpr double kLastScrollingNumber = 767100486418432.9;
    if (!(value >= 0) || value > kLastScrollingNumber) return 0;
    return static_cast<int>(std::min(std::trunc(value), 2147483647.0));
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

}  // namespace kestrel::runtime
