// Bounded little-endian byte and bit reader with a sticky error: a read past the
// end returns zero and marks the reader failed; callers check ok() once at the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "player/core/swf_types.h"

namespace kestrel::player {

class ByteReader {
  public:
    ByteReader() = default;
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    void fail() { ok_ = false; }
    size_t position() const { return pos_; }
    size_t size() const { return size_; }
    size_t remaining() const { return ok_ ? size_ - pos_ : 0; }
    const uint8_t* current() const { return data_ + pos_; }

    uint8_t u8();
    uint16_t u16();
    uint32_t u32();
    int16_t s16() { return static_cast<int16_t>(u16()); }
    // 8.8 fixed point.
    double fixed8();
    // 16.16 fixed point.
    double fixed16();
    // Skips n bytes; fails when fewer are left.
    void skip(size_t n);
    // Returns a pointer to the next n bytes and skips them, or nullptr (and fails).
    const uint8_t* take(size_t n);
    // Null-terminated string; fails when no terminator is left.
    std::string cstring();
    // A sub-reader over the next n bytes (empty and failing when fewer are left).
    ByteReader sub(size_t n);

    // Bit reading, most significant bit first. Byte reads realign first.
    uint32_t bits(unsigned count);
    int32_t signedBits(unsigned count);
    // Signed fixed point 16.16 stored in `count` bits.
    double fixedBits(unsigned count) { return signedBits(count) / 65536.0; }
    void align() { bitCount_ = 0; }

    Rect rect();
    Matrix matrix();
    // CXFORM (alpha == false) or CXFORMWITHALPHA.
    ColorTransform colorTransform(bool withAlpha);
    Rgba rgb();
    Rgba rgba();

  private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t pos_ = 0;
    bool ok_ = true;
    uint8_t bitBuffer_ = 0;
    unsigned bitCount_ = 0;
};

}  // namespace kestrel::player
