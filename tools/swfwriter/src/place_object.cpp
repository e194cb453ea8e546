#include "swfwriter/place_object.h"

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

std::optional<Bytes> EncodePlaceObject2(const PlaceObject& place, uint8_t swfVersion,
                                        std::string* error) {
    bool wideEvents = swfVersion >= 6;
    ByteWriter out;
    uint8_t flags = 0;
    if (!place.clipActions.empty()) flags |= 0x80;
    if (place.clipDepth) flags |= 0x40;
    if (place.name) flags |= 0x20;
    if (place.ratio) flags |= 0x10;
    if (place.colorTransform) flags |= 0x08;
    if (place.matrix) flags |= 0x04;
    if (place.characterId) flags |= 0x02;
    if (place.move) flags |= 0x01;
    out.U8(flags);
    out.U16(place.depth);
    if (place.characterId) out.U16(*place.characterId);
    if (place.matrix) WriteMatrix(out, *place.matrix);
    if (place.colorTransform) WriteColorTransform(out, *place.colorTransform);
    if (place.ratio) out.U16(*place.ratio);
    if (place.name) out.String(*place.name);
    if (place.clipDepth) out.U16(*place.clipDepth);
    if (!place.clipActions.empty()) {
        uint32_t all = 0;
        for (const ClipAction& a : place.clipActions) all |= a.events;
        if (!wideEvents && (all & 0xFFFF0000u)) {
            if (error) *error = "keyPress, dragOut and construct clip events need SWF 6";
            return std::nullopt;
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
    }
    return out.Take();
}

}  // namespace swf
