#include "player/render/pixel_buffer.h"

namespace kestrel::render {

bool PixelBuffer::Resize(int newWidth, int newHeight) {
    if (newWidth < 1 || newHeight < 1 || newWidth > kMaxSide || newHeight > kMaxSide) {
        width = height = 0;
        pixels.clear();
        return false;
    }
    width = newWidth;
    height = newHeight;
    pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
    return true;
}

player::Rgba PixelBuffer::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return player::Rgba{0, 0, 0, 0};
    const uint8_t* p = &pixels[(static_cast<size_t>(y) * static_cast<size_t>(width) + x) * 4];
    return player::Rgba{p[0], p[1], p[2], p[3]};
}

}  // namespace kestrel::render
