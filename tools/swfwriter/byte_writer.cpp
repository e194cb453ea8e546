#include "tools/swfwriter/byte_writer.h"

#include <cstring>

namespace swf {

void ByteWriter::U16(uint32_t v) {
    U8(v & 0xFF);
    U8((v >> 8) & 0xFF);
}

void ByteWriter::U32(uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
}

void ByteWriter::Float(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    U32(bits);
}

void ByteWriter::SwappedDouble(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    U32(static_cast<uint32_t>(bits >> 32));
    U32(static_cast<uint32_t>(bits));
}

void ByteWriter::String(const std::string& s) {
    bytes_.insert(bytes_.end(), s.begin(), s.end());
    U8(0);
}

void ByteWriter::PatchU16(size_t at, uint32_t v) {
    bytes_[at] = static_cast<uint8_t>(v);
    bytes_[at + 1] = static_cast<uint8_t>(v >> 8);
}

void ByteWriter::PatchU32(size_t at, uint32_t v) {
    PatchU16(at, v & 0xFFFF);
    PatchU16(at + 2, v >> 16);
}

void BitWriter::UB(uint32_t value, unsigned bits) {
    for (unsigned i = bits; i-- > 0;) {
        pending_ = (pending_ << 1) | ((value >> i) & 1u);
        if (++pendingBits_ == 8) {
            out_.U8(pending_);
            pending_ = 0;
            pendingBits_ = 0;
        }
    }
}

void BitWriter::Flush() {
    if (pendingBits_ > 0) UB(0, 8 - pendingBits_);
}

unsigned UnsignedBits(uint32_t v) {
    unsigned n = 0;
    while (v != 0) {
        ++n;
        v >>= 1;
    }
    return n;
}

unsigned SignedBits(int32_t v) {
    if (v == 0) return 0;
    // A negative value needs as many bits as its complement plus the sign.
    uint32_t magnitude = v < 0 ? ~static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
    return UnsignedBits(magnitude) + 1;
}

}  // namespace swf
