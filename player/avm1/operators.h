// The binary operators whose coercions are shared by several actions and built-ins.
#pragma once

#include "player/avm1/value.h"

namespace kestrel::avm1 {

class Vm;

// Object to primitive: valueOf first, toString second (Date prefers toString).
Value toPrimitive(Vm& vm, const Value& v);
// Add2 (the `+` of SWF 5 and later): concatenates when either side is a string.
Value add2(Vm& vm, const Value& a, const Value& b);
// Equals2 (==).
bool looseEquals(Vm& vm, const Value& a, const Value& b);
// StrictEquals (===).
bool strictEquals(const Value& a, const Value& b);
// Less2 (a < b): true, false, or undefined when a NaN is involved.
Value lessThan(Vm& vm, const Value& a, const Value& b);

}  // namespace kestrel::avm1
