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

void BitmapFill::Generate(agg::rgba8* span, int x, int y, unsigned len) const {
    const Matrix& m = pixelsToBitmap_;
    double px = x + 0.5, py = y + 0.5;
    // Along a row every pixel moves by the same step in the bitmap.
    double u0 = m.a * px + m.c * py + m.tx, v0 = m.b * px + m.d * py + m.ty;
    for (unsigned i = 0; i < len; ++i) {
        double u = u0 + m.a * i, v = v0 + m.b * i;
        if (!std::isfinite(u) || !std::isfinite(v)) u = v = 0;
        span[i] = Transformed(smoothed_ ? Bilinear(u, v) : Nearest(u, v));
    }
}

}  // namespace kestrel::render
