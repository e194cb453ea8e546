// The Vm API the runtime uses: objects, native properties, calls, the collector, intervals.
#include "player/avm1/vm.h"

#include <gtest/gtest.h>

#include "tests/player/avm1/action_builder.h"

namespace kestrel::avm1 {
namespace {

using test::ActionBuilder;

class ClockHost : public Host {
  public:
    double now = 0;
    std::vector<std::string> lines;
    double timerMs() override { return now; }
    void trace(std::string_view t) override { lines.emplace_back(t); }
};

TEST(Vm, NativePropertiesReadAndWriteThroughTheHost) {
    Vm vm;
    Object* clip = vm.newObject();
    double x = 5;
    clip->defineNative(
        "_x", [&x](Vm&, Object&) { return Value(x); },
        [&x](Vm& v, Object&, const Value& value) { x = v.toNumber(value); });
    clip->defineNative(
        "_name", [](Vm&, Object&) { return Value("clip"); }, nullptr);
    EXPECT_EQ(vm.getMember(Value(clip), "_x").asNumber(), 5);
    vm.setMember(Value(clip), "_x", Value("12"));
    EXPECT_EQ(x, 12);
    vm.setMember(Value(clip), "_name", Value("other"));  // read-only: ignored
    EXPECT_EQ(vm.getMember(Value(clip), "_name").asString(), "clip");
}

// A getter or setter that reaches its own property again nests 65 deep; below that the
// property reads as the outermost finished assignment and assignments are not passed on.
// Each property counts for itself.
TEST(Vm, AccessorRecursionStopsPerProperty) {
    Vm vm;
    Object* o = vm.newObject();
    vm.addRoot(o);
    int getterCalls = 0, setterCalls = 0;
    Value getter(vm.newNativeFunction([&](NativeCall& c) -> Value {
        ++getterCalls;
        return c.vm.getMember(c.thisValue, "p");
    }));
    Value setter(vm.newNativeFunction([&](NativeCall& c) -> Value {
        ++setterCalls;
        c.vm.setMember(c.thisValue, "p", Value("inner"));
        return Value();
    }));
    vm.callMethod(Value(o), "addProperty", {Value("p"), getter, setter});
    vm.callMethod(Value(o), "addProperty", {Value("q"), getter, setter});
    vm.setMember(Value(o), "p", Value("outer"));
    EXPECT_EQ(setterCalls, 65);
    EXPECT_EQ(vm.toString(vm.getMember(Value(o), "p")), "outer");
    EXPECT_EQ(getterCalls, 65);
    // q's accessors recurse on p: one call for q, then p's own 65.
    getterCalls = 0;
    EXPECT_EQ(vm.toString(vm.getMember(Value(o), "q")), "outer");
    EXPECT_EQ(getterCalls, 66);
    // The count unwinds: the next access nests as deep again.
    setterCalls = 0;
    vm.setMember(Value(o), "p", Value("again"));
    EXPECT_EQ(setterCalls, 65);
}

// A setter that reads its property and a getter that assigns it run inside each other 65
// calls deep together, not 65 each; the innermost read answers the stored value.
TEST(Vm, GetterAndSetterShareOneNestingCount) {
    Vm vm;
    Object* o = vm.newObject();
    vm.addRoot(o);
    std::string calls;
    Value getter(vm.newNativeFunction([&](NativeCall& c) -> Value {
        calls += 'G';
        c.vm.setMember(c.thisValue, "p", Value("h"));
        return Value("e");
    }));
    Value setter(vm.newNativeFunction([&](NativeCall& c) -> Value {
        calls += 'S';
        return c.vm.getMember(c.thisValue, "p");
    }));
    vm.callMethod(Value(o), "addProperty", {Value("p"), getter, setter});
    vm.setMember(Value(o), "p", Value("b"));
    EXPECT_EQ(calls.size(), 65u);
    EXPECT_EQ(calls.substr(0, 4), "SGSG");
    EXPECT_EQ(calls.back(), 'S');
    calls.clear();
    EXPECT_EQ(vm.toString(vm.getMember(Value(o), "p")), "e");
    EXPECT_EQ(calls.size(), 65u);
    EXPECT_EQ(calls.back(), 'G');
}

// A watcher that assigns its own property nests 65 deep; the next assignment is stored as
// it is, and what each watcher returns is stored as the nesting unwinds. While watchers
// run 65 deep, the property's accessors are passed by too.
TEST(Vm, WatcherRecursionStopsAndCountsInTheAccessors) {
    Vm vm;
    Object* o = vm.newObject();
    vm.addRoot(o);
    int watcherCalls = 0;
    std::vector<std::string> seen;
    Value watcher(vm.newNativeFunction([&](NativeCall& c) -> Value {
        ++watcherCalls;
        c.vm.setMember(c.thisValue, "p", Value("inner"));
        seen.push_back(c.vm.toString(c.vm.getMember(c.thisValue, "p")));
        return Value("kept");
    }));
    vm.callMethod(Value(o), "watch", {Value("p"), watcher});
    vm.setMember(Value(o), "p", Value("outer"));
    EXPECT_EQ(watcherCalls, 65);
    ASSERT_EQ(seen.size(), 65u);
    EXPECT_EQ(seen.front(), "inner");  // the innermost watcher saw the plain assignment
    EXPECT_EQ(seen.back(), "kept");
    EXPECT_EQ(vm.toString(vm.getMember(Value(o), "p")), "kept");

    Object* v = vm.newObject();
    vm.addRoot(v);
    int getterCalls = 0;
    Value getter(vm.newNativeFunction([&](NativeCall&) -> Value {
        ++getterCalls;
        return Value("got");
    }));
    Value setter(vm.newNativeFunction([](NativeCall&) { return Value(); }));
    vm.callMethod(Value(v), "addProperty", {Value("p"), getter, setter});
    vm.callMethod(Value(v), "watch", {Value("p"), watcher});
    seen.clear();
    vm.setMember(Value(v), "p", Value("outer"));
    // The innermost watcher read the stored value, not the getter's.
    EXPECT_EQ(seen.front(), "inner");
    EXPECT_EQ(getterCalls, 64);
}

TEST(Vm, CallsScriptFunctionsFromTheHost) {
    Vm vm;
    Object* root = vm.newObject();
    vm.addRoot(root);
    // onEnterFrame = function (n) { return n + 1; }
    ActionBuilder body;
    body.pushString("n").op(swf::kActionGetVariable).pushNumber(1).op(swf::kActionAdd2);
    body.op(swf::kActionReturn);
    ActionBuilder b;
    b.pushString("onEnterFrame").defineFunction("", {"n"}, body).op(swf::kActionSetVariable);
    ExecutionContext c;
    c.target = root;
    ASSERT_TRUE(vm.run(b.build(), c).ok());
    auto r = vm.callMethod(Value(root), "onEnterFrame", {Value(41)});
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->asNumber(), 42);
    EXPECT_FALSE(vm.callMethod(Value(root), "missing", {}).has_value());
}

TEST(Vm, BigObjectsKeepOrderAndTheCaseRule) {
    Vm vm;
    Object* o = vm.newObject();
    for (int i = 0; i < 100; ++i) o->define("p" + std::to_string(i), Value(i));
    o->define("Name", Value("upper"));
    o->define("name", Value("lower"));
    EXPECT_EQ(o->findOwn("p57", true)->value.asNumber(), 57);
    EXPECT_EQ(o->findOwn("NAME", false)->value.asString(), "upper");  // first added wins
    EXPECT_EQ(o->findOwn("name", true)->value.asString(), "lower");
    EXPECT_EQ(o->findOwn("NAME", true), nullptr);
    EXPECT_TRUE(o->remove("p3", true));
    EXPECT_EQ(o->findOwn("p4", true)->value.asNumber(), 4);
    EXPECT_EQ(o->properties().front().name, "p0");
    o->define("late", Value(1));
    EXPECT_EQ(o->properties().back().name, "late");
    EXPECT_NE(o->findOwn("LATE", false), nullptr);
}

TEST(Vm, CollectorFreesOnlyUnreachableObjects) {
    Vm vm;
    vm.collect();
    size_t baseline = vm.objectCount();
    Object* kept = vm.newObject();
    vm.addRoot(kept);
    Object* child = vm.newObject();
    kept->define("child", Value(child));
    // A cycle that nothing reaches.
    Object* a = vm.newObject();
    Object* b = vm.newObject();
    a->define("b", Value(b));
    b->define("a", Value(a));
    vm.collect();
    EXPECT_EQ(vm.objectCount(), baseline + 2);
    vm.removeRoot(kept);
    vm.collect();
    EXPECT_EQ(vm.objectCount(), baseline);
}

TEST(Vm, LongRunningLoopsDoNotGrowTheHeap) {
    Vm vm;
    Object* root = vm.newObject();
    vm.addRoot(root);
    ActionBuilder b;
    for (int i = 0; i < 50; ++i)
        b.pushString("tmp")
            .pushNumber(0)
            .op(swf::kActionInitObject)
            .op(swf::kActionSetVariable);  // tmp = {}
    ExecutionContext c;
    c.target = root;
    auto code = b.build();
    vm.run(code, c);
    vm.collect();
    size_t after = vm.objectCount();
    for (int frame = 0; frame < 20; ++frame) {
        vm.run(code, c);
        vm.collect();
    }
    EXPECT_EQ(vm.objectCount(), after);
}

TEST(Vm, IntervalsFireOnTheHostClock) {
    ClockHost host;
    Vm vm(&host);
    int fired = 0;
    Object* fn = vm.newNativeFunction([&fired](NativeCall&) {
        ++fired;
        return Value();
    });
    Object* setInterval = vm.getMember(Value(vm.global()), "setInterval").asObject();
    auto id = vm.call(Value(setInterval), Value(), {Value(fn), Value(100)});
    ASSERT_TRUE(id.has_value());
    host.now = 50;
    vm.runDueIntervals(host.now);
    EXPECT_EQ(fired, 0);
    host.now = 100;
    vm.runDueIntervals(host.now);
    host.now = 200;
    vm.runDueIntervals(host.now);
    EXPECT_EQ(fired, 2);
    vm.call(vm.getMember(Value(vm.global()), "clearInterval"), Value(), {*id});
    host.now = 300;
    vm.runDueIntervals(host.now);
    EXPECT_EQ(fired, 2);
}

TEST(Vm, TimeoutsFireOnce) {
    ClockHost host;
    Vm vm(&host);
    int fired = 0;
    Object* fn = vm.newNativeFunction([&fired](NativeCall&) {
        ++fired;
        return Value();
    });
    vm.call(vm.getMember(Value(vm.global()), "setTimeout"), Value(), {Value(fn), Value(10)});
    for (double t : {10.0, 20.0, 30.0}) vm.runDueIntervals(t);
    EXPECT_EQ(fired, 1);
    EXPECT_TRUE(vm.intervals().empty());
}

class ExternalHost : public Host {
  public:
    std::string lastRequest;
    bool externalAvailable() override { return true; }
    bool externalAddCallback(std::string_view) override { return true; }
    std::optional<std::string> externalCallOut(std::string_view xml) override {
        lastRequest = std::string(xml);
        return std::string("<string>ok</string>");
    }
};

TEST(Vm, ExternalInterfaceGoesThroughTheHost) {
    ExternalHost host;
    Vm vm(&host);
    Value ei = vm.getMember(vm.getMember(vm.getMember(Value(vm.global()), "flash"), "external"),
                            "ExternalInterface");
    EXPECT_TRUE(vm.getMember(ei, "available").asBoolean());
    vm.callMethod(ei, "call", {Value("Window.getPosition"), Value("main"), Value(2)});
    EXPECT_EQ(
        host.lastRequest,
        "<invoke name=\"Window.getPosition\" returntype=\"xml\"><arguments><string>main</string>"
        "<number>2</number></arguments></invoke>");
    Object* callback =
        vm.newNativeFunction([](NativeCall& c) { return Value(c.vm.toString(c.arg(0)) + "!"); });
    auto added = vm.callMethod(ei, "addCallback", {Value("ping"), Value::null(), Value(callback)});
    ASSERT_TRUE(added && added->asBoolean());
    auto answer = vm.callExternalCallback("ping", {Value("pong")});
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->asString(), "pong!");
    EXPECT_FALSE(vm.callExternalCallback("nothing", {}).has_value());
}

}  // namespace
}  // namespace kestrel::avm1
