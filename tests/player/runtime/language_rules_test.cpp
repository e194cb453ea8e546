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
// `header` goes before the frame (a fileattributes line).
std::string Traces(int version, const std::string& actions, const std::string& header = "") {
    std::string description = "version " + std::to_string(version) + "\n" + header + "action\n" +
                              actions + "\nend\nshowframe\n";
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

// GetProperty's property number: a text counts up to its first non-numeric character,
// what is not a number is property 0 (_x), a number is truncated; the root has no name.
TEST(LanguageRules, PropertyNumbersOfGetProperty) {
    const char* program = R"(
push "/", "11ABC"
getProperty
trace
push "/", "0x13"
getProperty
trace
push "/", "013"
getProperty
push "|"
stringAdd
trace
push "/", -0.8
getProperty
trace
push "/", -1
getProperty
trace
push "/", 11.9
getProperty
trace
)";
    ExpectTraces({
        {4, program, "/|0|||0|undefined|/"},
        {8, program, "/|0|||0|undefined|/"},
    });
}

// Names compare without case up to SWF 6, beyond ASCII too.
TEST(LanguageRules, NamesFoldCaseBeyondAscii) {
    const char* program =
        "push \"this\"\ngetVariable\npush \"\xC3\x84\", \"found\"\nsetMember\n"
        "push \"this\"\ngetVariable\npush \"\xC3\xA4\"\ngetMember\ntrace\n";
    ExpectTraces({
        {6, program, "found"},
        {7, program, "undefined"},
    });
}

// A function called by name runs with the object its name was found on as `this`: a
// function's locals, a with object, else the timeline. Inside a function DefineLocal
// takes the name as it stands, paths included.
TEST(LanguageRules, CallByNameRunsOnTheObjectHoldingTheName) {
    const char* program = R"(
function "show" ()
  push "this"
  getVariable
  push "/:x"
  getMember
  trace
end
function "f" ()
  push "/:x", "local"
  defineLocal
  push "g", "show"
  getVariable
  defineLocal
  push 0, "g"
  callFunction
  pop
end
push "this"
getVariable
push "/:x", "timeline"
setMember
push 0, "f"
callFunction
pop
push 0, "show"
callFunction
pop
push "o", "/:x", "with", 1
initObject
setVariable
push "o"
getVariable
push "show"
getVariable
push "g"
stackSwap
setMember
push "o"
getVariable
with
  push 0, "g"
  callFunction
  pop
end
)";
    ExpectTraces({{6, program, "local|timeline|with"}, {8, program, "local|timeline|with"}});
}

// ExternalInterface lists every slot below an array's length, empty ones as undefined,
// and the characters of a string the same way; for..in order skips empty slots.
TEST(LanguageRules, ExternalInterfaceListsEmptySlots) {
    const char* program = R"(
push 2, 1, "Array"
newObject
push 1, "flash"
getVariable
push "external"
getMember
push "ExternalInterface"
getMember
push "_arrayToXML"
callMethod
trace
push "ab", 1, "flash"
getVariable
push "external"
getMember
push "ExternalInterface"
getMember
push "_arrayToXML"
callMethod
trace
push 2, 1, "Array"
newObject
push 1, "flash"
getVariable
push "external"
getMember
push "ExternalInterface"
getMember
push "_objectToXML"
callMethod
trace
)";
    ExpectTraces({{8, program,
                   "<array><property id=\"0\"><undefined/></property><property "
                   "id=\"1\"><undefined/></property></array>|"
                   "<array><property id=\"0\"><undefined/></property><property "
                   "id=\"1\"><undefined/></property></array>|<object></object>"}});
}

// A function's prototype cannot be deleted, whether DefineFunction or Extends made it;
// every clip reaches _global as a member.
TEST(LanguageRules, PrototypesStayAndClipsReachGlobal) {
    const char* program = R"(
function "Base" ()
end
function "Sub" ()
end
push "Sub"
getVariable
push "Base"
getVariable
extends
push "Base"
getVariable
push "prototype"
delete
trace
push "Sub"
getVariable
push "prototype"
delete
trace
push "Sub"
getVariable
push "prototype"
getMember
typeOf
trace
push "this"
getVariable
push "_global"
getMember
push "_global"
getVariable
strictEquals
trace
)";
    ExpectTraces({{8, program, "false|false|object|true"}});
}

// DefineFunction2: suppressing this or super empties its preloaded register, arguments are
// preloaded even when suppressed; with this preloaded or suppressed, the name `this`
// means the function's timeline from SWF 6 (nothing before).
TEST(LanguageRules, PreloadedAndSuppressedThisOfDefineFunction2) {
    const char* program = R"(
function2 "f" () regs=4 flags=preload_this|suppress_this|preload_arguments|suppress_arguments|preload_super|suppress_super
  push r:1
  trace
  push r:2
  trace
  push r:3
  trace
  push "this"
  getVariable
  trace
end
function2 "g" () regs=2 flags=preload_this
  push r:1
  push "this"
  getVariable
  strictEquals
  trace
end
push 2, 1, 2, "f"
callFunction
pop
push "o", 0, "Object"
newObject
setVariable
push "o"
getVariable
push "g", "g"
getVariable
setMember
push 0, "o"
getVariable
push "g"
callMethod
pop
)";
    ExpectTraces({
        {5, program, "undefined|1,2|undefined|undefined|false"},
        {8, program, "undefined|1,2|undefined|_level0|false"},
    });
}

