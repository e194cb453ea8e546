// DefineBitsLossless and DefineBitsLossless2: a zlib stream of pixels in one of
// three formats. Rows are padded to 32 bits in the colour-mapped and 15-bit
// formats. Lossless2 stores premultiplied colours, which are kept as they are.
#include <algorithm>

#include "player/core/bitmap_definitions.h"
#include "player/core/zlib_inflate.h"

namespace kestrel::player {

namespace {

enum LosslessFormat : uint8_t { kColorMapped = 3, kRgb15 = 4, kRgb32 = 5 };

size_t paddedRow(size_t bytes) {
    return (bytes + 3) / 4 * 4;
}

void put(uint8_t* p, unsigned r, unsigned g, unsigned b, unsigned a) {
    // Premultiplied data can only be trusted so far: no channel may exceed alpha.
    p[0] = static_cast<uint8_t>(std::min(r, a));
    p[1] = static_cast<uint8_t>(std::min(g, a));
    p[2] = static_cast<uint8_t>(std::min(b, a));
    p[3] = static_cast<uint8_t>(a);
}

}  // namespace

bool bitmapSizeAllowed(long width, long height) {
    return width > 0 && height > 0 && width <= BitmapDefinition::kMaxSide &&
           height <= BitmapDefinition::kMaxSide &&
           static_cast<size_t>(width) * static_cast<size_t>(height) <= BitmapDefinition::kMaxPixels;
}

bool parseLosslessBitmap(ByteReader& r, bool alpha, BitmapDefinition& out) {
    uint8_t format = r.u8();
    int width = r.u16(), height = r.u16();
    size_t tableSize = format == kColorMapped ? r.u8() + 1u : 0;
    if (!r.ok() || !bitmapSizeAllowed(width, height)) return false;
    size_t colorBytes = alpha ? 4 : 3;
    size_t rowBytes = format == kColorMapped ? paddedRow(width)
                      : format == kRgb15     ? paddedRow(static_cast<size_t>(width) * 2)
                      : format == kRgb32     ? static_cast<size_t>(width) * 4
                                             : 0;
    if (rowBytes == 0 || (format == kRgb15 && alpha)) return false;
    size_t tableBytes = tableSize * colorBytes;
    std::vector<uint8_t> raw;
    size_t packed = r.remaining();
    if (!inflateExactly(r.take(packed), packed, tableBytes + rowBytes * height, raw)) return false;

    out.width = width;
    out.height = height;
    out.pixels.assign(out.pixelCount() * 4, 0);
    const uint8_t* table = raw.data();
    const uint8_t* rows = raw.data() + tableBytes;
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = rows + rowBytes * y;
        uint8_t* o = &out.pixels[static_cast<size_t>(y) * width * 4];
        for (int x = 0; x < width; ++x, o += 4) {
            switch (format) {
                case kColorMapped: {
                    size_t index = in[x];
                    // An index past the table is a hole in the picture.
                    if (index >= tableSize) break;
                    const uint8_t* c = table + index * colorBytes;
                    put(o, c[0], c[1], c[2], alpha ? c[3] : 255);
                    break;
                }
                case kRgb15: {
                    unsigned v = in[x * 2] << 8 | in[x * 2 + 1];
                    auto widen = [](unsigned five) { return (five << 3) | (five >> 2); };
                    put(o, widen((v >> 10) & 31), widen((v >> 5) & 31), widen(v & 31), 255);
                    break;
                }
                default: {
                    const uint8_t* c = in + x * 4;
                    // Without alpha the first byte is reserved: the pixel is opaque.
                    put(o, c[1], c[2], c[3], alpha ? c[0] : 255);
                    break;
                }
            }
        }
    }
    return true;
}

}  // namespace kestrel::player
