// The keyboard focus as movies see it: tabIndex, the Tab key, Selection's notices when the
// focused object changes, is hidden or removed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/runtime/movie_player.h"
#include "tools/swfwriter/description.h"

namespace kestrel::runtime {
namespace {

using avm1::Value;

// A button "b" at (200, 100) on an empty stage.
const char* const kMovie = R"(
version 8
stage 400 300
shape 1
  fill #3366CC
  rect 0 0 40 20 fill=1
end
button 2
  state up,over,down,hit 1 depth=1
end
place 2 depth=1 x=200 y=100 name="b"
)";

class KeyboardFocusTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        auto bytes = swf::CompileDescription(kMovie, error);
        ASSERT_TRUE(bytes) << error;
        player.traceOutput().openFile("");
        ASSERT_TRUE(player.load(bytes->data(), bytes->size()));
        selection = get(Value(vm().global()), "Selection");
    }
    avm1::Vm& vm() { return player.vm(); }
    Value root() { return Value(player.rootObject()); }
    Value get(const Value& o, const char* name) { return vm().getMember(o, name); }
    void set(const Value& o, const char* name, Value v) { vm().setMember(o, name, v); }
    std::string str(const Value& v) { return vm().toString(v); }
    Value call(const Value& o, const char* method, std::vector<Value> args = {}) {
        return vm().callMethod(o, method, args).value_or(Value());
    }
    Value field(const char* name, int depth, double x, double y, bool input = true) {
        call(root(), "createTextField",
             {Value(name), Value(depth), Value(x), Value(y), Value(100), Value(20)});
        Value f = get(root(), name);
        if (input) set(f, "type", Value("input"));
        return f;
    }
    Value clip(const char* name, int depth, double x, double y) {
        Value c = call(root(), "createEmptyMovieClip", {Value(name), Value(depth)});
        set(c, "_x", Value(x));
        set(c, "_y", Value(y));
        return c;
    }
    // A handler that writes "<tag>" (and its arguments' paths) to `heard`.
    Value hears(const std::string& tag) {
        return Value(vm().newNativeFunction([this, tag](avm1::NativeCall& c) {
            std::string line = tag;
            for (const Value& a : c.args) line += " " + str(a);
            heard.push_back(line);
            return Value();
        }));
    }
    std::string focus() { return str(call(selection, "getFocus")); }
    void listenToSelection() {
        Value listener(vm().newObject());
        set(listener, "onSetFocus", hears("Selection"));
        call(selection, "addListener", {listener});
    }
    void tab(bool backwards = false) {
        if (backwards) player.keyDown(16, 0);
        player.keyDown(9, 0);
        player.keyUp(9, 0);
        if (backwards) player.keyUp(16, 0);
    }
    // Whether for..in lists `name` of the class's prototype.
    bool listed(const char* className, const char* name) {
        Value proto = get(get(Value(vm().global()), className), "prototype");
        const avm1::Property* p = proto.asObject()->findOwn(name, true);
        return p && !(p->flags & avm1::kDontEnum);
    }

    MoviePlayer player;
    Value selection;
    std::vector<std::string> heard;
};

TEST_F(KeyboardFocusTest, TabIndexIsUndefinedUntilSetAndKeepsTheNumberEachKindStores) {
    Value text = field("t", 1, 0, 0), button = get(root(), "b"), mc = clip("c", 2, 0, 0);
    for (const Value& o : {text, button, mc}) EXPECT_TRUE(get(o, "tabIndex").isUndefined());
    EXPECT_TRUE(listed("TextField", "tabIndex"));
    EXPECT_TRUE(listed("Button", "tabIndex"));
    EXPECT_FALSE(listed("MovieClip", "tabIndex"));
    struct Case {
        Value value;
        const char* field;
        const char* buttonOrClip;
    } cases[] = {
        {Value(-4), "4294967292", "-4"},     {Value(2147483648.0), "2147483648", "-2147483648"},
        {Value("x"), "0", "-2147483648"},    {Value(1.1), "1", "1"},
        {Value(), "undefined", "undefined"},  // undefined takes it away again
    };
    for (const Case& c : cases) {
        for (const Value& o : {text, button, mc}) set(o, "tabIndex", c.value);
        EXPECT_EQ(str(get(text, "tabIndex")), c.field);
        EXPECT_EQ(str(get(button, "tabIndex")), c.buttonOrClip);
        EXPECT_EQ(str(get(mc, "tabIndex")), c.buttonOrClip);
    }
}

TEST(KeyboardFocusVersions, BeforeSwf6TabIndexOfButtonsAndClipsIsAPlainValue) {
    for (int version : {5, 6}) {
        std::string error;
        auto bytes = swf::CompileDescription(
            "version " + std::to_string(version) +
                "\nsprite 1\nshowframe\nend\nplace 1 depth=1 name=\"s\"\nshowframe\n",
            error);
        ASSERT_TRUE(bytes) << error;
        MoviePlayer player;
        ASSERT_TRUE(player.load(bytes->data(), bytes->size()));
        Value s = player.vm().getMember(Value(player.rootObject()), "s");
        player.vm().setMember(s, "tabIndex", Value("x"));
        EXPECT_EQ(player.vm().toString(player.vm().getMember(s, "tabIndex")),
                  version == 5 ? "x" : "-2147483648");
    }
}

