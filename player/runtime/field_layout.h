// A text field's text laid out once, for drawing and for what scripts measure
// (textWidth, textHeight, scrolling, autoSize): every character in its own run's font
// and size, every paragraph with its own alignment, margins, indent and leading, every
// line as tall as its tallest run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "player/core/display_object.h"
#include "player/core/text_run.h"
#include "player/runtime/text_metrics.h"

namespace kestrel::runtime {

// A line as drawn: characters [begin, end) of the laid-out text, the first at `left`,
// all on `baseline` (field twips).
struct FieldLine {
    size_t begin = 0, end = 0;
    double left = 0, baseline = 0;
};

struct FieldLayout {
    std::u32string text;                         // as shown: a password field's is asterisks
    std::vector<player::TextRunFormat> formats;  // one per run
    std::vector<uint32_t> formatOf;              // per character, its run's format
    std::vector<double> advances;                // per character, twips
    // The lines from the scroll position on, down to the last one whose top is in
    // the field.
    std::vector<FieldLine> lines;
};

// The field's text placed for drawing, from its scroll position on.
FieldLayout LayOutField(const player::EditText& field);

// The widest line and the height of all lines with the leading between them (each
// paragraph's own), in the lines' own fonts and sizes.
TextMeasure MeasureText(const player::EditText& field);

// Vertical scrolling by whole lines: `scroll` is the first line shown (from 1), clamped to
// 1..maxScroll; maxScroll is the line count less the lines the first page shows, plus one;
// bottomScroll the last line shown whole from `scroll` (at least that one). A line shows
// whole when it ends inside the box; the leading below it may hang out.
struct ScrollPosition {
    int scroll = 1, maxScroll = 1, bottomScroll = 1;
};
ScrollPosition ScrollLines(const player::EditText& field, int wantedScroll);

// Resizes a field with autoSize set to fit its text: the left edge, the centre or the right
// edge stays in place as the mode says; the top stays. Fields that wrap keep their width.
void ApplyAutoSize(player::EditText& field);
// _width or _height of a field with autoSize set: the box takes the new size, then fits its
// text again as autoSize says.
void ResizeAutoSizedField(player::EditText& field, bool horizontal, double pixels);

// How the characters of a run are measured in `field`: its font when the field
// embeds its fonts and the movie has it, the device font otherwise.
TextLayoutOptions RunLayoutOptions(const player::EditText& field,
                                   const player::TextRunFormat& format);

// The field's text in one format: its own.
player::TextRunFormat DefinitionRunFormat(const player::EditTextDefinition& definition);

}  // namespace kestrel::runtime
