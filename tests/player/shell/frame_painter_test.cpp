// Frames of writer-made movies painted by the frame painter into a DIB section,
// checked by pixel samples, and saved as PNG files beside the test for a look.
#include <gtest/gtest.h>
#include <png.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/win_handles.h"
#include "player/core/stage.h"
#include "player/shell/frame_painter_win.h"
#include "tests/player/core/test_movies.h"

namespace kestrel::shell {
namespace {

using player::RenderList;
using player::Rgba;
using player::Stage;

// A 32-bit top-down DIB section selected into a memory DC.
class Canvas {
  public:
    Canvas(int width, int height)
        : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        pixels_ = static_cast<uint32_t*>(bits);
        previous_ = SelectObject(dc_.get(), bitmap_.get());
    }
    ~Canvas() { SelectObject(dc_.get(), previous_); }
    bool ok() const { return dc_.get() && bitmap_ && pixels_; }
    HDC dc() const { return dc_.get(); }
    void fill(uint32_t bgrx) {
        GdiFlush();
        for (int i = 0; i < width_ * height_; ++i) pixels_[i] = bgrx;
    }
    Rgba at(int x, int y) const {
        GdiFlush();
        uint32_t p = pixels_[y * width_ + x];
        return Rgba{uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), 255};
    }
    bool savePng(const std::string& path) const {
        GdiFlush();
        FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) return false;
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png ? png_create_info_struct(png) : nullptr;
        bool ok = png && info && !setjmp(png_jmpbuf(png));
        if (ok) {
            png_init_io(png, file);
            png_set_IHDR(png, info, width_, height_, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                         PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
            png_write_info(png, info);
            std::vector<uint8_t> row(static_cast<size_t>(width_) * 3);
            for (int y = 0; y < height_; ++y) {
                for (int x = 0; x < width_; ++x) {
                    uint32_t p = pixels_[y * width_ + x];
                    row[x * 3] = uint8_t(p >> 16);
                    row[x * 3 + 1] = uint8_t(p >> 8);
                    row[x * 3 + 2] = uint8_t(p);
                }
                png_write_row(png, row.data());
            }
            png_write_end(png, nullptr);
        }
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return ok;
    }

  private:
    int width_, height_;
    MemoryDC dc_;
    GdiObject<HBITMAP> bitmap_;
    HGDIOBJ previous_ = nullptr;  // not owned: the DC's own bitmap
    uint32_t* pixels_ = nullptr;
};

::testing::AssertionResult Near(const Rgba& actual, const Rgba& expected, int tolerance = 8) {
    auto close = [&](int a, int b) { return std::abs(a - b) <= tolerance; };
    if (close(actual.r, expected.r) && close(actual.g, expected.g) && close(actual.b, expected.b))
        return ::testing::AssertionSuccess();
    char buf[96];
    std::snprintf(buf, sizeof buf, "got %d,%d,%d want %d,%d,%d", actual.r, actual.g, actual.b,
                  expected.r, expected.g, expected.b);
    return ::testing::AssertionFailure() << buf;
}

const Rgba kWhite{255, 255, 255, 255}, kRed{255, 0, 0, 255}, kBlack{0, 0, 0, 255},
    kBlue{0, 0, 255, 255}, kBackground{0xEE, 0xEE, 0xCC, 255};

const char* kAnimation = R"(
version 8
stage 200 100
rate 10
background #EEEECC
shape 1
  fill #FF0000
  line 2 #000000
  rect 0 0 40 40 fill=1 line=1
end
shape 2
  fill #0000FF
  circle 20 20 20 fill=1
end
shape 3
  fill #0000FF80
  rect 0 0 30 30 fill=1
end
place 1 depth=1 x=10 y=30 name="box"
place 3 depth=2 x=160 y=5
showframe
move depth=1 x=50 y=30
showframe
move depth=1 x=90 y=30
showframe
replace 2 depth=1 x=130 y=30
showframe
)";

void Paint(Stage& stage, Canvas& canvas, int w, int h, const RenderOptions& options = {}) {
    RenderList list;
    stage.buildRenderList(list);
    static FramePainter painter;
    painter.Paint(canvas.dc(), w, h, list, options);
}

