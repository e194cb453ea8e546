// The engine's short paths give the answers of the general ones: decoded operands reused
// across runs, numbers and booleans handled in place, variables read straight off a scope.
#include <gtest/gtest.h>

#include <cmath>

#include "player/avm1/vm.h"
#include "tests/player/avm1/action_builder.h"

namespace kestrel::avm1 {
namespace {

using test::ActionBuilder;
using namespace swf;

class TraceHost : public Host {
  public:
    std::vector<std::string> lines;
    void trace(std::string_view text) override { lines.emplace_back(text); }
};

struct Engine {
    TraceHost host;
    Vm vm{&host};
    Object* root = vm.newObject();
    Engine() { vm.addRoot(root); }
    RunResult run(const ActionBytes& code, int version = 8) {
        ExecutionContext c;
        c.swfVersion = version;
        c.target = root;
        return vm.run(code, c);
    }
};

TEST(FastPaths, DecodedOperandsGiveTheSameValuesOnEveryRun) {
    Engine e;
    ActionBuilder b;
    b.op(kActionConstantPool, {2, 0, 'p', 0, 'q', 0});
    b.op(kActionPush, {kPushString, 'a', 0, kPushInteger, 7, 0, 0, 0, kPushConstant8, 1,
                       kPushBoolean, 1, kPushNull, kPushUndefined});
    for (int i = 0; i < 6; ++i) b.trace();
    ActionBytes code = b.build();
    for (int run = 0; run < 3; ++run) {
        e.host.lines.clear();
        ASSERT_TRUE(e.run(code).ok());
        EXPECT_EQ(e.host.lines,
                  (std::vector<std::string>{"undefined", "null", "true", "q", "7", "a"}));
    }
}

TEST(FastPaths, ABlockAtTheAddressOfAFreedOneIsDecodedAfresh) {
    Engine e;
    for (int i = 0; i < 20; ++i) {
        std::string text(1, static_cast<char>('a' + i));
        ActionBuilder b;
        b.pushString(text).trace();
        e.host.lines.clear();
        ASSERT_TRUE(e.run(b.build()).ok());
        EXPECT_EQ(e.host.lines, std::vector<std::string>{text});
    }
}

TEST(FastPaths, AMalformedPushAbortsOnEveryRun) {
    Engine e;
    ActionBuilder b;
    b.pushString("before").trace();
    b.op(kActionPush, {kPushInteger, 1, 0, 0, 0, 0xEE});
    b.pushString("after").trace();
    ActionBytes code = b.build();
    for (int run = 0; run < 2; ++run) {
        e.host.lines.clear();
        EXPECT_EQ(e.run(code).status, RunStatus::Malformed);
        EXPECT_EQ(e.host.lines, std::vector<std::string>{"before"});
    }
}

TEST(FastPaths, RegisterStoresKeepTheValueOnTheStack) {
    Engine e;
    ActionBuilder b;
    b.op(kActionPop);  // nothing to pop
    b.pushNumber(5).op(kActionStoreRegister, {1}).trace();
    b.pushRegister(1).trace();
    b.pushRegister(9).trace();  // past the four shared registers
    ASSERT_TRUE(e.run(b.build()).ok());
    EXPECT_EQ(e.host.lines, (std::vector<std::string>{"5", "5", "undefined"}));

    ActionBuilder missing;
    missing.pushNumber(5).op(kActionStoreRegister, {}).pushString("after").trace();
    EXPECT_EQ(e.run(missing.build()).status, RunStatus::Malformed);
}

struct OperatorCase {
    const char* name;
    int version;
    ActionBuilder code;
    const char* traced;
};

ActionBuilder Binary(ActionBuilder a, ActionBuilder b, uint8_t action) {
    return a.raw(b.bytes()).op(action);
}

ActionBuilder Num(double d) {
    return ActionBuilder().pushNumber(d);
}

ActionBuilder Str(const char* s) {
    return ActionBuilder().pushString(s);
}

TEST(FastPaths, OperatorsAnswerAsTheGeneralRules) {
    const double nan = std::nan("");
    const OperatorCase cases[] = {
        {"numbers add", 8, Binary(Num(2), Num(3.5), kActionAdd2), "5.5"},
        {"a string concatenates", 8, Binary(Str("2"), Num(3), kActionAdd2), "23"},
        {"less", 8, Binary(Num(1), Num(2), kActionLess2), "true"},
        {"not less", 8, Binary(Num(2), Num(2), kActionLess2), "false"},
        {"NaN is not ordered", 8, Binary(Num(nan), Num(2), kActionLess2), "undefined"},
        {"strings compare as text", 8, Binary(Str("10"), Str("9"), kActionLess2), "true"},
        {"increment", 8, Num(41).op(kActionIncrement), "42"},
        {"increment reads a string", 8, Str("41").op(kActionIncrement), "42"},
        {"decrement", 8, Num(0).op(kActionDecrement), "-1"},
        {"not of a boolean", 8, Binary(Num(1), Num(2), kActionLess2).op(kActionNot), "false"},
        {"not in SWF 4 is a number", 4, Binary(Num(1), Num(2), kActionLess2).op(kActionNot), "0"},
    };
    for (const OperatorCase& c : cases) {
        Engine e;
        ActionBuilder b = c.code;
        b.trace();
        ASSERT_TRUE(e.run(b.build(), c.version).ok()) << c.name;
        EXPECT_EQ(e.host.lines, std::vector<std::string>{c.traced}) << c.name;
    }
}

TEST(FastPaths, VariablesAreFoundWhereTheScopeChainFindsThem) {
    Engine e;
    ActionBuilder b;
    // Object.prototype.x = 5: the timeline inherits it.
    b.pushString("Object").op(kActionGetVariable).pushString("prototype").op(kActionGetMember);
    b.pushString("x").pushNumber(5).op(kActionSetMember);
    b.pushString("x").op(kActionGetVariable).trace();
    // An own variable hides it.
    b.setVariable("x", 6);
    b.pushString("x").op(kActionGetVariable).trace();
    // A local of a function hides the timeline's.
    ActionBuilder body;
    body.pushString("x").pushNumber(7).op(kActionDefineLocal);
    body.pushString("x").op(kActionGetVariable).trace();
    b.defineFunction("f", {}, body).call("f", 0).op(kActionPop);
    b.pushString("x").op(kActionGetVariable).trace();
    ASSERT_TRUE(e.run(b.build()).ok());
    EXPECT_EQ(e.host.lines, (std::vector<std::string>{"5", "6", "7", "6"}));
}

}  // namespace
}  // namespace kestrel::avm1
