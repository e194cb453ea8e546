// The ActionScript 1/2 virtual machine: globals, execution of action blocks, calls and the
// collector. One Vm per movie instance; it is not thread-safe.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "player/avm1/function.h"
#include "player/avm1/host.h"
#include "player/avm1/object.h"
#include "player/avm1/value.h"

namespace kestrel::avm1 {

class Heap;
class Interpreter;

struct VmLimits {
    // Actions one top-level run (a frame's actions, one event handler) may execute before
    // it is aborted, as Flash aborts a script that runs too long. Deterministic on purpose.
    uint64_t actionBudget = 20'000'000;
    // Nested script calls (Flash's limit is 256).
    int maxCallDepth = 256;
    // Values on the operand stack of one activation.
    size_t maxStackSize = 100'000;
    // Longest string a script can build; longer results are cut to it.
    size_t maxStringLength = 16u << 20;
    // Elements of one array (InitArray counts, length assignments).
    size_t maxArrayLength = 1u << 22;
};

enum class RunStatus {
    Completed,
    BudgetExhausted,  // too many actions: the script was aborted
    RecursionLimit,   // too deep: the script was aborted
    Malformed,        // bytes that cannot be decoded; actions before the fault ran
    Thrown,           // an exception nobody caught; RunResult::thrown holds it
    Quit,             // getURL("FSCommand:quit")
};
const char* runStatusName(RunStatus status);

struct RunResult {
    RunStatus status = RunStatus::Completed;
    Value thrown;
    bool ok() const { return status == RunStatus::Completed; }
};

// Where a block of actions runs.
struct ExecutionContext {
    int swfVersion = 8;
    // The timeline the actions belong to: `this`, the base of the scope chain (under
    // _global) and the target of timeline actions. May be null for a bare engine.
    Object* target = nullptr;
};

class Vm {
  public:
    // host may be null: a default Host that does nothing is used. Not owned.
    explicit Vm(Host* host = nullptr, VmLimits limits = {});
    ~Vm();
    Vm(const Vm&) = delete;
    Vm& operator=(const Vm&) = delete;

    Host& host() { return *host_; }
    const VmLimits& limits() const { return limits_; }

    // The movie's SWF version, used for calls that come from the host and for conversions
    // outside a running block. run() uses the version of its context while it runs.
    int swfVersion() const { return swfVersion_; }
    void setSwfVersion(int version) { swfVersion_ = version; }
    bool caseSensitive() const { return swfVersion_ >= 7; }

    // Built-ins.
    Object* global() const { return global_; }
    Object* objectPrototype() const { return objectPrototype_; }
    Object* functionPrototype() const { return functionPrototype_; }
    Object* arrayPrototype() const { return arrayPrototype_; }
    // The prototype of a global constructor ("String", "MovieClip" once the host adds it).
    Object* prototypeOf(std::string_view constructorName);

    // Object creation (all objects are collected by collect()).
    Object* newObject(Object* proto = nullptr);  // null: Object.prototype
    Object* newArray(std::vector<Value> elements = {});
    Object* newNativeFunction(NativeFunction fn, NativeFunction construct = nullptr);
    // Adds a native method to an object, hidden from for..in like Flash's built-ins.
    Object* defineMethod(Object* on, std::string_view name, NativeFunction fn);
    // Makes a host object (clip, text field...) with the given prototype and state.
    Object* newHostObject(Object* proto, std::unique_ptr<NativeData> data);

    // Runs a block of actions (a DoAction tag, a button or clip event).
    RunResult run(ActionBytes code, const ExecutionContext& context);
    RunResult run(const uint8_t* data, size_t size, const ExecutionContext& context);

    // Calls a function value; nullopt when it is not callable or the call was aborted
    // (lastStatus() tells why). Runs with a fresh action budget when called from outside.
    std::optional<Value> call(const Value& function, const Value& thisValue,
                              const std::vector<Value>& args);
    // obj[name](args...); nullopt when the method is missing or the call was aborted.
    std::optional<Value> callMethod(const Value& object, std::string_view name,
                                    const std::vector<Value>& args);
    // new ctor(args...)
    std::optional<Value> construct(const Value& constructor, const std::vector<Value>& args);
    RunStatus lastStatus() const { return lastStatus_; }

