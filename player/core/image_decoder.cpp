#include "player/core/image_decoder.h"

#include <climits>
#include <cstring>

#include "player/core/bitmap_definitions.h"

// The one place stb_image is compiled: the three formats bitmap tags can hold,
// memory only, its functions private to this file.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 8192
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#pragma GCC diagnostic ignored "-Wdouble-promotion"
#pragma GCC diagnostic ignored "-Wcast-qual"
#pragma GCC diagnostic ignored "-Wshadow"
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace kestrel::player {

namespace {

// The decoder sizes its buffer for compressed data from chunk lengths before it
// reads them, so every chunk has to lie within the data first.
bool pngChunksFit(const uint8_t* data, size_t size) {
    size_t at = 8;  // past the signature
    while (size - at >= 12) {
        size_t length = static_cast<size_t>(data[at]) << 24 |
                        static_cast<size_t>(data[at + 1]) << 16 |
                        static_cast<size_t>(data[at + 2]) << 8 | data[at + 3];
        if (length > size - at - 12) return false;
        if (std::memcmp(data + at + 4, "IEND", 4) == 0) return true;
        at += 12 + length;
    }
    return false;
}

}  // namespace

ImageFormat sniffImage(const uint8_t* data, size_t size) {
    static const uint8_t kPng[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (size >= sizeof kPng && std::memcmp(data, kPng, sizeof kPng) == 0) return ImageFormat::Png;
    if (size >= 6 && std::memcmp(data, "GIF89a", 6) == 0) return ImageFormat::Gif;
    if (size >= 2 && data[0] == 0xFF && (data[1] == 0xD8 || data[1] == 0xD9))
        return ImageFormat::Jpeg;
    return ImageFormat::Unknown;
}

bool decodeImage(const uint8_t* data, size_t size, int& width, int& height,
                 std::vector<uint8_t>& rgba) {
    rgba.clear();
    if (!data || size == 0 || size > INT_MAX) return false;
    if (sniffImage(data, size) == ImageFormat::Png && !pngChunksFit(data, size)) return false;
    int w = 0, h = 0, channels = 0;
    auto* bytes = reinterpret_cast<const stbi_uc*>(data);
    int length = static_cast<int>(size);
    // The size first, so a picture we refuse is never decoded.
    if (!stbi_info_from_memory(bytes, length, &w, &h, &channels) || !bitmapSizeAllowed(w, h))
        return false;
    stbi_uc* pixels = stbi_load_from_memory(bytes, length, &w, &h, &channels, 4);
    if (!pixels) return false;
    if (bitmapSizeAllowed(w, h)) {
        width = w;
        height = h;
        rgba.assign(pixels, pixels + static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
    }
    stbi_image_free(pixels);
    return !rgba.empty();
}

}  // namespace kestrel::player
