// Characters of a button's states are live display objects: clips among them run
// their scripts, can be reached from scripts, and leave with their state or button.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "player/core/button.h"
#include "tests/player/runtime/movie_fixture.h"

namespace kestrel::runtime {
namespace {

using Traces = std::vector<std::string>;

bool Contains(const Traces& traces, const std::string& line) {
    return std::find(traces.begin(), traces.end(), line) != traces.end();
}

// Sprite 2 traces its path when its first frame runs and on unload and enterFrame
// (while _root.watch is set). Shape 1 is the hit area, 20 x 20 at the button's origin.
const char* const kTracingSprite = R"(
shape 1
  fill #FF0000
  rect 0 0 20 20 fill=1
end
sprite 2
  action
    push "this"
    getVariable
    push "me", ""
    push "this"
    getVariable
    add2
    setMember
    push "this"
    getVariable
    push "me"
    getMember
    trace
    push "this"
    getVariable
    push "onUnload"
    function2 "" regs=2 flags=preload_this
      push "unload ", r:1, "me"
      getMember
      add2
      trace
    end
    setMember
    push "this"
    getVariable
    push "onEnterFrame"
    function2 "" regs=3 flags=preload_this|preload_root
      push r:2, "watch"
      getMember
      not
      if skip
      push "enter ", r:1
      add2
      trace
    skip:
    end
    setMember
  end
  showframe
end
)";

TEST_F(MovieTest, StateClipsRunScriptsAndFollowTheState) {
    load(std::string("version 8\nstage 100 100\n") + kTracingSprite + R"(
button 5
  state up 2 depth=1
  state over 2 depth=2
  state up,over 2 depth=3
  state hit 1 depth=1
end
place 5 depth=1 name="b" x=10 y=10
action
  push "root"
  trace
end
showframe
showframe
remove 1
action
  stop
end
showframe
)");
    EXPECT_EQ(takeTraces(), (Traces{"root", "_level0.b.instance1", "_level0.b.instance2"}))
        << "the Up state's clips, named after the button, start after the frame's actions";

    player.mouseMove(15, 15);
    Traces over = takeTraces();
    EXPECT_TRUE(Contains(over, "unload _level0.b.instance1")) << "an Up-only clip leaves";
    EXPECT_TRUE(Contains(over, "_level0.b.instance3")) << "an Over-only clip starts";
    EXPECT_EQ(over.size(), 2u) << "the clip of both states stays as it is";

    // Collecting must keep the scripts of shown clips (their handlers are still there).
    player.vm().collect();
    player.vm().setMember(root(), "watch", avm1::Value(true));
    player.advanceFrame();
    EXPECT_EQ(takeTraces(), (Traces{"enter _level0.b.instance3", "enter _level0.b.instance2"}))
        << "shown clips hear enterFrame, the newest first";
    player.advanceFrame();
    Traces removed = takeTraces();
    EXPECT_FALSE(Contains(removed, "enter _level0.b.instance3"))
        << "the removed button's clips no longer hear enterFrame";
    EXPECT_TRUE(Contains(removed, "unload _level0.b.instance2"));
    EXPECT_TRUE(Contains(removed, "unload _level0.b.instance3"));
    EXPECT_EQ(get(root(), "b").isUndefined(), true);
}

// Before SWF 6 a button is no object of its own: its name and the _parent of its
// clips stand for the clip that holds it.
TEST_F(MovieTest, ButtonsStandForTheirClipBeforeSwf6) {
    struct Case {
        int version;
        Traces expected;
    };
    const Case cases[] = {
        {5, {"_level0", "movieclip", "_level0", "undefined"}},
        {6, {"_level0.b", "object", "_level0.b", "_level0.b.instance1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        MoviePlayer fresh;
        std::string description = "version " + std::to_string(c.version) + R"(
shape 1
  fill #FF0000
  rect 0 0 20 20 fill=1
end
sprite 2
  action
    push "_parent"
    getVariable
    trace
    push "_parent"
    getVariable
    typeOf
    trace
    push "_root"
    getVariable
    push "b"
    getMember
    trace
    push "_root"
    getVariable
    push "b"
    getMember
    push "instance1"
    getMember
    trace
  end
  showframe
end
button 5
  state up 2 depth=1
  state hit 1 depth=1
end
place 5 depth=1 name="b"
showframe
)";
        std::vector<uint8_t> bytes = compile(description);
        Traces lines;
        fresh.traceOutput().openFile("");
        fresh.traceOutput().setCallback([&lines](std::string_view l) { lines.emplace_back(l); });
        ASSERT_TRUE(fresh.load(bytes.data(), bytes.size()));
        EXPECT_EQ(lines, c.expected);
    }
}

}  // namespace
}  // namespace kestrel::runtime
