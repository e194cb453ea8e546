// Our region data against the region Windows builds pixel by pixel.
#include <gtest/gtest.h>

#include "tests/builder/mask_test_support.h"
#include "tests/builder/pixel_by_pixel_region_win.h"

namespace kestrel {
namespace {

void ExpectSameAsWindows(const PixelBuffer& pixels) {
    std::vector<uint8_t> ours = MakeRegionData(pixels);
    std::vector<uint8_t> windows = test::PixelByPixelRegionData(pixels, KeyColour{});
    ASSERT_FALSE(windows.empty());
    ASSERT_EQ(ours, windows) << pixels.width << " x " << pixels.height;
}

TEST(MaskRegionWinTest, EdgeCasesMatchWindows) {
    ExpectSameAsWindows(test::WhitePixels(7, 5));
    ExpectSameAsWindows(test::MaskFromRows({"###", "###"}));
    ExpectSameAsWindows(test::MaskFromRows({"#.#"}));
    ExpectSameAsWindows(test::MaskFromRows({"#"}));
    ExpectSameAsWindows(test::MaskFromRows({"."}));
    ExpectSameAsWindows(test::MaskFromRows({"....", ".##.", ".##.", "....", ".##.", "#..#"}));
    ExpectSameAsWindows(test::MaskFromRows({"#...", "....", "...#", "....", "#..#"}));
}

TEST(MaskRegionWinTest, RandomMasksMatchWindows) {
    std::mt19937 random(2026);
    std::uniform_int_distribution<int> side(1, 48);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        double white = (round % 10) / 9.0;
        ExpectSameAsWindows(test::RandomMask(random, side(random), side(random), white));
    }
}

TEST(MaskRegionWinTest, DrawnMasksMatchWindows) {
    for (int variant = 0; variant < 20; ++variant) {
        SCOPED_TRACE(variant);
        ExpectSameAsWindows(test::DrawnMask(40 + variant * 7, 30 + variant * 5, variant));
    }
    ExpectSameAsWindows(test::DrawnMask(320, 240, 0));
    ExpectSameAsWindows(test::DrawnMask(300, 200, 4));
}

}  // namespace
}  // namespace kestrel