TEST_F(KeyboardFocusTest, TabVisitsInputFieldsButtonsAndButtonClipsByPosition) {
    field("low", 1, 10, 200);
    field("top", 2, 300, 10);
    field("shown", 3, 10, 20, false);  // dynamic: not visited
    clip("plain", 4, 10, 30);          // acts as no button: not visited
    Value pressable = clip("pressable", 5, 10, 150);
    set(pressable, "onRelease", hears("release"));
    const std::vector<std::string> forwards = {"_level0.top", "_level0.b", "_level0.pressable",
                                               "_level0.low", "_level0.top"};
    for (const std::string& expected : forwards) {
        tab();
        EXPECT_EQ(focus(), expected);
    }
    tab(true);
    EXPECT_EQ(focus(), "_level0.low");
    // Once any object has a tabIndex, only those with one take part.
    set(get(root(), "low"), "tabIndex", Value(2));
    set(get(root(), "b"), "tabIndex", Value(1));
    for (const char* expected : {"_level0.b", "_level0.low", "_level0.b"}) {
        tab();
        EXPECT_EQ(focus(), expected);
    }
}

TEST_F(KeyboardFocusTest, TabSkipsObjectsLeftOutByTheirPropertiesOrHidden) {
    field("a", 1, 10, 10);
    Value off = field("off", 2, 10, 20), hidden = field("hidden", 3, 10, 30);
    set(off, "tabEnabled", Value(false));
    set(hidden, "_visible", Value(false));
    Value parent = clip("parent", 4, 0, 0);
    call(parent, "createTextField",
         {Value("inner"), Value(1), Value(10), Value(40), Value(100), Value(20)});
    set(get(parent, "inner"), "type", Value("input"));
    set(parent, "tabChildren", Value(false));
    set(get(root(), "b"), "enabled", Value(false));
    Value chosen = clip("chosen", 5, 10, 50);  // no handlers, but tabEnabled
    set(chosen, "tabEnabled", Value(true));
    for (const char* expected : {"_level0.a", "_level0.chosen", "_level0.a"}) {
        tab();
        EXPECT_EQ(focus(), expected);
    }
}

TEST_F(KeyboardFocusTest, TabLeavesOutObjectsThatAGetterRemovedWhileTheOrderWasMade) {
    field("first", 1, 10, 10);
    Value second = field("second", 2, 10, 20);
    field("third", 3, 10, 30);
    // Read after "first" was taken in: removes it and "third", not yet reached.
    Value remover(vm().newNativeFunction([this](avm1::NativeCall&) {
        call(get(root(), "first"), "removeTextField");
        call(get(root(), "third"), "removeTextField");
        return Value(true);
    }));
    call(second, "addProperty", {Value("tabEnabled"), remover, Value::null()});
    tab();
    EXPECT_TRUE(get(root(), "first").isUndefined());
    EXPECT_EQ(focus(), "_level0.second");
}

TEST_F(KeyboardFocusTest, ClipsTakeTheFocusOnlyWhenFocusEnabledOrActingAsButtons) {
    Value text = field("t", 1, 0, 0), plain = clip("plain", 2, 0, 0);
    call(selection, "setFocus", {text});
    EXPECT_FALSE(call(selection, "setFocus", {plain}).asBoolean());
    EXPECT_EQ(focus(), "_level0.t");
    set(plain, "onPress", hears("press"));
    EXPECT_TRUE(call(selection, "setFocus", {plain}).asBoolean());
    Value enabled = clip("enabled", 3, 0, 0);
    set(enabled, "focusEnabled", Value(true));
    EXPECT_TRUE(call(selection, "setFocus", {Value("_level0.enabled")}).asBoolean());
    EXPECT_EQ(focus(), "_level0.enabled");
}

TEST_F(KeyboardFocusTest, FocusRollsButtonsAndClipsOverEachTimeAndOutWhenItLeaves) {
    Value button = get(root(), "b"), mc = clip("c", 2, 0, 0), text = field("t", 1, 0, 0);
    set(button, "onRollOver", hears("b.over"));
    set(button, "onRollOut", hears("b.out"));
    set(mc, "onRollOver", hears("c.over"));
    set(mc, "onRollOut", hears("c.out"));
    set(button, "onSetFocus", hears("b.setFocus"));
    for (const Value& target : {text, button, button, mc, Value::null(), Value::null()})
        call(selection, "setFocus", {target});
    // Focus notices come at once; the rolls are queued like the mouse's.
    EXPECT_EQ(heard, (std::vector<std::string>{"b.setFocus _level0.t"}));
    heard.clear();
    player.settle();
    EXPECT_EQ(heard,
              (std::vector<std::string>{"b.over", "b.out", "b.over", "b.out", "c.over", "c.out"}));
}

TEST_F(KeyboardFocusTest, HidingTheFocusedObjectTakesTheFocusAwayForGood) {
    listenToSelection();
    Value text = field("t", 1, 0, 0);
    set(text, "onKillFocus", hears("t.killFocus"));
    call(selection, "setFocus", {text});
    set(text, "_visible", Value(false));
    EXPECT_TRUE(call(selection, "getFocus").isNull());
    set(text, "_visible", Value(true));
    EXPECT_TRUE(call(selection, "getFocus").isNull());
    EXPECT_EQ(heard, (std::vector<std::string>{"Selection null _level0.t", "t.killFocus null",
                                               "Selection _level0.t null"}));
}

TEST_F(KeyboardFocusTest, RemovedObjectsConvertToThePathTheyHad) {
    listenToSelection();
    Value outer = clip("outer", 1, 0, 0);
    call(outer, "createTextField",
         {Value("inner"), Value(1), Value(0), Value(0), Value(100), Value(20)});
    Value inner = get(outer, "inner");
    call(selection, "setFocus", {inner});
    call(outer, "removeMovieClip");
    EXPECT_EQ(str(outer), "_level0.outer");
    EXPECT_EQ(str(inner), "_level0.outer.inner");
    EXPECT_EQ(heard, (std::vector<std::string>{"Selection null _level0.outer.inner",
                                               "Selection _level0.outer.inner null"}));
}

}  // namespace
}  // namespace kestrel::runtime
