// Settings of the whole player that every timeline reaches (_focusrect, _soundbuftime),
// and what a script's reference to a clip stays after the clip is removed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/runtime/movie_player.h"
#include "tools/swfwriter/description.h"

namespace kestrel::runtime {
namespace {

// Plays `frames` frames of a movie of the given version with an empty clip "mc" at
// depth 1; `body` is the timeline after the placement. Returns the traces joined by "|".
std::string Traces(int version, const std::string& body, int frames = 1) {
    std::string description = "version " + std::to_string(version) +
                              "\nstage 100 100\nsprite 2\n  showframe\nend\n"
                              "place 2 depth=1 name=\"mc\"\n" +
                              body;
    std::string error;
    auto bytes = swf::CompileDescription(description, error);
    if (!bytes) return "<compile error: " + error + ">";
    MoviePlayer player;
    std::string out;
    player.traceOutput().openFile("");
    player.traceOutput().setCallback([&](std::string_view line) {
        if (!out.empty()) out += '|';
        out.append(line);
    });
    if (!player.load(bytes->data(), bytes->size())) return "<load failed>";
    for (int i = 1; i < frames; ++i) player.advanceFrame();
    return out;
}

std::string OneFrame(const std::string& actions) {
    return "action\n" + actions + "\nend\nshowframe\n";
}

// Reads the root's and the clip's _focusrect, after the clip sets its own.
const char* const kFocusRects = R"(
push "_focusrect"
getVariable
trace
push "mc"
getVariable
push "_focusrect"
getMember
trace
push "mc"
getVariable
push "_focusrect", 0
setMember
push "mc"
getVariable
push "_focusrect"
getMember
trace
push "_focusrect"
getVariable
trace
push "mc"
getVariable
push "_focusrect"
push undefined
setMember
push "mc"
getVariable
push "_focusrect"
getMember
trace
push "_focusrect", 0
setVariable
push "_focusrect"
getVariable
trace
)";

// The player's flag is true at first, a number before SWF 6; from SWF 6 a clip has its
// own, null until set and cleared by undefined, and the level still reaches the player's.
TEST(PlayerProperties, FocusRect) {
    struct Case {
        int version;
        const char* expected;
    };
    for (const Case& c : std::vector<Case>{{5, "1|1|0|0|0|0"},
                                           {6, "true|null|false|true|null|false"},
                                           {8, "true|null|false|true|null|false"}})
        EXPECT_EQ(Traces(c.version, OneFrame(kFocusRects)), c.expected) << "version " << c.version;
}

// getProperty 17 and 18 read the same settings as their names.
TEST(PlayerProperties, ByNumberAsByName) {
    const char* program = R"(
push "", 17
getProperty
trace
push "", 18
getProperty
trace
push "mc", 18, 2
setProperty
push "_soundbuftime"
getVariable
trace
)";
    EXPECT_EQ(Traces(8, OneFrame(program)), "true|5|2");
}

// _soundbuftime starts at 5 seconds and keeps a whole number, as bit operations convert.
TEST(PlayerProperties, SoundBufferTime) {
    struct Case {
        const char* value;
        const char* expected;
    };
    for (const Case& c :
         std::vector<Case>{{"", "5"},
                           {"push \"_soundbuftime\", 10.7\nsetVariable", "10"},
                           {"push \"_soundbuftime\", -3.5\nsetVariable", "-3"},
                           {"push \"_soundbuftime\", \"x\"\nsetVariable", "0"},
                           {"push \"_soundbuftime\", d:4294967298\nsetVariable", "2"}}) {
        std::string program = std::string(c.value) + "\npush \"_soundbuftime\"\ngetVariable\ntrace";
        EXPECT_EQ(Traces(8, OneFrame(program)), c.expected) << c.value;
    }
}

// A reference kept to a clip still answers "movieclip" to typeof once the clip is
// removed, whether the timeline or a script (once it is at a script's depth) removed it.
TEST(PlayerProperties, RemovedClipIsStillAMovieClip) {
    const char* keep = R"(action
push "k", "mc"
getVariable
setVariable
end
showframe
)";
    const char* check = R"(action
push "k"
getVariable
typeof
trace
push "mc"
getVariable
typeof
trace
stop
end
showframe
)";
    EXPECT_EQ(Traces(8, std::string(keep) + "remove 1\n" + check, 2), "movieclip|undefined");
    const char* byScript = R"(action
push "k", "mc"
getVariable
setVariable
push 5, 1, "mc"
getVariable
push "swapDepths"
callMethod
pop
push 0, "mc"
getVariable
push "removeMovieClip"
callMethod
pop
end
)";
    EXPECT_EQ(Traces(6, std::string(byScript) + check), "movieclip|undefined");
}

// The unload handlers of a removed clip run while the clip is still there to them: its
// path, name, target and position answer; once they are done it is gone.
TEST(PlayerProperties, UnloadHandlersStillReachTheClip) {
    const char* program = R"(sprite 3
  place 2 depth=1 name="inner" x=7 actions
    on unload
      push "clipEvent ", "this"
      getVariable
      add2
      trace
      push "_name"
      getVariable
      trace
      push "_target"
      getVariable
      trace
    end
  end
  showframe
end
place 3 depth=2 name="outer"
action
push "outer"
getVariable
push "inner"
getMember
push "onUnload"
function2 "" regs=2 flags=preload_this
  push "onUnload ", r:1
  add2
  trace
  push r:1, "_x"
  getMember
  trace
end
setMember
push "k", "outer"
getVariable
push "inner"
getMember
setVariable
end
showframe
remove 2
action
stop
end
showframe
)";
    EXPECT_EQ(Traces(8, program, 3),
              "clipEvent _level0.outer.inner|inner|/outer/inner|onUnload _level0.outer.inner|7");
    std::string later = std::string(program).replace(std::string(program).rfind("stop"), 4, R"(end
showframe
action
push "k"
getVariable
push "_name"
getMember
trace
push "k"
getVariable
trace
stop)");
    EXPECT_EQ(Traces(8, later, 4).substr(Traces(8, program, 3).size()),
              "|undefined|_level0.outer.inner")
        << "the handlers done, the clip answers no more but keeps its path";
}

}  // namespace
}  // namespace kestrel::runtime
