// Installation of the built-in classes and global functions, one file per family.
#pragma once

#include <string_view>

#include "player/avm1/function.h"
#include "player/avm1/vm.h"

namespace kestrel::avm1 {

void installBuiltins(Vm& vm);

void installObjectBuiltins(Vm& vm);  // Object, Function (first: everything builds on them)
void installArrayBuiltins(Vm& vm);
void installStringBuiltins(Vm& vm);
void installNumberBooleanBuiltins(Vm& vm);
void installMathBuiltins(Vm& vm);
void installDateBuiltins(Vm& vm);
void installGlobalFunctions(Vm& vm);
void installExternalInterface(Vm& vm);

// Helpers shared by the built-in files.
// A constructor function with a fresh prototype object, bound to a global name.
Object* defineClass(Vm& vm, std::string_view name, NativeFunction call, NativeFunction construct,
                    Object* prototype = nullptr);
// Sorts property values the way Array.sort compares them by default.
int compareAsStrings(Vm& vm, const Value& a, const Value& b);
// A canonical array index ("0", "15"), or -1.
long long parseArrayIndex(std::string_view name);

}  // namespace kestrel::avm1
