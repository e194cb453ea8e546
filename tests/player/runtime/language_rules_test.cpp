// Rules of the language that depend on the movie's version, checked with small movies
// written action by action and played through the whole runtime.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/runtime/movie_player.h"
#include "tools/swfwriter/description.h"

namespace kestrel::runtime {
namespace {

// Plays a one-frame movie of the given version whose frame runs the given actions;
// returns the traced lines joined by "|".
std::string Traces(int version, const std::string& actions) {
    std::string description =
        "version " + std::to_string(version) + "\naction\n" + actions + "\nend\nshowframe\n";
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
    return out;
}

struct VersionCase {
    int version;
    const char* actions;
    const char* expected;
};

void ExpectTraces(const std::vector<VersionCase>& cases) {
    for (const VersionCase& c : cases)
        EXPECT_EQ(Traces(c.version, c.actions), c.expected) << "version " << c.version << ":\n"
                                                            << c.actions;
}

// An object whose valueOf gives an object compares false without converting the other
// side; a clip is not a number, so comparing with it is undefined.
TEST(LanguageRules, RelationalComparisonOfObjects) {
    const char* objectValueOf = R"(
push "o", 0, "Object"
newObject
setVariable
push "p", 0, "Object"
newObject
setVariable
push "p"
getVariable
push "valueOf"
function ""
  push "converted"
  trace
  push 2
  return
end
setMember
push "o"
getVariable
push "p"
getVariable
less2
trace
push "p"
getVariable
push "o"
getVariable
less2
trace
push "this"
getVariable
push 1
less2
trace
push 1, "this"
getVariable
greater
trace
)";
    ExpectTraces({
        {6, objectValueOf, "false|converted|false|undefined|undefined"},
        {7, objectValueOf, "false|converted|false|undefined|undefined"},
    });
}

}  // namespace
}  // namespace kestrel::runtime
