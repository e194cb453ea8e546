// Decodes arbitrary bytes as a mask image (PNG or BMP) and turns what decodes
// into region data, whose rectangles must stay inside the image.
#include <cstdint>
#include <cstdlib>

#include "builder/mask_image.h"
#include "builder/mask_region.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestrel;
    MaskImage image = DecodeMaskImage(data, size);
    if (image.error != MaskImageError::None) return 0;
    const PixelBuffer& pixels = image.pixels;
    if (!IsAcceptedMaskSize(pixels.width, pixels.height) ||
        pixels.rgb.size() != static_cast<size_t>(pixels.width) * pixels.height * 3)
        std::abort();
    for (const RegionRect& rect : MakeRegionRects(pixels, KeyColour{})) {
        if (rect.left < 0 || rect.top < 0 || rect.left >= rect.right || rect.top >= rect.bottom ||
            rect.right > pixels.width || rect.bottom > pixels.height)
            std::abort();
    }
    if (MakeRegionData(pixels).size() < 32) std::abort();
    return 0;
}
