#include "tools/swfwriter/timeline.h"

#include "common/swf_format.h"

namespace swf {

void WriteTag(ByteWriter& out, const Tag& tag) {
    size_t length = tag.body.size();
    if (length < 0x3F && !tag.forceLongHeader) {
        out.U16((static_cast<uint32_t>(tag.code) << 6) | static_cast<uint32_t>(length));
    } else {
        out.U16((static_cast<uint32_t>(tag.code) << 6) | 0x3F);
        out.U32(static_cast<uint32_t>(length));
    }
    out.Append(tag.body);
}

void Timeline::AddTag(uint16_t code, Bytes body, bool forceLongHeader) {
    if (code == kTagShowFrame) ++showFrames_;
    tags_.push_back(Tag{code, std::move(body), forceLongHeader});
}

void Timeline::ShowFrame() {
    AddTag(kTagShowFrame, {});
}

void Timeline::FrameLabel(const std::string& name, bool namedAnchor) {
    ByteWriter w;
    w.String(name);
    if (namedAnchor) w.U8(1);
    AddTag(kTagFrameLabel, w.Take());
}

void Timeline::RemoveObject(uint16_t depth) {
    ByteWriter w;
    w.U16(depth);
    AddTag(kTagRemoveObject2, w.Take());
}

bool Timeline::NeedsClosingFrame() const {
    if (!closeLastFrame_) return false;
    if (tags_.empty()) return true;  // a movie has at least one frame
    return tags_.back().code != kTagShowFrame;
}

uint32_t Timeline::FrameCount() const {
    return showFrames_ + (NeedsClosingFrame() ? 1 : 0);
}

Bytes Timeline::EncodeTags() const {
    ByteWriter out;
    for (const Tag& t : tags_) WriteTag(out, t);
    if (NeedsClosingFrame()) WriteTag(out, Tag{kTagShowFrame, {}, false});
    WriteTag(out, Tag{kTagEnd, {}, false});
    return out.Take();
}

}  // namespace swf
