// Built-in classes, called through the Vm API.
#include <gtest/gtest.h>

#include "player/avm1/vm.h"

namespace kestrel::avm1 {
namespace {

std::string call(Vm& vm, const Value& self, const char* method, std::vector<Value> args) {
    auto r = vm.callMethod(self, method, args);
    return r ? vm.toString(*r) : "<no call>";
}

Value numbers(Vm& vm, std::vector<Value> v) {
    return Value(vm.newArray(std::move(v)));
}

TEST(Builtins, StringMethods) {
    Vm vm;
    Value s("hello world");
    struct Case {
        const char* method;
        std::vector<Value> args;
        const char* expected;
    };
    const Case cases[] = {
        {"substr", {Value(-5)}, "world"},
        {"substr", {Value(3), Value(-4)}, "lo worl"},
        {"substr", {Value(3), Value(-3)}, ""},
        {"substring", {Value(5), Value(0)}, "hello"},
        {"substring", {Value(-3), Value(2)}, "he"},
        {"slice", {Value(-5), Value(-1)}, "worl"},
        {"charAt", {Value(4)}, "o"},
        {"charAt", {Value(40)}, ""},
        {"charCodeAt", {Value(0)}, "104"},
        {"indexOf", {Value("o"), Value(5)}, "7"},
        {"lastIndexOf", {Value("o")}, "7"},
        {"toUpperCase", {}, "HELLO WORLD"},
        {"split", {Value(" ")}, "hello,world"},
        {"split", {Value("")}, "h,e,l,l,o, ,w,o,r,l,d"},
        {"split", {}, "hello world"},
        {"concat", {Value(1), Value(true)}, "hello world1true"},
    };
    for (const Case& c : cases) EXPECT_EQ(call(vm, s, c.method, c.args), c.expected) << c.method;
}

TEST(Builtins, ArraySortOptions) {
    Vm vm;
    auto sorted = [&](std::vector<Value> v, int options) {
        Value a = numbers(vm, std::move(v));
        Value r = vm.callMethod(a, "sort", {Value(options)}).value_or(Value());
        return vm.toString(r);
    };
    EXPECT_EQ(sorted({Value(10), Value(9), Value(1)}, 0), "1,10,9");
    EXPECT_EQ(sorted({Value(10), Value(9), Value(1)}, 16), "1,9,10");
    EXPECT_EQ(sorted({Value(10), Value(9), Value(1)}, 16 | 2), "10,9,1");
    EXPECT_EQ(sorted({Value("b"), Value("A"), Value("a")}, 1), "A,a,b");
    EXPECT_EQ(sorted({Value(3), Value(1), Value(2)}, 8), "1,2,0");
    EXPECT_EQ(sorted({Value(1), Value(1)}, 4), "0");
}

// An object that inherits from an array has a length (its prototype's until it has its
// own) and no elements, whatever its indexed properties say.
TEST(Builtins, ArrayJoinOfAnObjectThatIsNotAnArray) {
    Vm vm;
    Value base = numbers(vm, {Value("a"), Value("b")});
    Value o(vm.newObject());
    vm.setMember(o, "__proto__", base);
    EXPECT_EQ(vm.toString(o), "undefined,undefined");
    vm.setMember(o, "length", Value(3));
    vm.setMember(o, "0", Value("own"));
    EXPECT_EQ(vm.toString(o), "undefined,undefined,undefined");
    EXPECT_EQ(call(vm, o, "join", {Value("-")}), "undefined-undefined-undefined");
    vm.setMember(o, "length", Value(-2));
    EXPECT_EQ(call(vm, o, "join", {}), "");
}

TEST(Builtins, ArrayEditing) {
    Vm vm;
    Value a = numbers(vm, {Value(1), Value(2), Value(3), Value(4)});
    EXPECT_EQ(call(vm, a, "splice", {Value(1), Value(2), Value("x")}), "2,3");
    EXPECT_EQ(vm.toString(a), "1,x,4");
    EXPECT_EQ(call(vm, a, "slice", {Value(-2)}), "x,4");
    EXPECT_EQ(call(vm, a, "concat", {numbers(vm, {Value(5)}), Value(6)}), "1,x,4,5,6");
    EXPECT_EQ(call(vm, a, "join", {Value("-")}), "1-x-4");
    EXPECT_EQ(call(vm, a, "push", {Value(9)}), "4");
    EXPECT_EQ(call(vm, a, "shift", {}), "1");
    EXPECT_EQ(call(vm, a, "reverse", {}), "9,4,x");
    vm.setMember(a, "length", Value(1));
    EXPECT_EQ(vm.toString(a), "9");
    vm.setMember(a, "3", Value("z"));
    EXPECT_EQ(vm.toString(a), "9,undefined,undefined,z");
}

TEST(Builtins, SortOnFields) {
    Vm vm;
    auto item = [&](const char* name, double n) {
        Object* o = vm.newObject();
        o->define("name", Value(name));
        o->define("n", Value(n));
        return Value(o);
    };
    Value a = numbers(vm, {item("b", 2), item("a", 10), item("c", 1)});
    vm.callMethod(a, "sortOn", {Value("n"), Value(16)});
    auto first = vm.getMember(vm.getMember(a, "0"), "name");
    EXPECT_EQ(first.asString(), "c");
    vm.callMethod(a, "sortOn", {Value("name")});
    EXPECT_EQ(vm.getMember(vm.getMember(a, "0"), "name").asString(), "a");
}

TEST(Builtins, NumberMathAndGlobals) {
    Vm vm;
    Value g(vm.global());
    EXPECT_EQ(call(vm, Value(255), "toString", {Value(16)}), "ff");
    EXPECT_EQ(call(vm, vm.getMember(g, "Math"), "max", {Value(3), Value(7)}), "7");
    EXPECT_EQ(call(vm, vm.getMember(g, "Math"), "min", {Value(3)}), "NaN");
    EXPECT_EQ(call(vm, vm.getMember(g, "Math"), "round", {Value(-2.5)}), "-2");
    EXPECT_EQ(call(vm, g, "escape", {Value("a b&c")}), "a%20b%26c");
    EXPECT_EQ(call(vm, g, "unescape", {Value("a%20b%26c")}), "a b&c");
    EXPECT_EQ(call(vm, g, "parseInt", {Value("11"), Value(2)}), "3");
    EXPECT_EQ(call(vm, g, "isNaN", {Value("x")}), "true");
}

TEST(Builtins, DateFieldsAndText) {
    Vm vm;
    Value date = vm.construct(vm.getMember(Value(vm.global()), "Date"),
                              {Value(2001), Value(1), Value(3), Value(4), Value(5), Value(6)})
                     .value_or(Value());
    EXPECT_EQ(call(vm, date, "getFullYear", {}), "2001");
    EXPECT_EQ(call(vm, date, "getMonth", {}), "1");
    EXPECT_EQ(call(vm, date, "getDay", {}), "6");
    EXPECT_EQ(vm.toString(date), "Sat Feb 3 04:05:06 GMT+0000 2001");
    vm.callMethod(date, "setMonth", {Value(13)});
    EXPECT_EQ(call(vm, date, "getFullYear", {}), "2002");
    EXPECT_EQ(call(vm, vm.getMember(Value(vm.global()), "Date"), "UTC",
                   {Value(1970), Value(0), Value(2)}),
              "86400000");
}

TEST(Builtins, ExternalInterfaceCodec) {
    Vm vm;
    Value ei = vm.getMember(vm.getMember(vm.getMember(Value(vm.global()), "flash"), "external"),
                            "ExternalInterface");
    Object* o = vm.newObject();
    o->define("x", Value("<a&b>"));
    EXPECT_EQ(call(vm, ei, "_toXML", {Value(o)}),
              "<object><property id=\"x\"><string>&lt;a&amp;b&gt;</string></property></object>");
    EXPECT_EQ(call(vm, ei, "_toXML", {numbers(vm, {Value(true), Value::null()})}),
              "<array><property id=\"0\"><true/></property><property "
              "id=\"1\"><null/></property></array>");
    EXPECT_EQ(call(vm, ei, "_unescapeXML", {Value("&amp;gt;")}), "&gt;");
    EXPECT_EQ(call(vm, ei, "_jsQuoteString", {Value("say \"hi\"")}), "say \\\"hi\\\"");
    EXPECT_EQ(call(vm, ei, "_escapeXML", {Value("")}), "null");
}

}  // namespace
}  // namespace kestrel::avm1

