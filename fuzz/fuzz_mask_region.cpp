#include <cstddef>
#include <cstdint>

#include "projector/app/mask_region.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kestrel::projector::MaskRegionData region;
    if (kestrel::projector::CheckMaskRegion(data, size, &region) !=
        kestrel::projector::MaskRegionError::None)
        return 0;
    // What passes is exactly the header and the counted rectangles, all inside the input.
    if (region.usedSize > size || region.usedSize != 32 + std::size_t{region.rectangleCount} * 16)
        __builtin_trap();
    return 0;
}