// SetTarget2 names its target by text (an object by its toString). A target that does not
// exist leaves variables on the root; timeline actions go there too up to SWF 6 only.
TEST(LanguageRules, TargetsAreNamedByText) {
    const char* program = R"(
push 1, "c", 2, "createEmptyMovieClip"
callFunction
pop
push "x", "root"
setVariable
push "c"
getVariable
push "x", "clip"
setMember
push "o", 0
initObject
setVariable
push "o"
getVariable
push "toString"
function ""
  push "c"
  return
end
setMember
push "o"
getVariable
setTarget2
push "x"
getVariable
trace
setTarget ""
setTarget "nothing"
push "x"
getVariable
trace
push "", 13
getProperty
typeOf
trace
setTarget ""
)";
    ExpectTraces({
        {6, program, "clip|root|string"},
        {7, program, "clip|root|undefined"},
    });
}

// isNaN() without an argument has no number to look at, in every version.
TEST(LanguageRules, IsNaNWithoutArgument) {
    const char* program = R"(
push 0, "isNaN"
callFunction
trace
push undefined, 1, "isNaN"
callFunction
trace
)";
    ExpectTraces({{5, program, "true|false"}, {7, program, "true|true"}});
}

// Reading through a prototype chain that loops aborts the whole script, callers included.
TEST(LanguageRules, LoopingPrototypeChainAbortsTheScript) {
    const char* program = R"(
push "o", 0
initObject
setVariable
push "o"
getVariable
push "__proto__", "o"
getVariable
setMember
function "read" ()
  push "o"
  getVariable
  push "missing"
  getMember
  pop
  push "not reached"
  trace
end
push "before"
trace
push 0, "read"
callFunction
pop
push "not reached either"
trace
)";
    ExpectTraces({{8, program, "before"}});
}

// Display objects convert to their target path; getInstanceAtDepth finds them by depth and
// a level is at depth -16384.
TEST(LanguageRules, DisplayObjectsByDepthAndPath) {
    const char* program = R"(
push 5, "c", 2, "createEmptyMovieClip"
callFunction
pop
push 10, 10, 0, 0, 6, "t", 6, "createTextField"
callFunction
pop
push 5, 1, "getInstanceAtDepth"
callFunction
trace
push 6, 1, "getInstanceAtDepth"
callFunction
trace
push 7, 1, "getInstanceAtDepth"
callFunction
trace
push 0, "this"
getVariable
push "getDepth"
callMethod
trace
)";
    ExpectTraces({{8, program, "_level0.c|_level0.t|undefined|-16384"}});
}

// Broadcasters take any value as a listener, once, and compare listeners strictly.
TEST(LanguageRules, BroadcastersTakeAnyListenerOnce) {
    const char* program = R"(
push "Mouse"
getVariable
push "_listeners"
getMember
push "length"
getMember
trace
push null, 1, "Mouse"
getVariable
push "addListener"
callMethod
pop
push 1, 1, "Mouse"
getVariable
push "addListener"
callMethod
pop
push 1, 1, "Mouse"
getVariable
push "addListener"
callMethod
pop
push "Mouse"
getVariable
push "_listeners"
getMember
trace
push "1", 1, "Mouse"
getVariable
push "removeListener"
callMethod
trace
push 1, 1, "Mouse"
getVariable
push "removeListener"
callMethod
trace
)";
    ExpectTraces({{8, program, "0|null,1|false|true"}});
}

// Arithmetic of SWF 4 has no NaN: a text gives its leading number or 0, undefined is 0.
TEST(LanguageRules, Swf4ArithmeticReadsLeadingNumbers) {
    const char* program = R"(
push "12abc", 1
add
trace
push "abc", 1
subtract
trace
push undefined, 2
multiply
trace
)";
    ExpectTraces({
        {4, program, "13|-1|0"},
        {6, program, "NaN|NaN|0"},
        {7, program, "NaN|NaN|NaN"},
    });
}

// A clip reports the scale and rotation a script gave it, not values recomputed from its
// matrix; rotation is kept within -180..180.
TEST(LanguageRules, ClipsKeepTheScaleAndRotationGiven) {
    const char* program = R"(
push "", 2, 33.3
setProperty
push "", 10, 190
setProperty
push "", 10
getProperty
trace
push "", 2
getProperty
trace
push "i", 0
setVariable
loop:
push "", 10, "", 10
getProperty
push 2
add2
setProperty
push "i", "i"
getVariable
increment
setVariable
push "i"
getVariable
push 140
less2
if loop
push "", 10
getProperty
trace
)";
    ExpectTraces({{8, program, "-170|33.3|110"}});
}

