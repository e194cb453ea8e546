#include <png.h>

#include "builder/mask_image.h"

namespace kestrel {

// libpng's simplified reader: any PNG colour type and depth comes out as
// 8-bit RGB. A pixel with alpha is composited onto black, the content of the
// fresh bitmap the image used to be drawn on.
MaskImage DecodePng(const void* data, size_t size) {
    MaskImage result;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) {
        result.error = MaskImageError::Damaged;
        return result;
    }
    if (!IsAcceptedMaskSize(image.width, image.height)) {
        png_image_free(&image);
        result.error = MaskImageError::TooLarge;
        return result;
    }
    // Deflate packs at most 1032 bytes into one: a file too small to hold
    // even 1-bit rows of this size is damaged, and its pixels are never
    // allocated.
    uint64_t leastRaw = uint64_t{image.height} * (1 + (uint64_t{image.width} + 7) / 8);
    if (leastRaw / 1032 > size) {
        png_image_free(&image);
        result.error = MaskImageError::Damaged;
        return result;
    }
    image.format = PNG_FORMAT_RGB;
    PixelBuffer& pixels = result.pixels;
    pixels.width = static_cast<int32_t>(image.width);
    pixels.height = static_cast<int32_t>(image.height);
    pixels.rgb.resize(static_cast<size_t>(pixels.width) * static_cast<size_t>(pixels.height) * 3);
    png_color black{0, 0, 0};
    if (!png_image_finish_read(&image, &black, pixels.rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return MaskImage{MaskImageError::Damaged, {}};
    }
    return result;
}

}  // namespace kestrel
