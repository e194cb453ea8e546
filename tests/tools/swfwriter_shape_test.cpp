#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>

#include "common/swf_format.h"
#include "tests/tools/swf_test_reader.h"
#include "tools/swfwriter/description.h"
#include "tools/swfwriter/place_object.h"
#include "tools/swfwriter/shape.h"

namespace {

using swftest::Hex;
using swftest::ToHex;

TEST(SwfShape, SmallRectangleIsByteExact) {
    swf::Shape shape(1);
    shape.AddFill({0xFF, 0, 0});
    shape.SetStyle(0, 1, 0);
    shape.Rectangle(0, 0, 1, 1);
    EXPECT_EQ(shape.TagCode(), swf::kTagDefineShape);
    std::optional<swf::Bytes> body = shape.Encode(1);
    ASSERT_TRUE(body);
    EXPECT_EQ(ToHex(*body), ToHex(Hex("0100"             // id
                                      "300a00a0"         // bounds 0..20 twips
                                      "01 00 ff0000 00"  // one solid red fill, no lines
                                      "10"               // 1 fill bit, 0 line bits
                                      "3c0e829a2a6859a36000")));
}

TEST(SwfShape, EdgesDecodeToTheDrawnPath) {
    swf::Shape shape(3);
    uint16_t fill = shape.AddFill({0, 0x80, 0, 0x40});
    uint16_t line = shape.AddLine(2, {0, 0, 0xFF});
    shape.SetStyle(fill, 0, line);
    shape.MoveTo(10, 10);
    shape.LineTo(110, 10);
    shape.LineTo(110, 60.5);
    shape.CurveTo(60, 90, 10, 60.5);
    shape.LineTo(10, 10);
    std::optional<swf::Bytes> body = shape.Encode(7);
    ASSERT_TRUE(body);
    swftest::DecodedShape d = swftest::DecodeShape(*body, 3);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.id, 7);
    ASSERT_EQ(d.fills.size(), 1u);
    EXPECT_EQ(d.fills[0], 0x00800040u);
    ASSERT_EQ(d.lines.size(), 1u);
    EXPECT_EQ(d.lines[0].first, 40);
    EXPECT_EQ(d.lines[0].second, 0x0000FFFFu);
    ASSERT_EQ(d.edges.size(), 4u);
    EXPECT_EQ(d.edges[0].fromX, 200);
    EXPECT_EQ(d.edges[0].fromY, 200);
    EXPECT_EQ(d.edges[1].toY, 1210);
    EXPECT_TRUE(d.edges[2].curve);
    EXPECT_EQ(d.edges[2].controlX, 1200);
    EXPECT_EQ(d.edges[2].controlY, 1800);
    EXPECT_EQ(d.edges[2].toX, 200);
    EXPECT_EQ(d.edges[3].toX, 200);
    EXPECT_EQ(d.edges[3].toY, 200);
    for (const swftest::ShapeEdge& e : d.edges) {
        EXPECT_EQ(e.fill0, 1u);
        EXPECT_EQ(e.line, 1u);
    }
    // Points span 200..2200 x 200..1800; half the 40-twip line widens each side.
    EXPECT_EQ(d.bounds.xMin, 180);
    EXPECT_EQ(d.bounds.xMax, 2220);
    EXPECT_EQ(d.bounds.yMin, 180);
    EXPECT_EQ(d.bounds.yMax, 1820);
}

TEST(SwfShape, EllipseClosesExactlyAndStaysNearTheCurve) {
    swf::Shape shape(2);
    shape.SetStyle(0, shape.AddFill({1, 2, 3}), 0);
    shape.Ellipse(50, 40, 30, 20);
    swftest::DecodedShape d = swftest::DecodeShape(*shape.Encode(2), 2);
    ASSERT_TRUE(d.ok);
    ASSERT_EQ(d.edges.size(), 8u);
    EXPECT_EQ(d.edges.front().fromX, d.edges.back().toX);
    EXPECT_EQ(d.edges.front().fromY, d.edges.back().toY);
    for (const swftest::ShapeEdge& e : d.edges) {
        EXPECT_TRUE(e.curve);
        double nx = (e.toX / 20.0 - 50) / 30, ny = (e.toY / 20.0 - 40) / 20;
        EXPECT_NEAR(nx * nx + ny * ny, 1.0, 0.01);
    }
    EXPECT_EQ(d.bounds.xMin, 400);
    EXPECT_EQ(d.bounds.xMax, 1600);
}

