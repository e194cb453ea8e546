#include "tools/swfwriter/morph_shape.h"

#include <cmath>

#include "common/swf_format.h"

namespace swf {
namespace {

bool Fail(std::string* error, const std::string& message) {
    if (error) *error = message;
    return false;
}

bool IsGradient(uint8_t type) {
    return type == kFillLinearGradient || type == kFillRadialGradient || type == kFillFocalGradient;
}

bool IsBitmap(uint8_t type) {
    return type >= kFillRepeatingBitmap && type <= kFillHardClippedBitmap;
}

bool WriteMorphFill(ByteWriter& out, const FillStyle& s, const FillStyle& e, std::string* error) {
    if (s.type != e.type) return Fail(error, "a morph fill keeps its type from start to end");
    out.U8(s.type);
    if (s.type == kFillSolid) {
        WriteRgba(out, s.color);
        WriteRgba(out, e.color);
        return true;
    }
    if (IsBitmap(s.type)) {
        out.U16(s.bitmapId);
        WriteMatrix(out, s.matrix);
        WriteMatrix(out, e.matrix);
        return true;
    }
    if (!IsGradient(s.type)) return Fail(error, "unknown fill type");
    if (s.stops.empty() || s.stops.size() > 8 || s.stops.size() != e.stops.size())
        return Fail(error, "a morph gradient has 1 to 8 stops at both ends");
    WriteMatrix(out, s.matrix);
    WriteMatrix(out, e.matrix);
    out.U8(static_cast<uint32_t>(s.spreadMode) << 6 |
           static_cast<uint32_t>(s.interpolationMode) << 4 | static_cast<uint32_t>(s.stops.size()));
    for (size_t i = 0; i < s.stops.size(); ++i) {
        out.U8(s.stops[i].ratio);
        WriteRgba(out, s.stops[i].color);
        out.U8(e.stops[i].ratio);
        WriteRgba(out, e.stops[i].color);
    }
    if (s.type == kFillFocalGradient) {
        out.S16(static_cast<int32_t>(std::lround(s.focalPoint * 256)));
        out.S16(static_cast<int32_t>(std::lround(e.focalPoint * 256)));
    }
    return true;
}

void WriteCount(ByteWriter& out, size_t n) {
    if (n >= 0xFF) {
        out.U8(0xFF);
        out.U16(static_cast<uint32_t>(n));
    } else {
        out.U8(static_cast<uint32_t>(n));
    }
}

}  // namespace

uint16_t MorphShapeTagCode(int version) {
    return version == 2 ? kTagDefineMorphShape2 : kTagDefineMorphShape;
}

std::optional<Bytes> EncodeDefineMorphShape(uint16_t id, const Shape& start, const Shape& end,
                                            int version, std::string* error) {
    if (version != 1 && version != 2) {
        Fail(error, "morph shape version must be 1 or 2");
        return std::nullopt;
    }
    if (start.Fills().size() != end.Fills().size() || start.Lines().size() != end.Lines().size()) {
        Fail(error, "the end of a morph shape has as many fills and lines as its start");
        return std::nullopt;
    }
    ByteWriter out;
    out.U16(id);
    WriteRect(out, start.Bounds());
    WriteRect(out, end.Bounds());
    if (version == 2) {
        WriteRect(out, start.EdgeBounds());
        WriteRect(out, end.EdgeBounds());
        out.U8(start.Lines().empty() ? 0 : 0x01);  // scaling strokes
    }
    size_t offsetAt = out.Size();
    out.U32(0);
    WriteCount(out, start.Fills().size());
    for (size_t i = 0; i < start.Fills().size(); ++i)
        if (!WriteMorphFill(out, start.Fills()[i], end.Fills()[i], error)) return std::nullopt;
    WriteCount(out, start.Lines().size());
    for (size_t i = 0; i < start.Lines().size(); ++i) {
        out.U16(start.Lines()[i].width);
        out.U16(end.Lines()[i].width);
        if (version == 2) out.U16(0);  // round caps and joins, a colour, scaling
        WriteRgba(out, start.Lines()[i].color);
        WriteRgba(out, end.Lines()[i].color);
    }
    if (!start.EncodeRecords(out, true, error)) return std::nullopt;
    // The offset counts from just after itself to the end edges.
    out.PatchU32(offsetAt, static_cast<uint32_t>(out.Size() - offsetAt - 4));
    if (!end.EncodeRecords(out, false, error)) return std::nullopt;
    return out.Take();
}

}  // namespace swf
