// Movies drawn and compared with what geometry says their pixels must be.
#include "player/render/agg_renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "player/render/gradient_ramp.h"
#include "tests/player/render/render_test_support.h"

namespace kestrel::render {
namespace {

using player::FillStyle;
using player::Point;
using player::Rgba;

TEST(AggRenderer, StageSizeAndBackground) {
    PixelBuffer image = Draw("stage 31 17\nbackground #336699\nshowframe\n");
    EXPECT_EQ(image.width, 31);
    EXPECT_EQ(image.height, 17);
    ExpectPixels(image,
                 {{0, 0, Rgba{0x33, 0x66, 0x99, 255}}, {30, 16, Rgba{0x33, 0x66, 0x99, 255}}});
}

TEST(AggRenderer, EdgePixelsAreCoveredByTheirArea) {
    // Left edge at x = 10.5: pixel 10 is half inside. Top edge at y = 4.25: pixel
    // row 4 is three quarters inside.
    PixelBuffer image = Draw(R"(
stage 40 20
background #FFFFFF
shape 1
  fill #FF0000
  rect 10.5 4.25 20 10 fill=1
end
place 1 depth=1
showframe
)");
    ExpectPixels(image, {{9, 8, kWhite},
                         {10, 8, Rgba{255, 128, 128, 255}},
                         {11, 8, kRed},
                         {20, 4, Rgba{255, 64, 64, 255}},
                         {20, 3, kWhite},
                         {10, 4, Rgba{255, 160, 160, 255}}});  // 3/8 covered
}

TEST(AggRenderer, LowQualityCoversWholePixelsByTheirCentres) {
    // The same edges as above, drawn by one renderer at low quality, then anti-aliased
    // again: coverage kept from one quality must not show in the other.
    std::shared_ptr<const player::MovieDefinition> movie;
    std::unique_ptr<player::Stage> stage;
    player::RenderList list = ListOf(R"(
stage 40 20
background #FFFFFF
shape 1
  fill #FF0000
  rect 10.5 4.25 20 10 fill=1
end
place 1 depth=1
showframe
)",
                                     movie, stage);
    Renderer renderer;
    PixelBuffer image;
    FrameOptions low;
    low.antiAliased = false;
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_TRUE(renderer.RenderStage(list, image, low));
        // Three quarters covered counts as covered; three eighths does not.
        ExpectPixels(
            image,
            {{9, 8, kWhite}, {11, 8, kRed}, {20, 4, kRed}, {20, 3, kWhite}, {10, 4, kWhite}});
        for (size_t i = 0; i < image.pixels.size(); i += 4) {
            const bool red = image.pixels[i + 1] == 0, white = image.pixels[i + 1] == 255;
            ASSERT_TRUE(red || white) << "pixel " << i / 4 << " is blended";
        }
    }
    ASSERT_TRUE(renderer.RenderStage(list, image, FrameOptions{}));
    ExpectPixels(image, {{10, 8, Rgba{255, 128, 128, 255}}, {20, 4, Rgba{255, 64, 64, 255}}});
}

TEST(AggRenderer, TwoFillsMeetingOnAnEdgeLeaveNoSeam) {
    // Red left of x = 10.5 and blue right of it: the shared pixel is half of each,
    // with none of the black background showing through.
    PixelBuffer image = Draw(R"(
stage 30 10
background #000000
shape 1
  fill #FF0000
  fill #0000FF
  style fill0=0 fill1=1
  moveto 0 0
  lineto 10.5 0
  style fill0=2 fill1=1
  lineto 10.5 10
  style fill0=0 fill1=1
  lineto 0 10
  lineto 0 0
  style fill0=0 fill1=2
  moveto 10.5 0
  lineto 30 0
  lineto 30 10
  lineto 10.5 10
end
place 1 depth=1
showframe
)");
    ExpectPixels(image, {{9, 5, kRed}, {10, 5, Rgba{128, 0, 128, 255}}, {11, 5, kBlue}});
}

TEST(AggRenderer, LinearGradientRunsAcrossItsBox) {
    // Black to white over 256 pixels: pixel x (centre x + 0.5) gets ramp entry x.
    PixelBuffer image = Draw(R"(
stage 256 10
shape 1
  fill linear stops=0:#000000,255:#FFFFFF box=0,0,256,10
  rect 0 0 256 10 fill=1
end
place 1 depth=1
showframe
)");
    for (int x : {0, 64, 128, 200, 255}) {
        uint8_t v = static_cast<uint8_t>(x);
        EXPECT_TRUE(Near(image.At(x, 5), Rgba{v, v, v, 255})) << "x " << x;
    }
}

