// Makes the display object for a dictionary character (internal to the core).
#pragma once

#include <cstdint>
#include <memory>

#include "player/core/display_object.h"

namespace kestrel::player {

// Null when the id is unknown or names a character that cannot be placed (fonts).
std::shared_ptr<DisplayObject> instantiateCharacter(Stage& stage, uint16_t characterId);

// Timeline depths are shown to scripts shifted down by this much.
constexpr int kTimelineDepthOffset = 16384;

}  // namespace kestrel::player
