// Name case folding beyond ASCII.
#include "common/unicode_case.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(UnicodeCase, FoldsTheLettersOfUnicode3) {
    const struct {
        uint32_t letter;
        uint32_t lower;
    } cases[] = {
        {'A', 'a'},
        {'z', 'z'},
        {0x00C4, 0x00E4},
        {0x00D7, 0x00D7},  // Ä, ×
        {0x0178, 0x00FF},
        {0x0130, 0x0130},  // Ÿ, İ
        {0x01F1, 0x01F3},
        {0x01F2, 0x01F3},
        {0x01F3, 0x01F3},  // Ǳ ǲ ǳ
        {0x0391, 0x03B1},
        {0x0386, 0x03AC},
        {0x04E4, 0x04E5},
        {0x0410, 0x0430},
        {0x0531, 0x0561},
        {0x1E00, 0x1E01},
        {0x1F88, 0x1F80},
        {0x2160, 0x2170},
        {0x24B6, 0x24D0},
        {0xFF21, 0xFF41},
        // Added to Unicode after 3.0: no folding.
        {0x023A, 0x023A},
        {0x03F7, 0x03F7},
        {0x1E9E, 0x1E9E},
        {0x10A0, 0x10A0},
    };
    for (const auto& c : cases) EXPECT_EQ(UnicodeLower(c.letter), c.lower) << std::hex << c.letter;
}

TEST(UnicodeCase, NamesCompareWithoutCase) {
    EXPECT_TRUE(NamesEqualIgnoringCase("FooBar", "fOObAR"));
    EXPECT_TRUE(NamesEqualIgnoringCase("clip\xC3\x84", "CLIP\xC3\xA4"));          // Ä ä
    EXPECT_TRUE(NamesEqualIgnoringCase("\xC7\xB1\xC7\xB2", "\xC7\xB3\xC7\xB3"));  // Ǳǲ ǳǳ
    EXPECT_FALSE(NamesEqualIgnoringCase("\xC8\xBA", "\xE2\xB1\xA5"));             // Ⱥ ⱥ
    EXPECT_FALSE(NamesEqualIgnoringCase("ab", "abc"));
    // Bytes that are not UTF-8 compare as they stand.
    EXPECT_TRUE(NamesEqualIgnoringCase("A\xC4", "a\xC4"));
    EXPECT_FALSE(NamesEqualIgnoringCase("\xC4", "\xE4"));
    EXPECT_EQ(NameCaseFolded("X\xC3"), "x\xC3");
}

}  // namespace
}  // namespace kestrel
