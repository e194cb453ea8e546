// TextSnapshot over the static text a clip shows: characters in depth order from the
// fonts' code tables, lines, ranges clamped as the reference player clamps them, search
// with and without case. The font is defined after the texts, as some tools write it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/swf_format.h"
#include "player/runtime/movie_player.h"
#include "tests/player/core/test_movies.h"
#include "tests/player/runtime/movie_fixture.h"
#include "tools/swfwriter/description.h"
#include "tools/swfwriter/font_glyphs.h"
#include "tools/swfwriter/movie_builder.h"

namespace kestrel::runtime {
namespace {

using player::test::tagLine;

// Glyphs "A" and "B" (empty squares will do: only the codes matter here).
swf::GlyphFont LetterFont() {
    swf::GlyphFont font;
    for (char c : {'A', 'B'}) {
        swf::Shape glyph(1);
        uint16_t fill = glyph.AddFill(swf::Rgba{0, 0, 0, 255});
        glyph.SetStyle(0, fill, 0);
        glyph.Rectangle(0, -40, 40, 40);
        font.glyphs.push_back(glyph);
        font.codes.push_back(static_cast<uint16_t>(c));
    }
    return font;
}

swf::TextRun TextLine(int16_t y, std::vector<swf::GlyphEntry> glyphs) {
    swf::TextRun run;
    run.fontId = 9;
    run.y = y;
    run.glyphs = std::move(glyphs);
    return run;
}

// Text 4: "AB" then "B" on a second line; text 5: "A"; their font 9, defined after them.
std::string StaticTextTags() {
    swf::Rect bounds{0, 2000, 0, 2000};
    swf::Bytes two = swf::EncodeDefineText(
        4, bounds, swf::Matrix(), {TextLine(300, {{0, 200}, {1, 200}}), TextLine(600, {{1, 200}})},
        false);
    swf::Bytes one =
        swf::EncodeDefineText(5, bounds, swf::Matrix(), {TextLine(300, {{0, 200}})}, false);
    std::string error;
    auto font = swf::EncodeGlyphFont(9, LetterFont(), &error);
    EXPECT_TRUE(font) << error;
    return tagLine(swf::kTagDefineText, two) + tagLine(swf::kTagDefineText, one) +
           (font ? tagLine(swf::GlyphFontTagCode(2), *font) : std::string());
}

class TextSnapshotTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Text 5 placed below text 4.
        std::string error;
        std::string description =
            "version 8\n" + StaticTextTags() + "place 4 depth=2\nplace 5 depth=1\nshowframe\n";
        auto bytes = swf::CompileDescription(description, error);
        ASSERT_TRUE(bytes) << error;
        ASSERT_TRUE(player.load(bytes->data(), bytes->size()));
        avm1::Vm& vm = player.vm();
        snapshot = vm.callMethod(avm1::Value(player.rootObject()), "getTextSnapshot", {})
                       .value_or(avm1::Value());
    }
    std::string Call(const char* method, std::vector<avm1::Value> args) {
        auto r = player.vm().callMethod(snapshot, method, args);
        return r ? player.vm().toString(*r) : "<no call>";
    }

    MoviePlayer player;
    avm1::Value snapshot;
};

TEST_F(TextSnapshotTest, TextInDepthOrderWithLines) {
    using avm1::Value;
    EXPECT_EQ(Call("getCount", {}), "4");
    struct Case {
        std::vector<Value> args;
        const char* expected;
    };
    const Case cases[] = {
        {{Value(0), Value(4)}, "AABB"},
        {{Value(0), Value(4), Value(true)}, "A\nAB\nB"},
        {{Value(1), Value(3), Value(true)}, "AB"},  // a line starting the range: no "\n"
        {{Value(-3), Value(-1)}, "A"},              // at least one character
        {{Value(9), Value(1)}, "B"},                // start clamped to the last
        {{Value("2"), Value(100)}, "BB"},
        {{Value(0)}, "undefined"},
        {{Value(0), Value(1), Value(true), Value(1)}, "undefined"},
    };
    for (const Case& c : cases) EXPECT_EQ(Call("getText", c.args), c.expected);
}

TEST_F(TextSnapshotTest, FindTextAcrossTextsWithOrWithoutCase) {
    using avm1::Value;
    struct Case {
        std::vector<Value> args;
        const char* expected;
    };
    const Case cases[] = {
        {{Value(0), Value("BB"), Value(true)}, "2"},  // texts and lines join
        {{Value(0), Value("ab"), Value(true)}, "-1"}, {{Value(0), Value("ab"), Value(false)}, "1"},
        {{Value(2), Value("A"), Value(false)}, "-1"}, {{Value(-1), Value("A"), Value(false)}, "-1"},
        {{Value(0), Value(""), Value(false)}, "-1"},  {{Value(0), Value("A")}, "undefined"},
    };
    for (const Case& c : cases) EXPECT_EQ(Call("findText", c.args), c.expected);
}

// The class exists in version 5 movies but its methods only from version 6 on: they are
// listed by for..in yet read as undefined, and an assignment replaces them.
TEST(TextSnapshotVersions, MethodsAreHiddenBeforeVersion6) {
    for (uint8_t version : {5, 6}) {
        swf::MovieBuilder movie;
        movie.Header().version = version;
        movie.Root().ShowFrame();
        auto bytes = movie.Build();
        ASSERT_TRUE(bytes);
        MoviePlayer player;
        ASSERT_TRUE(player.load(bytes->data(), bytes->size()));
        avm1::Vm& vm = player.vm();
        avm1::Value ctor = vm.getMember(avm1::Value(vm.global()), "TextSnapshot");
        EXPECT_EQ(vm.typeOf(ctor), "function");
        avm1::Value snapshot = vm.construct(ctor, {}).value_or(avm1::Value());
        EXPECT_EQ(vm.typeOf(vm.getMember(snapshot, "getText")),
                  version == 5 ? "undefined" : "function");
        vm.setMember(snapshot, "getText", avm1::Value("set"));
        EXPECT_EQ(vm.toString(vm.getMember(snapshot, "getText")), "set");
    }
}

// A snapshot holds the text its clip showed when it was made. CloneSprite takes its depth on
// the timeline's scale (script depth plus 16384), so a copy made at the depth of its source
// replaces it: the source's name is gone, the copy shows the text, the old snapshot keeps it.
TEST_F(MovieTest, SnapshotOutlivesTheClipReplacedByItsDuplicate) {
    const char* const kScript = R"(
sprite 6
  place 5 depth=1
  showframe
end
place 6 depth=1 name="c"
action
  push "old", "c"
  getVariable
  push 1, "TextSnapshot"
  newObject
  defineLocal
  push "c", "far", 16389
  cloneSprite
  push 0, "far"
  getVariable
  push "getDepth"
  callMethod
  trace
  push "c", "d", 1
  cloneSprite
  push "c"
  getVariable
  typeOf
  trace
  push 0, "d"
  getVariable
  push "getDepth"
  callMethod
  trace
  push 2, 0, 2, "d"
  getVariable
  push 1, "TextSnapshot"
  newObject
  push "getText"
  callMethod
  trace
  push 2, 0, 2, "old"
  getVariable
  push "getText"
  callMethod
  trace
end
showframe
)";
    load("version 8\n" + StaticTextTags() + kScript);
    EXPECT_EQ(takeTraces(), (std::vector<std::string>{"5", "undefined", "-16383", "A", "A"}));
}

}  // namespace
}  // namespace kestrel::runtime
