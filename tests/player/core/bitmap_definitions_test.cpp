// Bitmap tags decoded at load: every lossless format, JPEG with its tables, its
// alpha plane and the non-standard streams Flash writes, PNG inside JPEG tags, and
// data that must give no bitmap.
#include "player/core/bitmap_definitions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/swf_format.h"
#include "player/core/movie_definition.h"
#include "tests/player/core/test_movies.h"
#include "tests/player/core/test_pictures.h"
#include "tools/swfwriter/bitmap.h"

namespace kestrel::player {
namespace {

using Bytes = std::vector<uint8_t>;

std::shared_ptr<const MovieDefinition> MovieWith(const std::string& tags) {
    return test::loadDescription("stage 20 20\n" + tags + "showframe\n");
}

Rgba PixelOf(const BitmapDefinition& bitmap, int x, int y) {
    const uint8_t* p = &bitmap.pixels[(static_cast<size_t>(y) * bitmap.width + x) * 4];
    return Rgba{p[0], p[1], p[2], p[3]};
}

::testing::AssertionResult Within(const Rgba& actual, const Rgba& expected, int tolerance) {
    if (std::abs(actual.r - expected.r) > tolerance ||
        std::abs(actual.g - expected.g) > tolerance ||
        std::abs(actual.b - expected.b) > tolerance || std::abs(actual.a - expected.a) > tolerance)
        return ::testing::AssertionFailure()
               << "got " << int(actual.r) << "," << int(actual.g) << "," << int(actual.b) << ","
               << int(actual.a) << " expected " << int(expected.r) << "," << int(expected.g) << ","
               << int(expected.b) << "," << int(expected.a);
    return ::testing::AssertionSuccess();
}

struct LosslessCase {
    const char* name;
    bool alpha;
    uint8_t format;
    int width, height;
    unsigned tableSize;
    Bytes stored;
    std::vector<Rgba> expected;  // premultiplied, row by row
};

class LosslessFormats : public ::testing::TestWithParam<LosslessCase> {};

TEST_P(LosslessFormats, DecodeToPremultipliedPixels) {
    const LosslessCase& c = GetParam();
    Bytes body = swf::EncodeLosslessStored(5, c.format, static_cast<uint16_t>(c.width),
                                           static_cast<uint16_t>(c.height), c.stored, c.tableSize);
    auto movie = MovieWith(
        test::tagLine(c.alpha ? swf::kTagDefineBitsLossless2 : swf::kTagDefineBitsLossless, body));
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie->kindOf(5), CharacterKind::Bitmap);
    const BitmapDefinition* bitmap = movie->bitmap(5);
    ASSERT_TRUE(bitmap);
    ASSERT_EQ(bitmap->width, c.width);
    ASSERT_EQ(bitmap->height, c.height);
    for (int i = 0; i < c.width * c.height; ++i)
        EXPECT_TRUE(Within(PixelOf(*bitmap, i % c.width, i / c.width), c.expected[i], 0))
            << "pixel " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Bitmaps, LosslessFormats,
    ::testing::Values(
        // The reserved byte of 24-bit pixels is ignored.
        LosslessCase{"Rgb24",
                     false,
                     5,
                     2,
                     1,
                     0,
                     Bytes{0x00, 0xFF, 0x00, 0x00, 0x77, 0x00, 0x80, 0xFF},
                     {{255, 0, 0, 255}, {0, 128, 255, 255}}},
        // Channels above alpha cannot be premultiplied colours and are held down.
        LosslessCase{"Argb32",
                     true,
                     5,
                     3,
                     1,
                     0,
                     Bytes{0x80, 0x40, 0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x40, 0xFF, 0x10, 0x00},
                     {{64, 0, 0, 128}, {0, 255, 0, 255}, {64, 16, 0, 64}}},
        // Rows of indexes are padded to 32 bits; an index past the table is a hole.
        LosslessCase{"ColorMapped",
                     false,
                     3,
                     3,
                     2,
                     2,
                     Bytes{0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF,  // table
                           0x00, 0x01, 0x00, 0xEE, 0x01, 0x01, 0x05, 0xEE},
                     {{255, 0, 0, 255},
                      {0, 0, 255, 255},
                      {255, 0, 0, 255},
                      {0, 0, 255, 255},
                      {0, 0, 255, 255},
                      {0, 0, 0, 0}}},
        LosslessCase{"ColorMappedWithAlpha",
                     true,
                     3,
                     2,
                     1,
                     2,
                     Bytes{0xFF, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x80, 0x80,  // table
                           0x01, 0x00, 0x00, 0x00},
                     {{0, 0, 128, 128}, {255, 0, 0, 255}}},
        // Fifteen bits, big-endian, each five widened to eight.
        LosslessCase{"Rgb15",
                     false,
                     4,
                     2,
                     1,
                     0,
                     Bytes{0x7C, 0x00, 0x03, 0xE0},
                     {{255, 0, 0, 255}, {0, 255, 0, 255}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadBitmapCase {
    const char* name;
    uint16_t code;
    Bytes body;  // after the id
};

Bytes WithId(const Bytes& rest) {
    Bytes body(rest.size() + 2);
    body[0] = 7;
    std::copy(rest.begin(), rest.end(), body.begin() + 2);
    return body;
}

Bytes LosslessBody(uint8_t format, uint16_t width, uint16_t height, const Bytes& stored) {
    Bytes full = swf::EncodeLosslessStored(7, format, width, height, stored, 2);
    return Bytes(full.begin() + 2, full.end());
}

class BadBitmaps : public ::testing::TestWithParam<BadBitmapCase> {};

TEST_P(BadBitmaps, GiveNoBitmap) {
    const BadBitmapCase& c = GetParam();
    auto movie = MovieWith(test::tagLine(c.code, WithId(c.body)));
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie->bitmap(7), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Bitmaps, BadBitmaps,
    ::testing::Values(
        BadBitmapCase{"UnknownFormat", swf::kTagDefineBitsLossless,
                      LosslessBody(7, 1, 1, Bytes(4, 0))},
        BadBitmapCase{"NoWidth", swf::kTagDefineBitsLossless, LosslessBody(5, 0, 1, Bytes(4, 0))},
        BadBitmapCase{"TooWide", swf::kTagDefineBitsLossless,
                      LosslessBody(5, 9000, 1, Bytes(36000, 0))},
        BadBitmapCase{"FewerPixelsThanItsSize", swf::kTagDefineBitsLossless,
                      LosslessBody(5, 4, 4, Bytes(60, 0))},
        // 64 MB claimed by a few bytes: more than deflate can expand to.
        BadBitmapCase{"SizeBeyondWhatItsDataCanHold", swf::kTagDefineBitsLossless,
                      Bytes{5, 0, 32, 0, 8, 0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01}},
        BadBitmapCase{"NotZlib", swf::kTagDefineBitsLossless,
                      Bytes{5, 1, 0, 1, 0, 0x12, 0x34, 0x56, 0x78}},
        BadBitmapCase{"HeaderCutShort", swf::kTagDefineBitsLossless2, Bytes{5, 1}},
        BadBitmapCase{"FifteenBitsWithAlpha", swf::kTagDefineBitsLossless2,
                      LosslessBody(4, 2, 1, Bytes(4, 0))},
        BadBitmapCase{"JpegGarbage", swf::kTagDefineBitsJpeg2, Bytes{0xFF, 0xD8, 1, 2, 3, 4}},
        BadBitmapCase{"NoImageAtAll", swf::kTagDefineBitsJpeg2, Bytes{}},
        BadBitmapCase{"AlphaOffsetPastTheEnd", swf::kTagDefineBitsJpeg3,
                      Bytes{0xFF, 0xFF, 0, 0, 0xFF, 0xD8}},
        BadBitmapCase{"TablesWithoutImage", swf::kTagDefineBits, Bytes{0xFF, 0xD8, 0xFF, 0xD9}}),
    [](const auto& info) { return std::string(info.param.name); });

// A picture with colour in both directions, so a decoder that swaps channels or
// rows shows it.
Rgba Picture(int x, int y) {
    return Rgba{static_cast<uint8_t>(x * 16), static_cast<uint8_t>(y * 32), 160, 255};
}

void ExpectPicture(const BitmapDefinition* bitmap, int tolerance) {
    ASSERT_TRUE(bitmap);
    ASSERT_EQ(bitmap->width, 16);
    ASSERT_EQ(bitmap->height, 8);
    for (int y = 0; y < 8; y += 3)
        for (int x = 0; x < 16; x += 5)
            EXPECT_TRUE(Within(PixelOf(*bitmap, x, y), Picture(x, y), tolerance))
                << "pixel " << x << "," << y;
}

constexpr int kJpegTolerance = 12;

TEST(JpegBitmaps, Jpeg2DecodesItsColours) {
    Bytes jpeg = test::JpegOf(16, 8, Picture);
    auto movie = MovieWith(test::tagLine(swf::kTagDefineBitsJpeg2, WithId(jpeg)));
    ExpectPicture(movie->bitmap(7), kJpegTolerance);
}

TEST(JpegBitmaps, StreamsWithFlashsBogusHeaderOrTablesApartStillDecode) {
    Bytes jpeg = test::JpegOf(16, 8, Picture), tables, image;
    test::SplitJpegTables(jpeg, tables, image);
    // Files before SWF 8 start with an EOI before the SOI.
    Bytes bogus{0xFF, 0xD9, 0xFF, 0xD8};
    bogus.insert(bogus.end(), jpeg.begin(), jpeg.end());
    // Tables and image in one tag, each a stream of its own.
    Bytes joined = tables;
    joined.insert(joined.end(), image.begin(), image.end());
    for (const Bytes& data : {bogus, joined}) {
        auto movie = MovieWith(test::tagLine(swf::kTagDefineBitsJpeg2, WithId(data)));
        ExpectPicture(movie->bitmap(7), kJpegTolerance);
    }
}

TEST(JpegBitmaps, DefineBitsTakesTheMoviesJpegTables) {
    Bytes tables, image;
    test::SplitJpegTables(test::JpegOf(16, 8, Picture), tables, image);
    auto movie = MovieWith(test::tagLine(swf::kTagJpegTables, tables) +
                           test::tagLine(swf::kTagDefineBits, WithId(image)));
    ExpectPicture(movie->bitmap(7), kJpegTolerance);
}

TEST(JpegBitmaps, Jpeg3TakesItsAlphaPlane) {
    // The colours are stored already multiplied by alpha.
    Bytes jpeg = test::JpegOf(16, 8, [](int, int) { return Rgba{100, 50, 20, 255}; });
    Bytes alpha(16 * 8);
    for (size_t i = 0; i < alpha.size(); ++i) alpha[i] = i % 16 < 8 ? 128 : 10;
    Bytes body = swf::EncodeDefineBitsJpeg3(7, jpeg, alpha);
    auto movie = MovieWith(test::tagLine(swf::kTagDefineBitsJpeg3, body));
    const BitmapDefinition* bitmap = movie->bitmap(7);
    ASSERT_TRUE(bitmap);
    EXPECT_TRUE(Within(PixelOf(*bitmap, 2, 3), Rgba{100, 50, 20, 128}, 4));
    // Colours above their alpha are held down to it.
    EXPECT_TRUE(Within(PixelOf(*bitmap, 12, 3), Rgba{10, 10, 10, 10}, 0));
}

TEST(JpegBitmaps, Jpeg3WithoutAUsablePlaneIsOpaque) {
    Bytes jpeg = test::JpegOf(16, 8, Picture);
    Bytes body = swf::EncodeDefineBitsJpeg3(7, jpeg, Bytes(10, 0));  // too few alphas
    auto movie = MovieWith(test::tagLine(swf::kTagDefineBitsJpeg3, body));
    ExpectPicture(movie->bitmap(7), kJpegTolerance);
}

TEST(JpegBitmaps, PngInsideJpegTagsKeepsItsOwnTransparency) {
    Bytes png = test::PngOf(2, 1, [](int x, int) {
        return x == 0 ? Rgba{255, 0, 0, 255} : Rgba{0, 0, 255, 128};
    });
    auto movie = MovieWith(
        test::tagLine(swf::kTagDefineBitsJpeg3, swf::EncodeDefineBitsJpeg3(7, png, Bytes{0, 0})));
    const BitmapDefinition* bitmap = movie->bitmap(7);
    ASSERT_TRUE(bitmap);
    EXPECT_TRUE(Within(PixelOf(*bitmap, 0, 0), Rgba{255, 0, 0, 255}, 0));
    EXPECT_TRUE(Within(PixelOf(*bitmap, 1, 0), Rgba{0, 0, 128, 128}, 1));
}

TEST(JpegBitmaps, HuffmanTablesWithTooManyCodesAreRefused) {
    // A table whose 16 counts add up to 257 codes, one more than any table holds.
    Bytes table{0xFF, 0xC4, 0x01, 0x14, 0x00, 255, 2};
    table.resize(table.size() + 14 + 257, 0);
    Bytes jpeg = test::JpegOf(16, 8, Picture);
    jpeg.insert(jpeg.begin() + 2, table.begin(), table.end());
    auto movie = MovieWith(test::tagLine(swf::kTagDefineBitsJpeg2, WithId(jpeg)));
    EXPECT_EQ(movie->bitmap(7), nullptr);
    // Fill bytes before the SOI hide the stream from the signature, not from the
    // decoder: such data is not decoded at all (found by fuzzing).
    jpeg.insert(jpeg.begin(), {0xFF, 0xFF});
    movie = MovieWith(
        test::tagLine(swf::kTagDefineBitsJpeg3, swf::EncodeDefineBitsJpeg3(7, jpeg, Bytes{})));
    EXPECT_EQ(movie->bitmap(7), nullptr);
}

TEST(JpegBitmaps, ScansWithTablesNeverDefinedAreRefused) {
    Bytes jpeg = test::JpegOf(16, 8, Picture);
    std::string text(jpeg.begin(), jpeg.end());
    size_t scan = text.find("\xFF\xDA");
    ASSERT_NE(scan, std::string::npos);
    // The first component's tables byte: DC slot 0, AC slot 3, which no DHT fills
    // (found by fuzzing: the decoder read the slot's memory as it was).
    jpeg[scan + 6] = 0x03;
    auto movie = MovieWith(test::tagLine(swf::kTagDefineBitsJpeg2, WithId(jpeg)));
    EXPECT_EQ(movie->bitmap(7), nullptr);
}

TEST(JpegBitmaps, GifInsideJpeg2Decodes) {
    // One red pixel: header, two-colour table, image descriptor, LZW data, trailer.
    Bytes gif{'G', 'I',  'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0xFF, 0, 0, 0,   0,
              0,   0x2C, 0,   0,   0,   0,   1, 0, 1, 0, 0,    2, 2, 0x44, 1, 0, 0x3B};
    auto movie = MovieWith(test::tagLine(swf::kTagDefineBitsJpeg2, WithId(gif)));
    const BitmapDefinition* bitmap = movie->bitmap(7);
    ASSERT_TRUE(bitmap);
    ASSERT_EQ(bitmap->width, 1);
    EXPECT_TRUE(Within(PixelOf(*bitmap, 0, 0), Rgba{255, 0, 0, 255}, 0));
}

TEST(JpegBitmaps, PngChunksLongerThanTheirDataAreRefused) {
    Bytes png = test::PngOf(3, 3, Picture);
    std::string text(png.begin(), png.end());
    size_t idat = text.find("IDAT");
    ASSERT_NE(idat, std::string::npos);
    png[idat - 4] = 0x7F;  // a length of about 2 GB
    auto movie = MovieWith(test::tagLine(swf::kTagDefineBitsJpeg2, WithId(png)));
    EXPECT_EQ(movie->bitmap(7), nullptr);
}

TEST(JpegBitmaps, EveryTruncationLoadsWithoutHarm) {
    Bytes jpeg = test::JpegOf(16, 8, Picture);
    Bytes body = swf::EncodeDefineBitsJpeg3(7, jpeg, Bytes(16 * 8, 200));
    for (size_t cut = 2; cut < body.size(); cut += 7) {
        auto movie = MovieWith(
            test::tagLine(swf::kTagDefineBitsJpeg3, Bytes(body.begin(), body.begin() + cut)));
        ASSERT_TRUE(movie);
        const BitmapDefinition* bitmap = movie->bitmap(7);
        if (bitmap) {
            EXPECT_EQ(bitmap->pixels.size(), bitmap->pixelCount() * 4);
        }
    }
}

}  // namespace
}  // namespace kestrel::player
