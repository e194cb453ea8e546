// Movies written with the project's SWF writer, played through the whole runtime.
#include "player/runtime/movie_player.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/core/button.h"
#include "tests/player/runtime/movie_fixture.h"
#include "tests/player/runtime/script_fixture.h"
#include "tools/swfwriter/description.h"

namespace kestrel::runtime {
namespace {

using avm1::Value;

// A box moving over four frames, a text field bound to "message" that frames 1 and 4
// change, and a button whose release handler changes it again.
const char* const kShowcase = R"(
version 8
stage 320 200
rate 12
background #F0F0F0
font 1 "_sans"
edittext 2 10 10 300 24 font=1 size=14 color=#202020 var="message" text="" readonly noselect
shape 3
  fill #CC3333
  rect 0 0 30 30 fill=1
end
shape 4
  fill #33AA33
  rect 0 0 100 30 fill=1
end
button 5
  state up,over,down,hit 4 depth=1
  on release
    push "message", "clicked"
    setVariable
    push "released"
    trace
  end
end
place 2 depth=1 name="label"
place 3 depth=2 x=10 y=60 name="box"
place 5 depth=3 x=110 y=150 name="button"
action
  push "message", "frame 1"
  setVariable
end
showframe
move depth=2 x=60 y=60
showframe
move depth=2 x=110 y=60
showframe
move depth=2 x=160 y=60
action
  push "message", "frame 4"
  setVariable
  stop
end
showframe
)";

TEST_F(MovieTest, ShowcasePlaysFramesTextAndButton) {
    load(kShowcase);
    ASSERT_EQ(player.status(), LoadStatus::Playing);
    player::MovieClip& rootClip = player.stage()->root();
    // Frame 1 ran inside load: the bound field already shows the variable.
    EXPECT_EQ(rootClip.currentFrame(), 1);
    ASSERT_TRUE(field("label"));
    EXPECT_EQ(field("label")->text(), "frame 1");
    player::DisplayObject* box = rootClip.childByName("box", true);
    ASSERT_TRUE(box);
    EXPECT_DOUBLE_EQ(box->x(), 10);

    const double expectedX[] = {60, 110, 160};
    for (double x : expectedX) {
        player.advanceFrame();
        EXPECT_DOUBLE_EQ(rootClip.childByName("box", true)->x(), x);
    }
    EXPECT_EQ(rootClip.currentFrame(), 4);
    EXPECT_EQ(field("label")->text(), "frame 4");
    player.advanceFrame();  // stopped
    EXPECT_EQ(rootClip.currentFrame(), 4);
    EXPECT_EQ(get(root(), "_currentframe").asNumber(), 4);

    player::RenderList list;
    player.buildRenderList(list);
    size_t shapes = 0, texts = 0;
    for (const auto& item : list.items) (item.kind == player::RenderItem::Text ? texts : shapes)++;
    EXPECT_EQ(texts, 1u);
    EXPECT_EQ(shapes, 2u);

    // The button's release handler, driven by mouse events in stage pixels.
    player.mouseMove(150, 160);
    player.mouseDown(150, 160);
    EXPECT_EQ(field("label")->text(), "frame 4");
    player.mouseUp(150, 160);
    EXPECT_EQ(field("label")->text(), "clicked");
    EXPECT_EQ(traces, std::vector<std::string>{"released"});
    // A release away from the button does nothing.
    player.mouseMove(5, 190);
    player.mouseDown(5, 190);
    player.mouseUp(5, 190);
    EXPECT_EQ(traces.size(), 1u);
}

TEST_F(MovieTest, TextFieldAndVariableFollowEachOther) {
    load(kShowcase);
    player::EditText* label = field("label");
    ASSERT_TRUE(label);
    Value fieldObject = get(root(), "label");
    ASSERT_TRUE(fieldObject.isObject());
    EXPECT_EQ(str(get(fieldObject, "text")), "frame 1");
    EXPECT_EQ(str(get(fieldObject, "variable")), "message");
    player.vm().setMember(fieldObject, "text", Value("typed"));
    EXPECT_EQ(str(get(root(), "message")), "typed");
    player.vm().setMember(root(), "message", Value(42));
    player.settle();
    EXPECT_EQ(label->text(), "42");
}

TEST_F(MovieTest, TickFollowsTheFrameRate) {
    load(kShowcase);  // 12 fps: 83.3 ms a frame
    EXPECT_EQ(player.tick(50), 0);
    EXPECT_EQ(player.tick(40), 1);
    EXPECT_EQ(player.stage()->root().currentFrame(), 2);
    // A long stall plays a few frames, not all that were missed.
    EXPECT_LE(player.tick(10000), 4);
    EXPECT_DOUBLE_EQ(player.clockMs(), 10090);
}

TEST_F(MovieTest, FrameActionsRunParentFirstAndInitActionsOnce) {
    load(R"(
version 8
rate 10
sprite 2
  action
    push "child frame"
    trace
  end
  showframe
end
export 2 "child"
initaction 2
  push "init"
  trace
end
place 2 depth=1 name="kid"
action
  push "root frame 1"
  trace
end
showframe
action
  push "root frame 2"
  trace
  push 1
  gotoFrame 0
  gotoFrame2 play
end
showframe
)");
    ASSERT_GE(traces.size(), 3u);
    EXPECT_EQ(traces[0], "init");
    EXPECT_EQ(traces[1], "root frame 1");
    EXPECT_EQ(traces[2], "child frame");
    traces.clear();
    player.advanceFrame();
    player.advanceFrame();
    for (const auto& t : traces) EXPECT_NE(t, "init");
}

TEST_F(MovieTest, ClipMethodsAndProperties) {
    load(R"(
version 8
rate 10
shape 1
  fill #FF0000
  rect 0 0 20 20 fill=1
end
sprite 2
  place 1 depth=1
  showframe
  label "second"
  showframe
  showframe
end
export 2 "ball"
showframe
)");
    Value r = root();
    Value ball = call(r, "attachMovie", {Value("ball"), Value("b1"), Value(10)});
    ASSERT_TRUE(ball.isObject());
    EXPECT_EQ(player.vm().typeOf(ball), "movieclip");
    EXPECT_EQ(get(r, "b1").asObject(), ball.asObject());
    EXPECT_EQ(str(get(ball, "_name")), "b1");
    EXPECT_EQ(str(get(ball, "_target")), "/b1");
    EXPECT_EQ(str(ball), "_level0.b1");
    EXPECT_EQ(get(ball, "_parent").asObject(), r.asObject());
    EXPECT_EQ(get(ball, "_root").asObject(), r.asObject());
    EXPECT_EQ(get(ball, "_totalframes").asNumber(), 3);
    EXPECT_EQ(call(ball, "getDepth").asNumber(), 10);
    EXPECT_DOUBLE_EQ(get(ball, "_width").asNumber(), 20);

    player.vm().setMember(ball, "_x", Value(30));
    player.vm().setMember(ball, "_xscale", Value(200));
    player.vm().setMember(ball, "_alpha", Value(50));
    player.vm().setMember(ball, "_visible", Value(false));
    EXPECT_DOUBLE_EQ(get(ball, "_x").asNumber(), 30);
    EXPECT_DOUBLE_EQ(get(ball, "_width").asNumber(), 40);
    EXPECT_DOUBLE_EQ(get(ball, "_alpha").asNumber(), 50);
    EXPECT_FALSE(get(ball, "_visible").asBoolean());

    call(ball, "gotoAndStop", {Value("second")});
    EXPECT_EQ(get(ball, "_currentframe").asNumber(), 2);
    call(ball, "gotoAndStop", {Value(3)});
    EXPECT_EQ(get(ball, "_currentframe").asNumber(), 3);
    call(ball, "prevFrame");
    EXPECT_EQ(get(ball, "_currentframe").asNumber(), 2);

    Value bounds = call(ball, "getBounds", {r});
    EXPECT_DOUBLE_EQ(get(bounds, "xMin").asNumber(), 30);
    EXPECT_DOUBLE_EQ(get(bounds, "xMax").asNumber(), 70);
    Value point(player.vm().newObject());
    player.vm().setMember(point, "x", Value(5));
    player.vm().setMember(point, "y", Value(5));
    call(ball, "localToGlobal", {point});
    EXPECT_DOUBLE_EQ(get(point, "x").asNumber(), 40);
    call(ball, "globalToLocal", {point});
    EXPECT_DOUBLE_EQ(get(point, "x").asNumber(), 5);
    EXPECT_TRUE(call(ball, "hitTest", {Value(35), Value(5), Value(true)}).asBoolean());
    EXPECT_FALSE(call(ball, "hitTest", {Value(75), Value(5), Value(true)}).asBoolean());

    Value empty = call(r, "createEmptyMovieClip", {Value("holder"), Value(20)});
    ASSERT_TRUE(empty.isObject());
    call(ball, "swapDepths", {empty});
    EXPECT_EQ(call(ball, "getDepth").asNumber(), 20);
    EXPECT_EQ(call(empty, "getDepth").asNumber(), 10);
    Value copy = call(ball, "duplicateMovieClip", {Value("b2"), Value(30)});
    ASSERT_TRUE(copy.isObject());
    EXPECT_DOUBLE_EQ(get(copy, "_x").asNumber(), 30);
    Value text = call(r, "createTextField",
                      {Value("t"), Value(40), Value(0), Value(0), Value(100), Value(20)});
    ASSERT_TRUE(text.isObject());
    player.vm().setMember(text, "text", Value("hi"));
    EXPECT_EQ(str(get(get(r, "t"), "text")), "hi");

    int unloads = 0;
    player.vm().setMember(ball, "onUnload",
                          Value(player.vm().newNativeFunction([&](avm1::NativeCall&) {
                              ++unloads;
                              return Value();
                          })));
    call(ball, "removeMovieClip");
    player.settle();
    EXPECT_EQ(unloads, 1);
    EXPECT_TRUE(get(r, "b1").isUndefined());
    EXPECT_TRUE(get(ball, "_x").isUndefined());  // the old object is cut off
    EXPECT_TRUE(call(r, "attachMovie", {Value("nothing"), Value("x"), Value(1)}).isUndefined());
}

TEST_F(MovieTest, TargetPathsReachClips) {
    load(R"(
version 8
shape 1
  fill #FF0000
  rect 0 0 20 20 fill=1
end
sprite 2
  place 1 depth=1
  showframe
end
sprite 3
  place 2 depth=1 name="inner"
  showframe
end
place 3 depth=1 name="outer"
showframe
)");
    avm1::Object* r = player.rootObject();
    avm1::Object* inner = player.vm().resolveTargetPath(r, "/outer/inner");
    ASSERT_TRUE(inner);
    EXPECT_EQ(player.vm().resolveTargetPath(r, "_root.outer.inner"), inner);
    EXPECT_EQ(player.vm().resolveTargetPath(inner, "_parent._parent"), r);
    EXPECT_EQ(player.vm().resolveTargetPath(inner, "_level0"), r);
    EXPECT_EQ(str(get(Value(inner), "_target")), "/outer/inner");
}

TEST_F(MovieTest, EnterFrameAndClipMouseHandlers) {
    load(R"(
version 8
rate 10
stage 200 200
shape 1
  fill #FF0000
  rect 0 0 50 50 fill=1
end
sprite 2
  place 1 depth=1
  showframe
end
place 2 depth=1 name="pad" x=100 y=100
action
  push "count", 0
  setVariable
  push "this"
  getVariable
  push "onEnterFrame"
  function "" ()
    push "count", "count"
    getVariable
    increment
    setVariable
  end
  setMember
end
showframe
action
  stop
end
showframe
)");
    player.advanceFrame();
    player.advanceFrame();
    EXPECT_EQ(player.vm().toNumber(get(root(), "count")), 2);

    std::vector<std::string> events;
    Value pad = get(root(), "pad");
    for (const char* name : {"onPress", "onRelease", "onRollOver", "onRollOut"}) {
        std::string n = name;
        player.vm().setMember(pad, name,
                              Value(player.vm().newNativeFunction([&events, n](avm1::NativeCall&) {
                                  events.push_back(n);
                                  return Value();
                              })));
    }
    player.settle();
    player.mouseMove(120, 120);
    player.mouseDown(120, 120);
    player.mouseUp(120, 120);
    player.mouseMove(10, 10);
    EXPECT_EQ(events,
              (std::vector<std::string>{"onRollOver", "onPress", "onRelease", "onRollOut"}));
}

TEST_F(MovieTest, KeyMouseIntervalsAndTimer) {
    load("version 8\nrate 10\nshowframe\n");
    avm1::Vm& vm = player.vm();
    Value key = vm.getMember(Value(vm.global()), "Key");
    Value listener(vm.newObject());
    std::vector<int> downs;
    vm.setMember(listener, "onKeyDown", Value(vm.newNativeFunction([&](avm1::NativeCall& c) {
                     downs.push_back(static_cast<int>(
                         c.vm.toNumber(c.vm.callMethod(key, "getCode", {}).value_or(Value()))));
                     return Value();
                 })));
    call(key, "addListener", {listener});
    player.keyDown(37, 0);
    EXPECT_TRUE(call(key, "isDown", {get(key, "LEFT")}).asBoolean());
    player.keyUp(37, 0);
    EXPECT_FALSE(call(key, "isDown", {Value(37)}).asBoolean());
    EXPECT_EQ(downs, std::vector<int>{37});

    Value mouse = vm.getMember(Value(vm.global()), "Mouse");
    call(mouse, "hide");
    EXPECT_TRUE(player.mouseHidden());
    call(mouse, "show");
    EXPECT_FALSE(player.mouseHidden());

    int fired = 0;
    Value fn(vm.newNativeFunction([&](avm1::NativeCall&) {
        ++fired;
        return Value();
    }));
    Value id = vm.callMethod(Value(vm.global()), "setInterval", {fn, Value(100)}).value_or(Value());
    player.tick(60);
    EXPECT_EQ(fired, 0);
    player.tick(60);
    EXPECT_EQ(fired, 1);
    vm.callMethod(Value(vm.global()), "clearInterval", {id});
    player.tick(300);
    EXPECT_EQ(fired, 1);
    EXPECT_DOUBLE_EQ(player.clockMs(), 420);
}

TEST_F(MovieTest, CallbacksRegisteredInFrameOneAreThereRightAfterLoad) {
    load(R"(
version 8
action
  push "answer", "pong", 1
  callFunction
  pop
  push "this"
  getVariable
  push "answer", 3, "flash"
  getVariable
  push "external"
  getMember
  push "ExternalInterface"
  getMember
  push "addCallback"
  callMethod
  pop
end
showframe
)");
    EXPECT_EQ(player.registeredCallbacks(), std::vector<std::string>{"answer"});
}

TEST_F(MovieTest, KeyPressConditionsOfButtonsAndClips) {
    load(R"(
version 8
shape 1
  fill #FF0000
  rect 0 0 20 20 fill=1
end
button 2
  state up,over,down,hit 1 depth=1
  on keyPress key=13
    push "button enter"
    trace
  end
end
sprite 3
  place 1 depth=1
  showframe
end
place 2 depth=1
place 3 depth=2 name="c" actions
  on keyPress key=97
    push "clip a"
    trace
  end
end
showframe
)");
    player.keyDown(13, 13);
    player.keyUp(13, 13);
    player.keyDown(65, 97);
    player.keyDown(66, 98);
    EXPECT_EQ(traces, (std::vector<std::string>{"button enter", "clip a"}));
    EXPECT_EQ(buttonKeyCode(37, 0), 1);
    EXPECT_EQ(buttonKeyCode(27, 27), 19);
    EXPECT_EQ(buttonKeyCode(112, 0), 0);  // F1: no button code
}

// GetURL2 flags as players read them: the method in bits 0-1, load-variables 0x80.
TEST_F(MovieTest, GetUrlNavigatesAndLoadVariablesLoads) {
    FakeNetwork network;
    player.setNetworkHost(&network);
    load(R"(
version 8
action
  push "http://example.com/", "_blank"
  raw 0x9A 00
  push "vars.txt", "_root"
  raw 0x9A 81
  push "name", "x"
  setVariable
  push "form", ""
  raw 0x9A 02
end
showframe
)");
    ASSERT_EQ(network.requests.size(), 1u);
    EXPECT_EQ(network.requests[0].url, "vars.txt");
    player.completeUrlRequest(network.requests[0].id, "loaded=yes");
    EXPECT_EQ(str(get(root(), "loaded")), "yes");
    ASSERT_EQ(network.navigations.size(), 2u);
    EXPECT_EQ(network.navigations[0], "http://example.com/ _blank");
    EXPECT_EQ(network.navigations[1].rfind("form  POST ", 0), 0u);
    EXPECT_NE(network.navigations[1].find("name=x"), std::string::npos);
}

TEST_F(MovieTest, QuitStopsPlayback) {
    load(R"(
version 8
action
  push "before"
  trace
  getURL "FSCommand:quit" ""
  push "after"
  trace
end
showframe
showframe
)");
    EXPECT_TRUE(player.quitRequested());
    EXPECT_EQ(traces, std::vector<std::string>{"before"});
    player.advanceFrame();
    EXPECT_EQ(player.tick(1000), 0);
}

// Frames 1 and 2 trace their letter; the timeline loops.
const char* const kLoopingLetters = R"(
version 8
rate 10
action
  push "a"
  trace
end
showframe
action
  push "b"
  trace
end
showframe
)";

