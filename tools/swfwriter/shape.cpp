#include "tools/swfwriter/shape.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "common/swf_format.h"

namespace swf {
namespace {

// Edge deltas carry at most 17 signed bits (a 4-bit width field plus 2).
constexpr int32_t kMaxEdgeDelta = 65535;

bool Fail(std::string* error, const std::string& message) {
    if (error) *error = message;
    return false;
}

unsigned EdgeBits(std::initializer_list<int32_t> values) {
    unsigned bits = 2;
    for (int32_t v : values) bits = std::max(bits, SignedBits(v));
    return bits;
}

}  // namespace

Matrix FillStyle::GradientBox(double x, double y, double width, double height,
                              double rotationDegrees) {
    // The gradient square is 32768 twips wide, centred on the origin.
    return Matrix::Make(x + width / 2, y + height / 2, width * 20 / 32768.0, height * 20 / 32768.0,
                        rotationDegrees);
}

uint16_t Shape::AddFill(Rgba color) {
    FillStyle f;
    f.color = color;
    return AddFill(f);
}

uint16_t Shape::AddFill(const FillStyle& fill) {
    fills_.push_back(fill);
    return static_cast<uint16_t>(fills_.size());
}

bool Shape::WriteFill(ByteWriter& out, const FillStyle& f, std::string* error) const {
    bool alpha = version_ >= 3;
    auto writeColor = [&](Rgba c) { alpha ? WriteRgba(out, c) : WriteRgb(out, c); };
    out.U8(f.type);
    switch (f.type) {
        case kFillSolid:
            writeColor(f.color);
            return true;
        case kFillLinearGradient:
        case kFillRadialGradient:
        case kFillFocalGradient: {
            if (f.type == kFillFocalGradient && version_ < 4) {
                return Fail(error, "focal gradients need shape version 4");
            }
            size_t maxStops = version_ >= 4 ? 15 : 8;
            if (f.stops.empty() || f.stops.size() > maxStops) {
                return Fail(error, "a gradient has 1 to " + std::to_string(maxStops) + " stops");
            }
            if ((f.spreadMode != 0 || f.interpolationMode != 0) && version_ < 4) {
                return Fail(error, "spread and interpolation modes need shape version 4");
            }
            if (f.spreadMode > 2 || f.interpolationMode > 1) {
                return Fail(error, "unknown spread or interpolation mode");
            }
            WriteMatrix(out, f.matrix);
            out.U8(static_cast<uint32_t>(f.spreadMode) << 6 |
                   static_cast<uint32_t>(f.interpolationMode) << 4 |
                   static_cast<uint32_t>(f.stops.size()));
            for (const GradientStop& s : f.stops) {
                out.U8(s.ratio);
                if (!alpha && s.color.a != 255) {
                    return Fail(error, "gradient alpha needs shape version 3");
                }
                writeColor(s.color);
            }
            if (f.type == kFillFocalGradient) {
                if (f.focalPoint < -1 || f.focalPoint > 1) {
                    return Fail(error, "the focal point lies within -1..1");
                }
                out.S16(static_cast<int32_t>(std::lround(f.focalPoint * 256)));
            }
            return true;
        }
        case kFillRepeatingBitmap:
        case kFillClippedBitmap:
        case kFillHardRepeatingBitmap:
        case kFillHardClippedBitmap:
            out.U16(f.bitmapId);
            WriteMatrix(out, f.matrix);
            return true;
    }
    return Fail(error, "unknown fill type");
}

uint16_t Shape::AddLine(double widthPixels, Rgba color) {
    return AddLine(widthPixels, color, LineShape{});
}

uint16_t Shape::AddLine(double widthPixels, Rgba color, const LineShape& shape) {
    int32_t twips = std::clamp(Twips(widthPixels), 0, 65535);
    lines_.push_back(LineStyle{static_cast<uint16_t>(twips), color, shape});
    return static_cast<uint16_t>(lines_.size());
}

void Shape::SetStyle(uint16_t fill0, uint16_t fill1, uint16_t line) {
    records_.push_back(Record{Record::kStyle, fill0, fill1, line, 0});
}

void Shape::AddPoint(int32_t x, int32_t y) {
    if (!hasPoints_) {
        extent_ = Rect{x, x, y, y};
        hasPoints_ = true;
        return;
    }
    extent_.xMin = std::min(extent_.xMin, x);
    extent_.xMax = std::max(extent_.xMax, x);
    extent_.yMin = std::min(extent_.yMin, y);
    extent_.yMax = std::max(extent_.yMax, y);
}

void Shape::MoveTo(double x, double y) {
    records_.push_back(Record{Record::kMove, Twips(x), Twips(y), 0, 0});
    AddPoint(Twips(x), Twips(y));
}

void Shape::LineTo(double x, double y) {
    LineToTwips(Twips(x), Twips(y));
}

void Shape::LineToTwips(int32_t x, int32_t y) {
    records_.push_back(Record{Record::kLine, x, y, 0, 0});
    AddPoint(x, y);
}

void Shape::CurveTo(double controlX, double controlY, double anchorX, double anchorY) {
    CurveToTwips(Twips(controlX), Twips(controlY), Twips(anchorX), Twips(anchorY));
}

void Shape::CurveToTwips(int32_t cx, int32_t cy, int32_t ax, int32_t ay) {
    records_.push_back(Record{Record::kCurve, cx, cy, ax, ay});
    AddPoint(cx, cy);
    AddPoint(ax, ay);
}

void Shape::Rectangle(double x, double y, double width, double height) {
    int32_t x0 = Twips(x), y0 = Twips(y), x1 = Twips(x + width), y1 = Twips(y + height);
    records_.push_back(Record{Record::kMove, x0, y0, 0, 0});
    AddPoint(x0, y0);
    LineToTwips(x1, y0);
    LineToTwips(x1, y1);
    LineToTwips(x0, y1);
    LineToTwips(x0, y0);
}

void Shape::Ellipse(double centerX, double centerY, double radiusX, double radiusY) {
    // Eight quadratic segments of 45 degrees: the control point sits on the tangents' crossing.
    const double kStep = 3.14159265358979323846 / 4;
    const double kControl = 1.0 / std::cos(kStep / 2);
    records_.push_back(Record{Record::kMove, Twips(centerX + radiusX), Twips(centerY), 0, 0});
    AddPoint(Twips(centerX + radiusX), Twips(centerY));
    for (int i = 0; i < 8; ++i) {
        double mid = kStep * (i + 0.5), end = kStep * (i + 1);
        double ax = i == 7 ? radiusX : radiusX * std::cos(end);
        double ay = i == 7 ? 0 : radiusY * std::sin(end);
        CurveToTwips(Twips(centerX + radiusX * kControl * std::cos(mid)),
                     Twips(centerY + radiusY * kControl * std::sin(mid)), Twips(centerX + ax),
                     Twips(centerY + ay));
    }
}

uint16_t Shape::TagCode() const {
    switch (version_) {
        case 1:
            return kTagDefineShape;
        case 2:
            return kTagDefineShape2;
        case 4:
            return kTagDefineShape4;
        default:
            return kTagDefineShape3;
    }
}

Rect Shape::EdgeBounds() const {
    return hasPoints_ ? extent_ : Rect{};
}

Rect Shape::Bounds() const {
    if (!hasPoints_) return Rect{};
    int32_t pad = 0;
    for (const LineStyle& l : lines_) pad = std::max<int32_t>(pad, (l.width + 1) / 2);
    return Rect{extent_.xMin - pad, extent_.xMax + pad, extent_.yMin - pad, extent_.yMax + pad};
}

namespace {

/* Shape records: a style change (new fill0, fill1 and line indices and/or a move) is held
 * back until the next edge, so a style and a move that follow each other share one record.
 * Edges are written as deltas from the pen, which the class tracks in twips. */
class ShapeRecordWriter {
  public:
    ShapeRecordWriter(ByteWriter& out, unsigned fillBits, unsigned lineBits)
        : w_(out), fillBits_(fillBits), lineBits_(lineBits) {
        w_.UB(fillBits, 4);
        w_.UB(lineBits, 4);
    }

