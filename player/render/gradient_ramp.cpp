#include "player/render/gradient_ramp.h"

#include <algorithm>
#include <cmath>

namespace kestrel::render {

using player::FillStyle;
using player::GradientStop;
using player::Rgba;

namespace {

uint8_t Mix(uint8_t a, uint8_t b, double f) {
    // Both ends lie in 0..255, so rounding is adding a half and cutting.
    return static_cast<uint8_t>(a + (static_cast<double>(b) - a) * f + 0.5);
}

// The sRGB transfer curve and its inverse, on 0..1.
double ToLinear(double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
double FromLinear(double c) {
    return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
}

uint8_t MixLinear(uint8_t a, uint8_t b, double f) {
    double la = ToLinear(a / 255.0), lb = ToLinear(b / 255.0);
    return static_cast<uint8_t>(
        std::lround(std::clamp(FromLinear(la + (lb - la) * f), 0.0, 1.0) * 255));
}

}  // namespace

GradientRamp BuildGradientRamp(const std::vector<GradientStop>& stops,
                               const player::ColorTransform& transform, bool linearRgb) {
    auto mix = linearRgb ? MixLinear : Mix;
    GradientRamp ramp;
    if (stops.empty()) {
        ramp.fill(Rgba{0, 0, 0, 255});
        return ramp;
    }
    std::vector<GradientStop> colored = stops;
    for (GradientStop& stop : colored) stop.color = transform.apply(stop.color);
    size_t next = 0;  // first stop whose ratio is above the entry
    for (int i = 0; i < 256; ++i) {
        while (next < colored.size() && colored[next].ratio <= i) ++next;
        if (next == 0) {
            ramp[i] = colored.front().color;
        } else if (next == colored.size()) {
            ramp[i] = colored.back().color;
        } else {
            const GradientStop& a = colored[next - 1];
            const GradientStop& b = colored[next];
            // Stops out of order (bad data) have a span of zero or less: take the later.
            double span = static_cast<double>(b.ratio) - a.ratio;
            double f = span > 0 ? (i - a.ratio) / span : 1.0;
            // Alpha is a proportion, not light: always interpolated as it stands.
            ramp[i] = Rgba{mix(a.color.r, b.color.r, f), mix(a.color.g, b.color.g, f),
                           mix(a.color.b, b.color.b, f), Mix(a.color.a, b.color.a, f)};
        }
    }
    return ramp;
}

double GradientPosition(FillStyle::Kind kind, double gx, double gy, double focalPoint) {
    double x = gx / kGradientHalfSize, y = gy / kGradientHalfSize;
    switch (kind) {
        case FillStyle::LinearGradient:
            return (x + 1) / 2;
        case FillStyle::RadialGradient:
            return std::sqrt(x * x + y * y);
        case FillStyle::FocalGradient: {
            // The point lies at distance t * s from the focal point F along the ray
            // F + s d that meets the unit circle at s: t = |P - F| / s.
            double f = std::clamp(focalPoint, -0.99, 0.99);  // on the circle the ray has no length
            double dx = x - f, dy = y;
            double length = std::sqrt(dx * dx + dy * dy);
            if (length == 0) return 0;
            double fd = f * dx / length;
            double s = -fd + std::sqrt(fd * fd - f * f + 1);
            return length / s;
        }
        default:
            return 0;
    }
}

double ApplySpread(FillStyle::Spread spread, double t) {
    if (!std::isfinite(t)) return 0;
    switch (spread) {
        case FillStyle::Repeat:
            return t - std::floor(t);
        case FillStyle::Reflect: {
            double m = std::fmod(std::fabs(t), 2.0);
            return m > 1 ? 2 - m : m;
        }
        default:
            return std::clamp(t, 0.0, 1.0);
    }
}

}  // namespace kestrel::render
