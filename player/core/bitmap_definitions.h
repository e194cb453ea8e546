// Bitmaps of the movie's dictionary (DefineBitsLossless/Lossless2, DefineBits with
// JPEGTables, DefineBitsJPEG2/3), decoded once at load time into premultiplied RGBA.
// Data that does not decode gives no bitmap; shapes that fill with it stay empty.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "player/core/byte_reader.h"

namespace kestrel::player {

struct BitmapDefinition {
    // Sides beyond this are refused, as are bitmaps of more than kMaxPixels.
    static constexpr int kMaxSide = 8192;
    static constexpr size_t kMaxPixels = size_t{1} << 24;

    uint16_t id = 0;
    int width = 0, height = 0;
    // Premultiplied RGBA (no channel above alpha), rows top to bottom, no padding.
    std::vector<uint8_t> pixels;

    size_t pixelCount() const { return static_cast<size_t>(width) * static_cast<size_t>(height); }
};

// True when width x height is a bitmap size we decode.
bool bitmapSizeAllowed(long width, long height);

// Body of DefineBitsLossless (`alpha` false) or DefineBitsLossless2 after the id.
bool parseLosslessBitmap(ByteReader& reader, bool alpha, BitmapDefinition& out);

// Body of DefineBits after the id: JPEG data that takes its tables from the movie's
// JPEGTables tag (`tables`, possibly empty).
bool parseJpegWithTables(ByteReader& reader, const std::vector<uint8_t>& tables,
                         BitmapDefinition& out);
// Body of DefineBitsJPEG2 after the id: a whole JPEG, PNG or GIF image.
bool parseJpegImage(ByteReader& reader, BitmapDefinition& out);
// Body of DefineBitsJPEG3 after the id: the image and its zlib alpha plane.
bool parseJpegWithAlpha(ByteReader& reader, BitmapDefinition& out);

}  // namespace kestrel::player