TEST(FramePainter, AnimationFramesLandWhereTheTimelineSays) {
    Stage stage(player::test::loadDescription(kAnimation), nullptr);
    stage.start();
    Canvas canvas(200, 100);
    ASSERT_TRUE(canvas.ok());
    const int boxX[] = {10, 50, 90};
    for (int frame = 1; frame <= 4; ++frame) {
        SCOPED_TRACE("frame " + std::to_string(frame));
        Paint(stage, canvas, 200, 100);
        canvas.savePng("gdi_frame" + std::to_string(frame) + ".png");
        EXPECT_TRUE(Near(canvas.at(2, 2), kBackground));
        if (frame <= 3) {
            int x = boxX[frame - 1];
            EXPECT_TRUE(Near(canvas.at(x + 20, 50), kRed));
            EXPECT_TRUE(Near(canvas.at(x, 50), kBlack)) << "outline";
            EXPECT_TRUE(Near(canvas.at(x + 20, 90), kBackground));
            if (frame > 1) {
                EXPECT_TRUE(Near(canvas.at(x - 20, 50), kBackground)) << "old position cleared";
            }
        } else {
            EXPECT_TRUE(Near(canvas.at(150, 50), kBlue)) << "circle centre";
            EXPECT_TRUE(Near(canvas.at(132, 32), kBackground)) << "outside the curve";
        }
        // Half-transparent blue over the background.
        EXPECT_TRUE(Near(canvas.at(175, 20), Rgba{0x77, 0x77, 0xE6, 255}, 12));
        stage.tick();
    }
}

TEST(FramePainter, TransparentModeLeavesTheBackgroundAlone) {
    Stage stage(player::test::loadDescription(kAnimation), nullptr);
    stage.start();
    Canvas canvas(200, 100);
    canvas.fill(0x00FF00FF);
    RenderOptions options;
    options.transparent = true;
    Paint(stage, canvas, 200, 100, options);
    EXPECT_TRUE(Near(canvas.at(2, 2), Rgba{255, 0, 255, 255}));
    EXPECT_TRUE(Near(canvas.at(30, 50), kRed));

    options.transparent = false;
    options.background = Rgba{0, 128, 0, 255};
    Paint(stage, canvas, 200, 100, options);
    EXPECT_TRUE(Near(canvas.at(2, 2), Rgba{0, 128, 0, 255}));
}

// A transparent host draws the frame over white and over black and takes alpha
// from the difference: the renderer's own alpha must come back out.
TEST(FramePainter, TransparentFramesCarryTheirPerPixelAlpha) {
    Stage stage(player::test::loadDescription(kAnimation), nullptr);
    stage.start();
    Canvas onWhite(200, 100), onBlack(200, 100);
    ASSERT_TRUE(onWhite.ok() && onBlack.ok());
    onWhite.fill(0xFFFFFFFF);
    onBlack.fill(0xFF000000);
    RenderOptions options;
    options.transparent = true;
    Paint(stage, onWhite, 200, 100, options);
    Paint(stage, onBlack, 200, 100, options);
    struct Sample {
        int x, y, alpha;
        const char* what;
    } samples[] = {{2, 2, 0, "no background"},
                   {30, 50, 255, "opaque fill"},
                   {175, 20, 128, "half-transparent fill"}};
    for (const Sample& sample : samples) {
        Rgba w = onWhite.at(sample.x, sample.y), b = onBlack.at(sample.x, sample.y);
        EXPECT_NEAR(255 - (w.r - b.r), sample.alpha, 2) << sample.what;
    }
    // The half-transparent blue over black is the colour times its alpha.
    EXPECT_TRUE(Near(onBlack.at(175, 20), Rgba{0, 0, 128, 255}, 2));
}

TEST(FramePainter, StageIsMappedIntoTheWindow) {
    Stage stage(player::test::loadDescription(kAnimation), nullptr);
    stage.start();
    Canvas canvas(400, 400);
    Paint(stage, canvas, 400, 400);  // showall: scale 2, centred vertically (offset 100)
    canvas.savePng("gdi_showall.png");
    EXPECT_TRUE(Near(canvas.at(5, 5), kBackground));
    EXPECT_TRUE(Near(canvas.at(60, 200), kRed));
    EXPECT_TRUE(Near(canvas.at(60, 95), kBackground));

    RenderOptions exact;
    exact.scale = player::ScaleMode::ExactFit;
    Paint(stage, canvas, 400, 400, exact);  // scale 2 x 4
    canvas.savePng("gdi_exactfit.png");
    EXPECT_TRUE(Near(canvas.at(60, 200), kRed));
    EXPECT_TRUE(Near(canvas.at(60, 130), kRed));
    EXPECT_TRUE(Near(canvas.at(60, 110), kBackground));
}

