#include <gtest/gtest.h>

#include "common/swf_format.h"
#include "tests/tools/swf_test_reader.h"
#include "tools/swfwriter/description.h"
#include "tools/swfwriter/text_and_buttons.h"

namespace {

using swftest::Hex;
using swftest::ToHex;

std::vector<swftest::Tag> TagsOf(const std::string& description) {
    std::string error;
    std::optional<swf::Bytes> file = swf::CompileDescription(description, error);
    EXPECT_TRUE(file) << error;
    if (!file) return {};
    swftest::Movie m = swftest::ReadMovie(*file);
    EXPECT_TRUE(m.ok) << m.error;
    return m.tags;
}

TEST(SwfEditText, FieldsFollowTheirFlags) {
    struct Case {
        const char* line;
        const char* body;
    } cases[] = {
        // bounds 0..20 x 0..20 twips: "30 0a 00 a0"
        {"edittext 3 0 0 1 1", "0300 300a00a0 00 00 00"},
        {"edittext 3 0 0 1 1 var=\"v\" text=\"hi\"", "0300 300a00a0 80 00 7600 686900"},
        {"edittext 3 0 0 1 1 font=2 size=10 color=#11223344 maxlength=5",
         "0300 300a00a0 07 00 0200 c800 11223344 0500 00"},
        {"edittext 3 0 0 1 1 readonly multiline wordwrap password", "0300 300a00a0 78 00 00"},
        {"edittext 3 0 0 1 1 autosize noselect border wasstatic html outlines",
         "0300 300a00a0 00 5f 00"},
        {"edittext 3 0 0 1 1 align=center margins=1,2 indent=3 leading=-1",
         "0300 300a00a0 00 20 02 1400 2800 3c00 ecff 00"},
    };
    for (const Case& c : cases) {
        std::vector<swftest::Tag> tags = TagsOf(std::string(c.line) + "\n");
        ASSERT_FALSE(tags.empty());
        EXPECT_EQ(tags[0].code, swf::kTagDefineEditText);
        EXPECT_EQ(ToHex(tags[0].body), ToHex(Hex(c.body))) << c.line;
    }
}

TEST(SwfEditText, DeviceFontHasANameAndNoGlyphs) {
    std::vector<swftest::Tag> tags = TagsOf("font 4 \"_sans\" bold\n");
    ASSERT_FALSE(tags.empty());
    EXPECT_EQ(tags[0].code, swf::kTagDefineFont2);
    EXPECT_EQ(ToHex(tags[0].body), ToHex(Hex("0400 01 00 05 5f73616e73 0000 0200")));
}

TEST(SwfButton, RecordsConditionsAndActionOffsets) {
    std::vector<swftest::Tag> tags = TagsOf(
        "button 9 menu\n"
        "  state up,hit 1 depth=1\n"
        "  state over 2 depth=2 x=1 alpha=0.5\n"
        "  on release\n"
        "    stop\n"
        "  end\n"
        "  on rollOver,rollOut\n"
        "  end\n"
        "  on keyPress key=13\n"
        "  end\n"
        "end\n");
    ASSERT_FALSE(tags.empty());
    EXPECT_EQ(tags[0].code, swf::kTagDefineButton2);
    EXPECT_EQ(
        ToHex(tags[0].body),
        ToHex(Hex("0900 01 1800"                      // id, track as menu, actions 24 bytes on
                  "09 0100 0100 00 00"                // up|hit, character 1, depth 1
                  "02 0200 0200 0ca000 690040100200"  // over: moved 20 twips, alpha multiplier 128
                  "00"                                // end of records
                  "0600 0800 07 00"                   // release: stop
                  "0500 0300 00"                      // roll over | roll out
                  "0000 001a 00")));                  // key 13 (13 << 9), last record
}

TEST(SwfButton, WithoutActionsTheOffsetIsZero) {
    swf::Button b;
    b.records.push_back({swf::kButtonHitTest, 1, 1, {}, {}});
    std::optional<swf::Bytes> body = swf::EncodeDefineButton2(2, b);
    ASSERT_TRUE(body);
    EXPECT_EQ(ToHex(*body), "02 00 00 00 00 08 01 00 01 00 00 00 00");
}

TEST(SwfButton, ConditionNames) {
    struct Case {
        const char* name;
        uint16_t bits;
    } cases[] = {
        {"rollOver", 0x0001},       {"rollOut", 0x0002},        {"press", 0x0004},
        {"release", 0x0008},        {"dragOut", 0x0010},        {"dragOver", 0x0020},
        {"releaseOutside", 0x0040}, {"idleToOverDown", 0x0080}, {"overDownToIdle", 0x0100}};
    for (const Case& c : cases) {
        ASSERT_TRUE(swf::ButtonConditionByName(c.name)) << c.name;
        EXPECT_EQ(*swf::ButtonConditionByName(c.name), c.bits) << c.name;
    }
    EXPECT_EQ(swf::ButtonKeyCondition(13), 0x1A00);
}

TEST(SwfTextButton, Errors) {
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"edittext 1 0 0 10\n", "usage: edittext <id> <x> <y> <width> <height>"},
        {"edittext 1 0 0 10 10 size=12\n", "size= needs font="},
        {"edittext 1 0 0 10 10 align=middle\n", "align is left, right, center or justify"},
        {"edittext 1 0 0 10 10 bold\n", "unexpected 'bold'"},
        {"font 1\n", "usage: font <id> \"name\""},
        {"button 1\n  state sideways 2 depth=1\nend\n", "button states are up, over, down and hit"},
        {"button 1\n  state up 2\nend\n", "'state' needs depth=<n>"},
        {"button 1\n  on click\n  end\nend\n", "unknown button condition 'click'"},
        {"button 1\n  on keyPress\n  end\nend\n", "the handler has no condition"},
        {"button 1\n  on press key=200\n  end\nend\n", "key must be between 1 and 127"},
        {"button 1\n  place 2 depth=1\nend\n", "a button holds 'state' lines and 'on' blocks"},
        {"button 1\n  on press\n    jump out\n  end\nend\n", "line 3: label 'out' is not defined"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(swf::CompileDescription(c.text, error)) << c.text;
        EXPECT_NE(error.find(c.expected), std::string::npos)
            << "input: " << c.text << "\nerror: " << error;
    }
}

}  // namespace
