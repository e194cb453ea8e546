#include "player/render/bitmap_fill.h"

#include <algorithm>
#include <cmath>

#include "player/core/bitmap_definitions.h"

namespace kestrel::render {

using player::ColorTransform;
using player::Matrix;

namespace {

bool IsIdentity(const ColorTransform& t) {
    return t.rMul == 1 && t.gMul == 1 && t.bMul == 1 && t.aMul == 1 && t.rAdd == 0 && t.gAdd == 0 &&
           t.bAdd == 0 && t.aAdd == 0;
}

// Sample positions are kept in doubles and brought into the bitmap before any
// conversion to integers, so no matrix can overflow them.
double Wrapped(double v, double size) {
    if (v >= 0 && v < size) return v;
    double w = v - std::floor(v / size) * size;
    // Rounding can land a hair outside.
    return w >= 0 && w < size ? w : 0;
}

}  // namespace

bool BitmapFill::Prepare(const player::FillStyle& fill, const Matrix& shapeToPixels,
                         const ColorTransform& transform) {
    bitmap_ = fill.bitmap;
    if (!bitmap_ || bitmap_->pixels.empty()) return false;
    // The fill's matrix maps bitmap pixels into the shape's twips.
    Matrix bitmapToPixels = shapeToPixels.multiply(fill.matrix);
    if (!bitmapToPixels.invert(pixelsToBitmap_)) return false;
    const Matrix& m = pixelsToBitmap_;
    if (!std::isfinite(m.a) || !std::isfinite(m.b) || !std::isfinite(m.c) || !std::isfinite(m.d) ||
        !std::isfinite(m.tx) || !std::isfinite(m.ty))
        return false;
    transform_ = transform;
    identity_ = IsIdentity(transform);
    repeats_ = fill.bitmapRepeats;
    smoothed_ = fill.bitmapSmoothed;
    return true;
}

agg::rgba8 BitmapFill::Texel(long column, long row) const {
    long w = bitmap_->width, h = bitmap_->height;
    if (repeats_) {
        column %= w;
        row %= h;
        if (column < 0) column += w;
        if (row < 0) row += h;
    } else {
        column = std::clamp(column, 0L, w - 1);
        row = std::clamp(row, 0L, h - 1);
    }
    const uint8_t* p = &bitmap_->pixels[(static_cast<size_t>(row) * w + column) * 4];
    return agg::rgba8(p[0], p[1], p[2], p[3]);
}

agg::rgba8 BitmapFill::Nearest(double u, double v) const {
    double w = bitmap_->width, h = bitmap_->height;
    if (repeats_) {
        u = Wrapped(u, w);
        v = Wrapped(v, h);
    } else {
        u = std::clamp(u, 0.0, w - 1);
        v = std::clamp(v, 0.0, h - 1);
    }
    long column = std::min(static_cast<long>(u), long{bitmap_->width} - 1);
    long row = std::min(static_cast<long>(v), long{bitmap_->height} - 1);
    const uint8_t* p = &bitmap_->pixels[(static_cast<size_t>(row) * bitmap_->width + column) * 4];
    return agg::rgba8(p[0], p[1], p[2], p[3]);
}

agg::rgba8 BitmapFill::Bilinear(double u, double v) const {
    double w = bitmap_->width, h = bitmap_->height;
    // Texel centres sit at half pixels.
    u -= 0.5;
    v -= 0.5;
    if (repeats_) {
        u = Wrapped(u, w);
        v = Wrapped(v, h);
    } else {
        u = std::clamp(u, -1.0, w);
        v = std::clamp(v, -1.0, h);
    }
    // u and v lie within a pixel of the bitmap now, so a cast floors them cheaply.
    long x0 = static_cast<long>(u), y0 = static_cast<long>(v);
    x0 -= u < x0;
    y0 -= v < y0;
    double fu = static_cast<double>(x0), fv = static_cast<double>(y0);
    // Weights in 1/256ths; each pair adds up to 256.
    unsigned wx = static_cast<unsigned>((u - fu) * 256), wy = static_cast<unsigned>((v - fv) * 256);
    wx = std::min(wx, 256u);
    wy = std::min(wy, 256u);
    unsigned w00 = (256 - wx) * (256 - wy), w10 = wx * (256 - wy);
    unsigned w01 = (256 - wx) * wy, w11 = wx * wy;
    long width = bitmap_->width;
    if (x0 >= 0 && y0 >= 0 && x0 + 1 < width && y0 + 1 < bitmap_->height) {
        // All four inside: straight from the rows, no wrapping or clamping.
        const uint8_t* p = &bitmap_->pixels[(static_cast<size_t>(y0) * width + x0) * 4];
        const uint8_t* q = p + static_cast<size_t>(width) * 4;
        uint8_t out[4];
        for (int c = 0; c < 4; ++c)
            out[c] = static_cast<uint8_t>(
                (p[c] * w00 + p[c + 4] * w10 + q[c] * w01 + q[c + 4] * w11 + 32768) >> 16);
        return agg::rgba8(out[0], out[1], out[2], out[3]);
    }
    agg::rgba8 c00 = Texel(x0, y0), c10 = Texel(x0 + 1, y0);
    agg::rgba8 c01 = Texel(x0, y0 + 1), c11 = Texel(x0 + 1, y0 + 1);
    auto mixed = [&](uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
        return static_cast<uint8_t>((a * w00 + b * w10 + c * w01 + d * w11 + 32768) >> 16);
    };
    return agg::rgba8(mixed(c00.r, c10.r, c01.r, c11.r), mixed(c00.g, c10.g, c01.g, c11.g),
                      mixed(c00.b, c10.b, c01.b, c11.b), mixed(c00.a, c10.a, c01.a, c11.a));
}

agg::rgba8 BitmapFill::Transformed(agg::rgba8 c) const {
    if (identity_) return c;
    // The transform works on straight colours.
    player::Rgba straight{0, 0, 0, c.a};
    if (c.a > 0) {
        straight.r = static_cast<uint8_t>(std::min(255u, (c.r * 255u + c.a / 2) / c.a));
        straight.g = static_cast<uint8_t>(std::min(255u, (c.g * 255u + c.a / 2) / c.a));
        straight.b = static_cast<uint8_t>(std::min(255u, (c.b * 255u + c.a / 2) / c.a));
    }
    player::Rgba t = transform_.apply(straight);
    agg::rgba8 out(t.r, t.g, t.b, t.a);
    out.premultiply();
    return out;
}

// Texel index `i` (any integer) brought into 0..size-1.
long BitmapFill::Index(long i, long size) const {
    if (repeats_) {
        i %= size;
        return i < 0 ? i + size : i;
    }
    return std::clamp(i, 0L, size - 1);
}

void BitmapFill::SmoothedFixed(agg::rgba8* span, double u, double v, unsigned len) const {
    const Matrix& m = pixelsToBitmap_;
    // 16.16 fixed point; the caller made sure no position leaves +-2^14 texels.
    int64_t fu = std::llround(u * 65536), fv = std::llround(v * 65536);
    int64_t du = std::llround(m.a * 65536), dv = std::llround(m.b * 65536);
    long width = bitmap_->width, height = bitmap_->height;
    const uint8_t* pixels = bitmap_->pixels.data();
    size_t stride = static_cast<size_t>(width) * 4;
    for (unsigned i = 0; i < len; ++i, fu += du, fv += dv) {
        // Floors of the positions, and their fractions in 1/256ths.
        long x0 = static_cast<long>(fu >= 0 ? fu >> 16 : -((-fu + 65535) >> 16));
        long y0 = static_cast<long>(fv >= 0 ? fv >> 16 : -((-fv + 65535) >> 16));
        unsigned wx = static_cast<unsigned>((fu - static_cast<int64_t>(x0) * 65536) >> 8);
        unsigned wy = static_cast<unsigned>((fv - static_cast<int64_t>(y0) * 65536) >> 8);
        const uint8_t *p00, *p10, *p01, *p11;
        if (x0 >= 0 && y0 >= 0 && x0 + 1 < width && y0 + 1 < height) {
            p00 = pixels + static_cast<size_t>(y0) * stride + static_cast<size_t>(x0) * 4;
            p10 = p00 + 4;
            p01 = p00 + stride;
            p11 = p01 + 4;
        } else {
            size_t c0 = static_cast<size_t>(Index(x0, width)) * 4;
            size_t c1 = static_cast<size_t>(Index(x0 + 1, width)) * 4;
            size_t r0 = static_cast<size_t>(Index(y0, height)) * stride;
            size_t r1 = static_cast<size_t>(Index(y0 + 1, height)) * stride;
            p00 = pixels + r0 + c0;
            p10 = pixels + r0 + c1;
            p01 = pixels + r1 + c0;
            p11 = pixels + r1 + c1;
        }
        unsigned w00 = (256 - wx) * (256 - wy), w10 = wx * (256 - wy);
        unsigned w01 = (256 - wx) * wy, w11 = wx * wy;
        uint8_t out[4];
        for (int c = 0; c < 4; ++c)
            out[c] = static_cast<uint8_t>(
                (p00[c] * w00 + p10[c] * w10 + p01[c] * w01 + p11[c] * w11 + 32768) >> 16);
        span[i] = agg::rgba8(out[0], out[1], out[2], out[3]);
    }
}

void BitmapFill::Generate(agg::rgba8* span, int x, int y, unsigned len) const {
    const Matrix& m = pixelsToBitmap_;
    double px = x + 0.5, py = y + 0.5;
    // Along a row every pixel moves by the same step in the bitmap.
    double u0 = m.a * px + m.c * py + m.tx, v0 = m.b * px + m.d * py + m.ty;
    if (smoothed_ && identity_ && len > 0) {
        // Texel centres sit at half pixels.
        double u = u0 - 0.5, v = v0 - 0.5;
        double uEnd = u + m.a * (len - 1), vEnd = v + m.b * (len - 1);
        constexpr double kFixedReach = 16384;
        if (std::fabs(u) < kFixedReach && std::fabs(v) < kFixedReach &&
            std::fabs(uEnd) < kFixedReach && std::fabs(vEnd) < kFixedReach) {
            SmoothedFixed(span, u, v, len);
            return;
        }
    }
    for (unsigned i = 0; i < len; ++i) {
        double u = u0 + m.a * i, v = v0 + m.b * i;
        if (!std::isfinite(u) || !std::isfinite(v)) u = v = 0;
        span[i] = Transformed(smoothed_ ? Bilinear(u, v) : Nearest(u, v));
    }
}

}  // namespace kestrel::render
