#include "player/core/byte_reader.h"

namespace kestrel::player {

uint8_t ByteReader::u8() {
    bitCount_ = 0;
    if (!ok_ || pos_ >= size_) {
        ok_ = false;
        return 0;
    }
    return data_[pos_++];
}

uint16_t ByteReader::u16() {
    uint16_t lo = u8();
    uint16_t hi = u8();
    return static_cast<uint16_t>(lo | (hi << 8));
}

uint32_t ByteReader::u32() {
    uint32_t lo = u16();
    uint32_t hi = u16();
    return lo | (hi << 16);
}

double ByteReader::fixed8() {
    return static_cast<int16_t>(u16()) / 256.0;
}

double ByteReader::fixed16() {
    return static_cast<int32_t>(u32()) / 65536.0;
}

void ByteReader::skip(size_t n) {
    take(n);
}

const uint8_t* ByteReader::take(size_t n) {
    bitCount_ = 0;
    if (!ok_ || n > size_ - pos_) {
        ok_ = false;
        return nullptr;
    }
    const uint8_t* p = data_ + pos_;
    pos_ += n;
    return p;
}

std::string ByteReader::cstring() {
    bitCount_ = 0;
    if (!ok_) return {};
    for (size_t i = pos_; i < size_; ++i) {
        if (data_[i] == 0) {
            std::string s(reinterpret_cast<const char*>(data_ + pos_), i - pos_);
            pos_ = i + 1;
            return s;
        }
    }
    ok_ = false;
    return {};
}

ByteReader ByteReader::sub(size_t n) {
    const uint8_t* p = take(n);
    if (!p) {
        ByteReader failed;
        failed.fail();
        return failed;
    }
    return ByteReader(p, n);
}

uint32_t ByteReader::bits(unsigned count) {
    uint32_t value = 0;
    for (unsigned i = 0; i < count; ++i) {
        if (bitCount_ == 0) {
            if (!ok_ || pos_ >= size_) {
                ok_ = false;
                return 0;
            }
            bitBuffer_ = data_[pos_++];
            bitCount_ = 8;
        }
        --bitCount_;
        value = (value << 1) | ((bitBuffer_ >> bitCount_) & 1u);
    }
    return value;
}

int32_t ByteReader::signedBits(unsigned count) {
    if (count == 0) return 0;
    uint32_t v = bits(count);
    if (count < 32 && (v & (1u << (count - 1)))) v |= ~0u << count;
    return static_cast<int32_t>(v);
}

Rect ByteReader::rect() {
    align();
    unsigned n = bits(5);
    Rect r;
    r.xMin = signedBits(n);
    r.xMax = signedBits(n);
    r.yMin = signedBits(n);
    r.yMax = signedBits(n);
    align();
    return r;
}

Matrix ByteReader::matrix() {
    align();
    Matrix m;
    if (bits(1)) {
        unsigned n = bits(5);
        m.a = fixedBits(n);
        m.d = fixedBits(n);
    }
    if (bits(1)) {
        unsigned n = bits(5);
        m.b = fixedBits(n);
        m.c = fixedBits(n);
    }
    unsigned n = bits(5);
    m.tx = signedBits(n);
    m.ty = signedBits(n);
    align();
    return m;
}

ColorTransform ByteReader::colorTransform(bool withAlpha) {
    align();
    ColorTransform ct;
    bool hasAdd = bits(1);
    bool hasMul = bits(1);
    unsigned n = bits(4);
    if (hasMul) {
        ct.rMul = signedBits(n) / 256.0;
        ct.gMul = signedBits(n) / 256.0;
        ct.bMul = signedBits(n) / 256.0;
        if (withAlpha) ct.aMul = signedBits(n) / 256.0;
    }
    if (hasAdd) {
        ct.rAdd = signedBits(n);
        ct.gAdd = signedBits(n);
        ct.bAdd = signedBits(n);
        if (withAlpha) ct.aAdd = signedBits(n);
    }
    align();
    return ct;
}

Rgba ByteReader::rgb() {
    Rgba c;
    c.r = u8();
    c.g = u8();
    c.b = u8();
    return c;
}

Rgba ByteReader::rgba() {
    Rgba c = rgb();
    c.a = u8();
    return c;
}

}  // namespace kestrel::player
