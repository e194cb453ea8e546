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

// Builds an object with properties a..f, gives each one version bit with ASSetPropFlags and
// traces them; a hidden property reads as undefined (an empty string before SWF 7).
std::string VersionBitsProgram() {
    std::string program = R"(
push "o", "a", "A", "b", "B", "c", "C", "d", "D", "e", "E", "f", "F", 6
initObject
setVariable
)";
    const std::pair<const char*, int> bits[] = {{"a", 128},  {"b", 256},  {"c", 1024},
                                                {"d", 4096}, {"e", 8192}, {"f", 16384}};
    for (const auto& [name, bit] : bits)
        program += "push 0, " + std::to_string(bit) + ", \"" + name +
                   "\", \"o\"\ngetVariable\npush 4, \"ASSetPropFlags\"\ncallFunction\npop\n";
    program += "push \"\"\n";
    for (const auto& [name, bit] : bits)
        program += std::string("push \"o\"\ngetVariable\npush \"") + name + "\"\ngetMember\nadd2\n";
    program += "trace\n";
    return program;
}

TEST(LanguageRules, VersionBitsOfPropertyFlagsHideProperties) {
    const std::string program = VersionBitsProgram();
    // a: from 6, b: hidden in 6, c: from 7, d: from 8, e: from 9, f: from 10.
    ExpectTraces({
        {5, program.c_str(), "B"},
        {6, program.c_str(), "A"},
        {7, program.c_str(), "ABCundefinedundefinedundefined"},
        {8, program.c_str(), "ABCDundefinedundefined"},
    });
}

// A hidden property still exists: for..in lists it, delete removes it, and an assignment
// replaces it with a visible one instead of calling an inherited setter.
TEST(LanguageRules, HiddenPropertyStillExists) {
    const char* program = R"(
push "o", "p", "v", 1
initObject
setVariable
push 0, 16384, "p", "o"
getVariable
push 4, "ASSetPropFlags"
callFunction
pop
push "p", 1, "o"
getVariable
push "hasOwnProperty"
callMethod
trace
push "o"
getVariable
push "p", "w"
setMember
push "o"
getVariable
push "p"
getMember
trace
push "o"
getVariable
push "p"
delete
trace
)";
    ExpectTraces({{8, program, "true|w|true"}});
}

}  // namespace
}  // namespace kestrel::runtime
