#include "builder/mask_region.h"

#include <gtest/gtest.h>

#include "tests/builder/mask_test_support.h"

namespace kestrel {
namespace {

using Rects = std::vector<std::vector<int32_t>>;

Rects RectsOf(const std::vector<std::string>& rows) {
    Rects rects;
    for (const RegionRect& r : MakeRegionRects(test::MaskFromRows(rows), KeyColour{}))
        rects.push_back({r.left, r.top, r.right, r.bottom});
    return rects;
}

TEST(MaskRegionTest, RectanglesAreBandedMergedAndSorted) {
    struct Case {
        const char* name;
        std::vector<std::string> rows;
        Rects rects;
    } cases[] = {
        {"all white", {"...", "..."}, {}},
        {"no white", {"###", "###"}, {{0, 0, 3, 2}}},
        {"middle white", {"#.#"}, {{0, 0, 1, 1}, {2, 0, 3, 1}}},
        {"identical rows merge",
         {"#.##", "#.##", "....", "#.##"},
         {{0, 0, 1, 2}, {2, 0, 4, 2}, {0, 3, 1, 4}, {2, 3, 4, 4}}},
        {"different rows stay apart", {"##..", ".##.", ".##."}, {{0, 0, 2, 1}, {1, 1, 3, 3}}},
        {"ring",
         {"####", "#..#", "####"},
         {{0, 0, 4, 1}, {0, 1, 1, 2}, {3, 1, 4, 2}, {0, 2, 4, 3}}},
        {"edges", {"...#", "#...", "...."}, {{3, 0, 4, 1}, {0, 1, 1, 2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RectsOf(c.rows), c.rects);
    }
}

TEST(MaskRegionTest, OnlyPureKeyColourIsOutside) {
    PixelBuffer pixels = test::WhitePixels(3, 1);
    test::SetPixel(pixels, 0, 0, 255, 255, 254);
    test::SetPixel(pixels, 2, 0, 254, 255, 255);
    auto rects = MakeRegionRects(pixels, KeyColour{});
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[1].left, 2);
    // Another key colour.
    EXPECT_EQ(MakeRegionRects(pixels, KeyColour{255, 255, 254}).size(), 1u);
}

TEST(MaskRegionTest, RegionDataHasTheHeaderWindowsWrites) {
    auto data = MakeRegionData(test::MaskFromRows({"....", ".#..", "..##"}));
    const uint32_t expected[] = {32, 1, 2, 32, 1, 1, 4, 3, 1, 1, 2, 2, 2, 2, 4, 3};
    ASSERT_EQ(data.size(), sizeof expected);
    for (size_t i = 0; i < std::size(expected); ++i) {
        uint32_t value = data[i * 4] | data[i * 4 + 1] << 8 | data[i * 4 + 2] << 16 |
                         static_cast<uint32_t>(data[i * 4 + 3]) << 24;
        EXPECT_EQ(value, expected[i]) << "word " << i;
    }
    // An empty region: a bare header with a zero box.
    auto empty = MakeRegionData(test::WhitePixels(5, 5));
    EXPECT_EQ(empty, (std::vector<uint8_t>{32, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                           0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(MaskRegionTest, InconsistentPixelBuffersGiveNoData) {
    PixelBuffer pixels = test::WhitePixels(4, 4);
    pixels.rgb.pop_back();
    EXPECT_TRUE(MakeRegionData(pixels).empty());
    pixels = PixelBuffer{};
    EXPECT_TRUE(MakeRegionData(pixels).empty());
    pixels.width = kMaxMaskSide + 1;
    pixels.height = 1;
    EXPECT_TRUE(MakeRegionData(pixels).empty());
}

// Every pixel of a random mask is inside exactly one rectangle or is white.
TEST(MaskRegionTest, RectanglesCoverExactlyTheNonKeyPixels) {
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        PixelBuffer pixels = test::RandomMask(random, 1 + round * 3, 1 + round * 2, 0.5);
        std::vector<int> cover(static_cast<size_t>(pixels.width) * pixels.height);
        for (const RegionRect& r : MakeRegionRects(pixels, KeyColour{})) {
            for (int32_t y = r.top; y < r.bottom; ++y)
                for (int32_t x = r.left; x < r.right; ++x) ++cover[y * pixels.width + x];
        }
        for (size_t i = 0; i < cover.size(); ++i) {
            bool white = pixels.rgb[i * 3] == 255 && pixels.rgb[i * 3 + 1] == 255 &&
                         pixels.rgb[i * 3 + 2] == 255;
            ASSERT_EQ(cover[i], white ? 0 : 1) << "pixel " << i << " round " << round;
        }
    }
}

}  // namespace
}  // namespace kestrel
