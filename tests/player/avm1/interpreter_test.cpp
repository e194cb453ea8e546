// The interpreter: control flow, functions, limits and malformed bytes.
#include <gtest/gtest.h>

#include "player/avm1/action_executor.h"
#include "player/avm1/vm.h"
#include "tests/player/avm1/action_builder.h"
#include "tools/swfwriter/action_assembler.h"

namespace kestrel::avm1 {
namespace {

using test::ActionBuilder;
using namespace swf;

class RecordingHost : public Host {
  public:
    std::vector<std::string> lines;
    std::vector<std::string> calls;
    void trace(std::string_view text) override { lines.emplace_back(text); }
    void play(Object*) override { calls.push_back("play"); }
    void stop(Object*) override { calls.push_back("stop"); }
    void gotoFrame(Object*, int frame, bool andPlay) override {
        calls.push_back("goto " + std::to_string(frame) + (andPlay ? " play" : " stop"));
    }
    void gotoLabel(Object*, std::string_view label, bool) override {
        calls.push_back("label " + std::string(label));
    }
    void getUrl(std::string_view url, std::string_view target, int, Object*) override {
        calls.push_back("url " + std::string(url) + " " + std::string(target));
    }
};

struct Engine {
    RecordingHost host;
    Vm vm;
    Object* root;
    explicit Engine(VmLimits limits = {}) : vm(&host, limits), root(vm.newObject()) {
        vm.addRoot(root);
    }
    RunResult run(const ActionBuilder& b, int version = 8) {
        ExecutionContext c;
        c.swfVersion = version;
        c.target = root;
        return vm.run(b.build(), c);
    }
};

TEST(Interpreter, ArithmeticAndTrace) {
    Engine e;
    ActionBuilder b;
    b.pushNumber(7).pushNumber(2).op(kActionSubtract).trace();
    b.pushString("a").pushNumber(1).op(kActionAdd2).trace();
    b.pushNumber(7).pushNumber(2).op(kActionModulo).trace();
    b.pushNumber(-8).pushNumber(1).op(kActionBitURShift).trace();
    b.pushString("abc").pushNumber(2).pushNumber(1).op(kActionMBStringExtract).trace();
    EXPECT_TRUE(e.run(b).ok());
    EXPECT_EQ(e.host.lines, (std::vector<std::string>{"5", "a1", "1", "2147483644", "b"}));
}

TEST(Interpreter, UndefinedTextDependsOnVersion) {
    for (int version : {6, 7}) {
        Engine e;
        ActionBuilder b;
        b.pushString("x").pushUndefined().op(kActionAdd2).trace();
        e.run(b, version);
        EXPECT_EQ(e.host.lines.at(0), version >= 7 ? "xundefined" : "x") << version;
    }
}

TEST(Interpreter, IdentifiersIgnoreCaseBelowVersion7) {
    for (int version : {6, 7}) {
        Engine e;
        ActionBuilder b;
        b.setVariable("Foo", 1).pushString("foo").op(kActionGetVariable).trace();
        e.run(b, version);
        EXPECT_EQ(e.host.lines.at(0), version >= 7 ? "undefined" : "1") << version;
    }
}

TEST(Interpreter, EndlessLoopIsAbortedByTheBudget) {
    VmLimits limits;
    limits.actionBudget = 10000;
    Engine e(limits);
    ActionBuilder b;
    b.jump(-5);
    EXPECT_EQ(e.run(b).status, RunStatus::BudgetExhausted);
    // The next run gets a fresh budget and works.
    ActionBuilder ok;
    ok.pushString("after").trace();
    EXPECT_TRUE(e.run(ok).ok());
    EXPECT_EQ(e.host.lines.back(), "after");
}

// function f() { f(); } f();
ActionBuilder endlessRecursion() {
    ActionBuilder body;
    body.call("f", 0).op(kActionPop);
    ActionBuilder b;
    b.defineFunction("f", {}, body);
    b.call("f", 0);
    return b;
}

TEST(Interpreter, DeepRecursionIsAborted) {
    Engine e;
    EXPECT_EQ(e.run(endlessRecursion()).status, RunStatus::RecursionLimit);
}

TEST(Interpreter, MalformedBytesStopCleanly) {
    const std::vector<std::vector<uint8_t>> inputs = {
        {kActionPush, 16, 0, kPushString},                  // length past the end
        {kActionPush, 2, 0, kPushString, 'a'},              // string without terminator
        {kActionPush, 1, 0, 10},                            // unknown push type
        {kActionJump, 1},                                   // truncated header
        {kActionDefineFunction, 5, 0, 'f', 0, 0, 0, 0xFF},  // body larger than the block
        {kActionTry, 3, 0, kTryHasCatch, 16, 0},            // truncated try
        {kActionConstantPool, 0xFF, 0xFF, 0},               // count larger than its strings
    };
    for (const auto& in : inputs) {
        Engine e;
        ActionBuilder b;
        b.raw(in);
        RunResult r = e.run(b);
        EXPECT_EQ(r.status, RunStatus::Malformed) << "input " << &in - inputs.data();
    }
}

TEST(Interpreter, EveryNamedActionHasAHandler) {
    // The writer's name table is an independent list of the actions SWF 3 to 8 define.
    for (int code = kActionEnd + 1; code < 256; ++code) {
        std::string name = swf::ActionName(static_cast<uint8_t>(code));
        bool handled = FamilyOf(static_cast<uint8_t>(code)) != ActionFamily::Unknown;
        EXPECT_EQ(handled, !name.empty()) << "action 0x" << std::hex << code << " " << name;
    }
}

TEST(Interpreter, EveryActionCopesWithAnEmptyStack) {
    // Operands missing from the stack read as undefined (NaN, "" ...), never as a fault.
    for (int code = kActionEnd + 1; code < kActionHasOperands; ++code) {
        Engine e;
        ActionBuilder b;
        b.op(static_cast<uint8_t>(code)).op(static_cast<uint8_t>(code));
        RunResult r = e.run(b);
        EXPECT_TRUE(r.ok() || r.status == RunStatus::Thrown) << "action " << code;
    }
}

TEST(Interpreter, JumpsOutsideTheBlockEndIt) {
    Engine e;
    ActionBuilder b;
    b.jump(30000).pushString("unreached").trace();
    EXPECT_TRUE(e.run(b).ok());
    ActionBuilder back;
    back.jump(-30000);
    EXPECT_TRUE(e.run(back).ok());
    EXPECT_TRUE(e.host.lines.empty());
}

TEST(Interpreter, TryCatchFinally) {
    Engine e;
    // try { throw "boom"; } catch (err) { trace(err); } finally { trace("finally"); }
    ActionBuilder tryBody, catchBody, finallyBody;
    tryBody.pushString("boom").op(kActionThrow);
    catchBody.pushString("err").op(kActionGetVariable).trace();
    finallyBody.pushString("finally").trace();
    ActionBuilder b;
    b.tryCatchFinally(tryBody, "err", catchBody, finallyBody);
    EXPECT_TRUE(e.run(b).ok());
    EXPECT_EQ(e.host.lines, (std::vector<std::string>{"boom", "finally"}));
}

TEST(Interpreter, UncaughtThrowIsReported) {
    Engine e;
    ActionBuilder b;
    b.pushString("oops").op(kActionThrow).pushString("unreached").trace();
    RunResult r = e.run(b);
    EXPECT_EQ(r.status, RunStatus::Thrown);
    EXPECT_EQ(r.thrown.asString(), "oops");
    EXPECT_TRUE(e.host.lines.empty());
}

TEST(Interpreter, QuitCommandStopsTheScript) {
    Engine e;
    ActionBuilder b;
    b.getUrl("FSCommand:quit", "").pushString("unreached").trace();
    EXPECT_EQ(e.run(b).status, RunStatus::Quit);
    EXPECT_TRUE(e.vm.quitRequested());
    EXPECT_TRUE(e.host.lines.empty());
    EXPECT_TRUE(e.host.calls.empty());
}

TEST(Interpreter, TimelineActionsGoToTheHost) {
    Engine e;
    ActionBuilder b;
    b.op(kActionStop).op(kActionPlay).op(kActionGotoFrame, ActionBuilder::le16(4));
    b.op(kActionGotoLabel, ActionBuilder::cstr("intro"));
    b.pushNumber(3).op(kActionGotoFrame2, {kGotoFrame2Play});  // gotoAndPlay(3)
    b.getUrl("http://example.com/", "_blank");
    EXPECT_TRUE(e.run(b).ok());
    EXPECT_EQ(e.host.calls,
              (std::vector<std::string>{"stop", "play", "goto 4 stop", "label intro", "goto 2 play",
                                        "url http://example.com/ _blank"}));
}

TEST(Interpreter, DefineFunction2PreloadsRegisters) {
    Engine e;
    // function f(a /* r2 */) { trace(this === _root-ish r1); trace(a); }
    ActionBuilder body;
    body.pushRegister(2).trace();
    body.pushRegister(1).pushString("mark").op(kActionGetMember).trace();
    ActionBuilder b;
    b.setVariable("mark", 9);
    b.defineFunction2("f", 3, kPreloadThis, {{2, "a"}}, body);  // this in r1, a in r2
    b.pushString("arg").call("f", 1).op(kActionPop);
    EXPECT_TRUE(e.run(b).ok());
    EXPECT_EQ(e.host.lines, (std::vector<std::string>{"arg", "9"}));
}

}  // namespace
}  // namespace kestrel::avm1
