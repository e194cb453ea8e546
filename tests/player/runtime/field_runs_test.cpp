// What a field's formatted text hands its display object for drawing: one run per
// stretch of one format, sizes, margins and indents in twips, colours opaque, and
// the first line shown when scripts scroll.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/core/stage.h"
#include "player/runtime/movie_player.h"
#include "tools/swfwriter/description.h"

namespace kestrel::runtime {
namespace {

using avm1::Value;

class FieldRunsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        auto bytes = swf::CompileDescription("version 8\nshowframe\n", error);
        ASSERT_TRUE(bytes) << error;
        ASSERT_TRUE(player.load(bytes->data(), bytes->size()));
        Value root(player.rootObject());
        field = vm().callMethod(root, "createTextField",
                                {Value("t"), Value(1), Value(0), Value(0), Value(100), Value(22)})
                    .value_or(Value());
        ASSERT_TRUE(field.isObject());
        display = static_cast<player::EditText*>(player.stage()->root().childAtDepth(1));
        ASSERT_NE(display, nullptr);
    }
    avm1::Vm& vm() { return player.vm(); }
    Value format(std::vector<std::pair<const char*, Value>> fields) {
        Value f = vm().construct(vm().getMember(Value(vm().global()), "TextFormat"), {}).value();
        for (auto& [name, value] : fields) vm().setMember(f, name, value);
        return f;
    }

    MoviePlayer player;
    Value field;
    player::EditText* display = nullptr;
};

TEST_F(FieldRunsTest, EachStretchOfOneFormatIsARun) {
    vm().setMember(field, "text", Value("abcdef"));
    vm().callMethod(field, "setTextFormat",
                    {Value(1), Value(3),
                     format({{"color", Value(0x336699)},
                             {"size", Value(30)},
                             {"bold", Value(true)},
                             {"underline", Value(true)},
                             {"font", Value("Other")}})});
    const std::vector<player::TextRun>& runs = display->Runs();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].length, 1u);
    EXPECT_EQ(runs[1].length, 2u);
    EXPECT_EQ(runs[2].length, 3u);
    const player::TextRunFormat& plain = runs[0].format;
    const player::TextRunFormat& marked = runs[1].format;
    EXPECT_EQ(plain.fontName, "Times New Roman");
    EXPECT_EQ(plain.heightTwips, 240);
    EXPECT_FALSE(plain.bold || plain.underline);
    EXPECT_EQ(marked.fontName, "Other");
    EXPECT_EQ(marked.heightTwips, 600);
    EXPECT_TRUE(marked.bold && marked.underline);
    EXPECT_EQ(marked.color, (player::Rgba{0x33, 0x66, 0x99, 255}));
    EXPECT_EQ(runs[2].format.heightTwips, 240);
}

TEST_F(FieldRunsTest, ParagraphSettingsAreTwipsForEveryRunOfTheParagraph) {
    vm().setMember(field, "text", Value("ab\rcd"));
    vm().callMethod(field, "setTextFormat",
                    {Value(0), Value(1),
                     format({{"align", Value("right")},
                             {"leftMargin", Value(4)},
                             {"rightMargin", Value(6)},
                             {"indent", Value(-3)},
                             {"leading", Value(2)}})});
    const std::vector<player::TextRun>& runs = display->Runs();
    ASSERT_FALSE(runs.empty());
    const player::TextRunFormat& first = runs[0].format;
    EXPECT_EQ(first.align, 1);
    EXPECT_EQ(first.leftMargin, 80);
    EXPECT_EQ(first.rightMargin, 120);
    EXPECT_EQ(first.indent, -60);
    EXPECT_EQ(first.leading, 40);
    // The second paragraph keeps the field's own settings.
    EXPECT_EQ(runs.back().format.align, 0);
    EXPECT_EQ(runs.back().format.leftMargin, 0);
}

TEST_F(FieldRunsTest, ScrollingTellsTheFieldItsFirstLine) {
    vm().setMember(field, "text", Value("1\r2\r3\r4"));
    vm().setMember(field, "scroll", Value(3));
    EXPECT_EQ(display->Scroll(), vm().toNumber(vm().getMember(field, "scroll")));
    EXPECT_GT(display->Scroll(), 1);
}

}  // namespace
}  // namespace kestrel::runtime
