// A text field's text placed for drawing, from the line breaking the metrics use:
// every character in its own run's font and size, every paragraph with its own
// alignment, margins, indent and leading, every line as tall as its tallest run,
// starting at the field's scroll position.
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

FieldLayout LayOutField(const player::EditText& field);

// How the characters of a run are measured in `field`: its font when the field
// embeds its fonts and the movie has it, the device font otherwise.
TextLayoutOptions RunLayoutOptions(const player::EditText& field,
                                   const player::TextRunFormat& format);

// The field's text in one format: its own.
player::TextRunFormat DefinitionRunFormat(const player::EditTextDefinition& definition);

}  // namespace kestrel::runtime
