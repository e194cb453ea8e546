// Bitmap pixels: limits, painting, and drawing one bitmap into another.
#include "player/runtime/bitmap_pixels.h"

#include <gtest/gtest.h>

namespace kestrel::runtime {
namespace {

constexpr uint32_t kBlue = 0xFF0000FF, kRed = 0xFFFF0000;

TEST(BitmapPixels, SizesOutsideThePlayersLimitsMakeNoBitmap) {
    struct Case {
        int width, height;
        bool made;
    };
    const Case cases[] = {{1, 1, true},   {2880, 2880, true}, {0, 5, false},
                          {5, -1, false}, {2881, 1, false},   {1, 2881, false}};
    for (const Case& c : cases)
        EXPECT_EQ(BitmapPixels::Make(c.width, c.height, true, 0).has_value(), c.made)
            << c.width << "x" << c.height;
}

TEST(BitmapPixels, OpaqueBitmapsStayOpaqueAndOutsideReadsZero) {
    auto opaque = BitmapPixels::Make(4, 4, false, 0x00123456);
    ASSERT_TRUE(opaque);
    EXPECT_EQ(opaque->Pixel(0, 0), 0xFF123456);
    opaque->SetPixel(1, 1, 0x10ABCDEF);
    EXPECT_EQ(opaque->Pixel(1, 1), 0xFFABCDEF);
    opaque->SetPixel(4, 0, kRed);  // outside: ignored
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {4, 0}, {0, 4}})
        EXPECT_EQ(opaque->Pixel(x, y), 0u);
    opaque->FillRect(PixelRect{2, 2, 100, 100}, kRed);  // cut at the edges
    EXPECT_EQ(opaque->Pixel(3, 3), kRed);
    EXPECT_EQ(opaque->Pixel(1, 3), 0xFF123456);
}

TEST(BitmapPixels, DrawingMapsPixelCentresThroughTheMatrixInsideTheClip) {
    auto red = BitmapPixels::Make(50, 50, false, kRed);
    ASSERT_TRUE(red);
    struct Case {
        const char* what;
        player::Matrix matrix;
        std::optional<PixelRect> clip;
        int x, y;
        uint32_t expected;
    };
    const Case cases[] = {
        {"clip: inside", {}, PixelRect{10, 10, 20, 20}, 10, 10, kRed},
        {"clip: last pixel in", {}, PixelRect{10, 10, 20, 20}, 29, 29, kRed},
        {"clip: first pixel out", {}, PixelRect{10, 10, 20, 20}, 30, 30, kBlue},
        {"clip: before", {}, PixelRect{10, 10, 20, 20}, 9, 9, kBlue},
        {"moved past the clip", player::Matrix::translation(40, 40), PixelRect{0, 0, 10, 10}, 0, 0,
         kBlue},
        {"moved: uncovered", player::Matrix::translation(40, 40), std::nullopt, 39, 39, kBlue},
        {"moved: covered", player::Matrix::translation(40, 40), std::nullopt, 40, 40, kRed},
        {"scaled to a quarter", {0.5, 0, 0, 0.5, 0, 0}, std::nullopt, 25, 25, kBlue},
        {"scaled: inside", {0.5, 0, 0, 0.5, 0, 0}, std::nullopt, 24, 24, kRed},
        {"flat: nothing", {0, 0, 0, 0, 0, 0}, std::nullopt, 0, 0, kBlue},
    };
    for (const Case& c : cases) {
        auto target = BitmapPixels::Make(50, 50, false, kBlue);
        ASSERT_TRUE(target);
        target->Draw(*red, c.matrix, nullptr, c.clip);
        EXPECT_EQ(target->Pixel(c.x, c.y), c.expected) << c.what;
    }
}

TEST(BitmapPixels, DrawingBlendsBySourceAlphaAndColourTransform) {
    auto half = BitmapPixels::Make(2, 2, true, 0x80FF0000);
    auto target = BitmapPixels::Make(2, 2, false, 0xFF0000FF);
    ASSERT_TRUE(half && target);
    target->Draw(*half, {}, nullptr, std::nullopt);
    EXPECT_EQ(target->Pixel(0, 0), 0xFF80007F);  // half red over blue, still opaque
    player::ColorTransform noRed;
    noRed.rMul = 0;
    noRed.gAdd = 255;
    noRed.aMul = 2;
    target->Draw(*half, {}, &noRed, std::nullopt);
    EXPECT_EQ(target->Pixel(1, 1), 0xFF00FF00);
}

}  // namespace
}  // namespace kestrel::runtime