TEST(AggRenderer, RadialGradientFallsOffWithTheDistanceFromItsCentre) {
    // White at the centre (50, 50) to black at radius 50, padded beyond.
    PixelBuffer image = Draw(R"(
stage 100 100
shape 1
  fill radial stops=0:#FFFFFF,255:#000000 box=0,0,100,100
  rect 0 0 100 100 fill=1
end
place 1 depth=1
showframe
)");
    for (int d : {0, 10, 25, 40}) {
        // Pixel (50 + d, 49) has its centre d + 0.5 to the right and 0.5 above.
        double t = std::hypot(d + 0.5, 0.5) / 50;
        uint8_t v = static_cast<uint8_t>(255 - RampIndex(t));
        EXPECT_TRUE(Near(image.At(50 + d, 49), Rgba{v, v, v, 255})) << "distance " << d;
    }
    EXPECT_TRUE(Near(image.At(1, 1), Rgba{0, 0, 0, 255}));  // beyond the radius
}

TEST(AggRenderer, SpreadModesRepeatOrReflectAGradientBeyondItsBox) {
    // A 50-pixel black-to-white gradient over 100 pixels: pixel 60 lies at 1.21.
    struct Case {
        const char* spread;
        int value;
    } cases[] = {{"pad", 255}, {"repeat", RampIndex(0.21)}, {"reflect", RampIndex(0.79)}};
    for (const Case& c : cases) {
        PixelBuffer image = Draw(std::string(R"(
stage 100 10
shape 1 version=4
  fill linear stops=0:#000000,255:#FFFFFF box=0,0,50,10 spread=)") +
                                 c.spread + R"(
  rect 0 0 100 10 fill=1
end
place 1 depth=1
showframe
)");
        uint8_t v = static_cast<uint8_t>(c.value);
        EXPECT_TRUE(Near(image.At(60, 5), Rgba{v, v, v, 255})) << c.spread;
        EXPECT_TRUE(Near(image.At(10, 5), Rgba{54, 54, 54, 255})) << c.spread;  // inside the box
    }
}

TEST(AggRenderer, FocalGradientStartsAtItsFocalPoint) {
    // Gradient square on (0, 0)-(80, 80), focal point half way to the left edge: (20, 40).
    PixelBuffer image = Draw(R"(
stage 80 80
shape 1 version=4
  fill focal stops=0:#FFFFFF,255:#000000 box=0,0,80,80 focal=-0.5
  rect 0 0 80 80 fill=1
end
place 1 depth=1
showframe
)");
    for (Point p : {Point{20, 40}, Point{60, 40}, Point{20, 10}, Point{40, 70}}) {
        double gx = (p.x + 0.5 - 40) / 40 * kGradientHalfSize;
        double gy = (p.y + 0.5 - 40) / 40 * kGradientHalfSize;
        double t =
            ApplySpread(FillStyle::Pad, GradientPosition(FillStyle::FocalGradient, gx, gy, -0.5));
        uint8_t v = static_cast<uint8_t>(255 - RampIndex(t));
        EXPECT_TRUE(
            Near(image.At(static_cast<int>(p.x), static_cast<int>(p.y)), Rgba{v, v, v, 255}))
            << p.x << "," << p.y;
    }
    EXPECT_GT(image.At(20, 40).r, 245);
}

TEST(AggRenderer, StrokesHaveTheirWidthAndRoundEnds) {
    // A 4-pixel line along y = 20 covers rows 18 to 21; its round cap reaches 2
    // pixels beyond the end at x = 60. Pixel (61, 19) lies 91.3% inside the cap:
    // the area of [1, 2] x [0, 1] under the circle of radius 2.
    PixelBuffer image = Draw(R"(
stage 80 40
background #FFFFFF
shape 1
  line 4 #0000FF
  style line=1
  moveto 10 20
  lineto 60 20
end
place 1 depth=1
showframe
)");
    ExpectPixels(image, {{30, 17, kWhite},
                         {30, 18, kBlue},
                         {30, 21, kBlue},
                         {30, 22, kWhite},
                         {60, 19, kBlue},
                         {61, 19, Rgba{22, 22, 255, 255}},
                         {62, 19, kWhite},
                         {61, 17, kWhite}});
}

TEST(AggRenderer, ThickCurvedStrokesHaveNoGaps) {
    // A ring of width 10 along a circle of radius 30: every pixel whose centre lies
    // within 4 pixels of the circle is fully covered, wherever the curve turns.
    PixelBuffer image = Draw(R"(
stage 100 100
background #FFFFFF
shape 1
  line 10 #0000FF
  circle 50 50 30 line=1
end
place 1 depth=1
showframe
)");
    for (int degrees = 0; degrees < 360; degrees += 3) {
        double angle = degrees * 3.14159265358979 / 180;
        for (double r : {26.5, 30.0, 33.5}) {
            int x = static_cast<int>(std::floor(50 + r * std::cos(angle)));
            int y = static_cast<int>(std::floor(50 + r * std::sin(angle)));
            EXPECT_TRUE(Near(image.At(x, y), kBlue)) << degrees << " degrees, radius " << r;
        }
    }
    ExpectPixels(image, {{50, 50, kWhite}, {50, 8, kWhite}, {50, 91, kWhite}});
}

TEST(AggRenderer, ColourTransformAndPlacementApply) {
    // Half-transparent red, moved by (20, 0) and scaled twice.
    PixelBuffer image = Draw(R"(
stage 60 20
background #FFFFFF
shape 1
  fill #FF0000
  rect 0 0 10 10 fill=1
end
place 1 depth=1 x=20 scale=2 alpha=0.5
showframe
)");
    ExpectPixels(image, {{19, 5, kWhite},
                         {20, 5, Rgba{255, 128, 128, 255}},
                         {39, 19, Rgba{255, 128, 128, 255}},
                         {40, 5, kWhite}});
}

const char kMaskedMovie[] = R"(
stage 50 20
background #FFFFFF
shape 1
  fill #0000FF80
  line 4 #000000
  rect 10.5 0 19.5 20 fill=1 line=1
end
shape 2
  fill #FF0000
  rect 0 0 40 20 fill=1
end
shape 3
  fill #00FF00
  rect 40 0 10 20 fill=1
end
place 1 depth=1 clipdepth=2
place 2 depth=2
place 3 depth=3
showframe
)";

