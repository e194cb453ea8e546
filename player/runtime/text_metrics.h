// Text metrics of a field drawn in a device font, and autoSize built on them.
//
// Device fonts are measured with the advance widths of Arial (metric-compatible with
// Helvetica and Liberation Sans, the usual sans device font): widths in thousandths of
// an em for printable ASCII, the average digit width for everything else; a line is
// ascent plus descent (0.905 + 0.212 em) tall. Fields keep a 2-pixel gutter on each
// side, so an autosized field is its text plus 4 pixels each way.
#pragma once

#include <string_view>

#include "player/core/display_object.h"

namespace kestrel::runtime {

struct TextMeasure {
    double textWidth = 0;   // widest line, whole pixels (what scripts read)
    double textHeight = 0;  // all lines with the leading between them, whole pixels
    double exactWidthTwips = 0, exactHeightTwips = 0;
};

// Measures `text` (lines end at "\r", "\n" or "\r\n") at `fontHeightTwips`, with
// `leadingTwips` between lines.
TextMeasure MeasureDeviceText(std::string_view text, double fontHeightTwips, double leadingTwips);
TextMeasure MeasureText(const player::EditText& field);

// Resizes a field with autoSize set to fit its text: the left edge, the centre or the right
// edge stays in place as the mode says; the top stays. Fields that wrap keep their width.
void ApplyAutoSize(player::EditText& field);

}  // namespace kestrel::runtime