TEST(FramePainter, MasksClipTheLayersTheyCover) {
    Stage stage(player::test::loadDescription(R"(
stage 200 100
background #FFFFFF
shape 1
  fill #000000
  circle 50 50 40 fill=1
end
shape 2
  fill #FF0000
  rect 0 0 100 100 fill=1
end
place 1 depth=1 clipdepth=2
place 2 depth=2
place 2 depth=3 x=100
showframe
)"),
                nullptr);
    stage.start();
    Canvas canvas(200, 100);
    Paint(stage, canvas, 200, 100);
    canvas.savePng("gdi_mask.png");
    EXPECT_TRUE(Near(canvas.at(50, 50), kRed)) << "inside the mask";
    EXPECT_TRUE(Near(canvas.at(5, 5), kWhite)) << "square outside the circle is clipped";
    EXPECT_TRUE(Near(canvas.at(105, 5), kRed)) << "the layer above the clip depth is not masked";
    EXPECT_FALSE(Near(canvas.at(50, 50), kBlack)) << "the mask itself is not drawn";
}

TEST(FramePainter, TextFieldsShowTheirText) {
    std::string desc = "stage 200 60\nbackground #FFFFFF\n";
    desc += player::test::editTextTag(3, 2400, 600, "", "") + "\n";
    desc += "place 3 depth=1 x=10 y=10 name=\"field\"\nshowframe\n";
    auto movie = player::test::loadDescription(desc);
    ASSERT_TRUE(movie);
    Stage stage(movie, nullptr);
    stage.start();
    auto* field = static_cast<player::EditText*>(stage.root().childAtDepth(1 - 16384));
    ASSERT_NE(field, nullptr);
    ASSERT_EQ(field->kind(), player::DisplayObjectKind::EditText);
    field->setText("Hello GDI");
    Canvas canvas(200, 60);
    Paint(stage, canvas, 200, 60);
    canvas.savePng("gdi_text.png");
    int dark = 0;
    for (int y = 12; y < 37; ++y)
        for (int x = 14; x < 120; ++x) dark += canvas.at(x, y).g < 100 ? 1 : 0;
    EXPECT_GT(dark, 20) << "glyph pixels inside the field";
    EXPECT_TRUE(Near(canvas.at(150, 50), kWhite));
}

// How many pixels of the box [x0, x1) x [y0, y1) `test` picks.
template <typename Test>
int Count(const Canvas& canvas, int x0, int y0, int x1, int y1, Test test) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += test(canvas.at(x, y)) ? 1 : 0;
    return n;
}

TEST(FramePainter, DeviceTextDrawsEveryRunInItsOwnFormat) {
    std::string desc = "stage 240 80\nbackground #FFFFFF\n";
    desc += player::test::editTextTag(3, 4000, 1200, "", "") + "\n";
    desc += "place 3 depth=1 x=10 y=10 name=\"field\"\nshowframe\n";
    auto movie = player::test::loadDescription(desc);
    ASSERT_TRUE(movie);
    Stage stage(movie, nullptr);
    stage.start();
    auto* field = static_cast<player::EditText*>(stage.root().childAtDepth(1 - 16384));
    ASSERT_NE(field, nullptr);
    // "WWWW" in red, then "WWWW" in blue and underlined, twice the size: at 20 and 40
    // pixels Arial's W is 18.9 and 37.8 pixels wide, from x = 12; both stand on the
    // baseline of the taller run, y = 12 + 0.905 * 40.
    field->setText("WWWWWWWW");
    player::TextRunFormat red;
    red.fontName = "_sans";
    red.heightTwips = 400;
    red.color = kRed;
    player::TextRunFormat blue = red;
    blue.heightTwips = 800;
    blue.color = kBlue;
    blue.underline = true;
    field->SetRuns({player::TextRun{4, red}, player::TextRun{4, blue}});
    Canvas canvas(240, 80);
    canvas.fill(0xFFFFFF);
    Paint(stage, canvas, 240, 80);
    canvas.savePng("gdi_text_runs.png");
    auto reddish = [](const Rgba& c) { return c.r > 200 && c.b < 100; };
    auto bluish = [](const Rgba& c) { return c.b > 200 && c.r < 100; };
    EXPECT_GT(Count(canvas, 12, 30, 86, 49, reddish), 60) << "the red run";
    EXPECT_EQ(Count(canvas, 12, 11, 86, 69, bluish), 0);
    EXPECT_GT(Count(canvas, 90, 20, 208, 49, bluish), 200) << "the blue run";
    EXPECT_EQ(Count(canvas, 90, 11, 208, 69, reddish), 0);
    // Capitals reach about 0.716 em above the baseline: the blue run's from y = 19,
    // the red one's from y = 34.
    EXPECT_GT(Count(canvas, 90, 21, 208, 30, bluish), 20);
    EXPECT_EQ(Count(canvas, 12, 11, 86, 30, reddish), 0);
    // Only the blue run is underlined.
    EXPECT_GT(Count(canvas, 90, 49, 208, 56, bluish), 60);
    EXPECT_EQ(Count(canvas, 12, 49, 86, 56, reddish), 0);
}

}  // namespace
}  // namespace kestrel::shell
