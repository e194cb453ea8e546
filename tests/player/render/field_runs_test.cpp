// Text fields as the runtime formats them, drawn run by run: every run in its own
// colour, size, font, style and underline, every paragraph in its own alignment,
// margins and indent, from the field's scroll position and clipped to its box; fields
// made by script draw from the library's fonts, and nothing without them.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/swf_format.h"
#include "player/core/stage.h"
#include "player/runtime/movie_player.h"
#include "tests/player/render/box_font.h"
#include "tests/player/render/render_test_support.h"

namespace kestrel::render {
namespace {

// The movie's first frame played by the runtime; `before` may change the stage first.
PixelBuffer Play(const std::string& description,
                 const std::function<void(player::Stage&)>& before = {}) {
    std::vector<uint8_t> bytes = player::test::compileMovie(description);
    runtime::MoviePlayer player;
    PixelBuffer image;
    EXPECT_TRUE(player.load(bytes.data(), bytes.size()));
    player.advanceFrame();
    if (before && player.stage()) before(*player.stage());
    player::RenderList list;
    player.buildRenderList(list);
    EXPECT_TRUE(RenderStage(list, image));
    return image;
}

std::string FontTag(uint16_t id, const swf::GlyphFont& font) {
    std::string error;
    auto body = swf::EncodeGlyphFont(id, font, &error);
    EXPECT_TRUE(body) << error;
    return tagLine(swf::GlyphFontTagCode(font.version), body ? *body : swf::Bytes{});
}

// Fonts 1 "Boxes", 3 "Boxes" bold (its "A" half as wide) and 4 "Bars" (its "A" a
// quarter as wide), and before the frame's actions a field at (10, 10) with 20-pixel
// text: the first glyph of a left-aligned line covers x 12..32 and y 12..32.
std::string HtmlField(const std::string& size, const std::string& html,
                      const std::string& actions = "", bool wrap = false) {
    return "stage 120 80\nbackground #808080\n" + FontTag(1, BoxFont(2)) +
           FontTag(3, BoxFont(2, "Boxes", 0.5, true)) + FontTag(4, BoxFont(2, "Bars", 0.25)) +
           "edittext 2 10 10 " + size +
           " font=1 size=20 color=#0000FF outlines readonly multiline html " +
           (wrap ? "wordwrap " : "") + "text=\"" + html + "\"\nplace 2 depth=1 name=\"t\"\n" +
           actions + "showframe\n";
}

const Rgba kGrey{128, 128, 128, 255};
const Rgba kGreen{0, 255, 0, 255};

TEST(FieldRuns, EveryRunHasItsOwnColour) {
    PixelBuffer image =
        Play(HtmlField("100 30", "<font color='#FF0000'>A</font>A<font color='#00FF00'>A</font>"));
    ExpectPixels(image, {{22, 22, kRed}, {42, 22, kBlue}, {62, 22, kGreen}, {82, 22, kGrey}});
}

TEST(FieldRuns, RunsOfAnotherSizeStandOnTheSameBaseline) {
    // The 10-pixel "A" covers x 32..42 and y 22..32; the next starts at 42.
    PixelBuffer image = Play(HtmlField("100 30", "A<font size='10'>A</font>A"));
    ExpectPixels(image, {
                            {36, 20, kGrey},
                            {36, 27, kBlue},
                            {41, 31, kBlue},
                            {43, 14, kBlue},  // the third, full size again
                            {61, 14, kBlue},
                            {63, 14, kGrey},
                        });
}

TEST(FieldRuns, RunsDrawWithTheirOwnFontAndStyle) {
    // Bold picks the bold "Boxes" (its "A" 10 pixels wide), face the "Bars" (5 wide).
    PixelBuffer image = Play(HtmlField("100 30", "A<b>A</b><font face='Bars'>A</font>A"));
    ExpectPixels(image, {
                            {31, 22, kBlue},
                            {41, 22, kBlue},  // bold: x 32..42
                            {43, 22, kGrey},
                            {56, 22, kBlue},  // Bars: x 52..57
                            {58, 22, kGrey},
                            {73, 22, kBlue},  // back to Boxes at 72
                        });
}

TEST(FieldRuns, LinesAreAsTallAsTheirTallestRun) {
    // The 30-pixel "A" puts the first baseline at y = 42; the next line starts there.
    PixelBuffer image = Play(HtmlField("100 70", "A<font size='30'>A</font><br>A"));
    ExpectPixels(image, {
                            {20, 21, kGrey},
                            {20, 23, kBlue},
                            {40, 13, kBlue},
                            {20, 41, kBlue},
                            {20, 60, kBlue},  // the second line: y 42..62
                            {40, 60, kGrey},
                        });
}

TEST(FieldRuns, UnderlinedRunsHaveALineBelowTheBaseline) {
    // A tenth of the 20-pixel em below the baseline (y = 32), one pixel thick, under
    // the underlined run (x 32..72) alone.
    PixelBuffer image = Play(HtmlField("100 30", "A<u>AB</u>A"));
    ExpectPixels(image, {
                            {20, 34, kGrey},
                            {33, 34, kBlue},
                            {71, 34, kBlue},
                            {33, 33, kGrey},
                            {33, 35, kGrey},
                            {80, 34, kGrey},
                        });
}

TEST(FieldRuns, EveryParagraphHasItsOwnAlignmentMarginsAndIndent) {
    // Lines are 20 pixels apart; the text area is 96 pixels wide from x = 12.
    PixelBuffer image = Play(HtmlField("100 70",
                                       "<p align='right'>A</p><p align='center'>A</p>"
                                       "<textformat leftmargin='5' indent='3'><p>A</p>"
                                       "</textformat>"));
    ExpectPixels(image, {
                            {87, 22, kGrey},
                            {88, 22, kBlue},
                            {107, 22, kBlue},
                            {49, 42, kGrey},
                            {50, 42, kBlue},
                            {69, 42, kBlue},
                            {19, 62, kGrey},
                            {20, 62, kBlue},  // 12 + 5 + 3
                            {39, 62, kBlue},
                        });
}

TEST(FieldRuns, JustifiedLinesThatWrapReachAcrossTheField) {
    // 56 pixels of room: "A A " wraps before "AA"; its space takes the 6 pixels left,
    // so the second "A" ends at the room's edge (x = 68). The last line stays left.
    for (int version : {6, 8}) {
        SCOPED_TRACE(version);
        PixelBuffer image = Play("version " + std::to_string(version) + "\n" +
                                 HtmlField("60 60", "<p align='justify'>A A AA</p>", "", true));
        ExpectPixels(image, {
                                {31, 22, kBlue},
                                {46, 22, kGrey},
                                {49, 22, kBlue},
                                {67, 22, kBlue},
                                {12, 42, kBlue},
                                {51, 42, kBlue},
                                {53, 42, kGrey},
                            });
    }
}

TEST(FieldRuns, ScrolledFieldsDrawFromTheirScrollLineClippedToTheBox) {
    // One line shows whole; from the second line "B" is on top and "A" below it is
    // cut at the box's bottom (y = 40).
    PixelBuffer image = Play(HtmlField("100 30", "A<br>B<br>A",
                                       "action\n  push \"t\"\n  getVariable\n  push \"scroll\", 2\n"
                                       "  setMember\nend\n"));
    ExpectPixels(image, {{14, 14, kBlue}, {22, 22, kGrey}, {20, 39, kBlue}, {20, 41, kGrey}});
}

TEST(FieldRuns, HorizontallyScrolledFieldsMoveTheirLinesLeftClippedToTheBox) {
    PixelBuffer image = Play(HtmlField("100 30", "A"), [](player::Stage& stage) {
        auto* field = static_cast<player::EditText*>(stage.root().childAtDepth(1 - 16384));
        ASSERT_NE(field, nullptr);
        field->SetHscroll(5);
    });
    // The glyph covers x 7..27, cut at the box's left edge (x = 10).
    ExpectPixels(image, {{9, 20, kGrey}, {10, 20, kBlue}, {26, 20, kBlue}, {27, 20, kGrey}});
}

// A field made by script, embedding its fonts, in the format of font `face`.
std::string ScriptField(const std::string& face) {
    return "stage 120 80\nbackground #808080\n" + FontTag(1, BoxFont(2)) +
           "export 1 \"BoxLink\"\n"
           "action\n"
           "  push 30, 100, 10, 10, 1, \"t\", 6, \"_root\"\n  getVariable\n"
           "  push \"createTextField\"\n  callMethod\n  pop\n"
           "  push \"f\", 0, \"TextFormat\"\n  newObject\n  setVariable\n"
           "  push \"f\"\n  getVariable\n  push \"font\", \"" +
           face +
           "\"\n  setMember\n"
           "  push \"f\"\n  getVariable\n  push \"size\", 20\n  setMember\n"
           "  push \"f\"\n  getVariable\n  push \"color\", 255\n  setMember\n"
           "  push \"t\"\n  getVariable\n  push \"embedFonts\", true\n  setMember\n"
           "  push \"f\"\n  getVariable\n  push 1, \"t\"\n  getVariable\n"
           "  push \"setNewTextFormat\"\n  callMethod\n  pop\n"
           "  push \"t\"\n  getVariable\n  push \"text\", \"AB\"\n  setMember\n"
           "end\nshowframe\n";
}

TEST(FieldRuns, ScriptFieldsDrawFromTheLibrarysFonts) {
    for (const char* face : {"BoxLink", "Boxes"}) {
        SCOPED_TRACE(face);
        PixelBuffer image = Play(ScriptField(face));
        ExpectPixels(image, {{12, 12, kBlue}, {31, 31, kBlue}, {42, 22, kGrey}, {34, 14, kBlue}});
    }
}

TEST(FieldRuns, ScriptFieldsWithoutTheirFontDrawNothing) {
    PixelBuffer image = Play(ScriptField("Nowhere"));
    ExpectPixels(image, {{20, 20, kGrey}, {34, 14, kGrey}});
}

}  // namespace
}  // namespace kestrel::render
