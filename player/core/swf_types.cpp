#include "player/core/swf_types.h"

#include <algorithm>
#include <cmath>

namespace kestrel::player {

void Rect::include(double x, double y) {
    if (isEmpty()) {
        *this = Rect{x, y, x, y};
        return;
    }
    xMin = std::min(xMin, x);
    yMin = std::min(yMin, y);
    xMax = std::max(xMax, x);
    yMax = std::max(yMax, y);
}

void Rect::include(const Rect& r) {
    if (r.isEmpty()) return;
    include(r.xMin, r.yMin);
    include(r.xMax, r.yMax);
}

Matrix Matrix::multiply(const Matrix& m) const {
    Matrix out;
    out.a = a * m.a + c * m.b;
    out.b = b * m.a + d * m.b;
    out.c = a * m.c + c * m.d;
    out.d = b * m.c + d * m.d;
    out.tx = a * m.tx + c * m.ty + tx;
    out.ty = b * m.tx + d * m.ty + ty;
    return out;
}

bool Matrix::invert(Matrix& out) const {
    double det = a * d - b * c;
    if (std::fabs(det) < 1e-12) return false;
    out.a = d / det;
    out.b = -b / det;
    out.c = -c / det;
    out.d = a / det;
    out.tx = -(out.a * tx + out.c * ty);
    out.ty = -(out.b * tx + out.d * ty);
    return true;
}

Rect Matrix::transformRect(const Rect& r) const {
    if (r.isEmpty()) return r;
    Rect out = Rect::empty();
    const Point corners[4] = {apply(r.xMin, r.yMin), apply(r.xMax, r.yMin), apply(r.xMin, r.yMax),
                              apply(r.xMax, r.yMax)};
    for (const Point& p : corners) out.include(p.x, p.y);
    return out;
}

static uint8_t clampChannel(double v) {
    if (!(v > 0)) return 0;
    if (v >= 255) return 255;
    return static_cast<uint8_t>(v + 0.5);
}

Rgba ColorTransform::apply(const Rgba& c) const {
    return Rgba{clampChannel(c.r * rMul + rAdd), clampChannel(c.g * gMul + gAdd),
                clampChannel(c.b * bMul + bAdd), clampChannel(c.a * aMul + aAdd)};
}

ColorTransform ColorTransform::concat(const ColorTransform& in) const {
    ColorTransform out;
    out.rMul = rMul * in.rMul;
    out.gMul = gMul * in.gMul;
    out.bMul = bMul * in.bMul;
    out.aMul = aMul * in.aMul;
    out.rAdd = rAdd + rMul * in.rAdd;
    out.gAdd = gAdd + gMul * in.gAdd;
    out.bAdd = bAdd + bMul * in.bAdd;
    out.aAdd = aAdd + aMul * in.aAdd;
    return out;
}

}  // namespace kestrel::player
