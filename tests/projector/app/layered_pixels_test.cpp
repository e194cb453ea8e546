// Alpha recovery for transparent windows: a frame drawn over white and over
// black becomes premultiplied pixels with the movie's coverage as alpha.
#include "projector/app/layered_pixels.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace kestrel::projector {
namespace {

using Pixel = std::array<uint8_t, 4>;  // blue, green, red, alpha

struct PixelCase {
    const char* name;
    Pixel onWhite;
    Pixel onBlack;
    Pixel expected;
};

const PixelCase kPixelCases[] = {
    // Nothing drawn: white stays white, black stays black.
    {"uncovered is fully transparent", {255, 255, 255, 255}, {0, 0, 0, 255}, {0, 0, 0, 0}},
    {"opaque colour is kept exactly",
     {0x30, 0x80, 0xF0, 255},
     {0x30, 0x80, 0xF0, 255},
     {0x30, 0x80, 0xF0, 255}},
    {"opaque white stays full white",
     {255, 255, 255, 255},
     {255, 255, 255, 255},
     {255, 255, 255, 255}},
    // Half-covered black: 127 over white, 0 over black.
    {"half black keeps black colour", {127, 127, 127, 255}, {0, 0, 0, 255}, {0, 0, 0, 128}},
    // Half-covered white: 255 over white, 128 over black.
    {"half white is premultiplied",
     {255, 255, 255, 255},
     {128, 128, 128, 255},
     {128, 128, 128, 128}},
    // Half-covered pure red: blue channel decides the alpha.
    {"half red", {127, 127, 255, 255}, {0, 0, 128, 255}, {0, 0, 128, 128}},
    // Two drawings that disagree must not wrap around to almost transparent.
    {"black pass lighter counts as opaque",
     {10, 10, 10, 255},
     {200, 200, 200, 255},
     {200, 200, 200, 255}},
    // A colour brighter than its coverage would overflow the blend: capped.
    {"colour capped at alpha", {200, 255, 255, 255}, {100, 180, 250, 255}, {100, 155, 155, 155}},
};

class CombineLayeredPixelTest : public testing::TestWithParam<PixelCase> {};

TEST_P(CombineLayeredPixelTest, GivesPremultipliedPixel) {
    const PixelCase& c = GetParam();
    Pixel white = c.onWhite;
    CombineLayeredPixel(white.data(), c.onBlack.data());
    EXPECT_EQ(white, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, CombineLayeredPixelTest, testing::ValuesIn(kPixelCases),
                         [](const testing::TestParamInfo<PixelCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

TEST(CombineLayeredRows, TouchesOnlyTheRectangle) {
    constexpr int kWidth = 5, kHeight = 4;
    const size_t stride = kWidth * 4;
    std::vector<uint8_t> white(stride * kHeight, 255);
    std::vector<uint8_t> black(stride * kHeight, 0);
    // A marker outside the rectangle, which must survive.
    white[0] = 7;
    CombineLayeredRows(white.data(), black.data(), stride, 1, 1, 4, 3);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const uint8_t* pixel =
                &white[static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 4];
            const bool inside = x >= 1 && x < 4 && y >= 1 && y < 3;
            EXPECT_EQ(pixel[3], inside ? 0 : 255) << x << "," << y;
        }
    }
    EXPECT_EQ(white[0], 7);
}

TEST(CombineLayeredRows, EmptyRectangleChangesNothing) {
    std::vector<uint8_t> white(16, 255), black(16, 0);
    CombineLayeredRows(white.data(), black.data(), 8, 1, 1, 1, 2);
    CombineLayeredRows(white.data(), black.data(), 8, 2, 1, 1, 2);
    EXPECT_EQ(white, std::vector<uint8_t>(16, 255));
}

}  // namespace
}  // namespace kestrel::projector
