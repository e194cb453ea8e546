#include "player/avm1/conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kestrel::avm1 {
namespace {

TEST(FormatNumber, MatchesThePlayersText) {
    struct Case {
        double value;
        const char* text;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {1, "1"},
        {-2, "-2"},
        {0.1, "0.1"},
        {0.5, "0.5"},
        {1.0 / 3, "0.333333333333333"},
        {2147483648.0, "2147483648"},
        {1e15, "1e+15"},
        {123456789012345.0, "123456789012345"},
        {1e21, "1e+21"},
        {1.5e300, "1.5e+300"},
        {0.00001, "0.00001"},
        {0.000001, "1e-6"},
        {-1.25e-7, "-1.25e-7"},
        {std::nan(""), "NaN"},
        {inf, "Infinity"},
        {-inf, "-Infinity"},
        {4294967295.0, "4294967295"},
    };
    for (const Case& c : cases) EXPECT_EQ(formatNumber(c.value), c.text) << c.value;
}

TEST(FormatNumber, RadixForms) {
    EXPECT_EQ(formatNumberRadix(255, 16), "ff");
    EXPECT_EQ(formatNumberRadix(-255, 2), "-11111111");
    EXPECT_EQ(formatNumberRadix(35, 36), "z");
    EXPECT_EQ(formatNumberRadix(10, 10), "10");
}

TEST(StringToNumber, FollowsTheVersionRules) {
    struct Case {
        const char* text;
        int version;
        double value;  // NaN expected when isnan
    };
    const double nan = std::nan("");
    const Case cases[] = {
        {"12", 7, 12},
        {" \t 12", 7, 12},
        {"12 ", 7, nan},
        {"", 7, nan},
        {"", 4, 0},
        {"0x10", 6, 16},
        {"0x10", 5, nan},
        {"0x-10", 7, -16},
        {"010", 7, 8},
        {"010", 5, 10},
        {" 010", 7, 10},
        {"-010", 7, -8},
        {"037777777777", 7, -1},
        {"0x1999999981ffffff", 7, -2113929217},
        {"123e-1", 7, 12.3},
        {"Infinity", 7, nan},
        {"1.5.2", 7, nan},
        {".5", 7, 0.5},
        {"1e", 7, nan},
        {"hello", 7, nan},
        // SWF 4: the leading number, 0 for none.
        {"hello", 4, 0},
        {"12abc", 4, 12},
        {" -1.5e1x", 4, -15},
        {"0x10", 4, 0},
        {"010", 4, 10},
        {"12abc", 5, nan},
    };
    for (const Case& c : cases) {
        double v = stringToNumber(c.text, c.version);
        if (std::isnan(c.value))
            EXPECT_TRUE(std::isnan(v)) << c.text << " v" << c.version << " gave " << v;
        else
            EXPECT_EQ(v, c.value) << c.text << " v" << c.version;
    }
}

TEST(StringToBoolean, NonEmptyFromVersion7NumericBefore) {
    EXPECT_TRUE(stringToBoolean("abc", 7));
    EXPECT_FALSE(stringToBoolean("", 7));
    EXPECT_FALSE(stringToBoolean("abc", 6));
    EXPECT_TRUE(stringToBoolean("0x10", 6));
    EXPECT_FALSE(stringToBoolean("0", 6));
}

TEST(IntegerConversions, WrapLikeBitOperations) {
    EXPECT_EQ(toInt32(4294967295.0), -1);
    EXPECT_EQ(toInt32(4294967297.0), 1);
    EXPECT_EQ(toInt32(-1.9), -1);
    EXPECT_EQ(toInt32(std::nan("")), 0);
    EXPECT_EQ(toUint32(-1), 4294967295u);
}

TEST(ParseNumbers, GlobalParseIntAndParseFloat) {
    EXPECT_EQ(parseIntText("  42px", 10, false, 7), 42);
    EXPECT_EQ(parseIntText("0x1F", 10, false, 7), 31);
    EXPECT_EQ(parseIntText("017", 10, false, 7), 15);
    EXPECT_EQ(parseIntText("ff", 16, true, 7), 255);
    EXPECT_TRUE(std::isnan(parseIntText("z", 10, false, 7)));
    EXPECT_TRUE(std::isnan(parseIntText("1", 40, true, 7)));
    EXPECT_EQ(parseFloatText(" 3.5e2xyz"), 350);
    EXPECT_TRUE(std::isnan(parseFloatText("e5")));
}

}  // namespace
}  // namespace kestrel::avm1