// Built-in methods a later player added are hidden from older movies (Sound's Flash 6
// methods from SWF 5); the methods are not enumerable.
TEST(LanguageRules, BuiltInsHiddenFromOlderMovies) {
    const char* program = R"(
push "s", 0, "Sound"
newObject
setVariable
push "s"
getVariable
push "getVolume"
getMember
typeOf
trace
push "s"
getVariable
push "getDuration"
getMember
typeOf
trace
push 0, "s"
getVariable
push "getVolume"
callMethod
trace
push "none"
push "s"
getVariable
push "__proto__"
getMember
enumerate2
push null
equals2
not
trace
)";
    ExpectTraces({
        {5, program, "function|undefined|100|false"},
        {6, program, "function|function|100|false"},
    });
}

// A print job never starts without a printer; its measures are read-only.
TEST(LanguageRules, PrintJobWithoutPrinter) {
    const char* program = R"(
push "j", 0, "PrintJob"
newObject
setVariable
push 0, "j"
getVariable
push "start"
callMethod
trace
push "j"
getVariable
push "pageWidth", 5
setMember
push "j"
getVariable
push "pageWidth"
getMember
trace
)";
    ExpectTraces({{7, program, "false|0"}});
}

// Classes appear with the version that brought them: the flash packages from 8, the
// style sheet class from 7, the rest of the platform from 6.
TEST(LanguageRules, GlobalClassesByVersion) {
    const char* program = R"(
push "flash"
getVariable
typeOf
trace
push "TextField"
getVariable
push "StyleSheet"
getMember
typeOf
trace
push "flash"
getVariable
push "geom"
getMember
push "Point"
getMember
typeOf
trace
push "LocalConnection"
getVariable
typeOf
trace
push "System"
getVariable
push "capabilities"
getMember
typeOf
trace
)";
    ExpectTraces({
        {6, program, "undefined|undefined|undefined|function|object"},
        {7, program, "undefined|function|undefined|function|object"},
        {8, program, "object|function|function|function|object"},
    });
}

// The sandbox follows the movie's FileAttributes, whatever its version.
TEST(LanguageRules, SandboxTypeFollowsFileAttributes) {
    const char* program = R"(
push "System"
getVariable
push "security"
getMember
push "sandboxType"
getMember
trace
)";
    EXPECT_EQ(Traces(7, program), "localWithFile");
    EXPECT_EQ(Traces(7, program, "fileattributes\n"), "localWithFile");
    EXPECT_EQ(Traces(7, program, "fileattributes network\n"), "localWithNetwork");
}

// initialize gives an object the broadcaster's methods and an empty listener list; a
// listener is told once however often it was added, and the answer says whether anyone
// listened. A MovieClipLoader starts as its own listener.
TEST(LanguageRules, AsBroadcasterAndMovieClipLoader) {
    const char* program = R"(
push "b", 0, "Object"
newObject
setVariable
push "l", 0, "Object"
newObject
setVariable
push "l"
getVariable
push "hi"
function "" "x"
  push "heard "
  push "x"
  getVariable
  add2
  trace
end
setMember
push "b"
getVariable
push 1, "AsBroadcaster"
getVariable
push "initialize"
callMethod
pop
push 0, "b"
getVariable
push "broadcastMessage"
callMethod
typeOf
trace
push "l"
getVariable
push 1, "b"
getVariable
push "addListener"
callMethod
pop
push "l"
getVariable
push 1, "b"
getVariable
push "addListener"
callMethod
pop
push 7, "hi", 2, "b"
getVariable
push "broadcastMessage"
callMethod
trace
push "l"
getVariable
push 1, "b"
getVariable
push "removeListener"
callMethod
trace
push "m", 0, "MovieClipLoader"
newObject
setVariable
push "m"
getVariable
push "_listeners"
getMember
push 0
getMember
push "m"
getVariable
strictEquals
trace
)";
    ExpectTraces({{8, program, "undefined|heard 7|true|true|true"}});
}

// With no file dialog, browsing tells the listeners the user cancelled.
TEST(LanguageRules, FileReferenceBrowseIsCancelled) {
    const char* program = R"(
push "f", 0, "flash"
getVariable
push "net"
getMember
push "FileReference"
newMethod
setVariable
push "l", 0, "Object"
newObject
setVariable
push "l"
getVariable
push "onCancel"
function "" "file"
  push "file"
  getVariable
  push "f"
  getVariable
  strictEquals
  trace
end
setMember
push "l"
getVariable
push 1, "f"
getVariable
push "addListener"
callMethod
pop
push 0, "f"
getVariable
push "browse"
callMethod
trace
)";
    ExpectTraces({{8, program, "true|true"}});
}

// Error keeps the message it was made with and shows it.
TEST(LanguageRules, ErrorMessage) {
    const char* program = R"(
push "oops", 1, "Error"
newObject
trace
push 0, "Error"
newObject
push "name"
getMember
trace
)";
    ExpectTraces({{6, program, "oops|Error"}});
}

}  // namespace
}  // namespace kestrel::runtime
