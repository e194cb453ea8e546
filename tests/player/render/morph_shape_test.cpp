// Morph shapes drawn at the start, halfway and at the end of their morph: their
// edges, colours and line widths in between, and a ratio changed by the timeline.
#include "tools/swfwriter/morph_shape.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/swf_format.h"
#include "tests/player/render/render_test_support.h"

namespace kestrel::render {
namespace {

// A red 20 x 20 square at (0, 0) that becomes a blue 40 x 40 square at (40, 20),
// outlined by a line 2 pixels wide at the start and 10 at the end.
std::string MorphTag(int version) {
    swf::Shape start(3), end(3);
    start.SetStyle(0, start.AddFill(swf::Rgba{255, 0, 0, 255}), 0);
    start.Rectangle(0, 0, 20, 20);
    end.AddFill(swf::Rgba{0, 0, 255, 255});
    end.Rectangle(40, 20, 40, 40);
    start.AddLine(2, swf::Rgba{0, 255, 0, 255});
    end.AddLine(10, swf::Rgba{0, 255, 0, 255});
    start.SetStyle(0, 0, 1);
    start.MoveTo(0, 90);
    start.LineTo(100, 90);
    end.MoveTo(0, 90);
    end.LineTo(100, 90);
    std::string error;
    auto body = swf::EncodeDefineMorphShape(1, start, end, version, &error);
    EXPECT_TRUE(body) << error;
    return body ? tagLine(swf::MorphShapeTagCode(version), *body) : "";
}

PixelBuffer DrawAt(int version, int ratio) {
    return Draw("stage 100 100\nbackground #FFFFFF\n" + MorphTag(version) +
                "place 1 depth=1 ratio=" + std::to_string(ratio) + "\nshowframe\n");
}

struct MorphCase {
    const char* name;
    int version;
    int ratio;
    std::vector<PixelCase> pixels;
};

const Rgba kGreen{0, 255, 0, 255};

class MorphRatios : public ::testing::TestWithParam<MorphCase> {};

TEST_P(MorphRatios, EdgesColoursAndLinesAreInterpolated) {
    const MorphCase& c = GetParam();
    ExpectPixels(DrawAt(c.version, c.ratio), c.pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Morphs, MorphRatios,
    ::testing::Values(MorphCase{"Start",
                                1,
                                0,
                                {{10, 10, kRed},
                                 {19, 19, kRed},
                                 {21, 10, kWhite},
                                 {50, 40, kWhite},
                                 // the line, 2 pixels wide, about y = 90
                                 {50, 89, kGreen},
                                 {50, 87, kWhite}}},
                      // Halfway: a 30 x 30 square at (20, 10), half red and half blue, line 6 wide.
                      MorphCase{"Halfway",
                                1,
                                32768,
                                {{19, 20, kWhite},
                                 {21, 11, Rgba{127, 0, 128, 255}},
                                 {48, 38, Rgba{127, 0, 128, 255}},
                                 {51, 20, kWhite},
                                 {35, 41, kWhite},
                                 {50, 87, kGreen},
                                 {50, 92, kGreen},
                                 {50, 86, kWhite},
                                 {50, 93, kWhite}}},
                      MorphCase{"End",
                                1,
                                65535,
                                {{39, 30, kWhite},
                                 {41, 21, kBlue},
                                 {79, 59, kBlue},
                                 {10, 10, kWhite},
                                 {50, 85, kGreen},
                                 {50, 94, kGreen},
                                 {50, 84, kWhite},
                                 {50, 95, kWhite}}},
                      MorphCase{"Version2Halfway",
                                2,
                                32768,
                                {{21, 11, Rgba{127, 0, 128, 255}},
                                 {48, 38, Rgba{127, 0, 128, 255}},
                                 {51, 20, kWhite}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MorphShapes, TheTimelineMovesTheRatio) {
    std::shared_ptr<const player::MovieDefinition> movie = player::test::loadDescription(
        "stage 100 100\nbackground #FFFFFF\n" + MorphTag(1) +
        "place 1 depth=1 ratio=0\nshowframe\nmove depth=1 ratio=65535\nshowframe\n");
    ASSERT_TRUE(movie);
    player::Stage stage(movie, nullptr);
    stage.start();
    player::RenderList list;
    PixelBuffer image;
    stage.buildRenderList(list);
    ASSERT_TRUE(RenderStage(list, image));
    ExpectPixels(image, {{10, 10, kRed}, {60, 40, kWhite}});
    stage.tick();
    stage.buildRenderList(list);
    ASSERT_TRUE(RenderStage(list, image));
    ExpectPixels(image, {{10, 10, kWhite}, {60, 40, kBlue}});
}

}  // namespace
}  // namespace kestrel::render