    void Style(int32_t fill0, int32_t fill1, int32_t line) {
        hasStyle_ = true;
        fill0_ = fill0;
        fill1_ = fill1;
        line_ = line;
    }

    void Move(int32_t x, int32_t y) {
        hasMove_ = true;
        penX_ = x;
        penY_ = y;
    }

    void Line(int32_t x, int32_t y) {
        Flush();
        int64_t dx = static_cast<int64_t>(x) - penX_, dy = static_cast<int64_t>(y) - penY_;
        // Long lines become several pieces whose deltas add up exactly.
        int64_t pieces = std::max<int64_t>(
            1, (std::max(std::llabs(dx), std::llabs(dy)) + kMaxEdgeDelta - 1) / kMaxEdgeDelta);
        for (int64_t i = 0; i < pieces; ++i) {
            StraightEdge(static_cast<int32_t>(dx * (i + 1) / pieces - dx * i / pieces),
                         static_cast<int32_t>(dy * (i + 1) / pieces - dy * i / pieces));
        }
        penX_ = x;
        penY_ = y;
    }

    bool Curve(int32_t cx, int32_t cy, int32_t ax, int32_t ay) {
        int64_t deltas[4] = {static_cast<int64_t>(cx) - penX_, static_cast<int64_t>(cy) - penY_,
                             static_cast<int64_t>(ax) - cx, static_cast<int64_t>(ay) - cy};
        for (int64_t v : deltas) {
            if (std::llabs(v) > kMaxEdgeDelta) return false;
        }
        Flush();
        int32_t d[4];
        for (int i = 0; i < 4; ++i) d[i] = static_cast<int32_t>(deltas[i]);
        unsigned bits = EdgeBits({d[0], d[1], d[2], d[3]});
        w_.UB(2, 2);  // edge, curved
        w_.UB(bits - 2, 4);
        for (int32_t v : d) w_.SB(v, bits);
        penX_ = ax;
        penY_ = ay;
        return true;
    }

