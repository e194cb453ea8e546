// Value types shared by the SWF parser, the display list and the renderers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrel::player {

// Lengths in SWF files are twips: 1/20 of a pixel.
constexpr double kTwipsPerPixel = 20.0;

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const Rgba& o) const { return !(*this == o); }
};

// Axis-aligned rectangle in twips. An empty rectangle has xMin > xMax.
struct Rect {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    static Rect empty() { return Rect{1, 1, 0, 0}; }
    bool isEmpty() const { return xMin > xMax || yMin > yMax; }
    double width() const { return isEmpty() ? 0 : xMax - xMin; }
    double height() const { return isEmpty() ? 0 : yMax - yMin; }
    void include(double x, double y);
    void include(const Rect& r);
    bool contains(double x, double y) const {
        return !isEmpty() && x >= xMin && x <= xMax && y >= yMin && y <= yMax;
    }
};

struct Point {
    double x = 0, y = 0;
};

// 2D affine transform as SWF stores it: x' = a*x + c*y + tx, y' = b*x + d*y + ty.
// a/d are the scales, b/c the rotate-skew terms, tx/ty in twips.
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    Point apply(double x, double y) const { return {a * x + c * y + tx, b * x + d * y + ty}; }
    // this * inner: applies inner first, then this.
    Matrix multiply(const Matrix& inner) const;
    // False when the matrix is singular.
    bool invert(Matrix& out) const;
    Rect transformRect(const Rect& r) const;
    static Matrix translation(double x, double y) { return {1, 0, 0, 1, x, y}; }
};

// Colour transform: channel' = channel * mult + add, clamped to 0..255.
struct ColorTransform {
    double rMul = 1, gMul = 1, bMul = 1, aMul = 1;
    double rAdd = 0, gAdd = 0, bAdd = 0, aAdd = 0;

    Rgba apply(const Rgba& c) const;
    // this applied after inner (parent.concat(child)).
    ColorTransform concat(const ColorTransform& inner) const;
};

// A run of ActionScript bytecode inside the movie's (decompressed) bytes. The bytes
// stay valid as long as the MovieDefinition that produced them is alive.
struct ActionBytes {
    const uint8_t* data = nullptr;
    size_t size = 0;
    bool empty() const { return size == 0; }
};

}  // namespace kestrel::player
