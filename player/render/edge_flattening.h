// Shape edges mapped to pixels and cut into straight steps for the rasterisers.
#pragma once

#include <vector>

#include "player/core/shape_definition.h"
#include "player/core/swf_types.h"

namespace kestrel::render {

// Curves are flattened until no point strays more than this many pixels.
constexpr double kFlatness = 0.1;
// Coordinates beyond this many pixels are clipped away anyway; past it doubles
// would only bring overflow.
constexpr double kFarAway = 1.0e7;

player::Point Clamped(player::Point p);

// The points of a quadratic curve after its start, all in pixels.
void FlattenQuad(player::Point p0, player::Point c, player::Point end,
                 std::vector<player::Point>& out);

// An edge's start in pixels.
player::Point EdgeStart(const player::ShapeEdge& e, const player::Matrix& m);

// The points of an edge after its start, in pixels.
void FlattenEdge(const player::ShapeEdge& e, const player::Matrix& m,
                 std::vector<player::Point>& out);

}  // namespace kestrel::render
