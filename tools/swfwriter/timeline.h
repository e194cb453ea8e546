// A sequence of tags cut into frames: the main movie's or a sprite's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/swf_format.h"
#include "tools/swfwriter/byte_writer.h"
#include "tools/swfwriter/records.h"

namespace swf {

struct Tag {
    uint16_t code = 0;
    Bytes body;
    bool forceLongHeader = false;  // long form even when the body is short
};

// Appends a tag header and body (short header for bodies under 63 bytes).
void WriteTag(ByteWriter& out, const Tag& tag);

class Timeline {
  public:
    void AddTag(uint16_t code, Bytes body, bool forceLongHeader = false);
    void ShowFrame();
    void FrameLabel(const std::string& name, bool namedAnchor = false);
    void RemoveObject(uint16_t depth);  // RemoveObject2
    void DoAction(const Bytes& actions) { AddTag(kTagDoAction, actions); }

    // When on (the default), tags after the last ShowFrame get a closing ShowFrame, so the
    // last frame is never lost; turn off to write exactly what was added.
    void SetCloseLastFrame(bool on) { closeLastFrame_ = on; }

    uint32_t ShowFrameCount() const { return showFrames_; }
    // Frames as a player counts them: ShowFrame tags, plus the closing one if added.
    uint32_t FrameCount() const;
    // Tags, the closing ShowFrame if any, and End.
    Bytes EncodeTags() const;
    const std::vector<Tag>& Tags() const { return tags_; }

  private:
    bool NeedsClosingFrame() const;

    std::vector<Tag> tags_;
    uint32_t showFrames_ = 0;
    bool closeLastFrame_ = true;
};

}  // namespace swf
