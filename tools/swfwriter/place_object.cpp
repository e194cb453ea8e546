#include "tools/swfwriter/place_object.h"

namespace swf {

std::optional<uint32_t> ClipEventByName(const std::string& name) {
    static const struct {
        const char* name;
        uint32_t flag;
    } kEvents[] = {
        {"load", kClipLoad},
        {"enterFrame", kClipEnterFrame},
        {"unload", kClipUnload},
        {"mouseMove", kClipMouseMove},
        {"mouseDown", kClipMouseDown},
        {"mouseUp", kClipMouseUp},
        {"keyDown", kClipKeyDown},
        {"keyUp", kClipKeyUp},
        {"data", kClipData},
        {"initialize", kClipInitialize},
        {"press", kClipPress},
        {"release", kClipRelease},
        {"releaseOutside", kClipReleaseOutside},
        {"rollOver", kClipRollOver},
        {"rollOut", kClipRollOut},
        {"dragOver", kClipDragOver},
        {"dragOut", kClipDragOut},
        {"keyPress", kClipKeyPress},
        {"construct", kClipConstruct},
    };
    for (const auto& e : kEvents) {
        if (name == e.name) return e.flag;
    }
    return std::nullopt;
}

std::optional<uint8_t> BlendModeByName(const std::string& name) {
    static const char* const kModes[] = {"normal", "layer",      "multiply", "screen",   "lighten",
                                         "darken", "difference", "add",      "subtract", "invert",
                                         "alpha",  "erase",      "overlay",  "hardlight"};
    for (size_t i = 0; i < sizeof kModes / sizeof kModes[0]; ++i) {
        if (name == kModes[i]) return static_cast<uint8_t>(i + 1);
    }
    return std::nullopt;
}

std::optional<Bytes> EncodePlaceObject(uint16_t characterId, uint16_t depth, const Matrix& matrix,
                                       const std::optional<ColorTransform>& colorTransform,
                                       std::string* error) {
    if (colorTransform && (colorTransform->mulA != 256 || colorTransform->addA != 0)) {
        if (error) *error = "the first PlaceObject form has no alpha terms";
        return std::nullopt;
    }
    ByteWriter out;
    out.U16(characterId);
    out.U16(depth);
    WriteMatrix(out, matrix);
    if (colorTransform) WriteColorTransformRgb(out, *colorTransform);
    return out.Take();
}

Bytes EncodeRemoveObject(uint16_t characterId, uint16_t depth) {
    ByteWriter out;
    out.U16(characterId);
    out.U16(depth);
    return out.Take();
}

namespace {

// Fields shared by PlaceObject2 and PlaceObject3 after their flags and depth.
void WritePlacementFields(ByteWriter& out, const PlaceObject& place) {
    if (place.characterId) out.U16(*place.characterId);
    if (place.matrix) WriteMatrix(out, *place.matrix);
    if (place.colorTransform) WriteColorTransform(out, *place.colorTransform);
    if (place.ratio) out.U16(*place.ratio);
    if (place.name) out.String(*place.name);
    if (place.clipDepth) out.U16(*place.clipDepth);
}

uint8_t PlaceFlags(const PlaceObject& place) {
    uint8_t flags = 0;
    if (!place.clipActions.empty()) flags |= 0x80;
    if (place.clipDepth) flags |= 0x40;
    if (place.name) flags |= 0x20;
    if (place.ratio) flags |= 0x10;
    if (place.colorTransform) flags |= 0x08;
    if (place.matrix) flags |= 0x04;
    if (place.characterId) flags |= 0x02;
    if (place.move) flags |= 0x01;
    return flags;
}

bool WriteClipActions(ByteWriter& out, const PlaceObject& place, uint8_t swfVersion,
                      std::string* error) {
    if (place.clipActions.empty()) return true;
    bool wideEvents = swfVersion >= 6;
    uint32_t all = 0;
    for (const ClipAction& a : place.clipActions) all |= a.events;
    if (!wideEvents && (all & 0xFFFF0000u)) {
        if (error) *error = "keyPress, dragOut and construct clip events need SWF 6";
        return false;
    }
    auto writeEvents = [&](uint32_t e) { wideEvents ? out.U32(e) : out.U16(e); };
    out.U16(0);  // reserved
    writeEvents(all);
    for (const ClipAction& a : place.clipActions) {
        writeEvents(a.events);
        bool key = (a.events & kClipKeyPress) != 0;
        out.U32(static_cast<uint32_t>(a.actions.size() + (key ? 1 : 0)));
        if (key) out.U8(a.keyCode);
        out.Append(a.actions);
    }
    writeEvents(0);
    return true;
}

}  // namespace

std::optional<Bytes> EncodePlaceObject2(const PlaceObject& place, uint8_t swfVersion,
                                        std::string* error) {
    ByteWriter out;
    out.U8(PlaceFlags(place));
    out.U16(place.depth);
    WritePlacementFields(out, place);
    if (!WriteClipActions(out, place, swfVersion, error)) return std::nullopt;
    return out.Take();
}

std::optional<Bytes> EncodePlaceObject3(const PlaceObject& place, uint8_t swfVersion,
                                        std::string* error) {
    ByteWriter out;
    out.U8(PlaceFlags(place));
    out.U8((place.className ? 0x08 : 0) | (place.cacheAsBitmap ? 0x04 : 0) |
           (place.blendMode ? 0x02 : 0));
    out.U16(place.depth);
    if (place.className) out.String(*place.className);
    WritePlacementFields(out, place);
    if (place.blendMode) out.U8(*place.blendMode);
    if (place.cacheAsBitmap) out.U8(1);
    if (!WriteClipActions(out, place, swfVersion, error)) return std::nullopt;
    return out.Take();
}

}  // namespace swf
