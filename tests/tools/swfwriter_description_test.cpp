#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/swf_format.h"
#include "tests/tools/swf_test_reader.h"
#include "tools/swfwriter/description.h"

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

TEST(SwfDescription, ByteOrderMarkCrLfAndFileAttributes) {
    swftest::Movie m = Compile("\xEF\xBB\xBFversion 8\r\nfileattributes network metadata\r\n");
    EXPECT_EQ(m.version, 8);
    ASSERT_EQ(m.tags.size(), 3u);
    EXPECT_EQ(m.tags[0].code, swf::kTagFileAttributes);
    EXPECT_EQ(ToHex(m.tags[0].body), "11 00 00 00");
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

TEST(SwfDescription, MorphShapes) {
    swftest::Movie m = Compile(
        "morphshape 4 version=2\n"
        "  start\n"
        "    fill #FF0000\n"
        "    line 1 #000000\n"
        "    rect 0 0 10 10 fill=1 line=1\n"
        "  end\n"
        "  finish\n"
        "    fill #0000FF80\n"
        "    line 3 #000000\n"
        "    rect 5 5 20 20\n"
        "  end\n"
        "end\n"
        "place 4 depth=1 ratio=100\n");
    ASSERT_GE(m.tags.size(), 2u);
    EXPECT_EQ(m.tags[0].code, swf::kTagDefineMorphShape2);
    // The id, then the start bounds: 0..10 pixels widened by half the line.
    EXPECT_EQ(ToHex(swf::Bytes(m.tags[0].body.begin(), m.tags[0].body.begin() + 2)), "04 00");

    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"morphshape 4\n  start\n  end\nend\n", "needs 'start' and 'finish'"},
        {"morphshape 4\n  middle\nend\n", "line 2, column 3: a morph shape holds a 'start'"},
        {"morphshape 4\n  start\n  end\n  start\n  end\nend\n", "'start' is given twice"},
        {"morphshape 4 version=3\nend\n", "version must be between 1 and 2"},
        {"morphshape 4\n  start\n    fill #FF0000\n  end\n  finish\n  end\nend\n",
         "as many fills and lines"},
    };
    for (const Case& c : cases) {
        std::string error = ErrorOf(c.text);
        EXPECT_NE(error.find(c.expected), std::string::npos)
            << "input: " << c.text << "\nerror: " << error;
    }
}

