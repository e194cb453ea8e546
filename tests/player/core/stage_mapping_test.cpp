#include "player/core/stage_mapping.h"

#include <gtest/gtest.h>

namespace kestrel::player {
namespace {

TEST(StageMapping, ScaleModesAndAlignment) {
    struct Case {
        const char* scale;
        const char* salign;
        double winW, winH;
        StageMapping expected;
    } cases[] = {
        // Stage 200 x 100 everywhere.
        {"showall", "", 400, 400, {2, 2, 0, 100}},    {"ShowAll", "t", 400, 400, {2, 2, 0, 0}},
        {"showall", "b", 400, 400, {2, 2, 0, 200}},   {"", "", 100, 100, {0.5, 0.5, 0, 25}},
        {"noborder", "", 400, 400, {4, 4, -200, 0}},  {"noborder", "l", 400, 400, {4, 4, 0, 0}},
        {"noborder", "R", 400, 400, {4, 4, -400, 0}}, {"exactfit", "tl", 400, 400, {2, 4, 0, 0}},
        {"noscale", "", 400, 400, {1, 1, 100, 150}},  {"noscale", "br", 400, 400, {1, 1, 200, 300}},
        {"bogus", "", 200, 100, {1, 1, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.scale) + "/" + c.salign);
        StageMapping m = computeStageMapping(200, 100, c.winW, c.winH, parseScaleMode(c.scale),
                                             parseStageAlign(c.salign));
        EXPECT_DOUBLE_EQ(m.scaleX, c.expected.scaleX);
        EXPECT_DOUBLE_EQ(m.scaleY, c.expected.scaleY);
        EXPECT_DOUBLE_EQ(m.offsetX, c.expected.offsetX);
        EXPECT_DOUBLE_EQ(m.offsetY, c.expected.offsetY);
    }
}

TEST(StageMapping, RoundTripsAndDegenerateSizes) {
    StageMapping m = computeStageMapping(200, 100, 400, 400, ScaleMode::ShowAll, {});
    Point w = m.stageToWindow(50, 50);
    Point s = m.windowToStage(w.x, w.y);
    EXPECT_DOUBLE_EQ(s.x, 50);
    EXPECT_DOUBLE_EQ(s.y, 50);
    // Twips of a stage whose frame starts at (100, 100) twips land at the window origin.
    Point origin = m.twipsToWindow(Rect{100, 100, 4100, 2100}).apply(100, 100);
    EXPECT_DOUBLE_EQ(origin.x, 0);
    EXPECT_DOUBLE_EQ(origin.y, 100);
    for (double bad : {0.0, -5.0}) {
        StageMapping d = computeStageMapping(bad, 100, 400, 400, ScaleMode::ShowAll, {});
        EXPECT_DOUBLE_EQ(d.scaleX, 1);
        EXPECT_DOUBLE_EQ(d.offsetX, 0);
    }
}

}  // namespace
}  // namespace kestrel::player

#include "player/core/display_options.h"

namespace kestrel::player {
namespace {

TEST(DisplayOptions, ParametersOfTheInstance) {
    DisplayOptions o = parseDisplayOptions({{"WMode", "Transparent"},
                                            {"bgcolor", "#1A2b3C"},
                                            {"scale", "exactfit"},
                                            {"SALIGN", "tl"},
                                            {"other", "x"}});
    EXPECT_TRUE(o.transparent);
    ASSERT_TRUE(o.background.has_value());
    EXPECT_EQ(*o.background, (Rgba{0x1A, 0x2B, 0x3C, 255}));
    EXPECT_EQ(o.scale, ScaleMode::ExactFit);
    EXPECT_EQ(o.align.horizontal, -1);
    EXPECT_EQ(o.align.vertical, -1);

    for (const char* bad : {"", "#12345", "#GG0000", "1234567", "#1234567"}) {
        EXPECT_FALSE(parseDisplayOptions({{"bgcolor", bad}}).background.has_value()) << bad;
    }
    DisplayOptions plain = parseDisplayOptions({{"wmode", "opaque"}, {"bgcolor", "00ff00"}});
    EXPECT_FALSE(plain.transparent);
    EXPECT_EQ(*plain.background, (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(plain.scale, ScaleMode::ShowAll);
    EXPECT_EQ(plain.quality, RenderQuality::High);
    EXPECT_TRUE(plain.showMenu);
}

TEST(DisplayOptions, QualityAndMenu) {
    struct Case {
        const char* quality;
        const char* menu;
        RenderQuality expectedQuality;
        bool expectedMenu;
    } cases[] = {
        {"low", "false", RenderQuality::Low, false},
        {"AutoLow", "FALSE", RenderQuality::Low, false},
        {"autohigh", "true", RenderQuality::High, true},
        {"medium", "", RenderQuality::Medium, true},
        {"Best", "0", RenderQuality::Best, true},
        {"ultra", "no", RenderQuality::High, true},
    };
    for (const Case& c : cases) {
        DisplayOptions o = parseDisplayOptions({{"Quality", c.quality}, {"MENU", c.menu}});
        EXPECT_EQ(o.quality, c.expectedQuality) << c.quality;
        EXPECT_EQ(o.showMenu, c.expectedMenu) << c.menu;
    }
}

TEST(StageMapping, ScriptNamesOfModesAndAlignment) {
    for (ScaleMode mode :
         {ScaleMode::ShowAll, ScaleMode::NoBorder, ScaleMode::ExactFit, ScaleMode::NoScale}) {
        EXPECT_EQ(scaleModeNamed(scaleModeName(mode)), mode);
        EXPECT_EQ(parseScaleMode(scaleModeName(mode)), mode);
    }
    EXPECT_FALSE(scaleModeNamed("no scale").has_value());
    EXPECT_FALSE(scaleModeNamed("").has_value());

    struct Case {
        const char* written;
        const char* read;
        int horizontal, vertical;
    } cases[] = {
        {"", "", 0, 0},      {"T", "T", 0, -1},    {"b", "B", 0, 1},    {"L", "L", -1, 0},
        {"r", "R", 1, 0},    {"TL", "LT", -1, -1}, {"tr", "TR", 1, -1}, {"BL", "LB", -1, 1},
        {"BR", "RB", 1, 1},  {"RL", "L", -1, 0},   {"BT", "T", 0, -1},  {"xyz", "", 0, 0},
        {"RBx", "RB", 1, 1},
    };
    for (const Case& c : cases) {
        StageAlign a = parseStageAlign(c.written);
        EXPECT_EQ(a.horizontal, c.horizontal) << c.written;
        EXPECT_EQ(a.vertical, c.vertical) << c.written;
        EXPECT_EQ(stageAlignText(a), c.read) << c.written;
    }
}

TEST(RenderQuality, NamesRoundTrip) {
    for (RenderQuality q :
         {RenderQuality::Low, RenderQuality::Medium, RenderQuality::High, RenderQuality::Best})
        EXPECT_EQ(renderQualityNamed(renderQualityName(q)), q);
    EXPECT_FALSE(renderQualityNamed("").has_value());
    EXPECT_FALSE(renderQualityNamed("highest").has_value());
}

}  // namespace
}  // namespace kestrel::player
