// A renderer kept from frame to frame: what it keeps (coverage by shape and
// matrix) and how it paints (band by band, or shape by shape past its limit) must
// never show in the pixels. Also the frame's alpha as transparent hosts take it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/player/render/render_test_support.h"

namespace kestrel::render {
namespace {

// Wide enough that a frame is painted in several bands, with a mask, strokes,
// a gradient and a shape that moves and changes from frame to frame.
const char kBandedMovie[] = R"(
stage 2000 120
background #FFFFFF
shape 1
  fill #0000FF80
  line 3 #000000
  circle 60 60 50 fill=1 line=1
end
shape 2 version=4
  fill linear stops=0:#FF0000,255:#00FF00 box=0,0,300,100 spread=reflect
  rect 0 0 300 100 fill=1
end
shape 3
  fill #000000
  rect 0 0 1000 33.5 fill=1
end
place 2 depth=1 x=10 y=7.5
place 1 depth=2 x=100 y=3
place 3 depth=3 clipdepth=4 x=900 y=40
place 2 depth=4 x=950 y=10 rotate=20
showframe
move depth=2 x=140 y=5
showframe
replace 1 depth=1 x=10 y=7.5
showframe
)";

struct Frames {
    std::shared_ptr<const player::MovieDefinition> movie;
    std::vector<player::RenderList> lists;
};

Frames FramesOf(const std::string& description, int count) {
    Frames frames;
    frames.movie = player::test::loadDescription(description);
    if (!frames.movie) return frames;
    player::Stage stage(frames.movie, nullptr);
    stage.start();
    for (int i = 0; i < count; ++i) {
        frames.lists.emplace_back();
        stage.buildRenderList(frames.lists.back());
        stage.tick();
    }
    return frames;
}

::testing::AssertionResult SamePixels(const PixelBuffer& a, const PixelBuffer& b) {
    if (a.width != b.width || a.height != b.height)
        return ::testing::AssertionFailure() << "sizes differ";
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            Rgba p = a.At(x, y), q = b.At(x, y);
            if (p.r != q.r || p.g != q.g || p.b != q.b || p.a != q.a)
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " differs";
        }
    return ::testing::AssertionSuccess();
}

TEST(RendererFrames, KeptCoverageAndBandsNeverShowInThePixels) {
    Frames frames = FramesOf(kBandedMovie, 3);
    ASSERT_EQ(frames.lists.size(), 3u);
    Renderer kept;          // keeps coverage, paints in bands
    Renderer keepsNone(1);  // past its limit at once: shape by shape, one band
    for (int round = 0; round < 2; ++round) {
        for (size_t i = 0; i < frames.lists.size(); ++i) {
            SCOPED_TRACE("round " + std::to_string(round) + " frame " + std::to_string(i + 1));
            PixelBuffer fresh, again, single;
            ASSERT_TRUE(RenderStage(frames.lists[i], fresh));
            ASSERT_TRUE(kept.RenderStage(frames.lists[i], again));
            ASSERT_TRUE(keepsNone.RenderStage(frames.lists[i], single));
            EXPECT_TRUE(SamePixels(fresh, again));
            EXPECT_TRUE(SamePixels(fresh, single));
        }
    }
    // Band edges fall every 32 rows at this width: the mask's black area from
    // y = 40 to 73.5 shows the rotated gradient under it across one of them.
    PixelBuffer image;
    ASSERT_TRUE(kept.RenderStage(frames.lists[0], image));
    EXPECT_TRUE(Near(image.At(1000, 63), image.At(1000, 64)));
    EXPECT_TRUE(Near(image.At(1000, 80), kWhite)) << "below the mask";
}