TEST(SwfShape, LongLinesSplitIntoExactPieces) {
    swf::Shape shape(3);
    shape.SetStyle(0, 0, shape.AddLine(1, {0, 0, 0}));
    shape.MoveTo(0, 0);
    shape.LineTo(8000, -3);  // 160000 twips: beyond one edge's 17-bit reach
    swftest::DecodedShape d = swftest::DecodeShape(*shape.Encode(1), 3);
    ASSERT_TRUE(d.ok);
    EXPECT_GT(d.edges.size(), 1u);
    EXPECT_EQ(d.edges.back().toX, 160000);
    EXPECT_EQ(d.edges.back().toY, -60);
}

TEST(SwfShape, RefusesWhatTheVersionCannotHold) {
    struct Case {
        int version;
        swf::Rgba fill;
        uint16_t useFill;
        const char* error;
    } cases[] = {
        {1, {0, 0, 0, 128}, 1, "fill alpha needs shape version 3"},
        {3, {0, 0, 0, 255}, 2, "fill style 2 is not defined"},
        {5, {0, 0, 0, 255}, 1, "shape version must be 1 to 4"},
    };
    for (const Case& c : cases) {
        swf::Shape shape(c.version);
        shape.AddFill(c.fill);
        shape.SetStyle(c.useFill, 0, 0);
        shape.Rectangle(0, 0, 5, 5);
        std::string error;
        EXPECT_FALSE(shape.Encode(1, &error));
        EXPECT_EQ(error, c.error);
    }
}

TEST(SwfShape, ManyStylesUseTheExtendedCount) {
    swf::Shape shape(2);
    for (int i = 0; i < 300; ++i) shape.AddFill({0, 0, static_cast<uint8_t>(i)});
    shape.SetStyle(300, 0, 0);
    shape.Rectangle(0, 0, 1, 1);
    std::optional<swf::Bytes> body = shape.Encode(1);
    ASSERT_TRUE(body);
    swftest::DecodedShape d = swftest::DecodeShape(*body, 2);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.fills.size(), 300u);
    EXPECT_EQ(d.edges[0].fill0, 300u);

    swf::Shape v1(1);
    for (int i = 0; i < 300; ++i) v1.AddFill({0, 0, 0});
    EXPECT_FALSE(v1.Encode(1));
}

TEST(SwfShape, GradientAndBitmapFills) {
    struct Case {
        int version;
        const char* fill;   // description line
        const char* bytes;  // the fill style as written
    } cases[] = {
        {3, "fill linear stops=0:#FF0000,255:#0000FF", "10 00 02 00ff0000ff ff0000ffff"},
        {2, "fill radial stops=128:#00FF00", "12 00 01 8000ff00"},
        {4, "fill linear stops=0:#000000,255:#FFFFFF spread=reflect interpolation=linear",
         "10 00 52 00000000ff ffffffffff"},
        {4, "fill focal stops=0:#000000 focal=0.5", "13 00 01 00000000ff 8000"},
        {3, "fill bitmap 7 clipped", "41 0700 d94000050000 00"},
        {3, "fill bitmap 65535 hard matrix=1,0,0,1,0,0", "42 ffff 00"},
    };
    for (const Case& c : cases) {
        std::string text =
            "shape 1 version=" + std::to_string(c.version) + "\n  " + c.fill + "\nend\n";
        std::string error;
        std::optional<swf::Bytes> file = swf::CompileDescription(text, error);
        ASSERT_TRUE(file) << c.fill << ": " << error;
        swftest::Movie m = swftest::ReadMovie(*file);
        ASSERT_TRUE(m.ok);
        // id, empty bounds (one byte), count, the style, no lines, style bits, end record
        swftest::Bytes style = Hex(c.bytes);
        std::string expected = std::string(c.version == 4 ? "01 00 00 00 00 01 " : "01 00 00 01 ") +
                               ToHex(style) + " 00 10 00";  // v4 adds edge bounds and flags
        EXPECT_EQ(ToHex(m.tags[0].body), expected) << c.fill;
    }
}

TEST(SwfShape, GradientBoxMapsTheGradientSquareOntoTheBox) {
    swf::Matrix m = swf::FillStyle::GradientBox(0, 0, 100, 50);
    EXPECT_DOUBLE_EQ(m.scaleX, 2000 / 32768.0);
    EXPECT_DOUBLE_EQ(m.scaleY, 1000 / 32768.0);
    EXPECT_EQ(m.translateX, 1000);
    EXPECT_EQ(m.translateY, 500);
}

