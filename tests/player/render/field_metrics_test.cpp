// What scripts measure of a field (textWidth, textHeight, autoSize) agrees with the
// glyphs it draws, in a field that mixes fonts, sizes and paragraph leadings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "common/swf_format.h"
#include "player/core/movie_clip.h"
#include "player/core/stage.h"
#include "player/render/field_text.h"
#include "player/runtime/movie_player.h"
#include "tests/player/render/box_font.h"
#include "tests/player/render/render_test_support.h"

namespace kestrel::render {
namespace {

std::string FontTag(uint16_t id, const swf::GlyphFont& font) {
    std::string error;
    auto body = swf::EncodeGlyphFont(id, font, &error);
    EXPECT_TRUE(body) << error;
    return tagLine(swf::GlyphFontTagCode(font.version), body ? *body : swf::Bytes{});
}

// "Tall" is "Boxes" with a descent of a quarter em, so a line holding it reaches below
// its glyphs. Every "A" of both fills its whole advance and the line's ascent.
std::string FieldOf(const std::string& html) {
    swf::GlyphFont tall = BoxFont(2, "Tall");
    tall.layout->descent = 1024 / 4;
    return "stage 300 200\n" + FontTag(1, BoxFont(2)) + FontTag(5, tall) +
           "edittext 2 10 10 200 150 font=1 size=20 outlines readonly multiline html text=\"" +
           html + "\"\nplace 2 depth=1 name=\"t\"\nshowframe\n";
}

std::string MixedField() {
    // Lines: "A" 20 px + Tall "A" 10 px; then, with a leading of 4 px, "A" 30 px and two
    // Tall "A" 20 px; then six 10-pixel "A".
    const char* html =
        "A<font face='Tall' size='10'>A</font><br>"
        "<textformat leading='4'><font size='30'>A</font>"
        "<font face='Tall'>AA</font><br></textformat>"
        "<font size='10'>AAAAAA</font>";
    return FieldOf(html);
}

TEST(FieldMetrics, TextWidthAndHeightAreWhatTheGlyphsCover) {
    std::vector<uint8_t> bytes = player::test::compileMovie(MixedField());
    runtime::MoviePlayer player;
    ASSERT_TRUE(player.load(bytes.data(), bytes.size()));
    player.advanceFrame();
    auto* field = static_cast<player::EditText*>(player.stage()->root().childAtDepth(1 - 16384));
    ASSERT_NE(field, nullptr);
    avm1::Value t(player.scriptObjectOf(*field));

    // Per line (its baseline), the stretch its glyphs cover; and the lowest glyph.
    FieldGlyphs glyphs;
    ASSERT_TRUE(LayOutFieldGlyphs(*field, glyphs));
    ASSERT_EQ(glyphs.glyphs.size(), 11u);
    std::map<double, std::pair<double, double>> lines;
    double bottom = 0;
    for (const PlacedGlyph& g : glyphs.glyphs) {
        double size = g.glyphToField.a * 1024;
        auto [it, added] = lines.emplace(g.glyphToField.ty, std::make_pair(1e9, -1e9));
        it->second.first = std::min(it->second.first, g.glyphToField.tx);
        it->second.second = std::max(it->second.second, g.glyphToField.tx + size);
        bottom = std::max(bottom, g.glyphToField.ty);
    }
    ASSERT_EQ(lines.size(), 3u);
    double widest = 0;
    for (const auto& entry : lines)
        widest = std::max(widest, entry.second.second - entry.second.first);
    double top = field->format().bounds.yMin + 2 * player::kTwipsPerPixel;
    double tall = bottom - top;  // the last line has no descent below its glyphs

    avm1::Vm& vm = player.vm();
    EXPECT_EQ(vm.getMember(t, "textWidth").asNumber(), std::floor(widest / 20));
    EXPECT_EQ(vm.getMember(t, "textHeight").asNumber(), std::floor(tall / 20));
    EXPECT_EQ(widest, 70 * 20);
    EXPECT_EQ(tall, 71.5 * 20) << "22.5 + 35 + 4 of leading + 10";

    vm.setMember(t, "autoSize", avm1::Value("left"));
    EXPECT_DOUBLE_EQ(vm.getMember(t, "_width").asNumber(), widest / 20 + 4);
    EXPECT_DOUBLE_EQ(vm.getMember(t, "_height").asNumber(), tall / 20 + 4);
}

// A line is as tall as its largest ascent and its largest descent, whichever runs they
// come from; an empty line is as tall as its line break.
TEST(FieldMetrics, LinesAreAsTallAsTheirTallestRuns) {
    struct Case {
        const char* html;
        double textHeight;
    };
    const Case cases[] = {
        {"A<font size='40'>A</font>A", 40},
        {"A<font face='Tall' size='10'>A</font>", 22},  // 20 above, 2.5 below
        {"<font face='Tall' size='16'>A</font><font size='18'>A</font>", 22},  // 18 + 4
        {"A<br><font size='40'><br></font>A", 80},
    };
    for (const Case& c : cases) {
        runtime::MoviePlayer player;
        std::vector<uint8_t> bytes = player::test::compileMovie(FieldOf(c.html));
        ASSERT_TRUE(player.load(bytes.data(), bytes.size()));
        player.advanceFrame();
        avm1::Value t = player.vm().getMember(avm1::Value(player.rootObject()), "t");
        EXPECT_EQ(player.vm().getMember(t, "textHeight").asNumber(), c.textHeight) << c.html;
    }
}

}  // namespace
}  // namespace kestrel::render