TEST(AggRenderer, MasksShowTheirContentOnlyInsideTheirArea) {
    // The mask (depth 1, masking up to depth 2) is the rectangle from x = 10.5 to 30
    // in blue at half alpha: only its area counts, not its colour or its line. The
    // red square under it spans 0 to 40; the green one at depth 3 is not masked.
    PixelBuffer image = Draw(kMaskedMovie);
    ExpectPixels(image, {{5, 10, kWhite},
                         {10, 10, Rgba{255, 128, 128, 255}},
                         {11, 10, kRed},
                         {29, 10, kRed},
                         {30, 10, kWhite},
                         {45, 10, Rgba{0, 255, 0, 255}}});
}

TEST(AggRenderer, UnmatchedMaskBracketsAreClosedOrIgnored) {
    std::shared_ptr<const player::MovieDefinition> movie;
    std::unique_ptr<player::Stage> stage;
    player::RenderList list = ListOf(kMaskedMovie, movie, stage);
    ASSERT_EQ(list.items.size(), 6u);  // BeginMask, mask, MaskContent, red, EndMask, green
    PixelBuffer expected;
    ASSERT_TRUE(RenderStage(list, expected));

    using Item = player::RenderItem;
    auto stray = [](Item::Kind kind) {
        Item item;
        item.kind = kind;
        return item;
    };
    player::RenderList unclosed = list;  // the EndMask left out: closed at the end
    unclosed.items.erase(unclosed.items.begin() + 4);
    unclosed.items.pop_back();
    player::RenderList strays = list;  // brackets with nothing to match: ignored
    strays.items.insert(strays.items.begin(), {stray(Item::EndMask), stray(Item::MaskContent)});
    strays.items.insert(strays.items.begin() + 4, stray(Item::MaskContent));
    strays.items.push_back(stray(Item::EndMask));
    for (const player::RenderList* variant : {&unclosed, &strays}) {
        PixelBuffer image;
        ASSERT_TRUE(RenderStage(*variant, image));
        for (int x : {5, 10, 20, 35})
            EXPECT_TRUE(Near(image.At(x, 10), expected.At(x, 10))) << "x " << x;
    }
}

TEST(AggRenderer, HugeAndDegenerateGeometryDoesNotBreakTheFrame) {
    PixelBuffer image = Draw(R"(
stage 20 20
background #FFFFFF
shape 1
  fill #FF0000
  line 2 #000000
  rect -5000 -5000 10000 10000 fill=1
  rect 5 5 0 0 fill=1 line=1
end
place 1 depth=1 scale=1000
showframe
)");
    ExpectPixels(image, {{0, 0, kRed}, {19, 19, kRed}});
}

}  // namespace
}  // namespace kestrel::render
