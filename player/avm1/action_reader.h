// Bounded reading of action payloads: a read past the end yields zero and clears ok().
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace kestrel::avm1 {

class ActionReader {
  public:
    ActionReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    size_t position() const { return pos_; }
    size_t remaining() const { return size_ - pos_; }

    uint8_t u8() {
        if (pos_ + 1 > size_) return fail();
        return data_[pos_++];
    }
    uint16_t u16() {
        if (pos_ + 2 > size_) return fail();
        uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    int16_t s16() { return static_cast<int16_t>(u16()); }
    uint32_t u32() {
        if (pos_ + 4 > size_) return fail();
        uint32_t v = static_cast<uint32_t>(data_[pos_]) |
                     (static_cast<uint32_t>(data_[pos_ + 1]) << 8) |
                     (static_cast<uint32_t>(data_[pos_ + 2]) << 16) |
                     (static_cast<uint32_t>(data_[pos_ + 3]) << 24);
        pos_ += 4;
        return v;
    }
    float f32() {
        uint32_t bits = u32();
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    // Push's double stores its high word first.
    double wordSwappedDouble() {
        uint64_t hi = u32();
        uint64_t lo = u32();
        uint64_t bits = (hi << 32) | lo;
        double d;
        std::memcpy(&d, &bits, 8);
        return d;
    }
    // NUL-terminated string; a missing terminator fails.
    std::string cstring() {
        size_t start = pos_;
        while (pos_ < size_ && data_[pos_] != 0) ++pos_;
        if (pos_ >= size_) {
            fail();
            return {};
        }
        std::string s(reinterpret_cast<const char*>(data_ + start), pos_ - start);
        ++pos_;
        return s;
    }

  private:
    uint8_t fail() {
        ok_ = false;
        pos_ = size_;
        return 0;
    }
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

}  // namespace kestrel::avm1
