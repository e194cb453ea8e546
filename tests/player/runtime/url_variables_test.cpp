#include "player/runtime/url_variables.h"

#include <gtest/gtest.h>

namespace kestrel::runtime {
namespace {

TEST(UrlVariables, DecodesPairsPlusAndPercent) {
    UrlVariables v = decodeUrlVariables("a=1&b=two+words&c=%41%2b%zz&&d&e=x=y");
    ASSERT_EQ(v.size(), 5u);
    EXPECT_EQ(v[0], std::make_pair(std::string("a"), std::string("1")));
    EXPECT_EQ(v[1].second, "two words");
    EXPECT_EQ(v[2].second, "A+%zz");
    EXPECT_EQ(v[3], std::make_pair(std::string("d"), std::string()));
    EXPECT_EQ(v[4].second, "x=y");
}

TEST(UrlVariables, EncodingRoundTrips) {
    UrlVariables v{{"name", "a b&c=d"}, {"\xC3\xA9", "100%"}, {"x_y", "-1.5"}};
    std::string text = encodeUrlVariables(v);
    // Everything but letters and digits is escaped.
    EXPECT_EQ(text, "name=a%20b%26c%3Dd&%C3%A9=100%25&x%5Fy=%2D1%2E5");
    EXPECT_EQ(decodeUrlVariables(text), v);
}

TEST(UrlVariables, TruncatedEscapeAtEndIsKeptLiterally) {
    EXPECT_EQ(decodeUrlComponent("50%"), "50%");
    EXPECT_EQ(decodeUrlComponent("%4"), "%4");
}

}  // namespace
}  // namespace kestrel::runtime
