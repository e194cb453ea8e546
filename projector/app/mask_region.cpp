#include "projector/app/mask_region.h"

namespace kestrel::projector {
namespace {

constexpr size_t kHeaderSize = 32;
constexpr size_t kRectangleSize = 16;
constexpr uint32_t kRectanglesType = 1;  // RDH_RECTANGLES

uint32_t ReadWord(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}  // namespace

const char* ToString(MaskRegionError error) {
    switch (error) {
        case MaskRegionError::None:
            return "none";
        case MaskRegionError::TooShort:
            return "shorter than a region header";
        case MaskRegionError::BadHeader:
            return "not a rectangle region header";
        case MaskRegionError::Truncated:
            return "fewer rectangles than counted";
    }
    return "unknown";
}

MaskRegionError CheckMaskRegion(const uint8_t* bytes, size_t size, MaskRegionData* data) {
    if (!bytes || size < kHeaderSize) return MaskRegionError::TooShort;
    if (ReadWord(bytes) != kHeaderSize || ReadWord(bytes + 4) != kRectanglesType)
        return MaskRegionError::BadHeader;
    const uint32_t count = ReadWord(bytes + 8);
    // Divided, not multiplied: a huge count cannot wrap around.
    if (count > (size - kHeaderSize) / kRectangleSize) return MaskRegionError::Truncated;
    data->rectangleCount = count;
    data->usedSize = kHeaderSize + count * kRectangleSize;
    return MaskRegionError::None;
}

bool MaskRegionScale(int boxWidth, int boxHeight, int width, int height, float* scaleX,
                     float* scaleY) {
    if (boxWidth <= 0 || boxHeight <= 0) return false;
    *scaleX = static_cast<float>(width) / static_cast<float>(boxWidth);
    *scaleY = static_cast<float>(height) / static_cast<float>(boxHeight);
    return true;
}

}  // namespace kestrel::projector
