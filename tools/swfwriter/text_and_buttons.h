// DefineEditText, a glyphless DefineFont2 for device text, and DefineButton2.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/swf_format.h"
#include "tools/swfwriter/byte_writer.h"
#include "tools/swfwriter/records.h"

namespace swf {

enum class TextAlign : uint8_t { kLeft = 0, kRight = 1, kCenter = 2, kJustify = 3 };

struct TextLayout {
    TextAlign align = TextAlign::kLeft;
    uint16_t leftMargin = 0, rightMargin = 0, indent = 0;  // twips
    int16_t leading = 0;                                   // twips
};

struct EditText {
    Rect bounds;                     // twips
    std::optional<uint16_t> fontId;  // with fontHeight
    uint16_t fontHeight = 240;       // twips (12 pixels)
    std::optional<Rgba> color;
    std::optional<uint16_t> maxLength;
    std::optional<TextLayout> layout;
    std::string variableName;
    std::optional<std::string> initialText;
    bool wordWrap = false, multiline = false, password = false, readOnly = false;
    bool autoSize = false, noSelect = false, border = false, wasStatic = false, html = false;
    bool useOutlines = false;  // device fonts leave this off
};

Bytes EncodeDefineEditText(uint16_t id, const EditText& text);

// A font with a name and no glyphs: text fields that use it draw with the system font.
Bytes EncodeDeviceFont(uint16_t id, const std::string& name, bool bold, bool italic);

// "press", "release", "rollOver", "rollOut", "dragOver", "dragOut", "releaseOutside", and the
// state-transition names ("overUpToOverDown", ...).
std::optional<uint16_t> ButtonConditionByName(const std::string& name);

struct ButtonRecord {
    uint8_t states = 0;  // ButtonState bits
    uint16_t characterId = 0;
    uint16_t depth = 1;
    Matrix matrix;
    ColorTransform colorTransform;
};

struct ButtonAction {
    uint16_t conditions = 0;
    Bytes actions;  // assembled, ending with the End action
};

struct Button {
    bool trackAsMenu = false;
    std::vector<ButtonRecord> records;
    std::vector<ButtonAction> actions;
};

std::optional<Bytes> EncodeDefineButton2(uint16_t id, const Button& button,
                                         std::string* error = nullptr);

}  // namespace swf
