// The interpreter: control flow, functions, limits and malformed bytes.
#include <gtest/gtest.h>

#include "action_builder.h"
#include "avm1/vm.h"

namespace kestrel::avm1 {
namespace {

using test::ActionBuilder;

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
    explicit Engine(VmLimits limits = {}) : vm(&host, limits), root(vm.newObject()) { vm.addRoot(root); }
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
    b.pushNumber(7).pushNumber(2).op(0x0B).trace();                          // 7 - 2
    b.pushString("a").pushNumber(1).op(0x47).trace();                        // "a" + 1
    b.pushNumber(7).pushNumber(2).op(0x3F).trace();                          // 7 % 2
    b.pushNumber(-8).pushNumber(1).op(0x65).trace();                         // -8 >>> 1
    b.pushString("abc").pushNumber(2).pushNumber(1).op(0x35).trace();        // mbsubstring
    EXPECT_TRUE(e.run(b).ok());
    EXPECT_EQ(e.host.lines, (std::vector<std::string>{"5", "a1", "1", "2147483644", "b"}));
}

TEST(Interpreter, UndefinedTextDependsOnVersion) {
    for (int version : {6, 7}) {
        Engine e;
        ActionBuilder b;
        b.pushString("x").pushUndefined().op(0x47).trace();
        e.run(b, version);
        EXPECT_EQ(e.host.lines.at(0), version >= 7 ? "xundefined" : "x") << version;
    }
}

TEST(Interpreter, IdentifiersIgnoreCaseBelowVersion7) {
    for (int version : {6, 7}) {
        Engine e;
        ActionBuilder b;
        b.setVariable("Foo", 1).pushString("foo").op(0x1C).trace();
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
    body.call("f", 0).op(0x17);
    ActionBuilder b;
    std::vector<uint8_t> p = ActionBuilder::cstr("f");
    auto zero = ActionBuilder::le16(0), size = ActionBuilder::le16(static_cast<int>(body.size()));
    p.insert(p.end(), zero.begin(), zero.end());
    p.insert(p.end(), size.begin(), size.end());
    b.op(0x9B, p).raw(body.bytes());
    b.call("f", 0);
    return b;
}

TEST(Interpreter, DeepRecursionIsAborted) {
    Engine e;
    EXPECT_EQ(e.run(endlessRecursion()).status, RunStatus::RecursionLimit);
}

TEST(Interpreter, MalformedBytesStopCleanly) {
    const std::vector<std::vector<uint8_t>> inputs = {
        {0x96, 0x10, 0x00, 0x00},              // length past the end
        {0x96, 0x02, 0x00, 0x00, 'a'},         // string without terminator
        {0x96, 0x01, 0x00, 0x0A},              // unknown push type
        {0x99, 0x01},                          // truncated header
        {0x9B, 0x05, 0x00, 'f', 0, 0, 0, 0xFF},  // function body larger than the block
        {0x8F, 0x03, 0x00, 0x01, 0x10, 0x00},  // truncated try
        {0x88, 0xFF, 0xFF, 0x00},              // pool count larger than its strings
    };
    for (const auto& in : inputs) {
        Engine e;
        ActionBuilder b;
        b.raw(in);
        RunResult r = e.run(b);
        EXPECT_EQ(r.status, RunStatus::Malformed) << "input " << &in - inputs.data();
    }
}

TEST(Interpreter, EveryActionCopesWithAnEmptyStack) {
    // Operands missing from the stack read as undefined (NaN, "" ...), never as a fault.
    for (int code = 1; code < 0x80; ++code) {
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
    tryBody.pushString("boom").op(0x2A);
    catchBody.pushString("err").op(0x1C).trace();
    finallyBody.pushString("finally").trace();
    std::vector<uint8_t> p{0x03};
    for (size_t n : {tryBody.size(), catchBody.size(), finallyBody.size()}) {
        auto le = ActionBuilder::le16(static_cast<int>(n));
        p.insert(p.end(), le.begin(), le.end());
    }
    auto name = ActionBuilder::cstr("err");
    p.insert(p.end(), name.begin(), name.end());
    ActionBuilder b;
    b.op(0x8F, p).raw(tryBody.bytes()).raw(catchBody.bytes()).raw(finallyBody.bytes());
    EXPECT_TRUE(e.run(b).ok());
    EXPECT_EQ(e.host.lines, (std::vector<std::string>{"boom", "finally"}));
}

TEST(Interpreter, UncaughtThrowIsReported) {
    Engine e;
    ActionBuilder b;
    b.pushString("oops").op(0x2A).pushString("unreached").trace();
    RunResult r = e.run(b);
    EXPECT_EQ(r.status, RunStatus::Thrown);
    EXPECT_EQ(r.thrown.asString(), "oops");
    EXPECT_TRUE(e.host.lines.empty());
}

TEST(Interpreter, QuitCommandStopsTheScript) {
    Engine e;
    ActionBuilder b;
    std::vector<uint8_t> p = ActionBuilder::cstr("FSCommand:quit");
    auto target = ActionBuilder::cstr("");
    p.insert(p.end(), target.begin(), target.end());
    b.op(0x83, p).pushString("unreached").trace();
    EXPECT_EQ(e.run(b).status, RunStatus::Quit);
    EXPECT_TRUE(e.vm.quitRequested());
    EXPECT_TRUE(e.host.lines.empty());
    EXPECT_TRUE(e.host.calls.empty());
}

TEST(Interpreter, TimelineActionsGoToTheHost) {
    Engine e;
    ActionBuilder b;
    b.op(0x07).op(0x06).op(0x81, ActionBuilder::le16(4));
    b.op(0x8C, ActionBuilder::cstr("intro"));
    b.pushNumber(3).op(0x9F, {1});  // gotoAndPlay(3)
    std::vector<uint8_t> url = ActionBuilder::cstr("http://example.com/");
    auto target = ActionBuilder::cstr("_blank");
    url.insert(url.end(), target.begin(), target.end());
    b.op(0x83, url);
    EXPECT_TRUE(e.run(b).ok());
    EXPECT_EQ(e.host.calls, (std::vector<std::string>{"stop", "play", "goto 4 stop", "label intro",
                                                      "goto 2 play", "url http://example.com/ _blank"}));
}

TEST(Interpreter, DefineFunction2PreloadsRegisters) {
    Engine e;
    // function f(a /* r2 */) { trace(this === _root-ish r1); trace(a); }
    ActionBuilder body;
    body.pushRegister(2).trace();
    body.pushRegister(1).pushString("mark").op(0x4E).trace();
    std::vector<uint8_t> p = ActionBuilder::cstr("f");
    auto one = ActionBuilder::le16(1);
    p.insert(p.end(), one.begin(), one.end());
    p.push_back(3);  // registers
    auto flags = ActionBuilder::le16(0x0001);  // preload this into r1
    p.insert(p.end(), flags.begin(), flags.end());
    p.push_back(2);
    auto a = ActionBuilder::cstr("a");
    p.insert(p.end(), a.begin(), a.end());
    auto size = ActionBuilder::le16(static_cast<int>(body.size()));
    p.insert(p.end(), size.begin(), size.end());
    ActionBuilder b;
    b.setVariable("mark", 9);
    b.op(0x8E, p).raw(body.bytes());
    b.pushString("arg").call("f", 1).op(0x17);
    EXPECT_TRUE(e.run(b).ok());
    EXPECT_EQ(e.host.lines, (std::vector<std::string>{"arg", "9"}));
}

}  // namespace
}  // namespace kestrel::avm1