    void End() {
        Flush();
        w_.UB(0, 6);  // a style change with no flags ends the shape
        w_.Flush();
    }

  private:
    void Flush() {
        if (!hasStyle_ && !hasMove_) return;
        w_.UB(0, 1);         // non-edge record
        w_.Flag(false);      // no new style arrays
        w_.Flag(hasStyle_);  // line style
        w_.Flag(hasStyle_);  // fill style 1
        w_.Flag(hasStyle_);  // fill style 0
        w_.Flag(hasMove_);
        if (hasMove_) {
            unsigned bits = std::max(SignedBits(penX_), SignedBits(penY_));
            w_.UB(bits, 5);
            w_.SB(penX_, bits);
            w_.SB(penY_, bits);
        }
        if (hasStyle_) {
            w_.UB(static_cast<uint32_t>(fill0_), fillBits_);
            w_.UB(static_cast<uint32_t>(fill1_), fillBits_);
            w_.UB(static_cast<uint32_t>(line_), lineBits_);
        }
        hasStyle_ = hasMove_ = false;
    }

    void StraightEdge(int32_t dx, int32_t dy) {
        w_.UB(3, 2);  // edge, straight
        unsigned bits = EdgeBits({dx, dy});
        w_.UB(bits - 2, 4);
        if (dx != 0 && dy != 0) {
            w_.Flag(true);  // general line
            w_.SB(dx, bits);
            w_.SB(dy, bits);
        } else {
            w_.Flag(false);
            w_.Flag(dx == 0);  // vertical
            w_.SB(dx == 0 ? dy : dx, bits);
        }
    }

