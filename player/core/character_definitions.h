// Definitions from the movie's dictionary besides shapes: timelines (root and
// DefineSprite), DefineEditText, DefineButton2.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "common/swf_format.h"
#include "player/core/shape_definition.h"
#include "player/core/swf_types.h"

namespace kestrel::player {

// PlaceObject 1/2/3 and RemoveObject 1/2, in the form the timeline applies them.
struct PlaceCommand {
    enum Kind : uint8_t { Place, Remove } kind = Place;
    int depth = 0;
    bool move = false;  // PlaceObject2/3 "move" flag: modify (or replace) what is at depth
    bool hasCharacter = false;
    uint16_t characterId = 0;
    bool hasMatrix = false;
    Matrix matrix;
    bool hasColorTransform = false;
    ColorTransform colorTransform;
    bool hasRatio = false;
    uint16_t ratio = 0;
    bool hasName = false;
    std::string name;
    bool hasClipDepth = false;
    int clipDepth = 0;
    // PlaceObject2/3 CLIPACTIONS record, raw (the runtime decodes onClipEvent handlers).
    ActionBytes clipActions;
};

// DoInitAction: runs once, before the frame's own actions, for a sprite definition.
struct InitAction {
    uint16_t spriteId = 0;
    ActionBytes actions;
};

// Everything a frame of a timeline carries, in file order.
struct FrameDefinition {
    std::vector<PlaceCommand> commands;
    std::vector<InitAction> initActions;  // root timeline only
    std::vector<ActionBytes> actions;     // DoAction tags of this frame, in order
    std::string label;                    // FrameLabel, empty when none
};

struct TimelineDefinition {
    uint16_t id = 0;  // 0 for the root timeline
    std::vector<FrameDefinition> frames;
    // Frame (1-based) for a label. Labels compare without regard to case.
    int frameForLabel(const std::string& label) const;
};

// What text layout needs of an embedded font that carries layout data (DefineFont2/3).
struct FontMetrics {
    uint16_t fontId = 0;  // the DefineFont2/3 it comes from
    std::string name;
    bool bold = false, italic = false;
    double emSize = 1024;                         // font units per font height
    double ascent = 0, descent = 0, leading = 0;  // font units
    std::map<uint32_t, double> advances;          // character -> advance, font units
};

// How a field grows to fit its text (TextField.autoSize): which edge stays in place.
enum class TextAutoSize : uint8_t { None, Left, Center, Right };

struct EditTextDefinition {
    uint16_t id = 0;
    Rect bounds;  // twips, local
    bool wordWrap = false, multiline = false, password = false, readOnly = true;
    bool border = false, background = false, html = false, selectable = true;
    bool useOutlines = false;  // drawn with the embedded font's glyphs
    TextAutoSize autoSize = TextAutoSize::None;
    Rgba backgroundColor{255, 255, 255, 255};
    Rgba borderColor{0, 0, 0, 255};
    uint16_t fontId = 0;
    std::string fontName;  // of that font when it is a DefineFont2/3 with a name
    bool fontBold = false, fontItalic = false;
    uint16_t fontHeight = 240;  // twips
    Rgba textColor;
    int maxLength = 0;
    uint8_t align = 0;  // 0 left, 1 right, 2 centre, 3 justify
    uint16_t leftMargin = 0, rightMargin = 0, indent = 0;
    int16_t leading = 0;
    std::string variableName;
    std::string initialText;
};

struct ButtonRecord {
    uint8_t states = 0;  // swf::ButtonState
    uint16_t characterId = 0;
    int depth = 0;
    Matrix matrix;
    ColorTransform colorTransform;
};

struct ButtonConditionAction {
    uint16_t conditions = 0;  // swf::ButtonCondition bits
    ActionBytes actions;
};

struct ButtonDefinition {
    uint16_t id = 0;
    bool trackAsMenu = false;
    std::vector<ButtonRecord> records;
    std::vector<ButtonConditionAction> actions;
};

}  // namespace kestrel::player
