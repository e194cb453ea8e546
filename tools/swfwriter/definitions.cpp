#include "tools/swfwriter/definitions.h"

namespace swf {

std::optional<Bytes> EncodeDefineSprite(uint16_t id, const Timeline& frames, std::string* error) {
    uint32_t count = frames.FrameCount();
    if (count > 0xFFFF) {
        if (error) *error = "a sprite holds at most 65535 frames";
        return std::nullopt;
    }
    ByteWriter out;
    out.U16(id);
    out.U16(count);
    out.Append(frames.EncodeTags());
    return out.Take();
}

Bytes EncodeExportAssets(const std::vector<std::pair<uint16_t, std::string>>& names) {
    ByteWriter out;
    out.U16(static_cast<uint32_t>(names.size()));
    for (const auto& [id, name] : names) {
        out.U16(id);
        out.String(name);
    }
    return out.Take();
}

}  // namespace swf
