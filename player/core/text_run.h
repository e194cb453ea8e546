// A stretch of a text field's characters drawn in one format. The runtime keeps a
// field's formatted text; the field keeps these for drawing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "player/core/swf_types.h"

namespace kestrel::player {

struct TextRunFormat {
    std::string fontName;
    bool bold = false, italic = false, underline = false;
    double heightTwips = 240;
    Rgba color;
    // The paragraph the run is in: every run of a paragraph has the same.
    uint8_t align = 0;  // 0 left, 1 right, 2 centre, 3 justify
    double leftMargin = 0, rightMargin = 0, indent = 0, leading = 0;  // twips
};

struct TextRun {
    size_t length = 0;  // UTF-16 units of the field's text
    TextRunFormat format;
};

}  // namespace kestrel::player
