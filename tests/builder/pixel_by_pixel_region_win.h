// The reference for mask regions: Windows builds the region itself, one
// exclusive-or of a 1 x 1 rectangle per key-colour pixel, and hands out its
// data. Slow by design; tests and the benchmark compare against it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "builder/mask_region.h"
#include "common/win_handles.h"

namespace kestrel::test {

inline std::vector<uint8_t> PixelByPixelRegionData(const PixelBuffer& pixels, KeyColour key) {
    using kestrel::GdiObject;
    GdiObject<HRGN> region(CreateRectRgn(0, 0, pixels.width, pixels.height));
    GdiObject<HRGN> pixel(CreateRectRgn(0, 0, 1, 1));
    if (!region || !pixel) return {};
    const uint8_t* at = pixels.rgb.data();
    for (int32_t y = 0; y < pixels.height; ++y) {
        for (int32_t x = 0; x < pixels.width; ++x, at += 3) {
            if (at[0] != key.red || at[1] != key.green || at[2] != key.blue) continue;
            SetRectRgn(pixel.get(), x, y, x + 1, y + 1);
            CombineRgn(region.get(), region.get(), pixel.get(), RGN_XOR);
        }
    }
    DWORD size = GetRegionData(region.get(), 0, nullptr);
    std::vector<uint8_t> data(size);
    if (size == 0 ||
        GetRegionData(region.get(), size, reinterpret_cast<RGNDATA*>(data.data())) != size)
        return {};
    return data;
}

}  // namespace kestrel::test
