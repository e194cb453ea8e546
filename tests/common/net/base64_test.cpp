#include "common/net/base64.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel {
namespace {

struct Base64Case {
    std::string plain;
    std::string coded;
};

const Base64Case kRoundTrips[] = {
    {"", ""},
    {"f", "Zg=="},
    {"fo", "Zm8="},
    {"foo", "Zm9v"},
    {"foob", "Zm9vYg=="},
    {"fooba", "Zm9vYmE="},
    {"foobar", "Zm9vYmFy"},
    {std::string("\0\xff\xfe", 3), "AP/+"},
    {"main", "bWFpbg=="},
};

TEST(Base64, EncodesAndDecodesStandardVectors) {
    for (const auto& c : kRoundTrips) {
        EXPECT_EQ(Base64Encode(c.plain), c.coded) << c.plain;
        EXPECT_EQ(Base64Decode(c.coded), c.plain) << c.coded;
    }
}

TEST(Base64, ShortLastGroupWithoutPaddingGivesOneOrTwoBytes) {
    EXPECT_EQ(Base64Decode("Zg"), "f");
    EXPECT_EQ(Base64Decode("Zm8"), "fo");
    EXPECT_EQ(Base64Decode("Zm9vZg"), "foof");
    // A lone character cannot make a byte.
    EXPECT_EQ(Base64Decode("Zm9vZ"), "foo");
}

TEST(Base64, PaddingEndsTheDecoding) {
    EXPECT_EQ(Base64Decode("Zg==Zm9v"), "f");
    EXPECT_EQ(Base64Decode("Zm8=Zm9v"), "fo");
    EXPECT_EQ(Base64Decode("=Zm9v"), "");
}

TEST(Base64, CharactersOutsideTheAlphabetAreSkipped) {
    EXPECT_EQ(Base64Decode("Zm9v\r\nYmFy"), "foobar");
    EXPECT_EQ(Base64Decode("Z m 9 v"), "foo");
    EXPECT_EQ(Base64Decode("*Zm9v!"), "foo");
    EXPECT_EQ(Base64Decode("!!!!"), "");
}

TEST(Base64, EveryByteValueDecodesWithoutFailing) {
    std::string all;
    std::string allButPadding;
    for (int i = 0; i < 256; ++i) {
        all += static_cast<char>(i);
        if (i != '=') allButPadding += static_cast<char>(i);
    }
    // Only the 64 alphabet characters count: 64 sextets make 48 bytes.
    EXPECT_EQ(Base64Decode(allButPadding).size(), 48u);
    // "=" ends it after "+", "/" and the ten digits: 12 sextets, 9 bytes.
    EXPECT_EQ(Base64Decode(all).size(), 9u);
    EXPECT_EQ(Base64Decode(Base64Encode(all)), all);
}

}  // namespace
}  // namespace kestrel
