// The pixels of a BitmapData: 32-bit ARGB, unpremultiplied, row by row. Sizes are checked
// where a bitmap is made, so every pixel access below stays inside the buffer.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "player/core/swf_types.h"

namespace kestrel::runtime {

// The largest side a bitmap can have, and the most pixels it can hold (Flash Player 8's
// limits).
constexpr int kMaxBitmapSide = 2880;
constexpr int64_t kMaxBitmapPixels = 16777215;

// A rectangle of whole pixels.
struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
};

class BitmapPixels {
  public:
    // Null when a side is below 1 or above the limits. An opaque bitmap drops the fill's alpha.
    static std::optional<BitmapPixels> Make(int width, int height, bool transparent,
                                            uint32_t fillArgb);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Transparent() const { return transparent_; }

    // 0 outside the bitmap.
    uint32_t Pixel(int x, int y) const;
    // Ignored outside the bitmap; an opaque bitmap keeps its pixels opaque.
    void SetPixel(int x, int y, uint32_t argb);
    void FillRect(const PixelRect& rect, uint32_t argb);

    // Draws `source` through `matrix` (source pixels to these) over this bitmap, only inside
    // `clip` when given. Each pixel whose centre maps into the source takes the source pixel
    // there (nearest), blended over it by the source's alpha.
    void Draw(const BitmapPixels& source, const player::Matrix& matrix,
              const player::ColorTransform* colors, const std::optional<PixelRect>& clip);

  private:
    BitmapPixels(int width, int height, bool transparent);

    int width_ = 0, height_ = 0;
    bool transparent_ = true;
    std::vector<uint32_t> argb_;
};

}  // namespace kestrel::runtime