    // Property access with getters, setters, __proto__ and the version's case rule.
    Value getMember(const Value& object, std::string_view name);
    void setMember(const Value& object, std::string_view name, const Value& value);
    bool hasProperty(Object* object, std::string_view name);
    bool deleteMember(Object* object, std::string_view name);

    // Conversions per the current SWF version (may call valueOf/toString of objects).
    std::string toString(const Value& value);
    double toNumber(const Value& value);
    bool toBoolean(const Value& value) {
        return value.isBoolean() ? value.asBoolean() : ToBooleanSlow(value);
    }
    // Primitives become boxed objects; undefined and null give nullptr.
    Object* toObject(const Value& value);
    // typeof
    std::string typeOf(const Value& value);

    // Resolves "/a/b", "a.b.c", "_root", "_level0", "..", relative to a clip.
    Object* resolveTargetPath(Object* base, std::string_view path);

    // Collector. Roots: the global object, everything reachable from a running script, the
    // objects added here and whatever extra markers report. Call between frames.
    void addRoot(Object* object);
    void removeRoot(Object* object);
    using RootMarker = std::function<void(Marker&)>;
    void addRootMarker(RootMarker marker);
    void collect();
    size_t objectCount() const;
    bool running() const;

    // setInterval: the runtime's clock drives due intervals.
    void runDueIntervals(double nowMs);

    // Classes bound to library symbols by Object.registerClass.
    Object* registeredClass(std::string_view symbol) const;

    // Flash numbers its built-in functions by table and index (ASnative(200, 0) is
    // Math.abs); classes register theirs as they are installed.
    void RegisterNative(int table, int index, Object* function);
    Object* NativeAt(int table, int index) const;

    // ExternalInterface from the host side: invokes the callback a movie registered under
    // name with already-decoded arguments; nullopt when there is none.
    std::optional<Value> callExternalCallback(std::string_view name,
                                              const std::vector<Value>& args);

    // True once a script asked for FSCommand:quit.
    bool quitRequested() const { return quitRequested_; }

    // Internal plumbing shared by the interpreter and built-ins.
    Heap& heap() { return *heap_; }
    Interpreter& interpreter() { return *interpreter_; }
    void setQuitRequested() { quitRequested_ = true; }
    void setLastStatus(RunStatus s) { lastStatus_ = s; }
    void setBuiltins(Object* global, Object* objectProto, Object* functionProto,
                     Object* arrayProto);
    struct Interval {
        int id;
        Value function;  // a function, or an object whose method is called
        std::string method;
        std::vector<Value> args;
        double periodMs;
        double nextDueMs;
    };
    std::vector<Interval>& intervals() { return intervals_; }
    int nextIntervalId() { return ++lastIntervalId_; }
    std::vector<std::pair<std::string, Object*>>& registeredClasses() { return classes_; }
    std::vector<std::pair<std::string, Value>>& externalCallbacks() { return callbacks_; }

  private:
    // addProperty accessors of `p`, an own property of `holder`, called for `receiver`.
    Value CallScriptGetter(Object& holder, Property& p, const Value& receiver);
    void CallScriptSetter(Object& holder, Property& p, Object& receiver, const Value& value);
    // Object.watch: what the watcher decides to store for an assignment of `value`.
    Value CallWatcher(Object& o, Object::Watch& w, std::string_view name, const Value& value);
    void markRoots(Marker& marker);
    bool ToBooleanSlow(const Value& value);

    Host defaultHost_;
    Host* host_;
    VmLimits limits_;
    int swfVersion_ = 8;
    std::unique_ptr<Heap> heap_;
    std::unique_ptr<Interpreter> interpreter_;
    Object* global_ = nullptr;
    Object* objectPrototype_ = nullptr;
    Object* functionPrototype_ = nullptr;
    Object* arrayPrototype_ = nullptr;
    std::vector<Object*> roots_;
    std::vector<RootMarker> rootMarkers_;
    std::vector<Interval> intervals_;
    int lastIntervalId_ = 0;
    std::vector<std::pair<std::string, Object*>> classes_;
    std::vector<std::pair<std::string, Value>> callbacks_;
    std::unordered_map<uint64_t, Object*> natives_;  // heap-managed
    RunStatus lastStatus_ = RunStatus::Completed;
    bool quitRequested_ = false;
};

}  // namespace kestrel::avm1
