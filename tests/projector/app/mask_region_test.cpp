// Region files as the payload carries them: checked before the system sees
// them, and stretched to the window.
#include "projector/app/mask_region.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace kestrel::projector {
namespace {

void PutWord(std::vector<uint8_t>* bytes, uint32_t word) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes->push_back(static_cast<uint8_t>(word >> shift));
}

// A header (size, type, count, data size, bounds) and `rectangles` rectangles.
std::vector<uint8_t> RegionBytes(uint32_t headerSize, uint32_t type, uint32_t count,
                                 uint32_t rectangles) {
    std::vector<uint8_t> bytes;
    for (uint32_t word : {headerSize, type, count, rectangles * 16, 0u, 0u, 3u, 1u})
        PutWord(&bytes, word);
    for (uint32_t i = 0; i < rectangles; ++i)
        for (uint32_t word : {2 * i, 0u, 2 * i + 1, 1u}) PutWord(&bytes, word);
    return bytes;
}

struct RegionCase {
    const char* name;
    std::vector<uint8_t> bytes;
    MaskRegionError error;
    uint32_t count;
    size_t usedSize;
};

TEST(MaskRegion, ChecksHeaderAndCountAgainstTheFile) {
    std::vector<uint8_t> trailing = RegionBytes(32, 1, 2, 2);
    trailing.resize(trailing.size() + 7, 0xEE);
    const RegionCase cases[] = {
        {"two rectangles", RegionBytes(32, 1, 2, 2), MaskRegionError::None, 2, 64},
        {"empty region", RegionBytes(32, 1, 0, 0), MaskRegionError::None, 0, 32},
        {"bytes after the rectangles are left out", trailing, MaskRegionError::None, 2, 64},
        {"nothing", {}, MaskRegionError::TooShort, 0, 0},
        {"half a header", std::vector<uint8_t>(31, 0), MaskRegionError::TooShort, 0, 0},
        {"header size other than 32", RegionBytes(40, 1, 0, 0), MaskRegionError::BadHeader, 0, 0},
        {"not rectangles", RegionBytes(32, 2, 0, 0), MaskRegionError::BadHeader, 0, 0},
        {"one rectangle missing", RegionBytes(32, 1, 3, 2), MaskRegionError::Truncated, 0, 0},
        // 0x10000000 * 16 wraps to 0 in 32 bits: must not pass as empty.
        {"count that wraps when multiplied", RegionBytes(32, 1, 0x10000000, 1),
         MaskRegionError::Truncated, 0, 0},
        {"largest count", RegionBytes(32, 1, 0xFFFFFFFF, 1), MaskRegionError::Truncated, 0, 0},
    };
    for (const RegionCase& c : cases) {
        MaskRegionData data;
        EXPECT_EQ(CheckMaskRegion(c.bytes.data(), c.bytes.size(), &data), c.error) << c.name;
        if (c.error != MaskRegionError::None) continue;
        EXPECT_EQ(data.rectangleCount, c.count) << c.name;
        EXPECT_EQ(data.usedSize, c.usedSize) << c.name;
    }
    MaskRegionData data;
    EXPECT_EQ(CheckMaskRegion(nullptr, 64, &data), MaskRegionError::TooShort);
    EXPECT_STREQ(ToString(MaskRegionError::Truncated), "fewer rectangles than counted");
}

TEST(MaskRegion, ScaleStretchesTheBoxToTheWindow) {
    float x = 0, y = 0;
    ASSERT_TRUE(MaskRegionScale(100, 50, 200, 150, &x, &y));
    EXPECT_FLOAT_EQ(x, 2.0f);
    EXPECT_FLOAT_EQ(y, 3.0f);
    ASSERT_TRUE(MaskRegionScale(300, 300, 100, 100, &x, &y));
    EXPECT_FLOAT_EQ(x, 1.0f / 3.0f);
    // An empty box has nothing to stretch (and would divide by zero).
    EXPECT_FALSE(MaskRegionScale(0, 50, 200, 150, &x, &y));
    EXPECT_FALSE(MaskRegionScale(100, 0, 200, 150, &x, &y));
    EXPECT_FALSE(MaskRegionScale(-5, 10, 200, 150, &x, &y));
}

}  // namespace
}  // namespace kestrel::projector
