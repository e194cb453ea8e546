// Mask images decoded to 24-bit pixels: PNG through libpng, uncompressed BMP
// through a small reader of our own. The size is checked before anything
// is allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrel {

// Rows from the top down, each pixel red, green, blue, no row padding.
struct PixelBuffer {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;  // width * height * 3 bytes
};

// A mask is a window-sized image; anything far beyond that is refused before
// its pixels are allocated (width * height * 3 would overflow 32 bits long
// before these limits).
inline constexpr int32_t kMaxMaskSide = 16384;
inline constexpr int64_t kMaxMaskPixels = int64_t{1} << 25;

enum class MaskImageError {
    None,
    CannotOpen,     // missing or unreadable file
    UnknownFormat,  // neither PNG nor BMP
    Damaged,        // a PNG or BMP whose data is cut short or inconsistent
    Unsupported,    // a BMP compression or depth this reader does not take
    TooLarge,       // beyond kMaxMaskSide or kMaxMaskPixels
};

const char* ToString(MaskImageError error);

struct MaskImage {
    MaskImageError error = MaskImageError::None;
    PixelBuffer pixels;
};

// True when `width` x `height` is a size this code allocates.
bool IsAcceptedMaskSize(int64_t width, int64_t height);

MaskImage DecodeMaskImage(const void* data, size_t size);
MaskImage LoadMaskImage(const std::string& path);

// The format decoders behind DecodeMaskImage.
MaskImage DecodePng(const void* data, size_t size);
MaskImage DecodeBmp(const void* data, size_t size);

}  // namespace kestrel
