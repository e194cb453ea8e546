// A frame as pixels: 32-bit RGBA (red first, straight alpha), rows top to bottom.
#pragma once

#include <cstdint>
#include <vector>

#include "player/core/swf_types.h"

namespace kestrel::render {

struct PixelBuffer {
    // Larger frames are refused: a movie's stage is at most 8191 pixels a side.
    static constexpr int kMaxSide = 8192;

    int width = 0, height = 0;
    std::vector<uint8_t> pixels;  // width * height * 4 bytes

    // False (and empty) when a side is not within 1..kMaxSide.
    bool Resize(int newWidth, int newHeight);
    int Stride() const { return width * 4; }
    player::Rgba At(int x, int y) const;
};

}  // namespace kestrel::render
