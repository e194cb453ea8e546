// Stage, $version, _quality, _url and System.capabilities, played through the whole
// runtime in small movies written with the SWF writer.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "player/runtime/movie_player.h"
#include "player/runtime/movie_url.h"
#include "tools/swfwriter/description.h"

namespace kestrel::runtime {
namespace {

// Actions that push the value at a dotted path ("Stage.width", "$version").
std::string Push(const std::string& path) {
    std::string actions;
    size_t start = 0;
    for (bool first = true;; first = false) {
        const size_t dot = path.find('.', start);
        const std::string name = path.substr(start, dot - start);
        actions += "push \"" + name + "\"\n" + (first ? "getVariable\n" : "getMember\n");
        if (dot == std::string::npos) return actions;
        start = dot + 1;
    }
}

std::string Trace(const std::string& path) {
    return Push(path) + "trace\n";
}

// path = literal, where literal is written as the assembler pushes it ("\"TL\"", "2").
std::string Set(const std::string& path, const std::string& literal) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos) return "push \"" + path + "\", " + literal + "\nsetVariable\n";
    return Push(path.substr(0, dot)) + "push \"" + path.substr(dot + 1) + "\", " + literal +
           "\nsetMember\n";
}

// A listener `l` on Stage whose onResize traces "resize" and Stage's size.
const char kResizeListener[] = R"(
push "l", 0, "Object"
newObject
setVariable
push "l"
getVariable
push "onResize"
function ""
  push "resize "
  push "Stage"
  getVariable
  push "width"
  getMember
  add2
  push "x"
  add2
  push "Stage"
  getVariable
  push "height"
  getMember
  add2
  trace
end
setMember
push "l"
getVariable
push 1, "Stage"
getVariable
push "addListener"
callMethod
pop
)";

// A player for a 320 x 240 movie whose first frame runs the given actions.
struct StageMovie {
    // Loads the movie; returns its traces joined by "|".
    std::string Play(const std::string& actions) {
        const std::string description =
            "version 8\nstage 320 240\naction\n" + actions + "end\nshowframe\n";
        std::string error;
        auto bytes = swf::CompileDescription(description, error);
        if (!bytes) return "<compile error: " + error + ">";
        player.traceOutput().openFile("");
        player.traceOutput().setCallback([this](std::string_view line) {
            if (!out.empty()) out += '|';
            out.append(line);
        });
        if (!player.load(bytes->data(), bytes->size())) return "<load failed>";
        return Take();
    }
    // Traces since the last Play or Take.
    std::string Take() {
        std::string text;
        text.swap(out);
        return text;
    }
    MoviePlayer player;
    std::string out;
};

class StageTest : public ::testing::Test, public StageMovie {};

TEST_F(StageTest, SizeFollowsTheDisplayAreaOnlyUnderNoScale) {
    EXPECT_EQ(Play(Trace("Stage.width") + Trace("Stage.height") + Set("Stage.width", "5") +
                   Trace("Stage.width") + Trace("Stage.scaleMode")),
              "320|240|320|showAll");
    // A headless player has no display area: the movie's size stands in under noScale.
    player.stageSettings().scaleMode = player::ScaleMode::NoScale;
    EXPECT_EQ(player.stageWidth(), 320);
    player.setDisplayArea(800, 600);
    EXPECT_EQ(player.stageWidth(), 800);
    EXPECT_EQ(player.stageHeight(), 600);
    player.stageSettings().scaleMode = player::ScaleMode::ShowAll;
    EXPECT_EQ(player.stageWidth(), 320);
}

TEST_F(StageTest, OnResizeIsHeardUnderNoScaleWhenTheAreaChanges) {
    player.setDisplayArea(640, 480);
    EXPECT_EQ(Play(Set("Stage.scaleMode", "\"noScale\"") + kResizeListener + Trace("Stage.width")),
              "640");
    player.setDisplayArea(700, 500);
    EXPECT_EQ(Take(), "resize 700x500");
    player.setDisplayArea(700, 500);  // the same size again: nothing to hear
    EXPECT_EQ(Take(), "");
    player.stageSettings().scaleMode = player::ScaleMode::ShowAll;
    player.setDisplayArea(720, 520);
    EXPECT_EQ(Take(), "");
}

