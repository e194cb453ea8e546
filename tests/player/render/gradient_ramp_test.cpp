#include "player/render/gradient_ramp.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kestrel::render {
namespace {

using player::FillStyle;
using player::GradientStop;
using player::Rgba;

TEST(GradientRamp, InterpolatesBetweenStopsAndHoldsTheEnds) {
    GradientRamp ramp = BuildGradientRamp({{64, Rgba{0, 0, 0, 255}}, {192, Rgba{200, 100, 0, 55}}},
                                          player::ColorTransform{});
    EXPECT_EQ(ramp[0], (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(ramp[64], (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(ramp[128], (Rgba{100, 50, 0, 155}));
    EXPECT_EQ(ramp[192], (Rgba{200, 100, 0, 55}));
    EXPECT_EQ(ramp[255], (Rgba{200, 100, 0, 55}));
}

TEST(GradientRamp, LinearRgbInterpolatesInLinearLight) {
    // Half way in linear light is 0.5, which sRGB encodes as 188 (not 128); alpha
    // stays a plain proportion.
    GradientRamp ramp = BuildGradientRamp({{0, Rgba{0, 0, 0, 0}}, {254, Rgba{255, 255, 255, 254}}},
                                          player::ColorTransform{}, true);
    EXPECT_NEAR(ramp[127].r, 188, 1);
    EXPECT_EQ(ramp[127].g, ramp[127].r);
    EXPECT_EQ(ramp[127].a, 127);
    EXPECT_EQ(ramp[0], (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(ramp[254], (Rgba{255, 255, 255, 254}));
}

TEST(GradientRamp, ColourTransformAppliesToTheStops) {
    player::ColorTransform half;
    half.rMul = 0.5;
    half.bAdd = 100;
    GradientRamp ramp = BuildGradientRamp({{0, Rgba{200, 0, 0, 255}}}, half);
    EXPECT_EQ(ramp[100], (Rgba{100, 0, 100, 255}));
}

TEST(GradientRamp, NoStopsAndStopsOutOfOrderStillGiveAFullRamp) {
    EXPECT_EQ(BuildGradientRamp({}, {})[17], (Rgba{0, 0, 0, 255}));
    GradientRamp ramp =
        BuildGradientRamp({{200, Rgba{255, 0, 0, 255}}, {100, Rgba{0, 0, 255, 255}}}, {});
    EXPECT_EQ(ramp[0], (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(ramp[255], (Rgba{0, 0, 255, 255}));
}

TEST(GradientPosition, LinearRadialAndFocalGeometry) {
    const double h = kGradientHalfSize;
    struct Case {
        FillStyle::Kind kind;
        double x, y, focal, expected;
    } cases[] = {
        {FillStyle::LinearGradient, -h, 0, 0, 0},
        {FillStyle::LinearGradient, 0, 999, 0, 0.5},
        {FillStyle::LinearGradient, h, 0, 0, 1},
        {FillStyle::RadialGradient, 0, 0, 0, 0},
        {FillStyle::RadialGradient, 0.6 * h, 0.8 * h, 0, 1},
        {FillStyle::RadialGradient, -h / 4, 0, 0, 0.25},
        {FillStyle::FocalGradient, 0.5 * h, 0, 0.5, 0},      // at the focal point
        {FillStyle::FocalGradient, h, 0, 0.5, 1},            // on the circle ahead of it
        {FillStyle::FocalGradient, -h, 0, 0.5, 1},           // and behind it
        {FillStyle::FocalGradient, -0.25 * h, 0, 0.5, 0.5},  // half way back to -1
        {FillStyle::FocalGradient, 0, h / 2, 0, 0.5},        // focal 0 is radial
    };
    for (const Case& c : cases)
        EXPECT_NEAR(GradientPosition(c.kind, c.x, c.y, c.focal), c.expected, 1e-9)
            << c.kind << " at " << c.x << "," << c.y;
}

TEST(GradientSpread, PadReflectAndRepeat) {
    struct Case {
        FillStyle::Spread spread;
        double t, expected;
    } cases[] = {
        {FillStyle::Pad, -0.5, 0},        {FillStyle::Pad, 1.7, 1},
        {FillStyle::Repeat, 1.25, 0.25},  {FillStyle::Repeat, -0.25, 0.75},
        {FillStyle::Reflect, 1.25, 0.75}, {FillStyle::Reflect, -0.25, 0.25},
        {FillStyle::Reflect, 2.5, 0.5},   {FillStyle::Pad, std::nan(""), 0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(ApplySpread(c.spread, c.t), c.expected, 1e-12) << c.spread << " " << c.t;
}

}  // namespace
}  // namespace kestrel::render
