#include "projector/app/layered_pixels.h"

#include <algorithm>

namespace kestrel::projector {

void CombineLayeredPixel(uint8_t* onWhite, const uint8_t* onBlack) {
    // The two drawings of a consistent frame never have the black one lighter;
    // should they differ anyway (a frame changed between them), count the pixel
    // as opaque rather than letting the difference wrap to near transparent.
    const int lighter =
        std::clamp(static_cast<int>(onWhite[0]) - static_cast<int>(onBlack[0]), 0, 255);
    const uint8_t alpha = static_cast<uint8_t>(255 - lighter);
    // The drawing over black is colour x coverage: exactly premultiplied.
    // Scaling the white drawing by alpha instead would lighten every
    // partly covered pixel (a half-transparent black would show mid grey).
    for (int channel = 0; channel < 3; ++channel)
        onWhite[channel] = std::min(onBlack[channel], alpha);
    onWhite[3] = alpha;
}

void CombineLayeredRows(uint8_t* onWhite, const uint8_t* onBlack, std::size_t stride, int left,
                        int top, int right, int bottom) {
    if (left >= right || top >= bottom) return;
    for (int y = top; y < bottom; ++y) {
        const std::size_t row =
            static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(left) * 4;
        uint8_t* white = onWhite + row;
        const uint8_t* black = onBlack + row;
        for (int x = left; x < right; ++x, white += 4, black += 4)
            CombineLayeredPixel(white, black);
    }
}

}  // namespace kestrel::projector