// Switching to noScale resizes the stage when the display area is not the movie's size;
// other switches and a matching area do not.
TEST_F(StageTest, SwitchingToNoScaleIsAResizeWhenTheSizeChanges) {
    struct Case {
        int areaWidth, areaHeight;
        const char* actions;
        const char* expected;
    };
    const std::string toNoScale = Set("Stage.scaleMode", "\"noScale\"");
    const std::vector<Case> cases = {
        {640, 480, "", "resize 640x480"},
        {320, 240, "", ""},
        {0, 0, "", ""},  // headless: the movie's size stands in
        {640, 480, "noScale first", ""},
        {640, 480, "exactFit", ""},
    };
    for (const Case& c : cases) {
        StageMovie movie;
        movie.player.setDisplayArea(c.areaWidth, c.areaHeight);
        std::string actions = kResizeListener;
        if (std::string(c.actions) == "noScale first")
            actions = toNoScale + actions + toNoScale;
        else if (*c.actions)
            actions += Set("Stage.scaleMode", "\"" + std::string(c.actions) + "\"");
        else
            actions += toNoScale;
        EXPECT_EQ(movie.Play(actions), c.expected)
            << c.areaWidth << "x" << c.areaHeight << " " << c.actions;
    }
}

TEST_F(StageTest, RemovedListenerHearsNothing) {
    player.setDisplayArea(640, 480);
    EXPECT_EQ(Play(Set("Stage.scaleMode", "\"NOSCALE\"") + kResizeListener + R"(
push "l"
getVariable
push 1, "Stage"
getVariable
push "removeListener"
callMethod
trace
)"),
              "true");
    player.setDisplayArea(700, 500);
    EXPECT_EQ(Take(), "");
}

TEST(StageRules, ScaleModeAndAlignReadBackAsFlashWritesThem) {
    struct Case {
        const char* property;
        const char* written;
        const char* read;
    } cases[] = {
        {"scaleMode", "\"noscale\"", "noScale"},
        {"scaleMode", "\"EXACTFIT\"", "exactFit"},
        {"scaleMode", "\"noBorder\"", "noBorder"},
        {"scaleMode", "\"stretch\"", "showAll"},
        {"scaleMode", "\"\"", "showAll"},
        {"align", "\"TL\"", "LT"},
        {"align", "\"br\"", "RB"},
        {"align", "\"TR\"", "TR"},
        {"align", "\"bl\"", "LB"},
        {"align", "\"B\"", "B"},
        {"align", "\"r\"", "R"},
        {"align", "\"xyz\"", ""},
        {"align", "\"TB\"", "T"},
        {"showMenu", "false", "false"},
        {"showMenu", "1", "true"},
    };
    for (const Case& c : cases) {
        StageMovie movie;
        const std::string path = std::string("Stage.") + c.property;
        EXPECT_EQ(movie.Play(Set(path, c.written) + Trace(path)), c.read)
            << c.property << " = " << c.written;
    }
}

TEST_F(StageTest, ScriptedScaleModeAndAlignPlaceTheMovie) {
    Play(Set("Stage.scaleMode", "\"noScale\"") + Set("Stage.align", "\"BR\""));
    player::StageMapping m = player.stageMapping(400, 300);
    EXPECT_DOUBLE_EQ(m.scaleX, 1);
    EXPECT_DOUBLE_EQ(m.offsetX, 80);
    EXPECT_DOUBLE_EQ(m.offsetY, 60);
    player.stageSettings().scaleMode = player::ScaleMode::ExactFit;
    m = player.stageMapping(640, 240);
    EXPECT_DOUBLE_EQ(m.scaleX, 2);
    EXPECT_DOUBLE_EQ(m.scaleY, 1);
}

TEST_F(StageTest, OneVersionEverywhere) {
    const std::string traced = Play(Trace("$version") + Trace("_root.$version") +
                                    Trace("System.capabilities.version") + R"(
push 0, "getVersion"
callFunction
trace
)");
    const std::string version = traced.substr(0, traced.find('|'));
    EXPECT_TRUE(std::regex_match(version, std::regex("WIN [0-9]+,[0-9]+,[0-9]+,[0-9]+")))
        << version;
    EXPECT_EQ(traced, version + "|" + version + "|" + version + "|" + version);
}

