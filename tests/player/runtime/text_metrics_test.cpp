// Device-font metrics used by textWidth, textHeight and autoSize.
#include "player/runtime/text_metrics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "player/avm1/utf8.h"

namespace kestrel::runtime {
namespace {

TEST(TextMetrics, DeviceTextIsMeasuredWithArialAdvances) {
    struct Case {
        const char* text;
        double widthPx, heightPx;  // at 20 px (400 twips), no leading
    };
    const Case cases[] = {
        {"", 0, 0},           {"i", 4, 22},  // 222/1000 * 20 = 4.44
        {"Wi", 23, 22},                      // (944 + 222) * 20 / 1000 = 23.32
        {"ab\rWWW", 56, 44},                 // widest line; two lines of 1.117 em
        {"ab\r\ncd", 22, 44},                // "\r\n" is one break
        {"\xC3\xA9", 11, 22},                // outside ASCII: the digit width
    };
    for (const Case& c : cases) {
        TextMeasure m = MeasureDeviceText(c.text, 400, 0);
        EXPECT_EQ(m.textWidth, c.widthPx) << c.text;
        EXPECT_EQ(m.textHeight, c.heightPx) << c.text;
    }
    EXPECT_EQ(MeasureDeviceText("a\rb", 400, 100).textHeight, 49);  // leading between lines
}

player::FontMetrics TestFont() {
    player::FontMetrics f;
    f.name = "Test";
    f.emSize = 1024;
    f.ascent = 800;
    f.descent = 224;  // a line is one em
    for (char32_t c = U'a'; c <= U'z'; ++c) f.advances[c] = 500;
    f.advances[U' '] = 250;
    f.advances[U'w'] = 700;
    return f;
}

TEST(TextMetrics, EmbeddedFontsUseTheirAdvancesCutToTwips) {
    player::FontMetrics font = TestFont();
    TextLayoutOptions o;
    o.font = &font;
    o.fontHeightTwips = 254;  // 500 units: 124.02 twips, cut to 124
    o.trailingSpacesCount = true;
    TextMeasure m = MeasureLaidOutText("ab", o);
    EXPECT_EQ(m.exactWidthTwips, 248);
    EXPECT_EQ(m.exactHeightTwips, 254);
    EXPECT_EQ(MeasureLaidOutText("a?", o).exactWidthTwips, 124);  // no glyph: no advance
    o.fontHeightTwips = 2046;  // 0.999 em: 999.02 twips a letter, cut to 999
    EXPECT_EQ(MeasureLaidOutText("aa", o).exactWidthTwips, 1998);
    EXPECT_EQ(MeasureLaidOutText("aa  ", o).exactWidthTwips, 2996);  // 499.5 a space: 499
    o.trailingSpacesCount = false;                                   // right or centred text
    EXPECT_EQ(MeasureLaidOutText("aa  ", o).exactWidthTwips, 1998);
}

TEST(TextMetrics, WrappingBreaksAfterSpacesAndInsideLongWords) {
    player::FontMetrics font = TestFont();
    TextLayoutOptions o;
    o.font = &font;
    o.fontHeightTwips = 1024;  // advances in twips as in font units
    o.leadingTwips = 100;
    o.wrapWidthTwips = 2000;
    struct Case {
        const char* text;
        int lines;
        double widest;            // twips, with the spaces that end wrapped lines
        double widestWithoutEnd;  // the same without them (right or centred text)
    };
    const Case cases[] = {
        {"abc def", 2, 1750, 1500},    // "abc " + "def" is 3750: wraps
        {"ab cd", 2, 1250, 1000},      // 2250
        {"a b", 1, 1250, 1250},        // fits
        {"abcdefgh", 2, 2000, 2000},   // one word longer than the line: 4 letters a line
        {"ab\rc d e", 2, 2000, 2000},  // "c d e" just fills the line
    };
    for (const Case& c : cases) {
        o.trailingSpacesCount = true;
        TextMeasure m = MeasureLaidOutText(c.text, o);
        EXPECT_EQ(m.lines, c.lines) << c.text;
        EXPECT_EQ(m.exactWidthTwips, c.widest) << c.text;
        EXPECT_EQ(m.exactHeightTwips, c.lines * 1024 + (c.lines - 1) * 100) << c.text;
        o.trailingSpacesCount = false;
        EXPECT_EQ(MeasureLaidOutText(c.text, o).exactWidthTwips, c.widestWithoutEnd) << c.text;
    }
}

TEST(TextMetrics, LaidOutLinesKeepTheirCharacters) {
    player::FontMetrics font = TestFont();
    TextLayoutOptions o;
    o.font = &font;
    o.fontHeightTwips = 1024;
    o.wrapWidthTwips = 2000;
    struct Case {
        const char32_t* text;
        std::vector<TextLine> lines;
    };
    const Case cases[] = {
        {U"abc def", {{0, 4, 1750}, {4, 7, 1500}}},   // the space stays on the first line
        {U"ab\r\ncd", {{0, 2, 1000}, {4, 6, 1000}}},  // the break itself is on no line
        {U"abcdefgh", {{0, 4, 2000}, {4, 8, 2000}}},
        {U"a\r", {{0, 1, 500}, {2, 2, 0}}},  // an empty last paragraph
    };
    for (const Case& c : cases) {
        std::vector<TextLine> lines = LayOutLines(c.text, o);
        ASSERT_EQ(lines.size(), c.lines.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].begin, c.lines[i].begin) << i;
            EXPECT_EQ(lines[i].end, c.lines[i].end) << i;
            EXPECT_EQ(lines[i].widthTwips, c.lines[i].widthTwips) << i;
        }
    }
}

TEST(TextMetrics, WantedScrollLineIsWholeAndOverflowsPastThePlayersRange) {
    struct Case {
        double value;
        int line;
    };
    const Case cases[] = {{3.9, 3},
                          {-2, 0},
                          {std::nan(""), 0},
                          {1e12, 2147483647},
                          {767100486418432.9, 2147483647},
                          {767100486418433.0, 0}};
    for (const Case& c : cases) EXPECT_EQ(WantedScrollLine(c.value), c.line) << c.value;
}

}  // namespace
}  // namespace kestrel::runtime
