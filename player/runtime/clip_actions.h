// onClipEvent handlers of a placed clip (the CLIPACTIONS record of PlaceObject2/3).
#pragma once

#include <cstdint>
#include <vector>

#include "common/swf_format.h"
#include "player/core/swf_types.h"

namespace kestrel::runtime {

constexpr uint32_t kClipMouseButtonEvents =
    swf::kClipPress | swf::kClipRelease | swf::kClipReleaseOutside | swf::kClipRollOver |
    swf::kClipRollOut | swf::kClipDragOver | swf::kClipDragOut;

struct ClipActionRecord {
    uint32_t events = 0;
    uint8_t keyCode = 0;          // swf::kClipKeyPress only
    player::ActionBytes actions;  // points into the record's bytes
};

// Reads the records; a record that runs past the end ends the list (what came before
// is kept).
std::vector<ClipActionRecord> parseClipActions(const player::ActionBytes& record, int swfVersion);

}  // namespace kestrel::runtime
