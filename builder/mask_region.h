// Turns mask pixels into the byte image of a Windows region, exactly as
// GetRegionData returns it: a 32-byte RGNDATAHEADER, then the rectangles.
// A pixel belongs to the window when it is not the key colour.
#pragma once

#include <cstdint>
#include <vector>

#include "builder/mask_image.h"

namespace kestrel {

struct KeyColour {
    uint8_t red = 255;
    uint8_t green = 255;
    uint8_t blue = 255;
};

struct RegionRect {
    int32_t left, top, right, bottom;
};

// The rectangles in Windows' canonical order: bands from the top down, each
// band's rectangles from the left, touching runs of a band merged, and a
// band merged with the one above when both cover the same columns.
std::vector<RegionRect> MakeRegionRects(const PixelBuffer& pixels, KeyColour key);

// The RGNDATA bytes for `rects` (header: size 32, type RDH_RECTANGLES, the
// count, the rectangles' byte size, the bounding box).
std::vector<uint8_t> EncodeRegionData(const std::vector<RegionRect>& rects);

// Both steps; an empty result when `pixels` is inconsistent (its byte count
// does not match its size, or the size is not an accepted mask size).
std::vector<uint8_t> MakeRegionData(const PixelBuffer& pixels, KeyColour key = {});

}  // namespace kestrel
