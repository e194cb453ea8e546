// Text metrics of a field, and autoSize built on them.
//
// A field that embeds its font and finds it in the movie with layout data is measured
// with that font's advances, ascent and descent; each advance is cut to whole twips at
// the field's size, as the player places glyphs. Other fields use a device font:
// measured with the advance widths of Arial (metric-compatible with Helvetica and
// Liberation Sans, the usual sans device font), thousandths of an em for printable
// ASCII and the digit width for everything else, a line being ascent plus descent
// (0.905 + 0.212 em) tall. The leading goes between lines in textHeight; an autosized
// field also keeps the last line's leading, and a 2-pixel gutter on each side.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "player/core/character_definitions.h"
#include "player/core/display_object.h"

namespace kestrel::runtime {

// Fields keep this much space inside their box on every side.
constexpr double kTextGutterTwips = 2 * player::kTwipsPerPixel;

struct TextMeasure {
    double textWidth = 0;   // widest line, whole pixels (what scripts read)
    double textHeight = 0;  // all lines with the leading between them, whole pixels
    double exactWidthTwips = 0, exactHeightTwips = 0;
    double leadingTwips = 0;
    int lines = 0;
};

struct TextLayoutOptions {
    double fontHeightTwips = 240;
    double leadingTwips = 0;
    const player::FontMetrics* font = nullptr;  // null: the device font
    double wrapWidthTwips = 0;                  // 0: lines break only at "\r" and "\n"
    // Spaces that end a line are measured in left-aligned text only (from SWF 8 on).
    bool trailingSpacesCount = true;
    // The advance of every character of the text laid out, when its characters differ
    // in font or size (not owned); null: each from `font` at `fontHeightTwips`.
    const std::vector<double>* advances = nullptr;
};

// A line of laid-out text: characters [begin, end) (line breaks excluded, spaces that
// end it included) and its measured width.
struct TextLine {
    size_t begin = 0, end = 0;
    double widthTwips = 0;
};
// Breaks `text` (UTF-16 units) into lines as MeasureLaidOutText does.
std::vector<TextLine> LayOutLines(const std::u32string& text, const TextLayoutOptions& options);
// A character's advance (whole twips with an embedded font), and the height of a line
// without its leading.
double AdvanceTwips(char32_t c, const TextLayoutOptions& options);
double LineHeightTwips(const TextLayoutOptions& options);
// The part of that height above the baseline.
double AscentTwips(const TextLayoutOptions& options);
// How a field's text is laid out: its font, size, leading and wrap width.
TextLayoutOptions LayoutOptionsOf(const player::EditText& field);

// Measures `text` (lines end at "\r", "\n" or "\r\n"; wrapping lines break after spaces,
// and inside a word longer than the line).
TextMeasure MeasureLaidOutText(std::string_view text, const TextLayoutOptions& options);
// The same with the device font and no wrapping.
TextMeasure MeasureDeviceText(std::string_view text, double fontHeightTwips, double leadingTwips);
TextMeasure MeasureText(const player::EditText& field);

// Vertical scrolling by whole lines: `scroll` is the first line shown (from 1), clamped to
// 1..maxScroll; maxScroll is the first line from which the last line still shows;
// bottomScroll the last line shown whole (at least the first).
struct ScrollPosition {
    int scroll = 1, maxScroll = 1, bottomScroll = 1;
};
ScrollPosition ScrollLines(const player::EditText& field, int wantedScroll);

// _width or _height of a field: the box takes the new size in whole twips (in the field's
// own space, so a scaled field still shows `pixels` wide); negative and NaN sizes are
// ignored.
void ResizeTextField(player::EditText& field, bool horizontal, double pixels);

// Resizes a field with autoSize set to fit its text: the left edge, the centre or the right
// edge stays in place as the mode says; the top stays. Fields that wrap keep their width.
void ApplyAutoSize(player::EditText& field);

}  // namespace kestrel::runtime
