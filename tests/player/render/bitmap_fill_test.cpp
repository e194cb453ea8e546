// Bitmap fills drawn and compared with the bitmap's pixels carried through the
// fill's matrix: repeating and clipped edges, nearest and smoothed sampling,
// colour transforms, transparency, and JPEG pictures.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/swf_format.h"
#include "player/core/swf_types.h"
#include "tests/player/core/test_pictures.h"
#include "tests/player/render/render_test_support.h"
#include "tools/swfwriter/bitmap.h"

namespace kestrel::render {
namespace {

using Bytes = std::vector<uint8_t>;
using player::Matrix;
using player::Point;

constexpr int kColumns = 4, kRows = 2;

// The test bitmap: every pixel a colour of its own.
Rgba Texel(int x, int y) {
    return Rgba{static_cast<uint8_t>(x * 60), static_cast<uint8_t>(y * 200),
                static_cast<uint8_t>(255 - x * 60), 255};
}

std::string TestBitmapTag() {
    Bytes stored;
    for (int y = 0; y < kRows; ++y)
        for (int x = 0; x < kColumns; ++x) {
            Rgba c = Texel(x, y);
            stored.insert(stored.end(), {0, c.r, c.g, c.b});
        }
    return tagLine(swf::kTagDefineBitsLossless,
                   swf::EncodeLosslessStored(7, 5, kColumns, kRows, stored));
}

std::string FilledStage(const std::string& bitmapTags, const std::string& fill,
                        const std::string& placement = "") {
    return "stage 60 40\nbackground #FFFFFF\n" + bitmapTags + "shape 1\n  fill bitmap 7 " + fill +
           "\n  rect 0 0 60 40 fill=1\nend\nplace 1 depth=1 " + placement + "\nshowframe\n";
}

struct SamplingCase {
    const char* name;
    bool clipped, smoothed;
    double matrix[6];  // as the description writes it: twips per bitmap pixel, then pixels
};

// What the fill must show at a pixel, worked out from the bitmap and the matrix.
Rgba Expected(const SamplingCase& c, int px, int py) {
    Matrix toStage{c.matrix[0] / 20, c.matrix[1] / 20, c.matrix[2] / 20,
                   c.matrix[3] / 20, c.matrix[4],      c.matrix[5]};
    Matrix toBitmap;
    EXPECT_TRUE(toStage.invert(toBitmap));
    Point p = toBitmap.apply(px + 0.5, py + 0.5);
    auto texel = [&](long x, long y) {
        if (c.clipped) {
            x = std::clamp(x, 0L, long{kColumns - 1});
            y = std::clamp(y, 0L, long{kRows - 1});
        }
        return Texel(static_cast<int>(((x % kColumns) + kColumns) % kColumns),
                     static_cast<int>(((y % kRows) + kRows) % kRows));
    };
    if (!c.smoothed) return texel(std::lround(std::floor(p.x)), std::lround(std::floor(p.y)));
    double u = p.x - 0.5, v = p.y - 0.5, fu = std::floor(u), fv = std::floor(v);
    long x0 = std::lround(fu), y0 = std::lround(fv);
    double wx = u - fu, wy = v - fv;
    Rgba a = texel(x0, y0), b = texel(x0 + 1, y0), d = texel(x0, y0 + 1), e = texel(x0 + 1, y0 + 1);
    auto mix = [&](uint8_t ca, uint8_t cb, uint8_t cd, uint8_t ce) {
        double top = ca + (cb - ca) * wx, bottom = cd + (ce - cd) * wx;
        return static_cast<uint8_t>(std::lround(top + (bottom - top) * wy));
    };
    return Rgba{mix(a.r, b.r, d.r, e.r), mix(a.g, b.g, d.g, e.g), mix(a.b, b.b, d.b, e.b), 255};
}

class BitmapSampling : public ::testing::TestWithParam<SamplingCase> {};

TEST_P(BitmapSampling, PixelsFollowTheBitmapThroughItsMatrix) {
    const SamplingCase& c = GetParam();
    char matrix[128];
    std::snprintf(matrix, sizeof matrix, "matrix=%g,%g,%g,%g,%g,%g", c.matrix[0], c.matrix[1],
                  c.matrix[2], c.matrix[3], c.matrix[4], c.matrix[5]);
    std::string words =
        std::string(c.clipped ? "clipped " : "") + (c.smoothed ? "" : "hard ") + matrix;
    PixelBuffer image = Draw(FilledStage(TestBitmapTag(), words));
    // Every pixel inside the rectangle, away from its anti-aliased border.
    for (int y = 1; y < 39; ++y)
        for (int x = 1; x < 59; ++x) {
            ASSERT_TRUE(Near(image.At(x, y), Expected(c, x, y), c.smoothed ? 2 : 0))
                << "pixel " << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Bitmaps, BitmapSampling,
    ::testing::Values(SamplingCase{"RepeatingNearest", false, false, {100, 0, 0, 100, 10, 5}},
                      SamplingCase{"ClippedNearest", true, false, {100, 0, 0, 100, 10, 5}},
                      SamplingCase{"TurnedAndStretched", false, false, {0, 140, -60, 0, 30, 3}},
                      SamplingCase{"RepeatingSmoothed", false, true, {100, 0, 0, 100, 10, 5}},
                      SamplingCase{"ClippedSmoothed", true, true, {140, 0, 0, 100, 7, 5}},
                      // Far from the bitmap's origin, where sampling steps in doubles.
                      SamplingCase{
                          "FarRepeatingSmoothed", false, true, {100, 0, 0, 100, -200000, 5}},
                      SamplingCase{"TurnedSmoothed", false, true, {0, 140, -60, 0, 30, 3}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BitmapFills, OneBitmapPixelPerStagePixelByDefault) {
    PixelBuffer image = Draw(FilledStage(TestBitmapTag(), "hard"));
    ExpectPixels(image, {{1, 0, Texel(1, 0)}, {3, 1, Texel(3, 1)}, {5, 3, Texel(1, 1)}}, 0);
}

TEST(BitmapFills, ColourTransformAppliesToEveryPixel) {
    PixelBuffer image = Draw(FilledStage(TestBitmapTag(), "hard", "mul=0.5,1,1,1 add=0,0,100,0"));
    Rgba t = Texel(1, 1);
    ExpectPixels(image,
                 {{1, 1,
                   Rgba{static_cast<uint8_t>(t.r / 2), t.g,
                        static_cast<uint8_t>(std::min(255, t.b + 100)), 255}}},
                 1);
}

TEST(BitmapFills, TransparentPixelsShowWhatIsBelow) {
    // Lossless2 stores premultiplied colours: red at half alpha is 128,0,0,128.
    Bytes stored{128, 128, 0, 0};
    std::string tag =
        tagLine(swf::kTagDefineBitsLossless2, swf::EncodeLosslessStored(7, 5, 1, 1, stored));
    PixelBuffer image = Draw(FilledStage(tag, "hard"));
    ExpectPixels(image, {{20, 20, Rgba{255, 127, 127, 255}}});
}

TEST(BitmapFills, AMissingBitmapLeavesItsAreaEmpty) {
    PixelBuffer image = Draw(FilledStage("", "hard"));
    ExpectPixels(image, {{20, 20, kWhite}}, 0);
}

TEST(BitmapFills, JpegPicturesShowTheirColours) {
    Bytes jpeg = player::test::JpegOf(8, 8, [](int, int) { return Rgba{51, 102, 204, 255}; });
    Bytes body{7, 0};
    body.insert(body.end(), jpeg.begin(), jpeg.end());
    PixelBuffer image = Draw(FilledStage(tagLine(swf::kTagDefineBitsJpeg2, body), ""));
    ExpectPixels(image, {{4, 4, Rgba{51, 102, 204, 255}}, {30, 30, Rgba{51, 102, 204, 255}}}, 6);
}

TEST(BitmapFills, Jpeg3AlphaBlendsWithTheBackground) {
    // Stored premultiplied: 200,100,0 at half alpha.
    Bytes jpeg = player::test::JpegOf(8, 8, [](int, int) { return Rgba{100, 50, 0, 255}; });
    Bytes alpha(64, 128);
    std::string tag = tagLine(swf::kTagDefineBitsJpeg3, swf::EncodeDefineBitsJpeg3(7, jpeg, alpha));
    PixelBuffer image = Draw(FilledStage(tag, ""));
    ExpectPixels(image, {{4, 4, Rgba{227, 177, 127, 255}}}, 6);
}

}  // namespace
}  // namespace kestrel::render
