#include "player/core/image_decoder.h"

#include <algorithm>
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

// Which Huffman tables a JPEG stream has defined so far: DC and AC, four slots each.
struct HuffmanSlots {
    bool defined[2][4] = {};
};

// A DHT segment's tables: a class and slot byte, 16 code counts, then as many
// values as the counts add up to, at most 256, filling the segment exactly.
bool huffmanSegmentSound(const uint8_t* d, size_t length, HuffmanSlots& slots) {
    size_t i = 0;
    while (i < length) {
        if (length - i < 17) return false;
        unsigned tableClass = d[i] >> 4, slot = d[i] & 15;
        if (tableClass > 1 || slot > 3) return false;
        size_t values = 0;
        for (size_t k = 1; k <= 16; ++k) values += d[i + k];
        if (values > 256 || values > length - i - 17) return false;
        slots.defined[tableClass][slot] = true;
        i += 17 + values;
    }
    return true;
}

// An SOS header: every component's tables that the scan decodes with must have
// been defined, as the decoder would otherwise read tables it never filled.
bool scanTablesDefined(const uint8_t* d, size_t length, const HuffmanSlots& slots) {
    if (length < 1) return false;
    size_t components = d[0];
    if (length < 1 + 2 * components + 3) return false;
    unsigned spectralStart = d[1 + 2 * components], spectralEnd = d[2 + 2 * components];
    for (size_t k = 0; k < components; ++k) {
        unsigned tables = d[2 + 2 * k], dc = tables >> 4, ac = tables & 15;
        if (dc > 3 || ac > 3) return false;
        if (spectralStart == 0 && !slots.defined[0][dc]) return false;
        if (spectralEnd > 0 && !slots.defined[1][ac]) return false;
    }
    return true;
}

/* The decoder trusts the Huffman tables it is given, so they are checked before
 * it sees them: every DHT segment's code counts, and that every scan uses only
 * tables defined before it. Segments are stepped over by their lengths, and
 * between them (the entropy-coded data of scans) the bytes are searched for the
 * next marker, as a decoder finds it. Tables may come after a scan (progressive
 * pictures), so the whole stream is searched. */
bool huffmanTablesSound(const uint8_t* d, size_t n) {
    HuffmanSlots slots;
    size_t i = 0;
    while (i + 1 < n) {
        if (d[i] != 0xFF) {
            ++i;
            continue;
        }
        uint8_t code = d[i + 1];
        bool alone = code == 0x00 || code == 0xFF || code == 0x01 || (code >= 0xD0 && code <= 0xD9);
        if (alone) {
            i += code == 0xFF ? 1 : 2;
            continue;
        }
        if (i + 4 > n) return true;  // cut short: the decoder stops there too
        size_t length = static_cast<size_t>(d[i + 2]) << 8 | d[i + 3];
        if (length < 2) return false;
        size_t body = std::min(length - 2, n - i - 4);
        if (code == 0xC4 && !huffmanSegmentSound(d + i + 4, body, slots)) return false;
        if (code == 0xDA && !scanTablesDefined(d + i + 4, body, slots)) return false;
        i += 2 + length;
    }
    return true;
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
    // Only what the signature names reaches the decoder, and only once checked.
    ImageFormat format = sniffImage(data, size);
    if (format == ImageFormat::Unknown) return false;
    if (format == ImageFormat::Png && !pngChunksFit(data, size)) return false;
    if (format == ImageFormat::Jpeg && !huffmanTablesSound(data, size)) return false;
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
