#include "projector/api/api_arguments.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrel {
namespace {

ApiArguments Args(const std::vector<std::string_view>& values) {
    return ApiArguments(values.data(), values.size());
}

TEST(ApiArguments, AsIntegerReadsLikeAtol) {
    const std::pair<std::string_view, std::int32_t> cases[] = {
        {"12", 12},
        {"12px", 12},
        {"px12", 0},
        {"  -7", -7},
        {"+5", 5},
        {"", 0},
        {"3.9", 3},
        {"99999999999", INT32_MAX},
        {"-99999999999", INT32_MIN},
    };
    for (const auto& [text, value] : cases) {
        std::vector<std::string_view> values{text};
        EXPECT_EQ(Args(values).AsInteger(0), value) << text;
    }
}

TEST(ApiArguments, OtherReadings) {
    std::vector<std::string_view> values{"TRUE", "yes", "2.5e1x", "YWJj", "VHJ1ZQ==", "dHJ1ZXg="};
    ApiArguments args = Args(values);
    EXPECT_TRUE(args.AsFlag(0));
    EXPECT_FALSE(args.AsFlag(1));
    EXPECT_DOUBLE_EQ(args.AsReal(2), 25.0);
    EXPECT_EQ(args.AsText(3), "abc");
    EXPECT_TRUE(args.AsCodedFlag(4));   // "True"
    EXPECT_FALSE(args.AsCodedFlag(5));  // "truex"
    EXPECT_EQ(args.Raw(3), "YWJj");
}

TEST(ApiArguments, ReadingPastTheGivenArgumentsReadsEmptyText) {
    std::vector<std::string_view> values{"5"};
    ApiArguments args = Args(values);
    EXPECT_EQ(args.Count(), 1u);
    EXPECT_EQ(args.Raw(1), "");
    EXPECT_EQ(args.AsInteger(2), 0);
    EXPECT_DOUBLE_EQ(args.AsReal(3), 0.0);
    EXPECT_FALSE(args.AsFlag(4));
    EXPECT_EQ(args.AsText(5), "");
    EXPECT_EQ(ApiArguments().Raw(0), "");
}

}  // namespace
}  // namespace kestrel
