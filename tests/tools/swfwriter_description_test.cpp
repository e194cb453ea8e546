#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "swf_test_reader.h"
#include "swfwriter/description.h"
#include "swfwriter/tag_codes.h"

namespace {

using swftest::ToHex;

swftest::Movie Compile(const std::string& text) {
    std::string error;
    std::optional<swf::Bytes> bytes = swf::CompileDescription(text, error);
    EXPECT_TRUE(bytes) << error;
    if (!bytes) return {};
    swftest::Movie m = swftest::ReadMovie(*bytes);
    EXPECT_TRUE(m.ok) << m.error;
    return m;
}

std::string ErrorOf(const std::string& text) {
    std::string error;
    std::optional<swf::Bytes> bytes = swf::CompileDescription(text, error);
    EXPECT_FALSE(bytes) << text;
    return error;
}

TEST(SwfDescription, HeaderStatements) {
    swftest::Movie m = Compile(
        "version 7   ; comment\n"
        "stage 100 50.5\n"
        "# a whole-line comment\n"
        "rate 29.97 // another\n"
        "compress zlib\n"
        "background #102030\n");
    EXPECT_EQ(m.signature, 'C');
    EXPECT_EQ(m.version, 7);
    EXPECT_EQ(m.stage.xMax, 2000);
    EXPECT_EQ(m.stage.yMax, 1010);
    EXPECT_EQ(m.frameRateRaw, 0x1DF8);
    EXPECT_EQ(m.frameCount, 1);
    ASSERT_EQ(m.tags.size(), 3u);
    EXPECT_EQ(m.tags[0].code, swf::kTagSetBackgroundColor);
    EXPECT_EQ(ToHex(m.tags[0].body), "10 20 30");
}

TEST(SwfDescription, FramesLabelsAndRawTags) {
    swftest::Movie m = Compile(
        "label \"start\"\n"
        "showframe\n"
        "label \"anchor\" anchor\n"
        "showframe 2\n"
        "tag 77 long 01 0203\n"
        "tag 5\n");
    EXPECT_EQ(m.frameCount, 4);  // the raw tags after the last showframe close a fourth
    ASSERT_EQ(m.tags.size(), 9u);
    EXPECT_EQ(m.tags[0].code, swf::kTagFrameLabel);
    EXPECT_EQ(ToHex(m.tags[0].body), "73 74 61 72 74 00");
    EXPECT_EQ(ToHex(m.tags[2].body), "61 6e 63 68 6f 72 00 01");
    EXPECT_EQ(m.tags[5].code, 77);
    EXPECT_TRUE(m.tags[5].longHeader);
    EXPECT_EQ(ToHex(m.tags[5].body), "01 02 03");
    EXPECT_EQ(m.tags[6].code, 5);
    EXPECT_TRUE(m.tags[6].body.empty());
}

TEST(SwfDescription, DamageStatements) {
    std::string error;
    std::optional<swf::Bytes> bytes =
        swf::CompileDescription("filelength 3\nframecount 9\ntruncate 12\n", error);
    ASSERT_TRUE(bytes) << error;
    EXPECT_EQ(bytes->size(), 12u);
    EXPECT_EQ(ToHex(swf::Bytes(bytes->begin() + 4, bytes->begin() + 8)), "03 00 00 00");
}

TEST(SwfDescription, ErrorsNameTheLineAndTheProblem) {
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"version 8\nbogus 1\n", "line 2, column 1: unknown statement 'bogus'"},
        {"version 300\n", "line 1, column 9: value must be between 1 and 255"},
        {"stage 10\n", "line 1: usage: stage <width> <height> (pixels)"},
        {"rate 400\n", "line 1: frame rate must be between 0 and 255.99"},
        {"background red\n", "line 1, column 12: a colour is written #RRGGBB or #RRGGBBAA"},
        {"background #11223\n", "a colour is written"},
        {"label \"a\nb\"\n", "line 1, column 7: string is not closed"},
        {"label \"a\\q\"\n", "unknown escape \\q"},
        {"label \"a\\x00\"\n", "zero byte"},
        {"showframe 2 3\n", "line 1, column 13: unexpected '3'"},
        {"version 8 speed=3\n", "unknown option 'speed'"},
        {"compress gzip\n", "usage: compress zlib|none"},
        {"tag 12 zz\n", "hex pairs"},
        {"tag 5000\n", "tag code must be between 0 and 1023"},
        {"end\n", "line 1: 'end' without an open block"},
        {"label \"x\",\n", "list ends with a separator"},
    };
    for (const Case& c : cases) {
        std::string error = ErrorOf(c.text);
        EXPECT_NE(error.find(c.expected), std::string::npos)
            << "input: " << c.text << "\nerror: " << error;
    }
}

TEST(SwfDescription, ExamplesCompile) {
    const char* examples[] = {"background"};
    for (const char* name : examples) {
        std::ifstream in(std::string(KESTREL_SOURCE_DIR) + "/tools/swfwriter/examples/" + name +
                         ".swfdesc");
        ASSERT_TRUE(in) << name;
        std::stringstream text;
        text << in.rdbuf();
        swftest::Movie m = Compile(text.str());
        EXPECT_TRUE(m.ok) << name;
    }
}

}  // namespace
