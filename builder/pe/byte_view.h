// Bounded little-endian access to a byte buffer. Reads keep a sticky flag:
// a read outside the buffer returns 0 and clears ok(), so a parser reads a
// whole structure and checks once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrel::pe {

class ByteView {
  public:
    ByteView(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit ByteView(const std::vector<uint8_t>& bytes) : ByteView(bytes.data(), bytes.size()) {}

    bool ok() const { return ok_; }
    size_t size() const { return size_; }
    const uint8_t* data() const { return data_; }

    // True when [offset, offset + count) lies inside the buffer (no overflow).
    bool Has(uint64_t offset, uint64_t count) const {
        return offset <= size_ && count <= size_ - offset;
    }
    uint8_t U8(uint64_t offset) { return Has(offset, 1) ? data_[offset] : Fail(); }
    uint16_t U16(uint64_t offset) {
        if (!Has(offset, 2)) return Fail();
        return static_cast<uint16_t>(data_[offset] | data_[offset + 1] << 8);
    }
    uint32_t U32(uint64_t offset) {
        if (!Has(offset, 4)) return Fail();
        return static_cast<uint32_t>(data_[offset]) |
               static_cast<uint32_t>(data_[offset + 1]) << 8 |
               static_cast<uint32_t>(data_[offset + 2]) << 16 |
               static_cast<uint32_t>(data_[offset + 3]) << 24;
    }

  private:
    uint8_t Fail() {
        ok_ = false;
        return 0;
    }

    const uint8_t* data_;
    size_t size_;
    bool ok_ = true;
};

// Writers into a buffer the caller has sized.
inline void Store16(std::vector<uint8_t>& out, size_t offset, uint16_t value) {
    out[offset] = static_cast<uint8_t>(value);
    out[offset + 1] = static_cast<uint8_t>(value >> 8);
}
inline void Store32(std::vector<uint8_t>& out, size_t offset, uint32_t value) {
    Store16(out, offset, static_cast<uint16_t>(value));
    Store16(out, offset + 2, static_cast<uint16_t>(value >> 16));
}
inline void Append16(std::vector<uint8_t>& out, uint16_t value) {
    out.resize(out.size() + 2);
    Store16(out, out.size() - 2, value);
}
inline void Append32(std::vector<uint8_t>& out, uint32_t value) {
    out.resize(out.size() + 4);
    Store32(out, out.size() - 4, value);
}

inline uint64_t AlignUp(uint64_t value, uint32_t alignment) {
    return alignment ? (value + alignment - 1) / alignment * alignment : value;
}

}  // namespace kestrel::pe
