// Flash's numbered built-in functions and the installers that place them by name lists.
#include "player/avm1/native_tables.h"

#include <gtest/gtest.h>

namespace kestrel::avm1 {
namespace {

TEST(NativeTables, NameListPrefixesGiveVersionsAndEmptyEntriesKeepTheirPlace) {
    struct Case {
        const char* list;
        std::vector<std::pair<std::string, uint16_t>> expected;
    };
    const Case cases[] = {
        {"a,b", {{"a", 0}, {"b", 0}}},
        {"a,b,", {{"a", 0}, {"b", 0}}},
        {",a", {{"", 0}, {"a", 0}}},
        {" a , b", {{" a ", 0}, {" b", 0}}},
        {"", {}},
        {",", {{"", 0}}},
        {"6f,7g,8h,9i",
         {{"f", kFromVersion6}, {"g", kFromVersion7}, {"h", kFromVersion8}, {"i", kFromVersion9}}},
        {"10j,1a,11k,12l", {{"j", kFromVersion10}, {"a", 0}, {"1k", 0}, {"2l", 0}}},
        {"2b,5e,0z", {{"2b", 0}, {"5e", 0}, {"0z", 0}}},
    };
    for (const Case& c : cases) {
        std::vector<NativeName> names = ParseNativeNames(c.list);
        ASSERT_EQ(names.size(), c.expected.size()) << c.list;
        for (size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(names[i].name, c.expected[i].first) << c.list;
            EXPECT_EQ(names[i].flags, c.expected[i].second) << c.list;
        }
    }
}

Value Global(Vm& vm, const char* name) {
    return vm.getMember(Value(vm.global()), name);
}

Value Call(Vm& vm, const char* function, std::vector<Value> args) {
    return vm.call(Global(vm, function), Value(), args).value_or(Value("<no call>"));
}

TEST(NativeTables, CoreMethodsAnswerToTheirNumbers) {
    Vm vm;
    Value math = Global(vm, "Math");
    Value datePrototype = vm.getMember(Global(vm, "Date"), "prototype");
    struct Case {
        int table, index;
        Value owner;
        const char* name;
    };
    const Case cases[] = {
        {200, 0, math, "abs"},
        {200, 11, math, "random"},
        {200, 17, math, "pow"},
        {103, 16, datePrototype, "getTime"},
        {103, 19, datePrototype, "toString"},
        {103, 128, datePrototype, "getUTCFullYear"},
    };
    for (const Case& c : cases) {
        Value f = Call(vm, "ASnative", {Value(c.table), Value(c.index)});
        ASSERT_TRUE(f.isObject()) << c.name;
        EXPECT_EQ(f.asObject(), vm.getMember(c.owner, c.name).asObject()) << c.name;
    }
    // A number with nothing behind it is still a function, one that does nothing.
    Value unknown = Call(vm, "ASnative", {Value(2200), Value(0)});
    EXPECT_EQ(vm.typeOf(unknown), "function");
    EXPECT_TRUE(vm.call(unknown, Value(), {Value(1)}).value_or(Value(1)).isUndefined());
}

// Table 9000 numbers functions that answer their own number.
void RegisterCountingTable(Vm& vm) {
    for (int i = 0; i < 8; ++i)
        vm.RegisterNative(9000, i, vm.newNativeFunction([i](NativeCall&) { return Value(i); }));
}

TEST(NativeTables, SetNativeNumbersNamesFromTheFirstIndexCountingEmptyOnes) {
    Vm vm;
    vm.setSwfVersion(7);
    RegisterCountingTable(vm);
    Object* o = vm.newObject();
    Call(vm, "ASSetNative", {Value(o), Value(9000), Value("a,,b,8c"), Value(2)});
    auto number = [&](const char* name) {
        return vm.toString(vm.callMethod(Value(o), name, {}).value_or(Value()));
    };
    EXPECT_EQ(number("a"), "2");
    EXPECT_EQ(number("b"), "4");
    // "8c" is there but hidden from a version 7 movie.
    EXPECT_TRUE(vm.getMember(Value(o), "c").isUndefined());
    ASSERT_NE(o->findOwn("c", true), nullptr);
    EXPECT_EQ(o->findOwn("c", true)->flags, kFromVersion8);
}

TEST(NativeTables, SetNativeKeepsTheAttributesOfAMemberThatExists) {
    Vm vm;
    vm.setSwfVersion(7);
    RegisterCountingTable(vm);
    Object* o = vm.newObject();
    o->define("first", Value(1));
    o->define("h", Value("old"), kDontEnum);
    Call(vm, "ASSetNative", {Value(o), Value(9000), Value("8h")});
    ASSERT_EQ(o->properties().size(), 2u);
    EXPECT_EQ(o->properties()[1].flags, kDontEnum);
    EXPECT_TRUE(o->properties()[1].value.isObject());
}

TEST(NativeTables, SetNativeAccessorTakesGetterAndSetterNumbersInPairs) {
    Vm vm;
    vm.setSwfVersion(8);
    std::vector<std::pair<int, Value>> calls;
    for (int i = 0; i < 6; ++i)
        vm.RegisterNative(9001, i, vm.newNativeFunction([i, &calls](NativeCall& c) {
            calls.emplace_back(i, c.arg(0));
            return Value(i * 10);
        }));
    Object* proto = vm.newObject();
    proto->define("x", Value("base"));
    Object* o = vm.newObject(proto);
    o->define("x", Value("own"));
    Call(vm, "ASSetNativeAccessor", {Value(o), Value(9001), Value(",x,y"), Value(0)});
    EXPECT_EQ(vm.toString(vm.getMember(Value(o), "x")), "20");
    vm.setMember(Value(o), "y", Value("v"));
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().first, 5);
    EXPECT_EQ(vm.toString(calls.back().second), "v");

    // A version-hidden accessor lets the prototype's member show through.
    Call(vm, "ASSetNativeAccessor", {Value(o), Value(9001), Value("9x")});
    EXPECT_EQ(vm.toString(vm.getMember(Value(o), "x")), "base");
}

TEST(NativeTables, InstallersIgnoreWhatIsNotAnObject) {
    Vm vm;
    EXPECT_TRUE(Call(vm, "ASSetNative", {}).isUndefined());
    EXPECT_TRUE(Call(vm, "ASSetNative", {Value(1), Value(200), Value("a")}).isUndefined());
    EXPECT_EQ(vm.typeOf(Call(vm, "ASSetNativeAccessor", {})), "function");
    EXPECT_TRUE(Call(vm, "ASSetNativeAccessor", {Value::null(), Value(200)}).isUndefined());
}

}  // namespace
}  // namespace kestrel::avm1
