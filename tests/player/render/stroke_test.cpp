// Strokes drawn from writer-made movies: their caps, joins, miter limits, scaling
// modes and hairlines, checked against the geometry of the outline.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/player/render/render_test_support.h"

namespace kestrel::render {
namespace {

// A 4-pixel line along y = 20 from x = 10 to x = 60 (rows 18 to 21).
std::string CappedLine(const std::string& cap) {
    return R"(
stage 80 40
background #FFFFFF
shape 1 version=4
  line 4 #0000FF cap=)" +
           cap + R"(
  style line=1
  moveto 10 20
  lineto 60 20
end
place 1 depth=1
showframe
)";
}

TEST(Strokes, CapsEndTheLineFlushSquareOrRound) {
    struct Case {
        const char* cap;
        Rgba at60, at61;  // row 19, just past the end
    } cases[] = {
        {"none", kWhite, kWhite},
        {"square", kBlue, kBlue},
        // (61, 19) is 91.3% inside the round cap of radius 2.
        {"round", kBlue, Rgba{22, 22, 255, 255}},
    };
    for (const Case& c : cases) {
        PixelBuffer image = Draw(CappedLine(c.cap));
        SCOPED_TRACE(c.cap);
        ExpectPixels(image, {{59, 19, kBlue},
                             {60, 19, c.at60},
                             {61, 19, c.at61},
                             {62, 19, kWhite},
                             {9, 19, std::string(c.cap) == "none" ? kWhite : kBlue}});
    }
}

TEST(Strokes, StartAndEndCapsAreDrawnApart) {
    struct Case {
        const char *cap, *endCap;
        Rgba at9, at60;  // row 19, just before the start and at the end
    } cases[] = {
        {"square", "none", kBlue, kWhite},
        {"none", "square", kWhite, kBlue},
        {"none", "round", kWhite, kBlue},
    };
    for (const Case& c : cases) {
        PixelBuffer image = Draw(CappedLine(std::string(c.cap) + " endcap=" + c.endCap));
        SCOPED_TRACE(std::string(c.cap) + "/" + c.endCap);
        ExpectPixels(image, {{10, 19, kBlue}, {9, 19, c.at9}, {59, 19, kBlue}, {60, 19, c.at60}});
    }
}

// The 4-pixel line of CappedLine stroked with a fill: red to blue from x = 10 to 60.
std::string FilledLine(const std::string& fill) {
    return R"(
stage 80 40
background #FFFFFF
shape 1 version=4
  )" + fill +
           R"(
  line 4 #00FF00 cap=none fill=1
  style line=1
  moveto 10 20
  lineto 60 20
end
place 1 depth=1
showframe
)";
}

TEST(Strokes, LinesWithAFillPaintItNotTheirColour) {
    PixelBuffer image = Draw(FilledLine("fill linear stops=0:#FF0000,255:#0000FF box=10,0,50,40"));
    // Pixel x samples the gradient at (x + 0.5 - 10) / 50.
    for (int x : {10, 22, 35, 47, 59}) {
        double t = (x + 0.5 - 10) / 50;
        auto blue = static_cast<uint8_t>(std::lround(255 * t));
        SCOPED_TRACE(x);
        ExpectPixels(
            image, {{x, 19, Rgba{static_cast<uint8_t>(255 - blue), 0, blue, 255}}, {x, 17, kWhite}},
            4);
    }
}

TEST(Strokes, ALineFilledWithAMissingBitmapPaintsNothing) {
    PixelBuffer image = Draw(FilledLine("fill bitmap 9"));
    ExpectPixels(image, {{30, 19, kWhite}, {30, 20, kWhite}});
}

// A 10-pixel line turning a right angle at (50, 10): its outer corner is (55, 5).
std::string Corner(const std::string& join) {
    return R"(
stage 70 70
background #FFFFFF
shape 1 version=4
  line 10 #0000FF cap=none join=)" +
           join + R"(
  style line=1
  moveto 10 10
  lineto 50 10
  lineto 50 50
end
place 1 depth=1
showframe
)";
}