TEST(MovieFrameLimit, PlaysExactlyTheFramesAllowedThenStandsStill) {
    struct Case {
        int limit;
        std::vector<std::string> traces;
    };
    const Case cases[] = {{1, {"a"}}, {2, {"a", "b"}}, {5, {"a", "b", "a", "b", "a"}}};
    std::vector<uint8_t> bytes = compile(kLoopingLetters);
    for (const Case& c : cases) {
        MoviePlayer player;
        std::vector<std::string> traces;
        player.traceOutput().openFile("");
        player.traceOutput().setCallback([&](std::string_view line) { traces.emplace_back(line); });
        player.setFrameLimit(c.limit);
        ASSERT_TRUE(player.load(bytes.data(), bytes.size()));
        // Far more time and frames than the limit allows, both ways of playing.
        for (int i = 0; i < 4; ++i) player.tick(10000);
        for (int i = 0; i < 4; ++i) player.advanceFrame();
        EXPECT_EQ(traces, c.traces) << "limit " << c.limit;
        EXPECT_TRUE(player.frameLimitReached());
        EXPECT_EQ(player.tick(10000), 0);
        EXPECT_FALSE(player.quitRequested());
    }
}

TEST(MovieFrameLimit, NoLimitKeepsPlaying) {
    std::vector<uint8_t> bytes = compile(kLoopingLetters);
    MoviePlayer player;
    int lines = 0;
    player.traceOutput().openFile("");
    player.traceOutput().setCallback([&](std::string_view) { ++lines; });
    player.setFrameLimit(0);
    ASSERT_TRUE(player.load(bytes.data(), bytes.size()));
    for (int i = 0; i < 10; ++i) player.advanceFrame();
    EXPECT_EQ(lines, 11);
    EXPECT_FALSE(player.frameLimitReached());
}

