#include "player/avm1/operators.h"

#include <cmath>

#include "player/avm1/object.h"
#include "player/avm1/vm.h"

namespace kestrel::avm1 {

Value toPrimitive(Vm& vm, const Value& v) {
    Object* o = v.asObject();
    // Display objects are never converted; other objects answer valueOf, which may be
    // missing (undefined) or give back an object.
    if (!o || vm.host().targetPathOf(o)) return v;
    return vm.callMethod(v, "valueOf", {}).value_or(Value());
}

Value add2(Vm& vm, const Value& a, const Value& b) {
    // The right operand converts first, as the player does.
    Value pb = toPrimitive(vm, b);
    Value pa = toPrimitive(vm, a);
    if (pa.isString() || pb.isString())
        return Value(vm.toString(pa.isObject() ? a : pa) + vm.toString(pb.isObject() ? b : pb));
    // An operand whose valueOf gave an object converts again from the start (and so calls
    // valueOf once more), as the player does.
    double x = pa.isObject() ? vm.toNumber(a) : vm.toNumber(pa);
    double y = pb.isObject() ? vm.toNumber(b) : vm.toNumber(pb);
    return Value(x + y);
}

bool strictEquals(const Value& a, const Value& b) {
    if (a.type() != b.type()) return false;
    switch (a.type()) {
        case ValueType::Undefined:
        case ValueType::Null:
            return true;
        case ValueType::Boolean:
            return a.asBoolean() == b.asBoolean();
        // NaN is strictly equal to itself in this language.
        case ValueType::Number:
            return a.asNumber() == b.asNumber() ||
                   (std::isnan(a.asNumber()) && std::isnan(b.asNumber()));
        case ValueType::String:
            return a.asString() == b.asString();
        case ValueType::Object:
            return a.asObject() == b.asObject();
    }
    return false;
}

bool looseEquals(Vm& vm, const Value& a, const Value& b) {
    if (a.type() == b.type()) return strictEquals(a, b);
    if (a.isNullish() && b.isNullish()) return true;
    if (a.isNullish() && !b.isObject()) return false;
    if (b.isNullish() && !a.isObject()) return false;
    if (a.isNumber() && b.isString()) return a.asNumber() == vm.toNumber(b);
    if (a.isString() && b.isNumber()) return vm.toNumber(a) == b.asNumber();
    if (a.isBoolean()) return looseEquals(vm, Value(a.asBoolean() ? 1.0 : 0.0), b);
    if (b.isBoolean()) return looseEquals(vm, a, Value(b.asBoolean() ? 1.0 : 0.0));
    if (a.isObject() && !b.isObject()) {
        Value pa = toPrimitive(vm, a);
        if (pa.isObject()) return false;
        return looseEquals(vm, pa, b);
    }
    if (b.isObject() && !a.isObject()) {
        Value pb = toPrimitive(vm, b);
        if (pb.isObject()) return false;
        return looseEquals(vm, a, pb);
    }
    return false;
}

Value lessThan(Vm& vm, const Value& a, const Value& b) {
    // An object whose valueOf gives an object makes the comparison false at once (the other
    // side is not converted). A clip is never converted: it is not a number, so the
    // comparison is undefined.
    auto isClip = [&](const Value& v) {
        return v.isObject() && vm.host().targetPathOf(v.asObject());
    };
    Value pa = toPrimitive(vm, a);
    if (pa.isObject() && !isClip(a)) return Value(false);
    Value pb = toPrimitive(vm, b);
    if (pb.isObject() && !isClip(b)) return Value(false);
    if (pa.isString() && pb.isString()) return Value(pa.asString() < pb.asString());
    double x = pa.isObject() ? std::nan("") : vm.toNumber(pa);
    double y = pb.isObject() ? std::nan("") : vm.toNumber(pb);
    if (std::isnan(x) || std::isnan(y)) return Value();
    return Value(x < y);
}

}  // namespace kestrel::avm1
