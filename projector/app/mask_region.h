// A mask window's region as the payload carries it: the bytes of a Windows
// region exactly as GetRegionData writes them (a 32-byte header, then the
// rectangles, 16 bytes each). Checked here before the system is given them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrel::projector {

enum class MaskRegionError {
    None = 0,
    TooShort,   // fewer bytes than the header
    BadHeader,  // header size other than 32 or a type other than rectangles
    Truncated,  // fewer rectangles than the header counts
};

const char* ToString(MaskRegionError error);

struct MaskRegionData {
    uint32_t rectangleCount = 0;
    // The bytes the region uses (header and counted rectangles); anything
    // after them is ignored.
    size_t usedSize = 0;
};

MaskRegionError CheckMaskRegion(const uint8_t* bytes, size_t size, MaskRegionData* data);

// The horizontal and vertical factors that stretch a region whose bounding
// box is boxWidth x boxHeight to a window of width x height. False for an
// empty box, which has nothing to stretch.
bool MaskRegionScale(int boxWidth, int boxHeight, int width, int height, float* scaleX,
                     float* scaleY);

}  // namespace kestrel::projector
