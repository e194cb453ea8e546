#include "tools/swfwriter/records.h"

#include <algorithm>
#include <cmath>

namespace swf {
namespace {

constexpr double kPi = 3.14159265358979323846;

int32_t Fixed16(double v) {
    return static_cast<int32_t>(std::lround(v * 65536.0));
}

unsigned MaxSignedBits(std::initializer_list<int32_t> values) {
    unsigned bits = 0;
    for (int32_t v : values) bits = std::max(bits, SignedBits(v));
    return bits;
}

}  // namespace

int32_t Twips(double pixels) {
    return static_cast<int32_t>(std::lround(pixels * 20.0));
}

void WriteRgb(ByteWriter& out, Rgba c) {
    out.U8(c.r);
    out.U8(c.g);
    out.U8(c.b);
}

void WriteRgba(ByteWriter& out, Rgba c) {
    WriteRgb(out, c);
    out.U8(c.a);
}

void WriteRect(ByteWriter& out, const Rect& r) {
    unsigned bits = MaxSignedBits({r.xMin, r.xMax, r.yMin, r.yMax});
    BitWriter w(out);
    w.UB(bits, 5);
    w.SB(r.xMin, bits);
    w.SB(r.xMax, bits);
    w.SB(r.yMin, bits);
    w.SB(r.yMax, bits);
}

Matrix Matrix::Make(double xPixels, double yPixels, double scaleX, double scaleY,
                    double rotationDegrees) {
    Matrix m;
    double radians = rotationDegrees * kPi / 180.0;
    double c = std::cos(radians), s = std::sin(radians);
    // Snap the cosine/sine of right angles so 90 degrees gives exact zeros.
    if (std::fabs(c) < 1e-12) c = 0;
    if (std::fabs(s) < 1e-12) s = 0;
    m.scaleX = scaleX * c;
    m.rotateSkew0 = scaleX * s;
    m.rotateSkew1 = -scaleY * s;
    m.scaleY = scaleY * c;
    m.translateX = Twips(xPixels);
    m.translateY = Twips(yPixels);
    return m;
}

void WriteMatrix(ByteWriter& out, const Matrix& m) {
    BitWriter w(out);
    int32_t sx = Fixed16(m.scaleX), sy = Fixed16(m.scaleY);
    bool hasScale = sx != 0x10000 || sy != 0x10000;
    w.Flag(hasScale);
    if (hasScale) {
        unsigned bits = MaxSignedBits({sx, sy});
        w.UB(bits, 5);
        w.SB(sx, bits);
        w.SB(sy, bits);
    }
    int32_t r0 = Fixed16(m.rotateSkew0), r1 = Fixed16(m.rotateSkew1);
    bool hasRotate = r0 != 0 || r1 != 0;
    w.Flag(hasRotate);
    if (hasRotate) {
        unsigned bits = MaxSignedBits({r0, r1});
        w.UB(bits, 5);
        w.SB(r0, bits);
        w.SB(r1, bits);
    }
    unsigned bits = MaxSignedBits({m.translateX, m.translateY});
    w.UB(bits, 5);
    w.SB(m.translateX, bits);
    w.SB(m.translateY, bits);
}

bool ColorTransform::IsIdentity() const {
    return mulR == 256 && mulG == 256 && mulB == 256 && mulA == 256 && addR == 0 && addG == 0 &&
           addB == 0 && addA == 0;
}

void WriteColorTransformRgb(ByteWriter& out, const ColorTransform& cx) {
    bool hasMul = cx.mulR != 256 || cx.mulG != 256 || cx.mulB != 256;
    bool hasAdd = cx.addR != 0 || cx.addG != 0 || cx.addB != 0;
    unsigned bits = 0;
    if (hasMul) bits = std::max(bits, MaxSignedBits({cx.mulR, cx.mulG, cx.mulB}));
    if (hasAdd) bits = std::max(bits, MaxSignedBits({cx.addR, cx.addG, cx.addB}));
    BitWriter w(out);
    w.Flag(hasAdd);
    w.Flag(hasMul);
    w.UB(bits, 4);
    if (hasMul) {
        for (int32_t v : {cx.mulR, cx.mulG, cx.mulB}) w.SB(v, bits);
    }
    if (hasAdd) {
        for (int32_t v : {cx.addR, cx.addG, cx.addB}) w.SB(v, bits);
    }
}

void WriteColorTransform(ByteWriter& out, const ColorTransform& cx) {
    bool hasMul = cx.mulR != 256 || cx.mulG != 256 || cx.mulB != 256 || cx.mulA != 256;
    bool hasAdd = cx.addR != 0 || cx.addG != 0 || cx.addB != 0 || cx.addA != 0;
    unsigned bits = 0;
    if (hasMul) bits = std::max(bits, MaxSignedBits({cx.mulR, cx.mulG, cx.mulB, cx.mulA}));
    if (hasAdd) bits = std::max(bits, MaxSignedBits({cx.addR, cx.addG, cx.addB, cx.addA}));
    BitWriter w(out);
    w.Flag(hasAdd);
    w.Flag(hasMul);
    w.UB(bits, 4);
    if (hasMul) {
        for (int32_t v : {cx.mulR, cx.mulG, cx.mulB, cx.mulA}) w.SB(v, bits);
    }
    if (hasAdd) {
        for (int32_t v : {cx.addR, cx.addG, cx.addB, cx.addA}) w.SB(v, bits);
    }
}

}  // namespace swf
