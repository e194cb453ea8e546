// Shapes: edges joined into closed fills whichever side the fill was recorded on.
#include <gtest/gtest.h>

#include "core/shape_geometry.h"
#include "test_movies.h"

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
        line(0, 0, 300, 0, 0, 1),     line(300, 0, 300, 300, 0, 1),   line(300, 300, 0, 300, 0, 1),
        line(0, 300, 0, 0, 0, 1),     line(100, 100, 200, 100, 1, 0), line(200, 100, 200, 200, 1, 0),
        line(200, 200, 100, 200, 1, 0), line(100, 200, 100, 100, 1, 0),
    };
    ShapeDefinition shape;
    buildShapeGeometry(edges, {Rgba{}}, {}, shape);
    EXPECT_EQ(contourCount(shape.fills[0]), 2);
    EXPECT_TRUE(shape.hitTest(50, 50));
    EXPECT_FALSE(shape.hitTest(150, 150));

    ShapeDefinition open;
    buildShapeGeometry({line(0, 0, 100, 0, 0, 1), line(100, 0, 100, 100, 0, 1)}, {Rgba{}}, {}, open);
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
