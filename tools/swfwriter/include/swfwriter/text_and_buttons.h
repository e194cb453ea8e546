// DefineEditText, a glyphless DefineFont2 for device text, and DefineButton2.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "swfwriter/byte_writer.h"
#include "swfwriter/records.h"

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

// Button record states.
enum ButtonState : uint8_t { kButtonUp = 1, kButtonOver = 2, kButtonDown = 4, kButtonHit = 8 };

// Button action conditions as stored (little-endian UI16); key presses are key << 9.
enum ButtonCondition : uint16_t {
    kCondIdleToOverUp = 0x0001,       // roll over
    kCondOverUpToIdle = 0x0002,       // roll out
    kCondOverUpToOverDown = 0x0004,   // press
    kCondOverDownToOverUp = 0x0008,   // release
    kCondOverDownToOutDown = 0x0010,  // drag out
    kCondOutDownToOverDown = 0x0020,  // drag over
    kCondOutDownToIdle = 0x0040,      // release outside
    kCondIdleToOverDown = 0x0080,
    kCondOverDownToIdle = 0x0100,
};
// "press", "release", "rollOver", "rollOut", "dragOver", "dragOut", "releaseOutside", and the
// state-transition names ("overUpToOverDown", ...).
std::optional<uint16_t> ButtonConditionByName(const std::string& name);
inline uint16_t ButtonKeyCondition(uint8_t key) {
    return static_cast<uint16_t>((key & 0x7F) << 9);
}

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
