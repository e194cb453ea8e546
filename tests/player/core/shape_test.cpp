// Shapes: edges joined into closed fills whichever side the fill was recorded on.
#include <gtest/gtest.h>

#include "player/core/shape_geometry.h"
#include "tests/player/core/test_movies.h"

namespace kestrel::player {
namespace {

ShapeEdge line(int64_t x0, int64_t y0, int64_t x1, int64_t y1, int fill0, int fill1) {
    ShapeEdge e;
    e.x0 = x0;
    e.y0 = y0;
    e.cx = e.x1 = x1;
    e.cy = e.y1 = y1;
    e.fill0 = fill0;
    e.fill1 = fill1;
    return e;
}

int contourCount(const FillPath& fill) {
    int n = 0;
    for (const PathCommand& c : fill.commands) n += c.kind == PathCommand::MoveTo;
    return n;
}

bool closed(const FillPath& fill) {
    // Each contour ends where it began.
    double sx = 0, sy = 0, px = 0, py = 0;
    bool first = true;
    for (const PathCommand& c : fill.commands) {
        if (c.kind == PathCommand::MoveTo) {
            if (!first && (px != sx || py != sy)) return false;
            first = false;
            sx = c.x;
            sy = c.y;
        }
        px = c.x;
        py = c.y;
    }
    return px == sx && py == sy;
}

TEST(ShapeGeometry, SquareWithFillOnMixedSidesBecomesOneClosedContour) {
    // Clockwise top and right edges carry the fill on their right (fill1); the
    // left and bottom edges were drawn the other way, with the fill on their left.
    std::vector<ShapeEdge> edges = {
        line(0, 0, 100, 0, 0, 1),      // top, rightwards
        line(100, 0, 100, 100, 0, 1),  // right, downwards
        line(0, 100, 100, 100, 1, 0),  // bottom, rightwards: fill on its left
        line(0, 0, 0, 100, 1, 0),      // left, downwards: fill on its left
    };
    ShapeDefinition shape;
    buildShapeGeometry(edges, {Rgba{255, 0, 0, 255}}, {}, shape);
    ASSERT_EQ(shape.fills.size(), 1u);
    EXPECT_EQ(contourCount(shape.fills[0]), 1);
    EXPECT_TRUE(closed(shape.fills[0]));
    EXPECT_EQ(shape.fills[0].commands.size(), 5u);
    EXPECT_TRUE(shape.hitTest(50, 50));
    EXPECT_FALSE(shape.hitTest(150, 50));
    EXPECT_FALSE(shape.hitTest(-1, 50));
}

TEST(ShapeGeometry, SharedEdgeFeedsBothNeighbouringFills) {
    // Two squares side by side; the middle edge has fill 1 on one side, fill 2 on the other.
    std::vector<ShapeEdge> edges = {
        line(0, 0, 100, 0, 0, 1),       line(100, 0, 100, 100, 2, 1), line(100, 100, 0, 100, 0, 1),
        line(0, 100, 0, 0, 0, 1),       line(100, 0, 200, 0, 0, 2),   line(200, 0, 200, 100, 0, 2),
        line(200, 100, 100, 100, 0, 2),
    };
    ShapeDefinition shape;
    buildShapeGeometry(edges, {Rgba{255, 0, 0, 255}, Rgba{0, 0, 255, 255}}, {}, shape);
    ASSERT_EQ(shape.fills.size(), 2u);
    EXPECT_TRUE(closed(shape.fills[0]));
    EXPECT_TRUE(closed(shape.fills[1]));
    EXPECT_EQ(contourCount(shape.fills[1]), 1);
}

TEST(ShapeGeometry, HoleIsNotFilledAndOpenChainsAreClosed) {
    std::vector<ShapeEdge> edges = {
        line(0, 0, 300, 0, 0, 1),       line(300, 0, 300, 300, 0, 1),
        line(300, 300, 0, 300, 0, 1),   line(0, 300, 0, 0, 0, 1),
        line(100, 100, 200, 100, 1, 0), line(200, 100, 200, 200, 1, 0),
        line(200, 200, 100, 200, 1, 0), line(100, 200, 100, 100, 1, 0),
    };
    ShapeDefinition shape;
    buildShapeGeometry(edges, {Rgba{}}, {}, shape);
    EXPECT_EQ(contourCount(shape.fills[0]), 2);
    EXPECT_TRUE(shape.hitTest(50, 50));
    EXPECT_FALSE(shape.hitTest(150, 150));

    ShapeDefinition open;
    buildShapeGeometry({line(0, 0, 100, 0, 0, 1), line(100, 0, 100, 100, 0, 1)}, {Rgba{}}, {},
                       open);
    EXPECT_TRUE(closed(open.fills[0]));
}

TEST(ShapeParser, WriterShapesKeepStylesCurvesAndStrokes) {
    auto movie = test::loadDescription(R"(
shape 1
  fill #FF000080
  line 3 #00FF00
  style fill0=0 fill1=1 line=1
  moveto 0 0
  lineto 50 0
  curveto 60 25 50 50
  lineto 0 50
  lineto 0 0
end
shape 2 version=1
  fill #0000FF
  circle 20 20 20 fill=1
end
showframe
)");
    ASSERT_TRUE(movie);
    const ShapeDefinition* shape = movie->shape(1);
    ASSERT_NE(shape, nullptr);
    ASSERT_EQ(shape->fills.size(), 1u);
    EXPECT_EQ(shape->fills[0].color, (Rgba{255, 0, 0, 0x80}));
    ASSERT_EQ(shape->strokes.size(), 1u);
    EXPECT_EQ(shape->strokes[0].color, (Rgba{0, 255, 0, 255}));
    EXPECT_DOUBLE_EQ(shape->strokes[0].width, 60);
    int quads = 0;
    for (const PathCommand& c : shape->fills[0].commands) quads += c.kind == PathCommand::QuadTo;
    EXPECT_EQ(quads, 1);
    EXPECT_TRUE(shape->hitTest(25 * 20, 25 * 20));
    EXPECT_TRUE(shape->hitTest(54 * 20, 25 * 20)) << "inside the curve's bulge";
    EXPECT_FALSE(shape->hitTest(70 * 20, 25 * 20));

    const ShapeDefinition* circle = movie->shape(2);
    ASSERT_NE(circle, nullptr);
    ASSERT_EQ(circle->fills.size(), 1u);
    EXPECT_EQ(circle->fills[0].color, (Rgba{0, 0, 255, 255}));
    EXPECT_TRUE(circle->hitTest(20 * 20, 20 * 20));
    EXPECT_FALSE(circle->hitTest(2 * 20, 2 * 20));
}

}  // namespace
}  // namespace kestrel::player

