#include <gtest/gtest.h>

#include "tests/tools/swf_test_reader.h"
#include "tools/swfwriter/byte_writer.h"
#include "tools/swfwriter/records.h"

namespace {

using swftest::Hex;
using swftest::ToHex;

TEST(SwfBits, SignedAndUnsignedWidths) {
    struct Case {
        int32_t value;
        unsigned signedBits;
    } cases[] = {{0, 0},       {1, 2},      {-1, 1},         {-2, 2},
                 {255, 9},     {-256, 9},   {256, 10},       {11000, 15},
                 {-16384, 15}, {16384, 16}, {INT32_MIN, 32}, {INT32_MAX, 32}};
    for (const Case& c : cases) {
        EXPECT_EQ(swf::SignedBits(c.value), c.signedBits) << c.value;
    }
    EXPECT_EQ(swf::UnsignedBits(0), 0u);
    EXPECT_EQ(swf::UnsignedBits(1), 1u);
    EXPECT_EQ(swf::UnsignedBits(255), 8u);
    EXPECT_EQ(swf::UnsignedBits(0xFFFFFFFFu), 32u);
}

TEST(SwfRecords, RectUsesFewestBitsThatHoldEveryValue) {
    struct Case {
        swf::Rect rect;
        const char* hex;
    } cases[] = {
        {{0, 0, 0, 0}, "00"},
        {{0, 11000, 0, 8000}, "78 00 05 5f 00 00 0f a0 00"},  // the usual 550 x 400 stage
        {{0, 20, 0, 20}, "30 0a 00 a0"},                      // 1 x 1 pixel, 6 bits
        {{-20, 20, -1, 1}, "35 8a 7e 08"},                    // negative edges
    };
    for (const Case& c : cases) {
        swf::ByteWriter w;
        swf::WriteRect(w, c.rect);
        EXPECT_EQ(ToHex(w.Data()), ToHex(Hex(c.hex))) << c.hex;
        swftest::BitReader r(w.Data().data(), w.Size());
        swftest::Rect back = swftest::ReadRect(r);
        EXPECT_EQ(back.xMin, c.rect.xMin);
        EXPECT_EQ(back.xMax, c.rect.xMax);
        EXPECT_EQ(back.yMin, c.rect.yMin);
        EXPECT_EQ(back.yMax, c.rect.yMax);
        EXPECT_EQ(r.BytePos(), w.Size());
    }
}

TEST(SwfRecords, TwipsRoundToNearest) {
    EXPECT_EQ(swf::Twips(550), 11000);
    EXPECT_EQ(swf::Twips(0.05), 1);
    EXPECT_EQ(swf::Twips(-1.5), -30);
    EXPECT_EQ(swf::Twips(0.024), 0);
}

struct MatrixBack {
    bool hasScale = false, hasRotate = false;
    double a = 1, b = 0, c = 0, d = 1;
    int32_t tx = 0, ty = 0;
    size_t size = 0;
};

MatrixBack ReadMatrix(const swf::Bytes& bytes) {
    swftest::BitReader r(bytes.data(), bytes.size());
    MatrixBack m;
    m.hasScale = r.UB(1);
    if (m.hasScale) {
        unsigned n = r.UB(5);
        m.a = r.FB(n);
        m.d = r.FB(n);
    }
    m.hasRotate = r.UB(1);
    if (m.hasRotate) {
        unsigned n = r.UB(5);
        m.b = r.FB(n);
        m.c = r.FB(n);
    }
    unsigned n = r.UB(5);
    m.tx = r.SB(n);
    m.ty = r.SB(n);
    m.size = r.BytePos();
    return m;
}

TEST(SwfRecords, MatrixWritesOnlyTheTermsItNeeds) {
    swf::ByteWriter identity;
    swf::WriteMatrix(identity, swf::Matrix{});
    EXPECT_EQ(ToHex(identity.Data()), "00");

    swf::ByteWriter moved;
    swf::WriteMatrix(moved, swf::Matrix::Make(10, 20));
    MatrixBack m = ReadMatrix(moved.Data());
    EXPECT_FALSE(m.hasScale);
    EXPECT_FALSE(m.hasRotate);
    EXPECT_EQ(m.tx, 200);
    EXPECT_EQ(m.ty, 400);
    EXPECT_EQ(m.size, moved.Size());

    swf::ByteWriter scaled;
    swf::WriteMatrix(scaled, swf::Matrix::Make(-5, 0, 2, 0.5));
    m = ReadMatrix(scaled.Data());
    EXPECT_TRUE(m.hasScale);
    EXPECT_FALSE(m.hasRotate);
    EXPECT_DOUBLE_EQ(m.a, 2);
    EXPECT_DOUBLE_EQ(m.d, 0.5);
    EXPECT_EQ(m.tx, -100);

    swf::ByteWriter turned;
    swf::WriteMatrix(turned, swf::Matrix::Make(0, 0, 1, 1, 90));
    m = ReadMatrix(turned.Data());
    // 90 degrees clockwise on screen: x axis maps onto +y.
    EXPECT_DOUBLE_EQ(m.a, 0);
    EXPECT_DOUBLE_EQ(m.b, 1);
    EXPECT_DOUBLE_EQ(m.c, -1);
    EXPECT_DOUBLE_EQ(m.d, 0);
}

TEST(SwfRecords, ColorTransformWithAlpha) {
    swf::ByteWriter identity;
    swf::WriteColorTransform(identity, swf::ColorTransform{});
    EXPECT_EQ(ToHex(identity.Data()), "00");

    swf::ColorTransform half;
    half.mulA = 128;
    swf::ByteWriter w;
    swf::WriteColorTransform(w, half);
    swftest::BitReader r(w.Data().data(), w.Size());
    EXPECT_EQ(r.UB(1), 0u);  // no add terms
    EXPECT_EQ(r.UB(1), 1u);  // multiply terms
    unsigned bits = r.UB(4);
    EXPECT_EQ(bits, 10u);  // 256 needs 10 signed bits
    EXPECT_EQ(r.SB(bits), 256);
    EXPECT_EQ(r.SB(bits), 256);
    EXPECT_EQ(r.SB(bits), 256);
    EXPECT_EQ(r.SB(bits), 128);

    swf::ColorTransform tint;
    tint.addR = -255;
    tint.addB = 16;
    swf::ByteWriter t;
    swf::WriteColorTransform(t, tint);
    swftest::BitReader tr(t.Data().data(), t.Size());
    EXPECT_EQ(tr.UB(1), 1u);
    EXPECT_EQ(tr.UB(1), 0u);
    bits = tr.UB(4);
    EXPECT_EQ(bits, 9u);
    EXPECT_EQ(tr.SB(bits), -255);
    EXPECT_EQ(tr.SB(bits), 0);
    EXPECT_EQ(tr.SB(bits), 16);
    EXPECT_EQ(tr.SB(bits), 0);
}

TEST(SwfBytes, LittleEndianAndSwappedDouble) {
    swf::ByteWriter w;
    w.U16(0x1234);
    w.U32(0xA1B2C3D4);
    w.SwappedDouble(1.0);  // 3ff00000 00000000, high word first
    w.String("ab");
    EXPECT_EQ(ToHex(w.Data()), "34 12 d4 c3 b2 a1 00 00 f0 3f 00 00 00 00 61 62 00");
}

}  // namespace
