// Mask pixel buffers for the region tests: drawn from text rows, random, or
// from a few shapes.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "builder/mask_image.h"

namespace kestrel::test {

inline void SetPixel(PixelBuffer& pixels, int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t b) {
    uint8_t* at = &pixels.rgb[(static_cast<size_t>(y) * pixels.width + x) * 3];
    at[0] = r, at[1] = g, at[2] = b;
}

inline PixelBuffer WhitePixels(int32_t width, int32_t height) {
    PixelBuffer pixels;
    pixels.width = width;
    pixels.height = height;
    pixels.rgb.assign(static_cast<size_t>(width) * height * 3, 255);
    return pixels;
}

// '#' is a black pixel (inside the window), '.' a white one (outside).
inline PixelBuffer MaskFromRows(const std::vector<std::string>& rows) {
    PixelBuffer pixels =
        WhitePixels(static_cast<int32_t>(rows[0].size()), static_cast<int32_t>(rows.size()));
    for (size_t y = 0; y < rows.size(); ++y) {
        for (size_t x = 0; x < rows[y].size(); ++x) {
            if (rows[y][x] == '#')
                SetPixel(pixels, static_cast<int32_t>(x), static_cast<int32_t>(y), 0, 0, 0);
        }
    }
    return pixels;
}

// Each pixel white with probability `white`; the others an off-white or a
// dark colour, so near-white pixels count as inside.
inline PixelBuffer RandomMask(std::mt19937& random, int32_t width, int32_t height, double white) {
    PixelBuffer pixels = WhitePixels(width, height);
    std::bernoulli_distribution isWhite(white);
    std::uniform_int_distribution<int> colour(0, 3);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            if (isWhite(random)) continue;
            switch (colour(random)) {
                case 0:
                    SetPixel(pixels, x, y, 255, 255, 254);
                    break;
                case 1:
                    SetPixel(pixels, x, y, 254, 255, 255);
                    break;
                default:
                    SetPixel(pixels, x, y, 10, 20, 30);
                    break;
            }
        }
    }
    return pixels;
}

// Shapes a mask is drawn with: a disc with a hole, a frame, diagonal
// stripes, a checkerboard and a staircase, in one image.
inline PixelBuffer DrawnMask(int32_t width, int32_t height, int variant) {
    PixelBuffer pixels = WhitePixels(width, height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            int64_t dx = 2 * x - width, dy = 2 * y - height;
            int64_t r2 = dx * dx + dy * dy, outer = int64_t{width} * width / (1 + variant % 3);
            bool inside = false;
            switch (variant % 5) {
                case 0:
                    inside = r2 < outer && r2 > outer / 9;
                    break;
                case 1:
                    inside = x < 3 || y < 3 || x >= width - 3 || y >= height - 3;
                    break;
                case 2:
                    inside = (x + y) / (2 + variant % 4) % 2 == 0;
                    break;
                case 3:
                    inside = (x / 4 + y / 4) % 2 == 0;
                    break;
                case 4:
                    inside = x < y * width / height || (r2 < outer && x % 7 != 0);
                    break;
            }
            if (inside) SetPixel(pixels, x, y, 0, 0, 0);
        }
    }
    return pixels;
}

}  // namespace kestrel::test
