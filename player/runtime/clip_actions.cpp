#include "player/runtime/clip_actions.h"

namespace kestrel::runtime {

namespace {

// Little-endian reads with a bounds check against what is left.
bool readUnsigned(const uint8_t* data, size_t size, size_t& pos, size_t bytes, uint32_t& out) {
    if (bytes > size || pos > size - bytes) return false;
    out = 0;
    for (size_t i = 0; i < bytes; ++i) out |= static_cast<uint32_t>(data[pos + i]) << (8 * i);
    pos += bytes;
    return true;
}

}  // namespace

std::vector<ClipActionRecord> parseClipActions(const player::ActionBytes& record, int swfVersion) {
    std::vector<ClipActionRecord> out;
    const uint8_t* data = record.data;
    size_t size = record.size;
    if (!data) return out;
    size_t flagBytes = swfVersion >= 6 ? 4 : 2;
    size_t pos = 0;
    uint32_t ignored = 0;
    if (!readUnsigned(data, size, pos, 2, ignored) ||
        !readUnsigned(data, size, pos, flagBytes, ignored))
        return out;
    for (;;) {
        uint32_t events = 0, length = 0;
        if (!readUnsigned(data, size, pos, flagBytes, events) || events == 0) break;
        if (!readUnsigned(data, size, pos, 4, length) || length > size - pos) break;
        ClipActionRecord r;
        r.events = events;
        size_t start = pos;
        size_t end = pos + length;
        if ((events & swf::kClipKeyPress) && start < end) r.keyCode = data[start++];
        r.actions = {data + start, end - start};
        out.push_back(r);
        pos = end;
    }
    return out;
}

}  // namespace kestrel::runtime
