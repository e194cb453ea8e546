#include "tools/swfwriter/bitmap.h"

#include <zlib.h>

#include "common/swf_format.h"

namespace swf {

std::optional<Bytes> EncodeLosslessBitmap(uint16_t id, uint16_t width, uint16_t height, Rgba first,
                                          Rgba second, uint16_t cell, uint16_t* tagCode,
                                          std::string* error) {
    if (width == 0 || height == 0 || width > kMaxBitmapSide || height > kMaxBitmapSide) {
        if (error) *error = "bitmap sides are 1 to " + std::to_string(kMaxBitmapSide) + " pixels";
        return std::nullopt;
    }
    bool alpha = first.a != 255 || (cell > 0 && second.a != 255);
    Bytes pixels;
    pixels.reserve(static_cast<size_t>(width) * height * 4);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            bool odd = cell > 0 && ((x / cell + y / cell) % 2 == 1);
            Rgba c = odd ? second : first;
            if (alpha) {
                // ARGB with the colour multiplied by alpha.
                pixels.push_back(c.a);
                pixels.push_back(static_cast<uint8_t>(c.r * c.a / 255));
                pixels.push_back(static_cast<uint8_t>(c.g * c.a / 255));
                pixels.push_back(static_cast<uint8_t>(c.b * c.a / 255));
            } else {
                pixels.push_back(0);  // reserved byte of PIX24
                pixels.push_back(c.r);
                pixels.push_back(c.g);
                pixels.push_back(c.b);
            }
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(pixels.size()));
    Bytes packed(packedSize);
    if (compress2(packed.data(), &packedSize, pixels.data(), static_cast<uLong>(pixels.size()),
                  9) != Z_OK) {
        if (error) *error = "zlib compression failed";
        return std::nullopt;
    }
    packed.resize(packedSize);
    ByteWriter out;
    out.U16(id);
    out.U8(5);  // 32-bit pixels
    out.U16(width);
    out.U16(height);
    out.Append(packed);
    if (tagCode) *tagCode = alpha ? kTagDefineBitsLossless2 : kTagDefineBitsLossless;
    return out.Take();
}

}  // namespace swf

namespace swf {
namespace {

Bytes Compressed(const Bytes& data) {
    uLongf packedSize = compressBound(static_cast<uLong>(data.size()));
    Bytes packed(packedSize);
    if (compress2(packed.data(), &packedSize, data.data(), static_cast<uLong>(data.size()), 9) !=
        Z_OK)
        return {};
    packed.resize(packedSize);
    return packed;
}

}  // namespace

Bytes EncodeLosslessStored(uint16_t id, uint8_t format, uint16_t width, uint16_t height,
                           const Bytes& stored, unsigned tableSize) {
    ByteWriter out;
    out.U16(id);
    out.U8(format);
    out.U16(width);
    out.U16(height);
    if (format == 3) out.U8(tableSize - 1);
    out.Append(Compressed(stored));
    return out.Take();
}

Bytes EncodeDefineBitsJpeg2(uint16_t id, const Bytes& image) {
    ByteWriter out;
    out.U16(id);
    out.Append(image);
    return out.Take();
}

Bytes EncodeDefineBitsJpeg3(uint16_t id, const Bytes& image, const Bytes& alphaPlane) {
    ByteWriter out;
    out.U16(id);
    out.U32(static_cast<uint32_t>(image.size()));
    out.Append(image);
    out.Append(Compressed(alphaPlane));
    return out.Take();
}

Bytes EncodeDefineBits(uint16_t id, const Bytes& image) {
    return EncodeDefineBitsJpeg2(id, image);
}

}  // namespace swf