    BitWriter w_;
    unsigned fillBits_, lineBits_;
    bool hasStyle_ = false, hasMove_ = false;
    int32_t fill0_ = 0, fill1_ = 0, line_ = 0;
    int32_t penX_ = 0, penY_ = 0;
};

}  // namespace

bool Shape::CheckStyles(std::string* error) const {
    if (version_ < 1 || version_ > 4) return Fail(error, "shape version must be 1 to 4");
    size_t maxStyles = version_ == 1 ? 0xFF : 0xFFFF;
    if (fills_.size() > maxStyles || lines_.size() > maxStyles) {
        return Fail(error, "too many styles for this shape version");
    }
    for (const LineStyle& l : lines_) {
        if (l.shape.fill == 0) continue;
        if (version_ != 4) return Fail(error, "lines with a fill need shape version 4");
        if (l.shape.fill > fills_.size())
            return Fail(error, "fill style " + std::to_string(l.shape.fill) + " is not defined");
    }
    if (version_ >= 3) return true;
    for (const FillStyle& f : fills_) {
        if (f.type == kFillSolid && f.color.a != 255) {
            return Fail(error, "fill alpha needs shape version 3");
        }
    }
    for (const LineStyle& l : lines_) {
        if (l.color.a != 255) return Fail(error, "line alpha needs shape version 3");
    }
    return true;
}

bool Shape::WriteStyles(ByteWriter& out, std::string* error) const {
    auto writeCount = [&](size_t n) {
        if (n >= 0xFF) {
            out.U8(0xFF);
            out.U16(static_cast<uint32_t>(n));
        } else {
            out.U8(static_cast<uint32_t>(n));
        }
    };
    writeCount(fills_.size());
    for (const FillStyle& f : fills_) {
        if (!WriteFill(out, f, error)) return false;
    }
    writeCount(lines_.size());
    for (const LineStyle& l : lines_) {
        out.U16(l.width);
        if (version_ == 4) {
            const LineShape& shape = l.shape;
            uint8_t endCap = shape.endCap ? *shape.endCap : shape.cap;
            out.U8((shape.cap & 3) << kLineStartCapShift | (shape.join & 3) << kLineJoinShift |
                   (shape.fill ? kLineHasFill : 0) | (shape.noHScale ? kLineNoHScale : 0) |
                   (shape.noVScale ? kLineNoVScale : 0));
            out.U8((shape.noClose ? kLineNoClose : 0) | (endCap & kLineEndCapMask));
            if (shape.join == kJoinMiter)
                out.U16(static_cast<uint32_t>(std::clamp(shape.miterLimit * 256, 0.0, 65535.0)));
            if (shape.fill) {
                if (!WriteFill(out, fills_[shape.fill - 1u], error)) return false;
            } else {
                WriteRgba(out, l.color);
            }
        } else if (version_ == 3) {
            WriteRgba(out, l.color);
        } else {
            WriteRgb(out, l.color);
        }
    }
    return true;
}

bool Shape::WriteRecords(ByteWriter& out, std::string* error) const {
    return EncodeRecords(out, true, error);
}

bool Shape::EncodeRecords(ByteWriter& out, bool withStyles, std::string* error) const {
    ShapeRecordWriter records(out,
                              withStyles ? UnsignedBits(static_cast<uint32_t>(fills_.size())) : 0,
                              withStyles ? UnsignedBits(static_cast<uint32_t>(lines_.size())) : 0);
    for (const Record& r : records_) {
        switch (r.kind) {
            case Record::kStyle:
                if (!withStyles) break;
                if (static_cast<size_t>(std::max(r.a, r.b)) > fills_.size()) {
                    return Fail(error, "fill style " + std::to_string(std::max(r.a, r.b)) +
                                           " is not defined");
                }
                if (static_cast<size_t>(r.c) > lines_.size()) {
                    return Fail(error, "line style " + std::to_string(r.c) + " is not defined");
                }
                records.Style(r.a, r.b, r.c);
                break;
            case Record::kMove:
                records.Move(r.a, r.b);
                break;
            case Record::kLine:
                records.Line(r.a, r.b);
                break;
            case Record::kCurve:
                if (!records.Curve(r.a, r.b, r.c, r.d)) {
                    return Fail(error, "curve is too long for one edge; split it");
                }
                break;
        }
    }
    records.End();
    return true;
}

std::optional<Bytes> Shape::Encode(uint16_t id, std::string* error) const {
    if (!CheckStyles(error)) return std::nullopt;
    ByteWriter out;
    out.U16(id);
    WriteRect(out, Bounds());
    if (version_ == 4) {
        WriteRect(out, EdgeBounds());
        // Reserved bits, winding rule, no non-scaling strokes, scaling strokes if any lines.
        out.U8((nonZeroWinding_ ? 0x04 : 0) | (lines_.empty() ? 0 : 0x01));
    }
    if (!WriteStyles(out, error) || !WriteRecords(out, error)) return std::nullopt;
    return out.Take();
}

}  // namespace swf