TEST(Strokes, JoinsFillTheOuterCornerAsTheirStyleSays) {
    // Pixel (54, 6) lies in the square corner only; (53, 7) also within the round
    // join's radius of 5 but beyond the bevel's cut from (50, 5) to (55, 10).
    struct Case {
        const char* join;
        Rgba at54, at53;
    } cases[] = {
        {"miter", kBlue, kBlue},
        {"round", kWhite, kBlue},
        {"bevel", kWhite, kWhite},
    };
    for (const Case& c : cases) {
        PixelBuffer image = Draw(Corner(c.join));
        SCOPED_TRACE(c.join);
        ExpectPixels(image, {{54, 6, c.at54}, {53, 7, c.at53}, {45, 7, kBlue}, {52, 45, kBlue}});
    }
}

TEST(Strokes, MiterLimitCutsSharpCorners) {
    // A right-angled apex at (50, 20) pointing up, 10 pixels wide: its full miter
    // reaches 7.07 pixels above the apex (to y = 12.93), 1.41 half-widths. A limit
    // of 1 cuts it 5 pixels above the apex (y = 15).
    for (double limit : {1.0, 1.5}) {
        PixelBuffer image = Draw(R"(
stage 100 60
background #FFFFFF
shape 1 version=4
  line 10 #0000FF cap=none join=miter miter=)" +
                                 std::to_string(limit) + R"(
  style line=1
  moveto 20 50
  lineto 50 20
  lineto 80 50
end
place 1 depth=1
showframe
)");
        SCOPED_TRACE(limit);
        // Row 14 (14..15) at the apex: inside the full miter, beyond the cut one.
        ExpectPixels(image, {{49, 14, limit > 1.4 ? kBlue : kWhite}, {49, 16, kBlue}});
    }
}

TEST(Strokes, ScalingModesWidenLinesOnlyAsTheySay) {
    // A 2-pixel line along y = 20, placed stretched four times horizontally.
    struct Case {
        const char* scale;
        int firstRow, lastRow;  // fully covered rows at x = 100
    } cases[] = {
        {"normal", 18, 21},      // 2 * sqrt(4 * 1) = 4 pixels
        {"none", 19, 20},        // 2 pixels whatever the placement
        {"horizontal", 16, 23},  // 2 * 4
        {"vertical", 19, 20},    // 2 * 1
    };
    for (const Case& c : cases) {
        PixelBuffer image = Draw(std::string(R"(
stage 200 40
background #FFFFFF
shape 1 version=4
  line 2 #0000FF scale=)") + c.scale +
                                 R"(
  style line=1
  moveto 2 20
  lineto 48 20
end
place 1 depth=1 sx=4
showframe
)");
        SCOPED_TRACE(c.scale);
        ExpectPixels(image, {{100, c.firstRow - 1, kWhite},
                             {100, c.firstRow, kBlue},
                             {100, c.lastRow, kBlue},
                             {100, c.lastRow + 1, kWhite}});
    }
}

TEST(Strokes, HairlinesAndThinLinesAreOnePixelWide) {
    for (const char* width : {"0", "0.2"}) {
        PixelBuffer image = Draw(std::string(R"(
stage 40 40
background #FFFFFF
shape 1
  line )") + width + R"( #000000
  style line=1
  moveto 5 20.5
  lineto 35 20.5
end
place 1 depth=1 scale=3 x=-20 y=-41
showframe
)");
        SCOPED_TRACE(width);
        // Scaled three times the line still covers exactly row 20.
        ExpectPixels(image, {{20, 19, kWhite}, {20, 20, Rgba{0, 0, 0, 255}}, {20, 21, kWhite}});
    }
}

}  // namespace
}  // namespace kestrel::render
