// Text fields drawn with their embedded font: glyphs placed by the field's layout
// (gutter, alignment, word wrap, leading), clipped to the field's box, in the
// field's colour through the colour transform, over its background and border.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/swf_format.h"
#include "tests/player/render/box_font.h"
#include "tests/player/render/render_test_support.h"

namespace kestrel::render {
namespace {

// A field at (10, 10) on a grey stage, its text 20 pixels high (one glyph is a
// 20-pixel square), inside a 2-pixel gutter: the first glyph covers x 12..32 and
// y 12..32.
std::string FieldMovie(const std::string& field, const std::string& place = "",
                       int fontVersion = 2) {
    std::string error;
    auto font = swf::EncodeGlyphFont(1, BoxFont(fontVersion), &error);
    EXPECT_TRUE(font) << error;
    return "stage 120 80\nbackground #808080\n" +
           tagLine(swf::GlyphFontTagCode(fontVersion), font ? *font : swf::Bytes{}) +
           "edittext 2 " + field + "\nplace 2 depth=1 " + place + "\nshowframe\n";
}

const Rgba kGrey{128, 128, 128, 255};
const Rgba kBlack{0, 0, 0, 255};

TEST(FieldText, AGlyphLandsInsideTheGutter) {
    for (int version : {2, 3}) {
        SCOPED_TRACE(version);
        PixelBuffer image = Draw(
            FieldMovie("10 10 100 30 font=1 size=20 color=#0000FF outlines readonly text=\"AB\"",
                       "", version));
        ExpectPixels(image, {
                                {11, 20, kGrey},  // gutter
                                {12, 12, kBlue},
                                {31, 31, kBlue},
                                {20, 11, kGrey},  // above the ascent
                                {20, 32, kGrey},  // below the baseline
                                {33, 20, kBlue},  // "B" follows at its advance
                                {42, 22, kGrey},  // its hole
                                {52, 20, kGrey},  // after it
                            });
    }
}

struct AlignCase {
    const char* name;
    const char* align;
    int first, last;  // the columns the glyph covers whole
};

class FieldAlignment : public ::testing::TestWithParam<AlignCase> {};

TEST_P(FieldAlignment, TheLineSitsWhereTheAlignmentPutsIt) {
    const AlignCase& c = GetParam();
    PixelBuffer image = Draw(FieldMovie(std::string("10 10 100 30 font=1 size=20 color=#0000FF ") +
                                        "outlines readonly align=" + c.align + " text=\"A\""));
    ExpectPixels(image, {{c.first - 1, 20, kGrey},
                         {c.first, 20, kBlue},
                         {c.last, 20, kBlue},
                         {c.last + 1, 20, kGrey}});
}

// The text area is 96 pixels wide from x = 12; the glyph is 20.
INSTANTIATE_TEST_SUITE_P(FieldText, FieldAlignment,
                         ::testing::Values(AlignCase{"Left", "left", 12, 31},
                                           AlignCase{"Right", "right", 88, 107},
                                           AlignCase{"Centre", "center", 50, 69}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FieldText, WordsWrapToTheNextLineWithTheLeading) {
    // 56 pixels of room: "AA " takes 50, the next "AA" does not fit after it.
    PixelBuffer image =
        Draw(FieldMovie("10 10 60 60 font=1 size=20 color=#0000FF leading=5 "
                        "outlines readonly multiline wordwrap text=\"AA AA\""));
    ExpectPixels(image, {
                            {50, 20, kBlue},  // the first line
                            {55, 20, kGrey},  // its space is empty, the word moved on
                            {12, 35, kGrey},  // the leading between the lines
                            {12, 38, kBlue},  // the second line: y 37..57
                            {51, 56, kBlue},
                            {52, 45, kGrey},
                        });
}

TEST(FieldText, LineBreaksStartNewLines) {
    PixelBuffer image =
        Draw(FieldMovie("10 10 60 60 font=1 size=20 color=#0000FF outlines readonly multiline "
                        "text=\"B\\rA\""));
    ExpectPixels(image, {{22, 22, kGrey}, {22, 42, kBlue}, {33, 42, kGrey}});
}

TEST(FieldText, GlyphsAreClippedToTheFieldsBox) {
    // The box ends at x = 25 and y = 25, inside the glyph.
    PixelBuffer image =
        Draw(FieldMovie("10 10 15 15 font=1 size=20 color=#0000FF outlines readonly text=\"A\""));
    ExpectPixels(image, {{24, 24, kBlue}, {25, 20, kGrey}, {20, 25, kGrey}, {25, 25, kGrey}});
}

TEST(FieldText, ColourAlphaAndTheColourTransformApply) {
    PixelBuffer image =
        Draw(FieldMovie("10 10 100 30 font=1 size=20 color=#FF000080 outlines readonly text=\"A\"",
                        "mul=0,1,1,1 add=0,0,255,0"));
    // Red made blue by the transform, half over grey.
    ExpectPixels(image, {{20, 20, Rgba{64, 64, 192, 255}}, {40, 20, kGrey}});
}

TEST(FieldText, BorderAndBackgroundFrameTheText) {
    PixelBuffer image = Draw(FieldMovie(
        "10 10 100 30 font=1 size=20 color=#0000FF outlines readonly border text=\"A\""));
    ExpectPixels(image, {
                            {9, 20, kGrey},
                            {10, 20, kBlack},  // the border
                            {109, 20, kBlack},
                            {60, 10, kBlack},
                            {60, 39, kBlack},
                            {11, 20, kWhite},  // the background inside it
                            {60, 38, kWhite},
                            {20, 20, kBlue},
                            {60, 40, kGrey},
                        });
}

TEST(FieldText, PasswordsShowNoGlyphsOfTheirText) {
    // The font has no "*": nothing of the text shows.
    PixelBuffer image = Draw(FieldMovie(
        "10 10 100 30 font=1 size=20 color=#0000FF outlines readonly password text=\"A\""));
    ExpectPixels(image, {{20, 20, kGrey}});
}

TEST(FieldText, FieldsWithoutOutlinesAreLeftToTheDeviceTextPainter) {
    PixelBuffer image =
        Draw(FieldMovie("10 10 100 30 font=1 size=20 color=#0000FF readonly text=\"A\""));
    ExpectPixels(image, {{20, 20, kGrey}});
}

}  // namespace
}  // namespace kestrel::render
