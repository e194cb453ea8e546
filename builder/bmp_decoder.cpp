#include <algorithm>

#include "builder/mask_image.h"

namespace kestrel {

namespace {

/*
 * An uncompressed Windows bitmap: the 14-byte file header ("BM", size, two
 * reserved words, the offset of the pixels), an info header (12 bytes for
 * the old core form, 40 or more otherwise), for BI_BITFIELDS with a 40-byte
 * header three colour masks, a palette for depths up to 8, and the pixel
 * rows: bottom-up unless the height is negative, each padded to 4 bytes.
 * Every offset and length is checked against the file before it is used.
 */
constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

// Bounded little-endian reads: outside the file every read fails.
class Bytes {
  public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Has(uint64_t offset, uint64_t count) const {
        return offset <= size_ && count <= size_ - offset;
    }
    uint32_t U16(size_t offset) const { return data_[offset] | data_[offset + 1] << 8; }
    uint32_t U32(size_t offset) const {
        return U16(offset) | static_cast<uint32_t>(U16(offset + 2)) << 16;
    }
    const uint8_t* At(size_t offset) const { return data_ + offset; }

  private:
    const uint8_t* data_;  // not owned
    size_t size_;
};

// One channel of a BI_BITFIELDS pixel, scaled to 8 bits.
struct Channel {
    uint32_t mask = 0;
    unsigned shift = 0;
    unsigned bits = 0;

    static Channel FromMask(uint32_t mask) {
        Channel channel{mask};
        if (mask == 0) return channel;
        while (!((mask >> channel.shift) & 1)) ++channel.shift;
        while (channel.shift + channel.bits < 32 && ((mask >> (channel.shift + channel.bits)) & 1))
            ++channel.bits;
        return channel;
    }
    uint8_t Of(uint32_t pixel) const {
        if (bits == 0) return 0;
        uint32_t value = (pixel & mask) >> shift;
        if (bits >= 8) return static_cast<uint8_t>(value >> (bits - 8));
        uint32_t top = (1u << bits) - 1;
        return static_cast<uint8_t>((value & top) * 255 / top);
    }
};

MaskImage Fail(MaskImageError error) {
    MaskImage image;
    image.error = error;
    return image;
}

}  // namespace

MaskImage DecodeBmp(const void* data, size_t size) {
    Bytes file(static_cast<const uint8_t*>(data), size);
    if (!file.Has(0, kFileHeaderSize + 4)) return Fail(MaskImageError::Damaged);
    uint32_t pixelOffset = file.U32(10);
    uint32_t headerSize = file.U32(kFileHeaderSize);
    if (headerSize != kCoreHeaderSize && headerSize < kInfoHeaderSize)
        return Fail(MaskImageError::Damaged);
    if (!file.Has(kFileHeaderSize, headerSize)) return Fail(MaskImageError::Damaged);

    const size_t info = kFileHeaderSize;
    int64_t width, height;
    uint32_t depth, compression = kBiRgb, paletteCount = 0;
    unsigned paletteEntrySize = 4;
    if (headerSize == kCoreHeaderSize) {
        width = file.U16(info + 4);
        height = file.U16(info + 6);
        depth = file.U16(info + 10);
        paletteEntrySize = 3;
    } else {
        width = static_cast<int32_t>(file.U32(info + 4));
        height = static_cast<int32_t>(file.U32(info + 8));
        depth = file.U16(info + 14);
        compression = file.U32(info + 16);
        paletteCount = file.U32(info + 32);
    }
    bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0) return Fail(MaskImageError::Damaged);
    if (!IsAcceptedMaskSize(width, height)) return Fail(MaskImageError::TooLarge);

    bool palette = depth == 1 || depth == 4 || depth == 8;
    bool direct = depth == 16 || depth == 24 || depth == 32;
    if (!palette && !direct) return Fail(MaskImageError::Unsupported);
    if (compression != kBiRgb && !(compression == kBiBitfields && (depth == 16 || depth == 32)))
        return Fail(MaskImageError::Unsupported);

    // Colour masks: in the header from version 4 on, else right after it.
    Channel red, green, blue;
    if (compression == kBiBitfields) {
        size_t masks = info + kInfoHeaderSize;
        if (!file.Has(masks, 12)) return Fail(MaskImageError::Damaged);
        red = Channel::FromMask(file.U32(masks));
        green = Channel::FromMask(file.U32(masks + 4));
        blue = Channel::FromMask(file.U32(masks + 8));
    } else if (depth == 16) {  // 5-5-5
        red = Channel::FromMask(0x7C00);
        green = Channel::FromMask(0x03E0);
        blue = Channel::FromMask(0x001F);
    }

    const uint8_t* colours = nullptr;
    if (palette) {
        uint32_t maximum = 1u << depth;
        if (paletteCount == 0 || paletteCount > maximum) paletteCount = maximum;
        size_t start = info + headerSize;
        // Fewer entries than announced: use what the file holds before the pixels.
        uint64_t room = pixelOffset > start ? (pixelOffset - start) / paletteEntrySize : 0;
        paletteCount = static_cast<uint32_t>(std::min<uint64_t>(paletteCount, room));
        if (paletteCount == 0 || !file.Has(start, uint64_t{paletteCount} * paletteEntrySize))
            return Fail(MaskImageError::Damaged);
        colours = file.At(start);
    }

    const uint64_t rowBytes = (static_cast<uint64_t>(width) * depth + 31) / 32 * 4;
    const uint64_t lastRowBytes = (static_cast<uint64_t>(width) * depth + 7) / 8;
    // The last row may lack its padding.
    if (!file.Has(pixelOffset, rowBytes * static_cast<uint64_t>(height - 1) + lastRowBytes))
        return Fail(MaskImageError::Damaged);

    MaskImage result;
    PixelBuffer& pixels = result.pixels;
    pixels.width = static_cast<int32_t>(width);
    pixels.height = static_cast<int32_t>(height);
    pixels.rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (int64_t y = 0; y < height; ++y) {
        int64_t fileRow = topDown ? y : height - 1 - y;
        const uint8_t* row = file.At(static_cast<size_t>(pixelOffset + rowBytes * fileRow));
        uint8_t* out = &pixels.rgb[static_cast<size_t>(y * width * 3)];
        for (int64_t x = 0; x < width; ++x, out += 3) {
            if (palette) {
                uint32_t bitOffset = static_cast<uint32_t>(x * depth);
                uint32_t index =
                    (row[bitOffset / 8] >> (8 - depth - bitOffset % 8)) & ((1u << depth) - 1);
                if (index >= paletteCount) index = 0;
                const uint8_t* entry = colours + index * paletteEntrySize;
                out[0] = entry[2], out[1] = entry[1], out[2] = entry[0];
            } else if (depth == 24 || (depth == 32 && compression == kBiRgb)) {
                const uint8_t* pixel = row + x * (depth / 8);
                out[0] = pixel[2], out[1] = pixel[1],
                out[2] = pixel[0];  // the fourth byte is dropped
            } else {
                const uint8_t* at = row + x * (depth / 8);
                uint32_t pixel = depth == 16
                                     ? static_cast<uint32_t>(at[0] | at[1] << 8)
                                     : static_cast<uint32_t>(at[0] | at[1] << 8 | at[2] << 16) |
                                           static_cast<uint32_t>(at[3]) << 24;
                out[0] = red.Of(pixel), out[1] = green.Of(pixel), out[2] = blue.Of(pixel);
            }
        }
    }
    return result;
}

}  // namespace kestrel
