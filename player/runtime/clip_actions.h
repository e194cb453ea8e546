// onClipEvent handlers of a placed clip (the CLIPACTIONS record of PlaceObject2/3).
#pragma once

#include <cstdint>
#include <vector>

#include "core/swf_types.h"

namespace kestrel::runtime {

// Event bits as the 32-bit flags of SWF 6 and later read (SWF 5 uses the low 16).
enum ClipEventFlags : uint32_t {
    kClipLoad = 0x1,
    kClipEnterFrame = 0x2,
    kClipUnload = 0x4,
    kClipMouseMove = 0x8,
    kClipMouseDown = 0x10,
    kClipMouseUp = 0x20,
    kClipKeyDown = 0x40,
    kClipKeyUp = 0x80,
    kClipData = 0x100,
    kClipInitialize = 0x200,
    kClipPress = 0x400,
    kClipRelease = 0x800,
    kClipReleaseOutside = 0x1000,
    kClipRollOver = 0x2000,
    kClipRollOut = 0x4000,
    kClipDragOver = 0x8000,
    kClipDragOut = 0x10000,
    kClipKeyPress = 0x20000,
    kClipConstruct = 0x40000,
};

constexpr uint32_t kClipMouseButtonEvents = kClipPress | kClipRelease | kClipReleaseOutside |
                                            kClipRollOver | kClipRollOut | kClipDragOver |
                                            kClipDragOut;

struct ClipActionRecord {
    uint32_t events = 0;
    uint8_t keyCode = 0;  // kClipKeyPress only
    player::ActionBytes actions;  // points into the record's bytes
};

// Reads the records; a record that runs past the end ends the list (what came before
// is kept).
std::vector<ClipActionRecord> parseClipActions(const player::ActionBytes& record, int swfVersion);

}  // namespace kestrel::runtime
