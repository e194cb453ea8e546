#include <cmath>

#include "tools/swfwriter/parse_args.h"

namespace swf {
namespace {

bool ReadMatrix(ArgReader& args, std::optional<Matrix>& matrix) {
    double x = 0, y = 0, scale = 1, sx = 1, sy = 1, rotate = 0;
    bool hasTransform = false;
    for (const char* key : {"x", "y", "scale", "sx", "sy", "rotate"}) {
        hasTransform = hasTransform || args.Has(key);
    }
    if (!args.NumberOption("x", x) || !args.NumberOption("y", y) ||
        !args.NumberOption("scale", scale) || !args.NumberOption("rotate", rotate)) {
        return false;
    }
    sx = sy = scale;
    if (!args.NumberOption("sx", sx) || !args.NumberOption("sy", sy)) return false;
    if (std::fabs(x) > 1e7 || std::fabs(y) > 1e7) {
        args.SetError(0, "position out of range");
        return false;
    }
    if (std::fabs(sx) > 32767 || std::fabs(sy) > 32767 || std::fabs(rotate) > 1e6) {
        args.SetError(0, "scale or rotation out of range");
        return false;
    }
    if (hasTransform) matrix = Matrix::Make(x, y, sx, sy, rotate);
    if (const Arg* m = args.Option("matrix")) {
        if (hasTransform) {
            args.SetError(m->column, "give either matrix= or x/y/scale/rotate, not both");
            return false;
        }
        std::vector<double> n;
        if (!args.Numbers(m, 6, n)) return false;
        for (double v : n) {
            if (std::fabs(v) > 1e7) {
                args.SetError(m->column, "matrix term out of range");
                return false;
            }
        }
        Matrix mx;
        mx.scaleX = n[0];
        mx.rotateSkew0 = n[1];
        mx.rotateSkew1 = n[2];
        mx.scaleY = n[3];
        mx.translateX = Twips(n[4]);
        mx.translateY = Twips(n[5]);
        matrix = mx;
    }
    return true;
}

// Four terms scaled into fields that a 4-bit width (15 signed bits) can carry.
bool ReadTerms(ArgReader& args, const char* key, double scale, int32_t* const fields[4],
               bool& present) {
    const Arg* a = args.Option(key);
    if (!a) return true;
    std::vector<double> n;
    if (!args.Numbers(a, 4, n)) return false;
    for (int i = 0; i < 4; ++i) {
        double v = std::round(n[i] * scale);
        if (v < -16384 || v > 16383) {
            args.SetError(a->column, std::string(key) + " term out of range");
            return false;
        }
        *fields[i] = static_cast<int32_t>(v);
    }
    present = true;
    return true;
}

}  // namespace

bool ReadTransformOptions(ArgReader& args, std::optional<Matrix>& matrix,
                          std::optional<ColorTransform>& colorTransform) {
    if (!ReadMatrix(args, matrix)) return false;
    ColorTransform cx;
    bool present = false;
    int32_t* const mul[4] = {&cx.mulR, &cx.mulG, &cx.mulB, &cx.mulA};
    int32_t* const add[4] = {&cx.addR, &cx.addG, &cx.addB, &cx.addA};
    if (!ReadTerms(args, "mul", 256, mul, present) || !ReadTerms(args, "add", 1, add, present)) {
        return false;
    }
    if (const Arg* a = args.Option("alpha")) {
        double alpha = 1;
        if (!args.Number(a, alpha)) return false;
        if (alpha < 0 || alpha > 63) {
            args.SetError(a->column, "alpha lies within 0..63");
            return false;
        }
        cx.mulA = static_cast<int32_t>(std::lround(alpha * 256));
        present = true;
    }
    if (present) colorTransform = cx;
    return true;
}

}  // namespace swf
