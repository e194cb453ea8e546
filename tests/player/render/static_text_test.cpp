// Static text drawn from embedded glyph outlines: glyphs cover the pixels their
// outlines say, anti-aliased at their edges, with holes, advances, the text
// matrix, the record's colour and alpha, for every font version.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/swf_format.h"
#include "tests/player/render/render_test_support.h"
#include "tools/swfwriter/font_glyphs.h"

namespace kestrel::render {
namespace {

// Glyph 0 a full em square, glyph 1 the same with a square hole in its middle
// half. Glyph units: 1024 to the em (versions 1 and 2), 20480 (version 3).
swf::GlyphFont SquareFont(int version) {
    double em = version == 3 ? 20480 : 1024;
    double unit = em / 20;  // the writer takes pixels and stores twips
    swf::GlyphFont font;
    font.version = version;
    for (int i = 0; i < 2; ++i) {
        swf::Shape glyph(1);
        uint16_t fill = glyph.AddFill(swf::Rgba{0, 0, 0, 255});
        glyph.SetStyle(0, fill, 0);
        glyph.Rectangle(0, -unit, unit, unit);
        if (i == 1) {
            // Clockwise with the fill on its left: the ring lies outside it.
            glyph.SetStyle(fill, 0, 0);
            glyph.Rectangle(unit / 4, -unit * 3 / 4, unit / 2, unit / 2);
        }
        font.glyphs.push_back(glyph);
        font.codes.push_back(static_cast<uint16_t>('A' + i));
    }
    return font;
}

// Text 20 pixels high on a baseline at y = 30: a square at x = 10.5..30.5, then
// a holed square at 30.5..50.5 (the hole 35.5..45.5, y 15..25).
std::string TextMovie(int fontVersion, swf::Rgba color, bool withAlpha, double shiftX = 0) {
    std::string error;
    auto font = swf::EncodeGlyphFont(3, SquareFont(fontVersion), &error);
    EXPECT_TRUE(font) << error;
    swf::TextRun run;
    run.fontId = 3;
    run.height = 400;
    run.color = color;
    run.x = 210;
    run.y = 600;
    run.glyphs = {{0, 400}, {1, 400}};
    swf::Rect bounds{0, 1200, 0, 800};
    swf::Bytes text =
        swf::EncodeDefineText(4, bounds, swf::Matrix::Make(shiftX, 0), {run}, withAlpha);
    return "stage 60 40\nbackground #FFFFFF\n" +
           tagLine(swf::GlyphFontTagCode(fontVersion), font ? *font : swf::Bytes{}) +
           tagLine(withAlpha ? swf::kTagDefineText2 : swf::kTagDefineText, text) +
           "place 4 depth=1\nshowframe\n";
}

const Rgba kHalfBlue{127, 127, 255, 255};

class GlyphFonts : public ::testing::TestWithParam<int> {};

TEST_P(GlyphFonts, GlyphsCoverTheirOutlines) {
    PixelBuffer image = Draw(TextMovie(GetParam(), swf::Rgba{0, 0, 255, 255}, false));
    ExpectPixels(image, {
                            {9, 20, kWhite},      // before the text
                            {10, 20, kHalfBlue},  // the first edge halves its pixel
                            {11, 11, kBlue},
                            {29, 29, kBlue},
                            {20, 9, kWhite},   // above the em square
                            {31, 20, kBlue},   // the second glyph's ring
                            {40, 20, kWhite},  // its hole
                            {35, 20, kHalfBlue},
                            {49, 28, kBlue},
                            {50, 20, kHalfBlue},
                            {51, 20, kWhite},
                        });
}

INSTANTIATE_TEST_SUITE_P(StaticText, GlyphFonts, ::testing::Values(1, 2, 3), [](const auto& info) {
    return "DefineFont" + std::to_string(info.param);
});

TEST(StaticText, Text2ColoursCarryAlpha) {
    PixelBuffer image = Draw(TextMovie(2, swf::Rgba{0, 0, 255, 128}, true));
    ExpectPixels(image, {{20, 20, kHalfBlue}, {40, 20, kWhite}});
}

TEST(StaticText, TheTextMatrixMovesTheGlyphs) {
    PixelBuffer image = Draw(TextMovie(2, swf::Rgba{255, 0, 0, 255}, false, 5));
    ExpectPixels(image, {{14, 20, kWhite}, {15, 20, Rgba{255, 127, 127, 255}}, {16, 20, kRed}});
}

}  // namespace
}  // namespace kestrel::render