TEST(RendererFrames, AShapeChangedInPlaceIsDrawnAnew) {
    // The renderer keys what it keeps by the shape's address too: a shape edited
    // where it lies (as a morph is) must not come back as it was.
    player::ShapeDefinition shape;
    shape.bounds = player::Rect{0, 0, 400, 400};
    player::FillStyle fill;
    fill.color = Rgba{255, 0, 0, 255};
    shape.fillStyles.push_back(fill);
    auto edge = [](int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
        player::ShapeEdge e;
        e.x0 = x0, e.y0 = y0, e.x1 = x1, e.y1 = y1, e.cx = x1, e.cy = y1;
        e.fill1 = 1;
        return e;
    };
    shape.edges = {edge(0, 0, 200, 0), edge(200, 0, 200, 200), edge(200, 200, 0, 200),
                   edge(0, 200, 0, 0)};
    player::RenderList list;
    list.background = kWhite;
    list.stageRect = player::Rect{0, 0, 400, 400};
    player::RenderItem item;
    item.shape = &shape;
    list.items.push_back(item);

    Renderer renderer;
    PixelBuffer image;
    ASSERT_TRUE(renderer.RenderStage(list, image));
    EXPECT_TRUE(Near(image.At(5, 5), kRed));
    EXPECT_TRUE(Near(image.At(15, 5), kWhite));
    shape.edges = {edge(0, 0, 400, 0), edge(400, 0, 400, 200), edge(400, 200, 0, 200),
                   edge(0, 200, 0, 0)};
    ASSERT_TRUE(renderer.RenderStage(list, image));
    EXPECT_TRUE(Near(image.At(15, 5), kRed));
}

TEST(RendererFrames, TransparentFramesKeepTheirAlphaStraightOrPremultiplied) {
    Frames frames = FramesOf(R"(
stage 40 20
background #FFFFFF
shape 1
  fill #0000FF80
  rect 10 0 20 20 fill=1
end
place 1 depth=1
showframe
)",
                             1);
    ASSERT_EQ(frames.lists.size(), 1u);
    Renderer renderer;
    FrameOptions options;
    options.transparent = true;
    PixelBuffer straight, premultiplied;
    ASSERT_TRUE(renderer.RenderStage(frames.lists[0], straight, options));
    options.premultiplied = true;
    ASSERT_TRUE(renderer.RenderStage(frames.lists[0], premultiplied, options));
    ExpectPixels(straight, {{5, 5, Rgba{0, 0, 0, 0}}, {20, 5, Rgba{0, 0, 255, 128}}});
    ExpectPixels(premultiplied, {{5, 5, Rgba{0, 0, 0, 0}}, {20, 5, Rgba{0, 0, 128, 128}}});
    options = FrameOptions{};
    options.background = Rgba{0, 0, 0, 255};
    ASSERT_TRUE(renderer.RenderStage(frames.lists[0], straight, options));
    ExpectPixels(straight, {{5, 5, Rgba{0, 0, 0, 255}}, {20, 5, Rgba{0, 0, 128, 255}}});
}

TEST(RendererFrames, ABufferWhosePixelsDoNotMatchItsSizeIsLeftAlone) {
    Frames frames = FramesOf("stage 20 20\nbackground #FF0000\nshowframe\n", 1);
    ASSERT_EQ(frames.lists.size(), 1u);
    PixelBuffer image;
    image.width = 20;
    image.height = 20;
    image.pixels.assign(16, 7);
    Renderer().RenderFrame(frames.lists[0], player::Matrix{}, image);
    EXPECT_EQ(image.pixels, std::vector<uint8_t>(16, 7));
}

TEST(RendererFrames, ColourTransformsChangeKeptShapesAndGradientsToo) {
    // The same shape in the same place, with another colour transform each time;
    // once filled with red, once with a gradient from red to red (whose colours
    // the renderer keeps from frame to frame as well).
    struct Case {
        const char* transform;
        Rgba expected;
    } cases[] = {
        {"", kRed},
        {"mul=0.5,1,1,1", Rgba{128, 0, 0, 255}},
        {"add=0,255,0,0", Rgba{255, 255, 0, 255}},
        {"alpha=0.5", Rgba{255, 128, 128, 255}},
        {"mul=1,1,1,0 add=0,0,0,64", Rgba{255, 191, 191, 255}},
        {"", kRed},
    };
    for (const char* fill : {"#FF0000", "linear stops=0:#FF0000,255:#FF0000"}) {
        Renderer renderer;
        for (const Case& c : cases) {
            Frames frames = FramesOf(std::string(R"(
stage 20 20
background #FFFFFF
shape 1
  fill )") + fill + R"(
  rect 0 0 20 20 fill=1
end
place 1 depth=1 )" + c.transform + "\nshowframe\n",
                                     1);
            ASSERT_EQ(frames.lists.size(), 1u);
            PixelBuffer image;
            ASSERT_TRUE(renderer.RenderStage(frames.lists[0], image));
            EXPECT_TRUE(Near(image.At(10, 10), c.expected)) << fill << " " << c.transform;
        }
    }
}

}  // namespace
}  // namespace kestrel::render