namespace kestrel::player {
namespace {

// Packs bit fields most significant bit first, as SWF stores them.
class BitPacker {
  public:
    void put(int64_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            if (used_ == 8) {
                bytes.push_back(0);
                used_ = 0;
            }
            if ((value >> i) & 1) bytes.back() |= static_cast<uint8_t>(0x80 >> used_);
            ++used_;
        }
    }
    void byte(uint8_t b) {
        used_ = 8;
        bytes.push_back(b);
    }
    void u16(uint16_t v) {
        byte(uint8_t(v));
        byte(uint8_t(v >> 8));
    }
    std::vector<uint8_t> bytes;

  private:
    int used_ = 8;
};

// A glyph that is a square of one em, standing on the baseline.
std::vector<uint8_t> squareGlyph() {
    BitPacker g;
    g.put(1, 4);         // fill bits
    g.put(0, 4);         // line bits
    g.put(0b000101, 6);  // style change: fill1, move to
    g.put(12, 5);
    g.put(0, 12);
    g.put(-1024, 12);
    g.put(1, 1);  // fill1 = 1
    auto line = [&](bool vertical, int delta) {
        g.put(0b11, 2);
        g.put(10, 4);  // 12 bits
        g.put(0, 1);   // not general
        g.put(vertical ? 1 : 0, 1);
        g.put(delta, 12);
    };
    line(false, 1024);
    line(true, 1024);
    line(false, -1024);
    line(true, -1024);
    g.put(0, 6);  // end
    return g.bytes;
}

TEST(ShapeParser, LineStyle2CapsJoinsAndScalingAreRead) {
    auto movie = test::loadDescription(R"(
shape 1 version=4
  line 1 #000000
  line 2 #000000 cap=none join=bevel scale=none noclose
  line 3 #000000 cap=square join=miter miter=2.5 scale=horizontal
  line 4 #000000 join=miter miter=0.25 scale=vertical
  rect 0 0 10 10 line=1
end
shape 2 version=3
  line 1 #000000
  rect 0 0 10 10 line=1
end
showframe
)");
    ASSERT_TRUE(movie);
    using L = LineStyleInfo;
    struct Expected {
        L::Cap cap;
        L::Join join;
        double miter;
        L::Scaling scaling;
        bool noClose;
    } expected[] = {
        {L::RoundCap, L::RoundJoin, 3, L::ScaleNormal, false},
        {L::NoCap, L::BevelJoin, 3, L::ScaleNone, true},
        {L::SquareCap, L::MiterJoin, 2.5, L::ScaleHorizontal, false},
        {L::RoundCap, L::MiterJoin, 1, L::ScaleVertical, false},  // below 1 is taken as 1
    };
    const ShapeDefinition* shape = movie->shape(1);
    ASSERT_NE(shape, nullptr);
    ASSERT_EQ(shape->lineStyles.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        const L& line = shape->lineStyles[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(line.width, 20 * (i + 1));
        EXPECT_EQ(line.startCap, expected[i].cap);
        EXPECT_EQ(line.endCap, expected[i].cap);
        EXPECT_EQ(line.join, expected[i].join);
        EXPECT_DOUBLE_EQ(line.miterLimit, expected[i].miter);
        EXPECT_EQ(line.scaling, expected[i].scaling);
        EXPECT_EQ(line.noClose, expected[i].noClose);
    }
    const ShapeDefinition* older = movie->shape(2);
    ASSERT_NE(older, nullptr);
    ASSERT_EQ(older->lineStyles.size(), 1u);
    EXPECT_EQ(older->lineStyles[0].join, L::RoundJoin);
    EXPECT_EQ(older->lineStyles[0].scaling, L::ScaleNormal);
}

TEST(ShapeParser, GradientStylesAndEdgesAreKeptAsDeclared) {
    auto movie = test::loadDescription(R"(
shape 1 version=4
  fill linear stops=0:#FF0000,255:#0000FF80 box=0,0,100,50 spread=reflect interpolation=linear
  fill focal stops=0:#FFFFFF,128:#808080,255:#000000 box=0,0,80,80 focal=-0.5 spread=repeat
  fill #00FF00
  line 2 #000000
  rect 0 0 100 50 fill=1 line=1
  style fill0=2 fill1=3
  moveto 0 0
  curveto 10 10 20 0
end
showframe
)");
    ASSERT_TRUE(movie);
    const ShapeDefinition* shape = movie->shape(1);
    ASSERT_NE(shape, nullptr);
    ASSERT_EQ(shape->fillStyles.size(), 3u);
    const FillStyle& linear = shape->fillStyles[0];
    EXPECT_EQ(linear.kind, FillStyle::LinearGradient);
    EXPECT_EQ(linear.spread, FillStyle::Reflect);
    EXPECT_TRUE(linear.linearRgb);
    ASSERT_EQ(linear.stops.size(), 2u);
    EXPECT_EQ(linear.stops[1].ratio, 255);
    EXPECT_EQ(linear.stops[1].color, (Rgba{0, 0, 255, 0x80}));
    // The box maps the gradient square (32768 twips wide) onto 100 x 50 pixels.
    Point centre = linear.matrix.apply(0, 0);
    EXPECT_NEAR(centre.x, 50 * 20, 1);
    EXPECT_NEAR(centre.y, 25 * 20, 1);
    EXPECT_NEAR(linear.matrix.apply(16384, 0).x, 100 * 20, 2);

    const FillStyle& focal = shape->fillStyles[1];
    EXPECT_EQ(focal.kind, FillStyle::FocalGradient);
    EXPECT_EQ(focal.spread, FillStyle::Repeat);
    EXPECT_DOUBLE_EQ(focal.focalPoint, -0.5);
    EXPECT_EQ(focal.stops.size(), 3u);
    EXPECT_EQ(shape->fillStyles[2].kind, FillStyle::Solid);
    EXPECT_EQ(shape->fillStyles[2].color, (Rgba{0, 255, 0, 255}));

    ASSERT_EQ(shape->lineStyles.size(), 1u);
    EXPECT_EQ(shape->lineStyles[0].width, 40);
    ASSERT_EQ(shape->edges.size(), 5u);  // four sides and the curve
    const ShapeEdge& curve = shape->edges.back();
    EXPECT_TRUE(curve.curve);
    EXPECT_EQ(curve.fill0, 2);
    EXPECT_EQ(curve.fill1, 3);
    EXPECT_EQ(curve.line, 0);
    EXPECT_EQ(curve.x1, 400);
}

TEST(StaticText, GlyphsOfEmbeddedFontsBecomeFilledOutlines) {
    BitPacker font;
    font.u16(7);  // font id
    font.u16(2);  // offset of glyph 0 (one glyph)
    for (uint8_t b : squareGlyph()) font.byte(b);

    BitPacker text;
    text.u16(8);      // text id
    text.byte(0);     // RECT with 0-bit fields
    text.byte(0);     // identity MATRIX
    text.byte(1);     // glyph bits
    text.byte(12);    // advance bits
    text.byte(0x8F);  // font, colour, x, y
    text.u16(7);
    for (uint8_t b : {0xFF, 0x00, 0x00}) text.byte(b);
    text.u16(200);  // x
    text.u16(400);  // y (baseline)
    text.u16(200);  // height
    text.byte(2);
    text.put(0, 1);
    text.put(300, 12);
    text.put(0, 1);
    text.put(300, 12);
    text.byte(0);  // end of records

    auto movie = test::loadDescription("tag 10 long " + test::hex(font.bytes) + "\ntag 11 long " +
                                       test::hex(text.bytes) + "\nplace 8 depth=1\nshowframe\n");
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie->kindOf(7), CharacterKind::Font);
    const ShapeDefinition* shape = movie->shape(8);
    ASSERT_NE(shape, nullptr);
    ASSERT_EQ(shape->fills.size(), 1u);
    EXPECT_EQ(shape->fills[0].color, (Rgba{255, 0, 0, 255}));
    EXPECT_TRUE(shape->hitTest(300, 300));
    EXPECT_FALSE(shape->hitTest(450, 300)) << "between the glyphs";
    EXPECT_TRUE(shape->hitTest(600, 300)) << "second glyph after the advance";
    EXPECT_DOUBLE_EQ(shape->bounds.xMin, 200);
    EXPECT_DOUBLE_EQ(shape->bounds.xMax, 700);
    EXPECT_DOUBLE_EQ(shape->bounds.yMin, 200);
}

}  // namespace
}  // namespace kestrel::player
