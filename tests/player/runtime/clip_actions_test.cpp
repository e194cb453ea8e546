#include "player/runtime/clip_actions.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrel::runtime {
namespace {

void put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

TEST(ClipActions, ReadsRecordsOfSwf6AndLater) {
    std::vector<uint8_t> b;
    put(b, 0, 2);
    put(b, swf::kClipLoad | swf::kClipKeyPress, 4);
    put(b, swf::kClipLoad, 4);
    put(b, 2, 4);
    b.push_back(0x06);  // Play
    b.push_back(0x00);
    put(b, swf::kClipKeyPress, 4);
    put(b, 2, 4);
    b.push_back(65);  // key code
    b.push_back(0x00);
    put(b, 0, 4);
    auto records = parseClipActions({b.data(), b.size()}, 6);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].events, swf::kClipLoad);
    EXPECT_EQ(records[0].actions.size, 2u);
    EXPECT_EQ(records[0].actions.data[0], 0x06);
    EXPECT_EQ(records[1].keyCode, 65);
    EXPECT_EQ(records[1].actions.size, 1u);
}

TEST(ClipActions, Swf5UsesSixteenBitFlags) {
    std::vector<uint8_t> b;
    put(b, 0, 2);
    put(b, swf::kClipEnterFrame, 2);
    put(b, swf::kClipEnterFrame, 2);
    put(b, 1, 4);
    b.push_back(0x00);
    put(b, 0, 2);
    auto records = parseClipActions({b.data(), b.size()}, 5);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].events, swf::kClipEnterFrame);
}

TEST(ClipActions, RecordLongerThanTheDataEndsTheList) {
    std::vector<uint8_t> b;
    put(b, 0, 2);
    put(b, swf::kClipLoad, 4);
    put(b, swf::kClipLoad, 4);
    put(b, 1000, 4);
    b.push_back(0x00);
    EXPECT_TRUE(parseClipActions({b.data(), b.size()}, 8).empty());
    for (size_t cut = 0; cut < b.size(); ++cut)
        EXPECT_TRUE(parseClipActions({b.data(), cut}, 8).empty());
}

}  // namespace
}  // namespace kestrel::runtime
