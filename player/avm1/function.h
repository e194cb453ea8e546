// Function payloads: script functions (DefineFunction/DefineFunction2) and native ones.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "player/avm1/value.h"

namespace kestrel::avm1 {

class Vm;
class Object;

// Arguments of a native call. thisValue is the receiver as the caller gave it.
struct NativeCall {
    Vm& vm;
    Value thisValue;
    const std::vector<Value>& args;
    Object* callee;  // the function object being called; not owned

    Value arg(size_t i) const { return i < args.size() ? args[i] : Value(); }
    Object* thisObject() const { return thisValue.asObject(); }
};

using NativeFunction = std::function<Value(NativeCall&)>;

// Action bytes shared by every function defined in them, so a function outlives its frame.
using ActionBytes = std::shared_ptr<const std::vector<uint8_t>>;

// The strings of a ConstantPool action, shared by the functions defined after it.
using ConstantPool = std::shared_ptr<const std::vector<Value>>;

struct FunctionParameter {
    std::string name;
    uint8_t reg = 0;  // DefineFunction2: register to store into, 0 = a named local
};

struct FunctionData {
    // Native function: set for built-ins and host functions.
    NativeFunction native;
    // A native constructor behaves differently from a call (new Number(1) vs Number(1)).
    NativeFunction nativeConstruct;

    // Script function.
    std::string name;
    ActionBytes code;
    size_t begin = 0;  // body range within code
    size_t end = 0;
    std::vector<FunctionParameter> params;
    bool isFunction2 = false;
    uint8_t registerCount = 0;  // DefineFunction2 register count (up to 255)
    uint16_t flags = 0;
    int swfVersion = 0;
    std::vector<Object*> scope;  // captured scope chain, outermost first; heap-managed
    Object* target = nullptr;    // timeline the function was defined on
    ConstantPool constantPool;

    bool isNative() const { return static_cast<bool>(native); }
};

}  // namespace kestrel::avm1
