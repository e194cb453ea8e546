// Little-endian byte output and the SWF bit-packed fields (UB, SB, FB).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace swf {

using Bytes = std::vector<uint8_t>;

class ByteWriter {
  public:
    void U8(uint32_t v) { bytes_.push_back(static_cast<uint8_t>(v)); }
    void U16(uint32_t v);
    void U32(uint32_t v);
    void S16(int32_t v) { U16(static_cast<uint32_t>(v) & 0xFFFF); }
    void Float(float v);
    // AVM1 stores doubles as two little-endian 32-bit halves, high word first.
    void SwappedDouble(double v);
    // Zero-terminated string; embedded zero bytes are not representable and are refused upstream.
    void String(const std::string& s);
    void Append(const Bytes& b) { bytes_.insert(bytes_.end(), b.begin(), b.end()); }
    void PatchU8(size_t at, uint32_t v) { bytes_[at] = static_cast<uint8_t>(v); }
    void PatchU16(size_t at, uint32_t v);
    uint8_t At(size_t at) const { return bytes_[at]; }
    void PatchU32(size_t at, uint32_t v);

    size_t Size() const { return bytes_.size(); }
    const Bytes& Data() const { return bytes_; }
    Bytes Take() { return std::move(bytes_); }

  private:
    Bytes bytes_;
};

// Writes bit fields most significant bit first; Flush pads to the next byte with zeros.
class BitWriter {
  public:
    explicit BitWriter(ByteWriter& out) : out_(out) {}
    ~BitWriter() { Flush(); }
    BitWriter(const BitWriter&) = delete;
    BitWriter& operator=(const BitWriter&) = delete;

    void UB(uint32_t value, unsigned bits);
    void SB(int32_t value, unsigned bits) { UB(static_cast<uint32_t>(value), bits); }
    void Flag(bool on) { UB(on ? 1 : 0, 1); }
    void Flush();

  private:
    ByteWriter& out_;
    uint32_t pending_ = 0;
    unsigned pendingBits_ = 0;
};

// Bits needed to store v as UB.
unsigned UnsignedBits(uint32_t v);
// Bits needed to store v as SB (two's complement); 0 needs none.
unsigned SignedBits(int32_t v);

}  // namespace swf
