// Small conversions between display objects and what scripts see of them.
#pragma once

#include <string>

#include "player/core/display_object.h"

namespace kestrel::runtime {

// "_level0.a.b" -> "/a/b"; the root is "/".
std::string slashTargetOf(const player::DisplayObject& object);

// Pixels in the object's own space to stage pixels and back. False when the object's
// transform cannot be inverted.
player::Point localToStagePixels(const player::DisplayObject& object, player::Point local);
bool stageToLocalPixels(const player::DisplayObject& object, player::Point stage,
                        player::Point& local);

// Bounds of `object` in the space of `space` (pixels); empty bounds come back as the
// player reports them (6710886.35 on every side).
player::Rect boundsInSpace(const player::DisplayObject& object, const player::DisplayObject& space);

}  // namespace kestrel::runtime
