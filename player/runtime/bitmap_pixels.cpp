#include "player/runtime/bitmap_pixels.h"

#include <algorithm>
#include <cmath>

namespace kestrel::runtime {
namespace {

uint32_t Channel(uint32_t argb, int shift) {
    return (argb >> shift) & 0xFF;
}

uint32_t Pack(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// `top` over `bottom`, both unpremultiplied.
uint32_t Over(uint32_t top, uint32_t bottom) {
    uint32_t ta = Channel(top, 24);
    if (ta == 255) return top;
    if (ta == 0) return bottom;
    uint32_t ba = Channel(bottom, 24);
    uint32_t outA = ta + ba * (255 - ta) / 255;
    if (outA == 0) return 0;
    uint32_t rgb[3];
    for (int k = 0; k < 3; ++k) {
        int shift = 16 - 8 * k;
        uint32_t mixed = Channel(top, shift) * ta + Channel(bottom, shift) * ba * (255 - ta) / 255;
        rgb[k] = std::min<uint32_t>(255, (mixed + outA / 2) / outA);
    }
    return Pack(outA, rgb[0], rgb[1], rgb[2]);
}

uint32_t Transformed(uint32_t argb, const player::ColorTransform& t) {
    player::Rgba c{static_cast<uint8_t>(Channel(argb, 16)), static_cast<uint8_t>(Channel(argb, 8)),
                   static_cast<uint8_t>(Channel(argb, 0)), static_cast<uint8_t>(Channel(argb, 24))};
    player::Rgba out = t.apply(c);
    return Pack(out.a, out.r, out.g, out.b);
}

}  // namespace

BitmapPixels::BitmapPixels(int width, int height, bool transparent)
    : width_(width),
      height_(height),
      transparent_(transparent),
      argb_(static_cast<size_t>(width) * static_cast<size_t>(height)) {}

std::optional<BitmapPixels> BitmapPixels::Make(int width, int height, bool transparent,
                                               uint32_t fillArgb) {
    if (width < 1 || height < 1 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
        int64_t{width} * height > kMaxBitmapPixels)
        return std::nullopt;
    BitmapPixels bitmap(width, height, transparent);
    if (!transparent) fillArgb |= 0xFF000000u;
    std::fill(bitmap.argb_.begin(), bitmap.argb_.end(), fillArgb);
    return bitmap;
}

uint32_t BitmapPixels::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return argb_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

void BitmapPixels::SetPixel(int x, int y, uint32_t argb) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    if (!transparent_) argb |= 0xFF000000u;
    argb_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] = argb;
}

void BitmapPixels::FillRect(const PixelRect& rect, uint32_t argb) {
    int x0 = std::max(rect.x, 0), y0 = std::max(rect.y, 0);
    int x1 = static_cast<int>(std::min<int64_t>(int64_t{rect.x} + rect.width, width_));
    int y1 = static_cast<int>(std::min<int64_t>(int64_t{rect.y} + rect.height, height_));
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) SetPixel(x, y, argb);
}

void BitmapPixels::Draw(const BitmapPixels& source, const player::Matrix& matrix,
                        const player::ColorTransform* colors,
                        const std::optional<PixelRect>& clip) {
    player::Matrix inverse;
    if (!matrix.invert(inverse)) return;  // squashed flat: covers no pixel
    // Only pixels the source can reach, inside the clip.
    player::Rect reach = matrix.transformRect(player::Rect{0, 0, static_cast<double>(source.width_),
                                                           static_cast<double>(source.height_)});
    double x0 = std::max(0.0, std::floor(reach.xMin)), y0 = std::max(0.0, std::floor(reach.yMin));
    double x1 = std::min<double>(width_, std::ceil(reach.xMax));
    double y1 = std::min<double>(height_, std::ceil(reach.yMax));
    if (clip) {
        x0 = std::max<double>(x0, clip->x);
        y0 = std::max<double>(y0, clip->y);
        x1 = std::min<double>(x1, static_cast<double>(clip->x) + clip->width);
        y1 = std::min<double>(y1, static_cast<double>(clip->y) + clip->height);
    }
    for (int y = static_cast<int>(y0); y < y1; ++y)
        for (int x = static_cast<int>(x0); x < x1; ++x) {
            player::Point at = inverse.apply(x + 0.5, y + 0.5);
            double sx = std::floor(at.x), sy = std::floor(at.y);
            if (!(sx >= 0 && sy >= 0 && sx < source.width_ && sy < source.height_)) continue;
            uint32_t top = source.Pixel(static_cast<int>(sx), static_cast<int>(sy));
            if (colors) top = Transformed(top, *colors);
            SetPixel(x, y, Over(top, Pixel(x, y)));
        }
}

}  // namespace kestrel::runtime
