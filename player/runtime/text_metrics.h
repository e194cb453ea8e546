// Text metrics: fonts, advances and line breaking, which a field's layout is built on.
//
// A field that embeds its font and finds it in the movie with layout data is measured
// with that font's advances, ascent and descent; each advance is cut to whole twips at
// the field's size, as the player places glyphs. Without such a font it has nothing to
// draw with, so its text measures nothing: no width, no height. Other fields use a
// device font, measured with the advance widths of Arial (metric-compatible with
// Helvetica and Liberation Sans, the usual sans device font), thousandths of an em for
// printable ASCII and the digit width for everything else, a line being ascent plus
// descent (0.905 + 0.212 em) tall. The leading goes between lines.
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
    // Spaces that end a line, wrapped or not, are measured in left-aligned text only (from
    // SWF 8 on).
    bool trailingSpacesCount = true;
    // The advance of every character of the text laid out, when its characters differ
    // in font or size (not owned); null: each from `font` at `fontHeightTwips`.
    const std::vector<double>* advances = nullptr;
};

// A line of laid-out text: characters [begin, end) (line breaks excluded, spaces that
// end it included), its measured width, and its height without leading in the options'
// font and size (a field's layout sets the heights of lines that mix runs).
struct TextLine {
    size_t begin = 0, end = 0;
    double widthTwips = 0;
    double ascentTwips = 0, heightTwips = 0;
};
// Breaks `text` (UTF-16 units) into lines as MeasureLaidOutText does.
std::vector<TextLine> LayOutLines(const std::u32string& text, const TextLayoutOptions& options);
// A character's advance (whole twips with an embedded font), and the height of a line
// without its leading, in the options' own font and size.
double AdvanceTwips(char32_t c, const TextLayoutOptions& options);
double LineHeightTwips(const TextLayoutOptions& options);
// The part of that height above the baseline.
double AscentTwips(const TextLayoutOptions& options);
// The font a field measures `name` in: null for the device font when the field does not
// embed its fonts; when it does and the movie has no such font with layout data, a font
// with no characters and no height.
const player::FontMetrics* MeasuredFont(const player::EditText& field, const std::string& name,
                                        bool bold, bool italic);
// How a field's text is laid out: its font, size, leading and wrap width.
TextLayoutOptions LayoutOptionsOf(const player::EditText& field);

// Measures `text` (lines end at "\r", "\n" or "\r\n"; wrapping lines break after spaces,
// and inside a word longer than the line).
TextMeasure MeasureLaidOutText(std::string_view text, const TextLayoutOptions& options);
// The same with the device font and no wrapping.
TextMeasure MeasureDeviceText(std::string_view text, double fontHeightTwips, double leadingTwips);
// The line a script's number asks `scroll` for, before clamping: whole lines, nothing below
// 0. Past about 7.671e14 the player's own arithmetic overflows and the field goes back to its
// first line, so such numbers ask for line 0.
int WantedScrollLine(double value);

// _width or _height of a field: the box takes the new size in whole twips (in the field's
// own space, so a scaled field still shows `pixels` wide); negative and NaN sizes are
// ignored.
void ResizeTextField(player::EditText& field, bool horizontal, double pixels);

}  // namespace kestrel::runtime
