// Recovers a windowless movie's per-pixel alpha from two drawings of the same
// frame, one over opaque white and one over opaque black, and turns the
// result into the premultiplied 32-bit pixels a layered window shows.
// Pixels are 4 bytes each: blue, green, red, alpha.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrel::projector {

// One pixel: `onWhite` and `onBlack` are the frame drawn over white and over
// black. Alpha is 255 minus how much lighter the white drawing is (its blue
// bytes); the colour is the drawing over black, which is already the colour
// times its coverage. `onWhite` receives the result.
void CombineLayeredPixel(uint8_t* onWhite, const uint8_t* onBlack);

// A rectangle of pixels in two top-down images of `stride` bytes per row.
// The caller keeps the rectangle inside both images.
void CombineLayeredRows(uint8_t* onWhite, const uint8_t* onBlack, std::size_t stride, int left,
                        int top, int right, int bottom);

}  // namespace kestrel::projector
