// DefineShape 1 to 4: solid, gradient and bitmap fills, line styles, straight and curved edges.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/swf_format.h"
#include "tools/swfwriter/byte_writer.h"
#include "tools/swfwriter/records.h"

namespace swf {

struct GradientStop {
    uint8_t ratio = 0;  // 0..255 along the gradient
    Rgba color;
};

struct FillStyle {
    using Type = FillStyleType;
    Type type = kFillSolid;
    Rgba color;  // solid
    // Gradients map the square -16384..16384 twips through `matrix`; bitmaps map pixels.
    Matrix matrix;
    std::vector<GradientStop> stops;
    uint8_t spreadMode = 0;         // 0 pad, 1 reflect, 2 repeat (DefineShape4)
    uint8_t interpolationMode = 0;  // 0 RGB, 1 linear RGB (DefineShape4)
    double focalPoint = 0;          // -1..1, focal gradients
    uint16_t bitmapId = 0xFFFF;

    // A gradient that spans the box (pixels), turned `rotationDegrees` about its centre.
    static Matrix GradientBox(double x, double y, double width, double height,
                              double rotationDegrees = 0);
};

class Shape {
  public:
    // 1 to 4: the DefineShape tag to write. Alpha in colours needs 3; focal gradients,
    // spread and interpolation modes need 4.
    explicit Shape(int version = 3) : version_(version) {}

    int Version() const { return version_; }
    // DefineShape4 only: fill by the non-zero winding rule instead of even-odd.
    void SetNonZeroWinding(bool on) { nonZeroWinding_ = on; }
    // Style indices are 1-based as in the file; 0 means "none".
    uint16_t AddFill(Rgba color);
    uint16_t AddFill(const FillStyle& fill);
    uint16_t AddLine(double widthPixels, Rgba color);
    // How a line ends, meets itself and scales (LINESTYLE2, written by version 4 only).
    struct LineShape {
        uint8_t cap = kCapRound;        // both ends, unless endCap is given
        std::optional<uint8_t> endCap;  // the end of each path
        uint8_t join = kJoinRound;
        double miterLimit = 3;  // miter joins
        bool noHScale = false, noVScale = false;
        bool noClose = false;
        // Strokes with the shape's fill style of this index instead of a colour.
        uint16_t fill = 0;
    };
    uint16_t AddLine(double widthPixels, Rgba color, const LineShape& shape);
    size_t FillCount() const { return fills_.size(); }
    size_t LineCount() const { return lines_.size(); }

    // Styles for the edges that follow.
    void SetStyle(uint16_t fill0, uint16_t fill1, uint16_t line);
    void MoveTo(double x, double y);
    void LineTo(double x, double y);
    void CurveTo(double controlX, double controlY, double anchorX, double anchorY);

    // Closed clockwise paths (on screen), so their inside lies to the right of every edge:
    // give them fill1 (SetStyle(0, fill, line)) for Flash's own convention.
    void Rectangle(double x, double y, double width, double height);
    void Ellipse(double centerX, double centerY, double radiusX, double radiusY);

    // The tag code for Version().
    uint16_t TagCode() const;
    // The tag body for character `id`, or no value with the reason in *error.
    std::optional<Bytes> Encode(uint16_t id, std::string* error = nullptr) const;
    // Bounds of all points, widened by half the widest line (twips).
    Rect Bounds() const;
    // Bounds of the points alone (twips).
    Rect EdgeBounds() const;

    struct LineStyle {
        uint16_t width;  // twips
        Rgba color;
        LineShape shape;
    };
    const std::vector<FillStyle>& Fills() const { return fills_; }
    const std::vector<LineStyle>& Lines() const { return lines_; }
    // The SHAPE part: bit counts and records up to the end record. Without styles
    // (the end shape of a morph, a font glyph's bit counts aside) both bit counts are
    // 0 and style changes are left out, moves kept.
    bool EncodeRecords(ByteWriter& out, bool withStyles, std::string* error = nullptr) const;
    // Writes one fill style as this shape's version writes it.
    bool EncodeFill(ByteWriter& out, const FillStyle& f, std::string* error = nullptr) const {
        return WriteFill(out, f, error);
    }

  private:
    struct Record {
        enum Kind { kStyle, kMove, kLine, kCurve } kind;
        int32_t a = 0, b = 0, c = 0, d = 0;  // style: fill0, fill1, line; move/edges: twips
    };

    void AddPoint(int32_t x, int32_t y);
    void LineToTwips(int32_t x, int32_t y);
    void CurveToTwips(int32_t cx, int32_t cy, int32_t ax, int32_t ay);

    bool CheckStyles(std::string* error) const;
    bool WriteFill(ByteWriter& out, const FillStyle& f, std::string* error) const;
    bool WriteStyles(ByteWriter& out, std::string* error) const;
    bool WriteRecords(ByteWriter& out, std::string* error) const;

    int version_;
    bool nonZeroWinding_ = false;
    std::vector<FillStyle> fills_;
    std::vector<LineStyle> lines_;
    std::vector<Record> records_;
    bool hasPoints_ = false;
    Rect extent_;
};

}  // namespace swf
