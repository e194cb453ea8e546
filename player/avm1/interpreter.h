// Executes action bytes. Internal to the engine: the runtime uses Vm.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "player/avm1/decoded_block.h"
#include "player/avm1/function.h"
#include "player/avm1/object.h"
#include "player/avm1/value.h"
#include "player/avm1/vm.h"

namespace kestrel::avm1 {

// How a stretch of actions ended. JumpOut carries a branch target outside the stretch
// (a `break` out of a try or with block), for the enclosing stretch to continue at.
struct Completion {
    enum Kind { Normal, Return, Throw, Abort, JumpOut };
    Kind kind = Normal;
    Value value;
    RunStatus abortStatus = RunStatus::Completed;
    size_t jumpTarget = 0;

    static Completion normal() { return {}; }
    static Completion returned(Value v) { return {Return, std::move(v)}; }
    static Completion thrown(Value v) { return {Throw, std::move(v)}; }
    static Completion aborted(RunStatus s) { return {Abort, Value(), s}; }
};

// State of `super` inside a method: member lookups start at proto, calls keep `this`.
struct SuperData : NativeData {
    Value thisValue;
    Object* proto = nullptr;
    Value constructor;  // what super() calls
    void markReferences(Marker& m) override {
        m.mark(constructor);
        m.mark(thisValue);
        m.mark(proto);
    }
};

// One running block or function call.
struct Activation {
    int version = 8;
    ActionBytes code;
    std::vector<Object*> scope;  // outermost (global) first
    size_t targetScope = 1;      // index of the timeline in scope, if scope.size() > 1
    Object* locals = nullptr;    // activation object of a function; null at top level
    Object* target = nullptr;    // current target of timeline actions (SetTarget changes it)
    Object* baseTarget = nullptr;
    Value thisValue;
    // A DefineFunction2 that preloads or suppresses `this` has no `this` variable: the
    // name then means the function's timeline (nothing before SWF 6).
    bool thisIsVariable = true;
    Object* callee = nullptr;
    Object* superProto = nullptr;
    std::vector<Value>* registers = nullptr;  // not owned: local or the shared four
    std::vector<Value> localRegisters;
    ConstantPool constantPool;
    std::vector<Value> stack;
    bool isFunction = false;
};

class Interpreter {
  public:
    explicit Interpreter(Vm& vm);

    RunResult runTopLevel(ActionBytes code, const ExecutionContext& context);
    // Calls a callable object. superProto is where `super` starts looking.
    Completion call(Object* function, const Value& thisValue, const std::vector<Value>& args,
                    Object* superProto);
    Completion construct(Object* constructor, const std::vector<Value>& args);

    bool running() const { return depth_ > 0; }
    int currentVersion() const;
    // A native function reports a throw or an abort of a nested script call this way; the
    // interpreter turns it into a completion after the native returns.
    void setPending(Completion c) {
        if (!pending_) pending_ = std::move(c);
    }
    bool hasPending() const { return pending_.has_value(); }
    void resetBudget() { actionsLeft_ = vm_.limits().actionBudget; }
    int depth() const { return depth_; }
    void markRoots(Marker& marker);

    // Variable access through the scope chain of the innermost activation.
    // holder, when given, receives the object the variable was found on (null when none):
    // a function called by name runs with it as `this`.
    Value getVariable(Activation& act, const std::string& name, Object** holder = nullptr);
    void setVariable(Activation& act, const std::string& name, const Value& value);

  private:
    Completion execute(Activation& act, size_t begin, size_t end);
    Completion runFunction(Object* function, const Value& thisValue, const std::vector<Value>& args,
                           Object* superProto);
    Completion takePending();

    Object* lookupScope(Activation& act, const std::string& name, bool cs);
    // member: when given, a dotted path resolved through the scope chain only stops at an
    // object that has this member (a.b.c falls through to _global.a.b when this.a.b has no c).
    Object* resolvePath(Activation& act, std::string_view path, std::string_view member = {});
    bool splitVariablePath(const std::string& name, std::string& path, std::string& var);

    Vm& vm_;
    int depth_ = 0;
    uint64_t actionsLeft_ = 0;
    std::optional<Completion> pending_;
    std::vector<Value> sharedRegisters_;
    ConstantPool sharedPool_;
    DecodedBlocks decodedBlocks_;
    std::vector<Activation*> activations_;  // not owned: live on the C++ stack
    friend class ActionExecutor;
};

}  // namespace kestrel::avm1
