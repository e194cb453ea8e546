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
