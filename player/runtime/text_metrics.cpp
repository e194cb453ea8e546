#include "player/runtime/text_metrics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "player/avm1/utf8.h"

namespace kestrel::runtime {
namespace {

constexpr double kAscent = 0.905, kDescent = 0.212;
constexpr double kGutterTwips = 2 * player::kTwipsPerPixel;
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

int advanceOf(char32_t c) {
    if (c >= 32 && c <= 126) return kAsciiWidths[c - 32];
    if (c == '\t') return kAsciiWidths[0];
    return kOtherWidth;
}

}  // namespace

TextMeasure MeasureDeviceText(std::string_view text, double fontHeightTwips, double leadingTwips) {
    TextMeasure m;
    if (text.empty()) return m;
    std::u32string chars = avm1::decodeUtf8(text);
    double widest = 0, line = 0;
    int lines = 1;
    for (size_t i = 0; i < chars.size(); ++i) {
        char32_t c = chars[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < chars.size() && chars[i + 1] == '\n') ++i;
            widest = std::max(widest, line);
            line = 0;
            ++lines;
            continue;
        }
        line += advanceOf(c) * fontHeightTwips / 1000.0;
    }
    widest = std::max(widest, line);
    m.exactWidthTwips = widest;
    m.exactHeightTwips =
        lines * fontHeightTwips * (kAscent + kDescent) + (lines - 1) * std::max(0.0, leadingTwips);
    m.textWidth = std::floor(m.exactWidthTwips / player::kTwipsPerPixel);
    m.textHeight = std::floor(m.exactHeightTwips / player::kTwipsPerPixel);
    return m;
}

TextMeasure MeasureText(const player::EditText& field) {
    return MeasureDeviceText(field.text(), field.format().fontHeight, field.format().leading);
}

void ApplyAutoSize(player::EditText& field) {
    player::EditTextDefinition& format = field.format();
    if (format.autoSize == player::TextAutoSize::None) return;
    TextMeasure m = MeasureText(field);
    player::Rect& b = format.bounds;
    if (b.isEmpty()) b = player::Rect{0, 0, 0, 0};
    b.yMax = b.yMin + m.exactHeightTwips + 2 * kGutterTwips;
    if (format.wordWrap) return;
    double oldWidth = b.xMax - b.xMin;
    double newWidth = m.exactWidthTwips + 2 * kGutterTwips;
    b.xMax = b.xMin + newWidth;
    double shift = 0;
    if (format.autoSize == player::TextAutoSize::Center) shift = (oldWidth - newWidth) / 2;
    if (format.autoSize == player::TextAutoSize::Right) shift = oldWidth - newWidth;
    if (shift != 0) field.setX(field.x() + shift / player::kTwipsPerPixel);
}

}  // namespace kestrel::runtime
