// duplicateMovieClip of text fields, and the field rules that copies bring out.
#include <gtest/gtest.h>

#include <string>

#include "tests/player/runtime/movie_fixture.h"

namespace kestrel::runtime {
namespace {

using avm1::Value;

// "t" is a defined field whose box starts at (6, 7); "d" a script-made one. Both are
// changed by script, then duplicated as "tc" and "dc".
const char* const kDuplicates = R"(
version 8
font 1 "_sans"
edittext 2 6 7 100 20 font=1 size=12 text="initial" border readonly
place 2 depth=1 name="t"
action
  push "t"
  getVariable
  push "text", "changed"
  setMember
  push "t"
  getVariable
  push "border", false
  setMember
  push "t"
  getVariable
  push "_x", 40
  setMember
  push "t"
  getVariable
  push "_alpha", 50
  setMember
  push "t", "tc", 5
  cloneSprite
  push 20, 50, 20, 10, 3, "d", 6
  push "_root"
  getVariable
  push "createTextField"
  callMethod
  pop
  push "d"
  getVariable
  push "text", "x"
  setMember
  push "d", "dc", 7
  cloneSprite
end
showframe
)";

TEST_F(MovieTest, DuplicatedTextFieldsStartFromTheirDefinition) {
    load(kDuplicates);
    Value t = get(root(), "t");
    Value tc = get(root(), "tc");
    ASSERT_TRUE(tc.isObject());
    EXPECT_EQ(str(get(tc, "_name")), "tc");
    EXPECT_EQ(str(get(tc, "text")), "initial") << "the text as defined, not as changed";
    EXPECT_TRUE(get(tc, "border").asBoolean());
    EXPECT_EQ(str(get(tc, "type")), "dynamic");
    EXPECT_EQ(get(tc, "_x").asNumber(), 40) << "the transform is the original's";
    EXPECT_EQ(get(tc, "_y").asNumber(), 7);
    EXPECT_EQ(get(tc, "_alpha").asNumber(), 50);
    EXPECT_EQ(get(tc, "_width").asNumber(), 100);
    EXPECT_EQ(str(get(t, "text")), "changed") << "the original keeps its own state";

    Value dc = get(root(), "dc");
    ASSERT_TRUE(dc.isObject());
    EXPECT_EQ(str(get(dc, "text")), "");
    EXPECT_EQ(str(get(dc, "type")), "input") << "a script-made field has no definition";
    EXPECT_EQ(get(dc, "_width").asNumber(), 0);
    EXPECT_EQ(get(dc, "_x").asNumber(), 10);
    EXPECT_EQ(get(dc, "_y").asNumber(), 20);
}

// A field's _x and _y are the corner of its box; setting them moves the field so that
// the corner lands there.
TEST_F(MovieTest, TextFieldPositionIsTheCornerOfItsBox) {
    load(R"(
version 8
edittext 2 6 7 100 20 text="a"
place 2 depth=1 name="t" x=10 y=20
showframe
)");
    Value t = get(root(), "t");
    EXPECT_EQ(get(t, "_x").asNumber(), 16);
    EXPECT_EQ(get(t, "_y").asNumber(), 27);
    player.vm().setMember(t, "_x", Value(50));
    EXPECT_EQ(get(t, "_x").asNumber(), 50);
    EXPECT_EQ(field("t")->matrix().tx, 44 * player::kTwipsPerPixel);
}

TEST_F(MovieTest, TextColorColoursTheTextAndTheTextToCome) {
    load(R"(
version 8
edittext 2 0 0 100 20 text="abc"
place 2 depth=1 name="t"
action
  push "t"
  getVariable
  push "textColor", 0xFF0000
  setMember
end
showframe
)");
    Value t = get(root(), "t");
    EXPECT_EQ(get(call(t, "getNewTextFormat"), "color").asNumber(), 0xFF0000);
    EXPECT_EQ(get(call(t, "getTextFormat"), "color").asNumber(), 0xFF0000);
}

// HTML put into a single-line field stays on one line; a multiline field keeps its
// paragraphs and breaks.
TEST_F(MovieTest, SingleLineFieldsDropHtmlBreaks) {
    load(R"(
version 8
edittext 2 0 0 100 20 html text="" 
edittext 3 0 0 100 20 html multiline text=""
place 2 depth=1 name="single"
place 3 depth=2 name="multi"
showframe
)");
    for (const char* name : {"single", "multi"}) {
        Value t = get(root(), name);
        player.vm().setMember(t, "htmlText", Value("a<br>b<p>c</p>"));
    }
    EXPECT_EQ(str(get(get(root(), "single"), "text")), "abc");
    EXPECT_EQ(str(get(get(root(), "multi"), "text")), "a\rb\rc");
}

}  // namespace
}  // namespace kestrel::runtime
