#include <gtest/gtest.h>

#include "common/swf_format.h"
#include "tests/tools/swf_test_reader.h"
#include "tools/swfwriter/movie_builder.h"

namespace {

using swftest::ToHex;

TEST(SwfMovie, FrameRateIsEightDotEightFixedPoint) {
    struct Case {
        double fps;
        int raw;  // -1: refused
    } cases[] = {{24, 0x1800},     {12, 0x0C00}, {0.5, 0x0080}, {29.97, 0x1DF8},
                 {255.99, 0xFFFD}, {0, 0},       {256, -1},     {-1, -1}};
    for (const Case& c : cases) {
        std::optional<uint16_t> raw = swf::EncodeFrameRate(c.fps);
        if (c.raw < 0) {
            EXPECT_FALSE(raw) << c.fps;
        } else {
            ASSERT_TRUE(raw) << c.fps;
            EXPECT_EQ(*raw, c.raw) << c.fps;
        }
    }
}

TEST(SwfMovie, BackgroundMovieIsByteExact) {
    swf::MovieBuilder movie;
    movie.Header().version = 6;
    movie.SetStageSize(550, 400);
    movie.Header().frameRate = 12;
    movie.SetBackgroundColor({0xFF, 0x80, 0x00});
    movie.Root().ShowFrame();
    std::string error;
    std::optional<swf::Bytes> file = movie.Build(&error);
    ASSERT_TRUE(file) << error;
    EXPECT_EQ(ToHex(*file),
              "46 57 53 06 1e 00 00 00 "      // FWS, version 6, 30 bytes
              "78 00 05 5f 00 00 0f a0 00 "   // 550 x 400 stage
              "00 0c 01 00 "                  // 12 fps, 1 frame
              "43 02 ff 80 00 40 00 00 00");  // SetBackgroundColor, ShowFrame, End
}

TEST(SwfMovie, CompressedContainerCarriesTheUncompressedLength) {
    swf::MovieBuilder plain;
    for (int i = 0; i < 50; ++i) plain.Root().ShowFrame();
    swf::MovieBuilder packed = plain;
    packed.Header().compression = swf::Compression::kZlib;

    std::optional<swf::Bytes> a = plain.Build();
    std::optional<swf::Bytes> b = packed.Build();
    ASSERT_TRUE(a && b);
    swftest::Movie ma = swftest::ReadMovie(*a);
    swftest::Movie mb = swftest::ReadMovie(*b);
    ASSERT_TRUE(ma.ok) << ma.error;
    ASSERT_TRUE(mb.ok) << mb.error;
    EXPECT_EQ(ma.signature, 'F');
    EXPECT_EQ(mb.signature, 'C');
    EXPECT_EQ(ma.fileLength, a->size());
    EXPECT_EQ(mb.fileLength, a->size());  // the length of the inflated file, prefix included
    EXPECT_EQ(mb.uncompressedSize, a->size());
    EXPECT_LT(b->size(), a->size());
    EXPECT_EQ(mb.frameCount, 50);
}

TEST(SwfMovie, FrameCountClosesATrailingFrame) {
    struct Case {
        int showFrames;
        bool trailingTag;
        bool close;
        int frames;
    } cases[] = {{0, false, true, 1}, {0, true, true, 1},  {2, false, true, 2},
                 {2, true, true, 3},  {2, true, false, 2}, {0, false, false, 0}};
    for (const Case& c : cases) {
        swf::MovieBuilder movie;
        movie.Root().SetCloseLastFrame(c.close);
        for (int i = 0; i < c.showFrames; ++i) movie.Root().ShowFrame();
        if (c.trailingTag) movie.Root().FrameLabel("x");
        swftest::Movie m = swftest::ReadMovie(*movie.Build());
        ASSERT_TRUE(m.ok);
        EXPECT_EQ(m.frameCount, c.frames);
        int showFrameTags = 0;
        for (const swftest::Tag& t : m.tags) showFrameTags += t.code == swf::kTagShowFrame;
        EXPECT_EQ(showFrameTags, c.frames);
        EXPECT_EQ(m.tags.back().code, swf::kTagEnd);
    }
}

TEST(SwfMovie, TagHeadersSwitchToLongFormAt63Bytes) {
    swf::MovieBuilder movie;
    movie.Root().AddTag(200, swf::Bytes(62, 0xAA));
    movie.Root().AddTag(201, swf::Bytes(63, 0xBB));
    movie.Root().AddTag(202, swf::Bytes(1, 0xCC), true);
    swftest::Movie m = swftest::ReadMovie(*movie.Build());
    ASSERT_TRUE(m.ok) << m.error;
    ASSERT_GE(m.tags.size(), 3u);
    EXPECT_FALSE(m.tags[0].longHeader);
    EXPECT_EQ(m.tags[0].body.size(), 62u);
    EXPECT_TRUE(m.tags[1].longHeader);
    EXPECT_EQ(m.tags[1].body.size(), 63u);
    EXPECT_TRUE(m.tags[2].longHeader);
    EXPECT_EQ(m.tags[2].code, 202);
}

TEST(SwfMovie, DeliberateDamageForReaderTests) {
    swf::MovieBuilder movie;
    movie.Header().fileLengthOverride = 9999;
    movie.Header().frameCountOverride = 7;
    swf::Bytes file = *movie.Build();
    swftest::Movie m = swftest::ReadMovie(file);
    EXPECT_EQ(m.fileLength, 9999u);
    EXPECT_EQ(m.frameCount, 7);

    movie.Header().truncateTo = 10;
    EXPECT_EQ(movie.Build()->size(), 10u);
}

TEST(SwfMovie, RefusesARateThatDoesNotFit) {
    swf::MovieBuilder movie;
    movie.Header().frameRate = 300;
    std::string error;
    EXPECT_FALSE(movie.Build(&error));
    EXPECT_NE(error.find("frame rate"), std::string::npos);
}

}  // namespace