TEST_F(StageTest, QualityIsOneSettingReadTwoWays) {
    struct Step {
        const char* set;
        const char* value;
    } steps[] = {
        {"_quality", "\"low\""},   {"_quality", "\"Best\""},  {"_quality", "\"medium\""},
        {"_quality", "\"ultra\""}, {"_highquality", "0"},     {"_highquality", "2"},
        {"_highquality", "1"},     {"_highquality", "\"x\""},
    };
    std::string actions = Trace("_quality") + Trace("_highquality");
    for (const Step& s : steps)
        actions += Set(s.set, s.value) + Trace("_quality") + Trace("_highquality");
    EXPECT_EQ(Play(actions), "HIGH|1|LOW|0|BEST|2|MEDIUM|1|MEDIUM|1|LOW|0|BEST|2|HIGH|1|HIGH|1");
    EXPECT_EQ(player.stageSettings().quality, player::RenderQuality::High);
}

TEST_F(StageTest, UrlAndScreenComeFromTheHost) {
    player.stageSettings().movieUrl = "file:///C|/movies/intro.swf";
    player.stageSettings().screenWidth = 1600;
    player.stageSettings().screenHeight = 900;
    EXPECT_EQ(
        Play(Trace("_url") + Trace("_root._url") + Trace("System.capabilities.screenResolutionX") +
             Trace("System.capabilities.screenResolutionY")),
        "file:///C|/movies/intro.swf|file:///C|/movies/intro.swf|1600|900");
    StageMovie other;
    other.player.stageSettings().screenWidth = 1600;
    other.player.stageSettings().screenHeight = 900;
    const std::string server = other.Play(Trace("System.capabilities.serverString"));
    EXPECT_NE(server.find("&R=1600x900&"), std::string::npos) << server;
    EXPECT_NE(server.find("V=WIN%20"), std::string::npos) << server;
    EXPECT_EQ(server.rfind("A=t&", 0), 0u) << server;
}

TEST_F(StageTest, DocumentedCapabilitiesAreDefined) {
    const char* const names[] = {"avHardwareDisable",
                                 "hasAccessibility",
                                 "hasAudio",
                                 "hasAudioEncoder",
                                 "hasEmbeddedVideo",
                                 "hasIME",
                                 "hasMP3",
                                 "hasPrinting",
                                 "hasScreenBroadcast",
                                 "hasScreenPlayback",
                                 "hasStreamingAudio",
                                 "hasStreamingVideo",
                                 "hasVideoEncoder",
                                 "isDebugger",
                                 "language",
                                 "localFileReadDisable",
                                 "manufacturer",
                                 "os",
                                 "pixelAspectRatio",
                                 "playerType",
                                 "screenColor",
                                 "screenDPI",
                                 "screenResolutionX",
                                 "screenResolutionY",
                                 "serverString",
                                 "version"};
    std::string actions;
    for (const char* name : names)
        actions += Push(std::string("System.capabilities.") + name) + "typeof\ntrace\n";
    const std::string traced = Play(actions);
    EXPECT_EQ(traced.find("undefined"), std::string::npos) << traced;
}

TEST(MovieUrl, PathsBecomeFileUrls) {
    struct Case {
        const char* location;
        const char* url;
    } cases[] = {
        {"C:\\movies\\intro.swf", "file:///C|/movies/intro.swf"},
        {"d:/My Movies/a#1.swf", "file:///d|/My%20Movies/a%231.swf"},
        {"/home/me/intro.swf", "file:///home/me/intro.swf"},
        {"\\\\server\\share\\a.swf", "file://server/share/a.swf"},
        {"http://example.com/a.swf?x=1", "http://example.com/a.swf?x=1"},
        {"file:///C|/a.swf", "file:///C|/a.swf"},
        {"intro.swf", "intro.swf"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(MovieUrlFrom(c.location), c.url) << c.location;
}

}  // namespace
}  // namespace kestrel::runtime
