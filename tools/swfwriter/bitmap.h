// DefineBitsLossless and DefineBitsLossless2: small generated bitmaps for bitmap fills.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tools/swfwriter/byte_writer.h"
#include "tools/swfwriter/records.h"

namespace swf {

constexpr uint16_t kMaxBitmapSide = 2048;

// A width x height bitmap in one colour, or a checkerboard of two colours with square
// cells of `cell` pixels (0: no checkerboard). Opaque colours give DefineBitsLossless,
// any alpha gives DefineBitsLossless2 (premultiplied, as stored). *tagCode tells which.
std::optional<Bytes> EncodeLosslessBitmap(uint16_t id, uint16_t width, uint16_t height, Rgba first,
                                          Rgba second, uint16_t cell, uint16_t* tagCode,
                                          std::string* error = nullptr);

}  // namespace swf

namespace swf {

// DefineBitsLossless (or Lossless2 when `alpha`) from pixel data as stored before
// compression: format 3 (a colour table of `tableSize` entries, then padded rows of
// indexes), 4 (padded rows of 15-bit pixels) or 5 (32-bit pixels).
Bytes EncodeLosslessStored(uint16_t id, uint8_t format, uint16_t width, uint16_t height,
                           const Bytes& stored, unsigned tableSize = 0);

// DefineBitsJPEG2: a whole JPEG (or PNG or GIF) file.
Bytes EncodeDefineBitsJpeg2(uint16_t id, const Bytes& image);
// DefineBitsJPEG3: the image and its alpha plane (one byte per pixel, compressed here).
Bytes EncodeDefineBitsJpeg3(uint16_t id, const Bytes& image, const Bytes& alphaPlane);
// DefineBits: JPEG data whose tables sit in the movie's JPEGTables tag (whose body
// is the tables stream as it stands).
Bytes EncodeDefineBits(uint16_t id, const Bytes& image);

}  // namespace swf
