// The small records shared by many tags: colours, rectangles, matrices, colour transforms.
#pragma once

#include <cstdint>

#include "tools/swfwriter/byte_writer.h"

namespace swf {

// Pixels to twips (1/20 pixel), rounded to the nearest twip.
int32_t Twips(double pixels);

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 255;
};

void WriteRgb(ByteWriter& out, Rgba c);
void WriteRgba(ByteWriter& out, Rgba c);

// Coordinates in twips.
struct Rect {
    int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};

// RECT with the smallest field width that holds all four values.
void WriteRect(ByteWriter& out, const Rect& r);

// x' = scaleX*x + rotateSkew1*y + translateX; y' = rotateSkew0*x + scaleY*y + translateY.
struct Matrix {
    double scaleX = 1, scaleY = 1;
    double rotateSkew0 = 0, rotateSkew1 = 0;
    int32_t translateX = 0, translateY = 0;  // twips

    // Scale, then rotate clockwise on screen (degrees), then move by (x, y) pixels.
    static Matrix Make(double xPixels, double yPixels, double scaleX = 1, double scaleY = 1,
                       double rotationDegrees = 0);
};

void WriteMatrix(ByteWriter& out, const Matrix& m);

// Multipliers are 8.8 fixed point (256 = 1.0); additions are added to 0..255 channels.
struct ColorTransform {
    int32_t mulR = 256, mulG = 256, mulB = 256, mulA = 256;
    int32_t addR = 0, addG = 0, addB = 0, addA = 0;

    bool IsIdentity() const;
};

// CXFORM (no alpha terms), for PlaceObject.
void WriteColorTransformRgb(ByteWriter& out, const ColorTransform& cx);
// CXFORMWITHALPHA.
void WriteColorTransform(ByteWriter& out, const ColorTransform& cx);

}  // namespace swf