namespace kestrel::avm1 {
namespace {

// _toAS reads a node: its name must be a string (or a String object) and names compare
// with case; a value's text is the first child as a string.
TEST(Builtins, ExternalInterfaceReadsNodesByTheirNameAndFirstChild) {
    Vm vm;
    Value ei = vm.getMember(vm.getMember(vm.getMember(Value(vm.global()), "flash"), "external"),
                            "ExternalInterface");
    Value stringClass = vm.getMember(Value(vm.global()), "String");
    auto node = [&](Value name, Value firstChild) {
        Value o(vm.newObject());
        vm.setMember(o, "nodeName", name);
        vm.setMember(o, "firstChild", firstChild);
        return vm.callMethod(ei, "_toAS", {o}).value_or(Value("<no call>"));
    };
    Value textObject(vm.newObject());
    vm.setMember(textObject, "toString",
                 Value(vm.newNativeFunction([](NativeCall&) { return Value("-2.5"); })));
    Value boxedNumber = vm.construct(stringClass, {Value("number")}).value();
    EXPECT_EQ(vm.toString(node(Value("number"), Value("5"))), "5");
    EXPECT_EQ(vm.toString(node(boxedNumber, textObject)), "-2.5");
    EXPECT_EQ(vm.toString(node(Value("string"), textObject)), "-2.5");
    EXPECT_TRUE(node(Value("Null"), Value()).isUndefined());
    EXPECT_TRUE(node(Value("null"), Value()).isNull());
    EXPECT_TRUE(node(textObject, Value()).isUndefined());
}

// Symbols follow the movie's case rule: before version 7 a second registration under
// another spelling replaces the first, symbol and class.
TEST(Builtins, RegisterClassFollowsTheCaseRule) {
    for (int version : {6, 8}) {
        Vm vm;
        vm.setSwfVersion(version);
        Value object = vm.getMember(Value(vm.global()), "Object");
        Object* first = vm.newObject();
        Object* second = vm.newObject();
        vm.callMethod(object, "registerClass", {Value("alias"), Value(first)});
        vm.callMethod(object, "registerClass", {Value("Alias"), Value(second)});
        if (version == 6) {
            ASSERT_EQ(vm.registeredClasses().size(), 1u);
            EXPECT_EQ(vm.registeredClasses()[0].first, "Alias");
            EXPECT_EQ(vm.registeredClass("ALIAS"), second);
        } else {
            EXPECT_EQ(vm.registeredClasses().size(), 2u);
            EXPECT_EQ(vm.registeredClass("alias"), first);
            EXPECT_EQ(vm.registeredClass("ALIAS"), nullptr);
        }
    }
}

}  // namespace
}  // namespace kestrel::avm1
