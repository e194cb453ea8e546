// Morph shapes parsed and interpolated: gradients, bitmap matrices and focal
// points between their ends, straight edges paired with curves, and damaged tags.
#include "player/core/morph_shape.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/swf_format.h"
#include "player/core/movie_definition.h"
#include "tests/player/core/test_movies.h"
#include "tools/swfwriter/morph_shape.h"

namespace kestrel::player {
namespace {

swf::FillStyle Gradient(swf::Rgba from, swf::Rgba to, uint8_t lastRatio, double x) {
    swf::FillStyle fill;
    fill.type = swf::kFillFocalGradient;
    fill.stops = {{0, from}, {lastRatio, to}};
    fill.matrix = swf::FillStyle::GradientBox(x, 0, 20, 20);
    fill.focalPoint = x > 0 ? 0.5 : -0.5;
    return fill;
}

// Start: a gradient-filled square and a straight edge; end: the gradient moved
// and recoloured, the straight edge become a curve.
std::shared_ptr<const MovieDefinition> GradientMorph() {
    swf::Shape start(4), end(4);
    start.SetStyle(0, start.AddFill(Gradient({255, 0, 0, 255}, {0, 0, 255, 255}, 255, 0)), 0);
    start.Rectangle(0, 0, 20, 20);
    start.MoveTo(0, 40);
    start.LineTo(40, 40);
    end.AddFill(Gradient({0, 255, 0, 255}, {0, 0, 0, 0}, 155, 40));
    end.Rectangle(40, 0, 20, 20);
    end.MoveTo(0, 40);
    end.CurveTo(20, 80, 40, 40);
    std::string error;
    auto body = swf::EncodeDefineMorphShape(1, start, end, 2, &error);
    EXPECT_TRUE(body) << error;
    return test::loadDescription("stage 100 100\n" +
                                 test::tagLine(swf::kTagDefineMorphShape2, *body) + "showframe\n");
}

TEST(MorphShapeInterpolation, FillsEdgesAndBoundsMeetHalfway) {
    auto movie = GradientMorph();
    const MorphShapeDefinition* morph = movie->morphShape(1);
    ASSERT_TRUE(morph);
    EXPECT_EQ(movie->kindOf(1), CharacterKind::MorphShape);
    ShapeDefinition half;
    morphShapeAt(*morph, 32768, half);
    ASSERT_EQ(half.fillStyles.size(), 1u);
    const FillStyle& fill = half.fillStyles[0];
    EXPECT_EQ(fill.kind, FillStyle::FocalGradient);
    ASSERT_EQ(fill.stops.size(), 2u);
    // Ratio 32768 of 65535 is a hair past the middle.
    EXPECT_EQ(fill.stops[0].color, (Rgba{127, 128, 0, 255}));
    EXPECT_EQ(fill.stops[1].color, (Rgba{0, 0, 127, 127}));
    EXPECT_EQ(fill.stops[1].ratio, 205);
    EXPECT_NEAR(fill.focalPoint, 0, 0.01);
    // The gradient box's centre moved from x = 10 to x = 50 pixels.
    EXPECT_NEAR(fill.matrix.tx, 30 * kTwipsPerPixel, 1);
    // The edge below the square spans 0..40 pixels at both ends.
    EXPECT_NEAR(half.bounds.xMin, 0, 1);
    EXPECT_NEAR(half.bounds.xMax, 50 * kTwipsPerPixel, 1);

    // The fifth edge: straight at the start, a curve at the end; halfway its
    // control point lies between the straight edge's middle and the curve's.
    ASSERT_EQ(half.edges.size(), 5u);
    const ShapeEdge& bent = half.edges[4];
    EXPECT_TRUE(bent.curve);
    EXPECT_EQ(bent.cx, 400);
    EXPECT_EQ(bent.cy, 1200);
    EXPECT_EQ(bent.x1, 800);
    EXPECT_EQ(bent.y1, 800);
    EXPECT_FALSE(half.fills.empty());  // contours are built for every renderer
}

TEST(MorphShapeInterpolation, TheEndsAreTheShapesAsGiven) {
    auto movie = GradientMorph();
    const MorphShapeDefinition* morph = movie->morphShape(1);
    ASSERT_TRUE(morph);
    ShapeDefinition first, last;
    morphShapeAt(*morph, 0, first);
    morphShapeAt(*morph, 65535, last);
    EXPECT_EQ(first.fillStyles[0].stops[0].color, (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(last.fillStyles[0].stops[0].color, (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(first.edges[0].x0, 0);
    EXPECT_EQ(last.edges[0].x0, 800);
    // Paired with a curve, the straight edge is a curve that lies on its line.
    EXPECT_EQ(first.edges[4].cx, 400);
    EXPECT_EQ(first.edges[4].cy, 800);
    EXPECT_EQ(last.edges[4].cy, 1600);
}

TEST(MorphShapeInterpolation, NewStylesAmongTheStartEdgesAreNotTaken) {
    // A DefineMorphShape2 body (after its id) whose start edges open a new style
    // table, which the end cannot match: found by fuzzing.
    const char* hex =
        "5fec4d9fb19a00588c6b8231ae0058004b0001900058c8640321900001470000000112ad903202590c80b12c12"
        "c0a7d1f40200ff0000ff00ff0000ffff0000ff80ff0000ff80012800780000ff009ab19a00588cff113c0f81"
        "90e16436270e19c294b0962d40c80000052c86472258e54b1c96a396d472a58000";
    std::vector<uint8_t> body{1, 0};
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2)
        body.push_back(static_cast<uint8_t>(std::stoi(std::string(hex + i, 2), nullptr, 16)));
    auto movie =
        test::loadDescription("stage 100 100\n" + test::tagLine(swf::kTagDefineMorphShape2, body) +
                              "place 1 depth=1 ratio=30000\nshowframe\n");
    ASSERT_TRUE(movie);
    const MorphShapeDefinition* morph = movie->morphShape(1);
    ASSERT_TRUE(morph);
    EXPECT_EQ(morph->startFills.size(), morph->endFills.size());
    ShapeDefinition shape;
    morphShapeAt(*morph, 30000, shape);
    for (const ShapeEdge& e : shape.edges) {
        EXPECT_LE(e.fill0, static_cast<int>(shape.fillStyles.size()));
        EXPECT_LE(e.fill1, static_cast<int>(shape.fillStyles.size()));
        EXPECT_LE(e.line, static_cast<int>(shape.lineStyles.size()));
    }
}

TEST(MorphShapeInterpolation, EveryTruncationLoadsWithoutHarm) {
    swf::Shape start(3), end(3);
    start.SetStyle(0, start.AddFill(swf::Rgba{255, 0, 0, 255}), 0);
    start.Rectangle(0, 0, 20, 20);
    end.AddFill(swf::Rgba{0, 0, 255, 255});
    end.Rectangle(10, 10, 30, 30);
    auto body = swf::EncodeDefineMorphShape(1, start, end, 1);
    ASSERT_TRUE(body);
    for (size_t cut = 2; cut < body->size(); ++cut) {
        std::vector<uint8_t> part(body->begin(), body->begin() + cut);
        auto movie = test::loadDescription("stage 100 100\n" +
                                           test::tagLine(swf::kTagDefineMorphShape, part) +
                                           "place 1 depth=1 ratio=30000\nshowframe\n");
        ASSERT_TRUE(movie);
        if (const MorphShapeDefinition* morph = movie->morphShape(1)) {
            ShapeDefinition shape;
            morphShapeAt(*morph, 30000, shape);
            EXPECT_LE(shape.edges.size(), 4u);
        }
    }
}

}  // namespace
}  // namespace kestrel::player