TEST(SwfShape, GradientLimitsFollowTheVersion) {
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"shape 1 version=3\n fill focal stops=0:#000000\nend\n",
         "focal gradients need shape version 4"},
        {"shape 1 version=3\n fill linear stops=0:#000000 spread=repeat\nend\n",
         "need shape version 4"},
        {"shape 1 version=2\n fill linear stops=0:#00000080\nend\n",
         "gradient alpha needs shape version 3"},
        {"shape 1\n fill linear stops=0:#0,1:#0,2:#0,3:#0,4:#0,5:#0,6:#0,7:#0,8:#0\nend\n",
         "a stop is written"},
        {"shape 1\n fill linear "
         "stops=0:#000000,1:#000000,2:#000000,3:#000000,4:#000000,5:#000000,6:#000000,7:#000000,8:#"
         "000000\nend\n",
         "a gradient has 1 to 8 stops"},
        {"shape 1\n fill linear\nend\n", "a gradient needs stops="},
        {"shape 1 version=4\n fill focal stops=0:#000000 focal=2\nend\n",
         "the focal point lies within -1..1"},
        {"shape 1 winding=nonzero\nend\n", "winding=nonzero needs version=4"},
        {"shape 1\n fill bitmap\nend\n", "usage: fill bitmap <id>"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(swf::CompileDescription(c.text, error)) << c.text;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.text << "\nerror: " << error;
    }
}

TEST(SwfShape, Shape4AddsEdgeBoundsAndStrokeFlags) {
    std::string error;
    std::optional<swf::Bytes> file = swf::CompileDescription(
        "shape 1 version=4 winding=nonzero\n"
        "  fill #FF0000\n"
        "  line 1 #000000\n"
        "  rect 0 0 1 1 fill=1 line=1\n"
        "end\n",
        error);
    ASSERT_TRUE(file) << error;
    swftest::Movie m = swftest::ReadMovie(*file);
    ASSERT_TRUE(m.ok);
    EXPECT_EQ(m.tags[0].code, swf::kTagDefineShape4);
    EXPECT_EQ(ToHex(m.tags[0].body), ToHex(Hex("0100"
                                               "36cf6cf0"  // bounds widened by the line
                                               "300a00a0"  // edge bounds
                                               "05"        // non-zero winding, scaling strokes
                                               "01 00 ff0000ff"         // fill
                                               "01 1400 0000 000000ff"  // LINESTYLE2
                                               "11"
                                               "3c0f414d15342cd1b000")));
}

TEST(SwfPlaceObject, FieldsAppearInFlagOrder) {
    swf::PlaceObject p;
    p.depth = 3;
    p.characterId = 9;
    p.matrix = swf::Matrix::Make(5, -5, 2, 2, 0);
    swf::ColorTransform cx;
    cx.mulA = 128;
    p.colorTransform = cx;
    p.ratio = 17;
    p.name = "clip";
    p.clipDepth = 8;
    std::optional<swf::Bytes> body = swf::EncodePlaceObject2(p, 8);
    ASSERT_TRUE(body);
    swftest::DecodedPlace d = swftest::DecodePlace2(*body);
    EXPECT_EQ(d.flags, 0x7E);
    EXPECT_EQ(d.depth, 3);
    EXPECT_EQ(d.character, 9);
    EXPECT_DOUBLE_EQ(d.a, 2);
    EXPECT_EQ(d.tx, 100);
    EXPECT_EQ(d.ty, -100);
    EXPECT_EQ(d.mul[3], 128);
    EXPECT_EQ(d.ratio, 17);
    EXPECT_EQ(d.name, "clip");
    EXPECT_EQ(d.clipDepth, 8);
    EXPECT_EQ(d.clipActionsAt, body->size());

    swf::PlaceObject move;
    move.depth = 3;
    move.move = true;
    EXPECT_EQ(ToHex(*swf::EncodePlaceObject2(move, 8)), "01 03 00");
}

TEST(SwfPlaceObject, ClipActionFlagsWidenFromVersion6) {
    swf::PlaceObject p;
    p.characterId = 1;
    p.clipActions.push_back({swf::kClipEnterFrame, 0, {0x07, 0x00}});
    p.clipActions.push_back({swf::kClipKeyPress, 13, {0x00}});
    std::optional<swf::Bytes> v6 = swf::EncodePlaceObject2(p, 6);
    ASSERT_TRUE(v6);
    EXPECT_EQ(ToHex(*v6), ToHex(Hex("82 0100 0100"
                                    "0000 02000200"            // reserved, all events
                                    "02000000 02000000 0700"   // enterFrame: stop, end
                                    "00000200 02000000 0d 00"  // keyPress 13: end
                                    "00000000")));
    std::string error;
    EXPECT_FALSE(swf::EncodePlaceObject2(p, 5, &error));
    p.clipActions.pop_back();
    std::optional<swf::Bytes> v5 = swf::EncodePlaceObject2(p, 5);
    ASSERT_TRUE(v5);
    EXPECT_EQ(ToHex(*v5), ToHex(Hex("82 0100 0100 0000 0200 0200 02000000 0700 0000")));
}

}  // namespace