TEST(MovieLoading, RefusesWhatIsNoMovie) {
    const std::string notSwf = "GIF89a not a movie at all";
    MoviePlayer player;
    EXPECT_FALSE(player.load(reinterpret_cast<const uint8_t*>(notSwf.data()), notSwf.size()));
    EXPECT_EQ(player.status(), LoadStatus::Failed);
    EXPECT_EQ(player.loadError(), player::SwfError::NotSwf);
    EXPECT_EQ(player.tick(100), 0);
    player.mouseDown(1, 1);
    player.keyDown(13, 13);
    player::RenderList list;
    player.buildRenderList(list);
    EXPECT_TRUE(list.items.empty());

    MoviePlayer empty;
    EXPECT_FALSE(empty.completeStream());
    EXPECT_EQ(empty.loadError(), player::SwfError::Empty);
}

TEST(MovieLoading, StreamArrivesInPieces) {
    std::vector<uint8_t> bytes =
        compile("version 8\naction\n  push \"go\"\n  trace\nend\nshowframe\n");
    MoviePlayer player;
    std::vector<std::string> traces;
    player.traceOutput().setCallback([&](std::string_view l) { traces.emplace_back(l); });
    for (size_t i = 0; i < bytes.size(); i += 7)
        ASSERT_TRUE(
            player.appendStreamBytes(bytes.data() + i, std::min<size_t>(7, bytes.size() - i)));
    EXPECT_TRUE(traces.empty());
    ASSERT_TRUE(player.completeStream());
    EXPECT_EQ(traces, std::vector<std::string>{"go"});
    EXPECT_FALSE(player.appendStreamBytes(bytes.data(), 1));  // already playing
}

}  // namespace
}  // namespace kestrel::runtime
