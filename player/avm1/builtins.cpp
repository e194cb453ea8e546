#include "player/avm1/builtins.h"

#include "player/avm1/heap.h"
#include "player/avm1/native_tables.h"
#include "player/avm1/object.h"

namespace kestrel::avm1 {

void installBuiltins(Vm& vm) {
    installObjectBuiltins(vm);
    installArrayBuiltins(vm);
    installStringBuiltins(vm);
    installNumberBooleanBuiltins(vm);
    installMathBuiltins(vm);
    installDateBuiltins(vm);
    installGlobalFunctions(vm);
    installExternalInterface(vm);
    installNativeTables(vm);
}

Object* defineClass(Vm& vm, std::string_view name, NativeFunction call, NativeFunction construct,
                    Object* prototype) {
    Object* ctor = vm.newNativeFunction(std::move(call), std::move(construct));
    if (!prototype) prototype = vm.newObject();
    prototype->define("constructor", Value(ctor), kDontEnum);
    ctor->define("prototype", Value(prototype), kDontEnum | kDontDelete);
    vm.global()->define(name, Value(ctor), kDontEnum);
    return ctor;
}

long long parseArrayIndex(std::string_view name) {
    if (name.empty() || name.size() > 10) return -1;
    if (name.size() > 1 && name[0] == '0') return -1;
    long long v = 0;
    for (char c : name) {
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

int compareAsStrings(Vm& vm, const Value& a, const Value& b) {
    std::string x = a.isUndefined() ? "undefined" : vm.toString(a);
    std::string y = b.isUndefined() ? "undefined" : vm.toString(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

}  // namespace kestrel::avm1