namespace {

TEST(SwfPlaceObject, OtherFormsFromDescriptions) {
    struct Case {
        const char* line;
        uint16_t code;
        const char* body;
    } cases[] = {
        {"place 1 depth=2 version=1 x=1", swf::kTagPlaceObject, "0100 0200 0ca000"},
        {"place 1 depth=2 version=1 mul=1,0.5,1,1", swf::kTagPlaceObject,
         "0100 0200 00 6900201000"},
        {"remove 3 character=1", swf::kTagRemoveObject, "0100 0300"},
        {"remove 3", swf::kTagRemoveObject2, "0300"},
        {"place 1 depth=1 version=3 blend=multiply cacheasbitmap class=\"Foo\" name=\"n\"",
         swf::kTagPlaceObject3, "22 0e 0100 466f6f00 0100 6e00 03 01"},
        {"move depth=4 version=3 blend=7", swf::kTagPlaceObject3, "01 02 0400 07"},
    };
    for (const Case& c : cases) {
        std::string error;
        std::optional<swf::Bytes> file = swf::CompileDescription(std::string(c.line) + "\n", error);
        ASSERT_TRUE(file) << c.line << ": " << error;
        swftest::Movie m = swftest::ReadMovie(*file);
        ASSERT_TRUE(m.ok);
        EXPECT_EQ(m.tags[0].code, c.code) << c.line;
        EXPECT_EQ(ToHex(m.tags[0].body), ToHex(Hex(c.body))) << c.line;
    }

    const char* refused[][2] = {
        {"place 1 depth=2 version=1 alpha=0.5", "no alpha terms"},
        {"move depth=2 version=1", "version=1 places a new character"},
        {"place 1 depth=2 version=3 blend=glow", "unknown blend mode"},
        {"place 1 depth=2 blend=add", "unknown option 'blend'"},
    };
    for (const auto& r : refused) {
        std::string error;
        EXPECT_FALSE(swf::CompileDescription(std::string(r[0]) + "\n", error)) << r[0];
        EXPECT_NE(error.find(r[1]), std::string::npos) << r[0] << "\nerror: " << error;
    }
}

}  // namespace

namespace {

swftest::Bytes InflateBitmap(const swftest::Bytes& body, size_t pixels) {
    swftest::Bytes out(pixels * 4);
    uLongf size = static_cast<uLongf>(out.size());
    EXPECT_EQ(uncompress(out.data(), &size, body.data() + 7, static_cast<uLong>(body.size() - 7)),
              Z_OK);
    EXPECT_EQ(size, out.size());
    return out;
}

TEST(SwfBitmap, CheckerboardAndPremultipliedAlpha) {
    std::string error;
    std::optional<swf::Bytes> file = swf::CompileDescription(
        "bitmap 3 4 2 #FF0000 #0000FF checker=2\n"
        "bitmap 4 1 1 #FF000080\n",
        error);
    ASSERT_TRUE(file) << error;
    swftest::Movie m = swftest::ReadMovie(*file);
    ASSERT_TRUE(m.ok);
    EXPECT_EQ(m.tags[0].code, swf::kTagDefineBitsLossless);
    EXPECT_EQ(ToHex(swftest::Bytes(m.tags[0].body.begin(), m.tags[0].body.begin() + 7)),
              "03 00 05 04 00 02 00");
    EXPECT_EQ(ToHex(InflateBitmap(m.tags[0].body, 8)),
              ToHex(Hex("00ff0000 00ff0000 000000ff 000000ff"
                        "00ff0000 00ff0000 000000ff 000000ff")));
    EXPECT_EQ(m.tags[1].code, swf::kTagDefineBitsLossless2);
    EXPECT_EQ(ToHex(InflateBitmap(m.tags[1].body, 1)), "80 80 00 00");

    const char* refused[][2] = {
        {"bitmap 1 0 5 #000000\n", "value must be between 1 and 2048"},
        {"bitmap 1 5 5 #000000 #FFFFFF\n", "a checkerboard needs a second colour and checker="},
        {"bitmap 1 5 5 #000000 checker=2\n", "a checkerboard needs a second colour"},
        {"bitmap 1 2048 2048 #000000\nbitmap 2 1 1 #000000\n",
         "line 2: the bitmaps of one movie hold at most 2048 x 2048 pixels together"},
    };
    for (const auto& r : refused) {
        EXPECT_FALSE(swf::CompileDescription(r[0], error)) << r[0];
        EXPECT_NE(error.find(r[1]), std::string::npos) << r[0] << "\nerror: " << error;
    }
}

}  // namespace
