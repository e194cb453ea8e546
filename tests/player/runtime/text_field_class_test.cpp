// TextField as scripts see it: prototype properties, variable binding, autoSize.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/runtime/movie_player.h"
#include "tools/swfwriter/description.h"

namespace kestrel::runtime {
namespace {

using avm1::Value;

class TextFieldTest : public ::testing::Test {
  protected:
    void load(const std::string& description) {
        std::string error;
        auto bytes = swf::CompileDescription(description, error);
        ASSERT_TRUE(bytes) << error;
        player.traceOutput().openFile("");
        ASSERT_TRUE(player.load(bytes->data(), bytes->size()));
    }
    void loadEmpty(int version) { load("version " + std::to_string(version) + "\nshowframe\n"); }
    avm1::Vm& vm() { return player.vm(); }
    Value root() { return Value(player.rootObject()); }
    Value get(const Value& o, const char* name) { return vm().getMember(o, name); }
    void set(const Value& o, const char* name, Value v) { vm().setMember(o, name, v); }
    std::string str(const Value& v) { return vm().toString(v); }
    Value call(const Value& o, const char* method, std::vector<Value> args = {}) {
        return vm().callMethod(o, method, args).value_or(Value());
    }
    Value newField(const char* name, double x, double width) {
        return call(root(), "createTextField",
                    {Value(name), Value(1), Value(x), Value(10), Value(width), Value(20)});
    }
    std::vector<std::string> enumerate(const Value& o) {
        std::vector<std::string> names;
        for (const auto& p : o.asObject()->properties())
            if (!(p.flags & avm1::kDontEnum)) names.push_back(p.name);
        return names;
    }

    MoviePlayer player;
};

TEST_F(TextFieldTest, PropertiesLiveOnThePrototypeAndAnswerUndefinedOffAField) {
    loadEmpty(8);
    Value proto = get(get(Value(vm().global()), "TextField"), "prototype");
    std::vector<std::string> names = enumerate(proto);
    ASSERT_GE(names.size(), 35u);
    EXPECT_EQ(names.front(), "gridFitType");  // added first, so listed last by for..in
    EXPECT_EQ(names.back(), "styleSheet");
    Value detached = vm().construct(get(Value(vm().global()), "TextField"), {}).value();
    EXPECT_TRUE(get(detached, "text").isUndefined());
    set(detached, "text", Value("x"));
    EXPECT_TRUE(get(detached, "text").isUndefined());
    EXPECT_TRUE(get(detached, "replaceText").isObject());

    Value field = newField("f", 0, 100);
    EXPECT_EQ(str(get(field, "antiAliasType")), "normal");
    EXPECT_TRUE(get(field, "restrict").isNull());
    EXPECT_TRUE(get(field, "maxChars").isNull());
    EXPECT_EQ(get(field, "backgroundColor").asNumber(), 0xFFFFFF);
    set(field, "type", Value("input"));
    set(field, "type", Value("bogus"));  // unknown words are ignored
    EXPECT_EQ(str(get(field, "type")), "input");
}

TEST_F(TextFieldTest, OlderMoviesDoNotSeeNewerMembers) {
    loadEmpty(6);
    Value field = newField("f", 0, 100);
    EXPECT_TRUE(get(field, "replaceText").isUndefined());
    EXPECT_TRUE(get(field, "antiAliasType").isUndefined());
    set(field, "antiAliasType", Value("test"));  // a plain member in these versions
    EXPECT_EQ(str(get(field, "antiAliasType")), "test");
}

TEST_F(TextFieldTest, ReplaceTextReplacesACharacterRange) {
    loadEmpty(8);
    Value field = newField("f", 0, 100);
    set(field, "text", Value("h\xC3\xA9llo"));
    call(field, "replaceText", {Value(1), Value(3), Value("EL")});
    EXPECT_EQ(str(get(field, "text")), "hELlo");
    call(field, "replaceText", {Value(4), Value(99), Value("!")});
    EXPECT_EQ(str(get(field, "text")), "hELl!");
    EXPECT_EQ(get(field, "length").asNumber(), 5);
}

TEST_F(TextFieldTest, AutoSizeKeepsTheEdgeItNames) {
    loadEmpty(8);
    struct Case {
        const char* mode;
        double x;  // expected _x after growing from x=50, width=10
    };
    const Case cases[] = {{"none", 50}, {"left", 50}, {"center", 0}, {"right", -50}};
    for (const Case& c : cases) {
        Value field = newField(c.mode, 50, 10);
        set(field, "text", Value("WWWWW"));  // Arial W: 0.944 em, at 12 px: 56.64 px
        set(field, "autoSize", Value(c.mode));
        double width = get(field, "_width").asNumber();
        if (std::string(c.mode) == "none") {
            EXPECT_DOUBLE_EQ(width, 10);
            continue;
        }
        EXPECT_NEAR(width, 60.64, 0.01) << c.mode;
        double grown = width - 10;
        double expected = c.x == 50 ? 50 : c.x == 0 ? 50 - grown / 2 : 50 - grown;
        EXPECT_NEAR(get(field, "_x").asNumber(), expected, 0.01) << c.mode;
        EXPECT_EQ(get(field, "textWidth").asNumber(), 56) << c.mode;
    }
    Value flag = newField("flag", 0, 10);
    set(flag, "autoSize", Value(true));
    EXPECT_EQ(str(get(flag, "autoSize")), "left");
}

const char* const kBoundFields = R"(
version 6
font 1 "_sans"
edittext 2 0 0 100 20 font=1 var="theVar" text="Hello"
edittext 3 0 30 100 20 font=1 var="emptyVar"
place 2 depth=1 name="text1"
place 3 depth=2 name="text2"
showframe
)";

TEST_F(TextFieldTest, BoundVariablesFollowTheRulesOfBinding) {
    load(kBoundFields);
    Value text1 = get(root(), "text1");
    EXPECT_EQ(str(get(root(), "theVar")), "Hello");      // seeded when placed
    EXPECT_TRUE(get(root(), "emptyVar").isUndefined());  // an empty field seeds nothing
    set(root(), "THEVAR", Value("Changed"));             // SWF 6: any letter case
    EXPECT_EQ(str(get(text1, "text")), "Changed");       // read at once, not next frame
    set(text1, "text", Value("Typed"));
    EXPECT_EQ(str(get(root(), "theVar")), "Typed");
    set(text1, "variable", Value("other"));  // rebinding starts over
    EXPECT_EQ(str(get(text1, "text")), "Hello");
    EXPECT_EQ(str(get(root(), "other")), "Hello");

    // A plain object's member gives the text only when the field is bound to it.
    Value object(vm().newObject());
    set(object, "v", Value("first"));
    set(root(), "obj", object);
    set(text1, "variable", Value("obj.v"));
    EXPECT_EQ(str(get(text1, "text")), "first");
    set(object, "v", Value("later"));
    EXPECT_EQ(str(get(text1, "text")), "first");
    set(text1, "text", Value("back"));
    EXPECT_EQ(str(get(object, "v")), "back");
}

}  // namespace
}  // namespace kestrel::runtime
