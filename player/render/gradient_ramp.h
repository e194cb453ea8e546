// The colours of a gradient fill: a table of 256 colours along its ratios and the
// position of a point in the gradient square, as Flash defines them. The gradient
// square spans -16384..16384 twips in gradient space.
#pragma once

#include <array>
#include <vector>

#include "player/core/shape_definition.h"
#include "player/core/swf_types.h"

namespace kestrel::render {

constexpr double kGradientHalfSize = 16384.0;

using GradientRamp = std::array<player::Rgba, 256>;

// Colours between the stops, each stop passed through the colour transform first;
// before the first stop its colour, after the last the last's. Interpolated in the
// stops' own (sRGB) values, or with `linearRgb` in linear light.
GradientRamp BuildGradientRamp(const std::vector<player::GradientStop>& stops,
                               const player::ColorTransform& transform, bool linearRgb = false);

// Position along the gradient (0 at its start, 1 at its end) of the point (gx, gy) in
// gradient space, before the spread mode: linear gradients run along x from -16384 to
// 16384; radial ones out from the centre; focal ones from the focal point
// (focalPoint * 16384, 0) out to the circle.
double GradientPosition(player::FillStyle::Kind kind, double gx, double gy, double focalPoint);

// Folds a position into 0..1 as the spread mode says.
double ApplySpread(player::FillStyle::Spread spread, double t);

// The ramp entry for a position in 0..1.
inline int RampIndex(double t) {
    return static_cast<int>(t * 255.0 + 0.5);
}

}  // namespace kestrel::render