TEST(SwfDescription, ShapesPlacementAndSprites) {
    swftest::Movie m = Compile(
        "shape 1 version=2\n"
        "  fill #00FF00\n"
        "  line 1 #000000\n"
        "  style fill0=1 line=1\n"
        "  moveto 0 0\n"
        "  lineto 10 0\n"
        "  curveto 10 10 0 10\n"
        "  lineto 0 0\n"
        "end\n"
        "sprite 2\n"
        "  place 1 depth=1 rotate=90\n"
        "  showframe\n"
        "  remove 1\n"
        "end\n"
        "export 2 \"spinner\" 1 \"tri\"\n"
        "place 2 depth=5 x=1 y=2 scale=0.5 alpha=0.5 name=\"s\" ratio=3\n"
        "move depth=5 matrix=1,0,0,1,3,4 mul=1,0.5,1,1 add=-10,0,0,0\n"
        "replace 1 depth=5 clipdepth=9\n");
    ASSERT_EQ(m.tags.size(), 8u);
    EXPECT_EQ(m.tags[0].code, swf::kTagDefineShape2);
    swftest::DecodedShape shape = swftest::DecodeShape(m.tags[0].body, 2);
    ASSERT_TRUE(shape.ok);
    ASSERT_EQ(shape.edges.size(), 3u);
    EXPECT_TRUE(shape.edges[1].curve);

    ASSERT_EQ(m.tags[1].code, swf::kTagDefineSprite);
    const swftest::Bytes& sprite = m.tags[1].body;
    EXPECT_EQ(swftest::U16(sprite, 0), 2);
    EXPECT_EQ(swftest::U16(sprite, 2), 2);  // the remove after showframe closes frame 2
    bool ok = false;
    std::vector<swftest::Tag> inner = swftest::ReadTags(sprite.data() + 4, sprite.size() - 4, ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(inner.size(), 5u);
    EXPECT_EQ(inner[0].code, swf::kTagPlaceObject2);
    swftest::DecodedPlace turned = swftest::DecodePlace2(inner[0].body);
    EXPECT_DOUBLE_EQ(turned.b, 1);
    EXPECT_EQ(inner[2].code, swf::kTagRemoveObject2);
    EXPECT_EQ(ToHex(inner[2].body), "01 00");

    EXPECT_EQ(m.tags[2].code, swf::kTagExportAssets);
    EXPECT_EQ(ToHex(m.tags[2].body), "02 00 02 00 73 70 69 6e 6e 65 72 00 01 00 74 72 69 00");

    swftest::DecodedPlace placed = swftest::DecodePlace2(m.tags[3].body);
    EXPECT_EQ(placed.flags, 0x3E);
    EXPECT_EQ(placed.depth, 5);
    EXPECT_EQ(placed.character, 2);
    EXPECT_DOUBLE_EQ(placed.a, 0.5);
    EXPECT_EQ(placed.tx, 20);
    EXPECT_EQ(placed.ty, 40);
    EXPECT_EQ(placed.mul[3], 128);
    EXPECT_EQ(placed.ratio, 3);
    EXPECT_EQ(placed.name, "s");

    swftest::DecodedPlace moved = swftest::DecodePlace2(m.tags[4].body);
    EXPECT_EQ(moved.flags, 0x0D);
    EXPECT_EQ(moved.tx, 60);
    EXPECT_EQ(moved.ty, 80);
    EXPECT_EQ(moved.mul[1], 128);
    EXPECT_EQ(moved.add[0], -10);

    swftest::DecodedPlace replaced = swftest::DecodePlace2(m.tags[5].body);
    EXPECT_EQ(replaced.flags, 0x43);
    EXPECT_EQ(replaced.clipDepth, 9);
    EXPECT_EQ(m.frameCount, 1);
}

TEST(SwfDescription, DisplayErrors) {
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"shape 1\n  fill #000000\n", "line 1: 'shape' has no matching 'end'"},
        {"shape 0\nend\n", "value must be between 1 and 65535"},
        {"shape 1\n  wiggle 1 2\nend\n", "line 2, column 3: unknown shape statement 'wiggle'"},
        {"shape 1\n  lineto 1\nend\n", "line 2: usage: moveto|lineto <x> <y>"},
        {"shape 1\n  style fill0=3\n  lineto 1 1\nend\n",
         "line 1: shape 1: fill style 3 is not defined"},
        {"shape 1 version=1\n  fill #00000080\nend\n", "fill alpha needs shape version 3"},
        {"place 1\n", "'place' needs depth=<n>"},
        {"place 1 depth=1 matrix=1,0,0\n", "matrix needs 6 numbers"},
        {"place 1 depth=1 x=1 matrix=1,0,0,1,0,0\n", "either matrix= or x/y/scale/rotate"},
        {"place 1 depth=1 colour=1\n", "unknown option 'colour'"},
        {"sprite 3\n  version 6\nend\n", "line 2: 'version' belongs to the movie"},
        {"sprite 3\n  showframe\n", "line 1: 'sprite' has no matching 'end'"},
        {"export 1\n", "usage: export"},
        {"shape 1\nend extra\n", "line 2, column 5: unexpected 'extra'"},
    };
    for (const Case& c : cases) {
        std::string error = ErrorOf(c.text);
        EXPECT_NE(error.find(c.expected), std::string::npos)
            << "input: " << c.text << "\nerror: " << error;
    }
}

TEST(SwfDescription, ExamplesCompile) {
    const char* examples[] = {"background", "animated_shape",     "text_and_button",
                              "showcase",   "external_interface", "attach_movie"};
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
