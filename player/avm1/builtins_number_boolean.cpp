// Number and Boolean.
#include <cfloat>
#include <cmath>
#include <limits>

#include "player/avm1/builtins.h"
#include "player/avm1/conversions.h"
#include "player/avm1/object.h"

namespace kestrel::avm1 {

namespace {

double thisNumber(NativeCall& c) {
    if (c.thisValue.isNumber()) return c.thisValue.asNumber();
    Object* o = c.thisObject();
    if (o && o->kind() == ObjectKind::Number) return o->primitive().asNumber();
    return std::nan("");
}

Value thisBoolean(NativeCall& c) {
    if (c.thisValue.isBoolean()) return c.thisValue;
    Object* o = c.thisObject();
    if (o && o->kind() == ObjectKind::Boolean) return o->primitive();
    return Value();
}

}  // namespace

void installNumberBooleanBuiltins(Vm& vm) {
    Object* numberProto = vm.newObject();
    Object* number = defineClass(
        vm, "Number",
        [](NativeCall& c) { return Value(c.args.empty() ? 0.0 : c.vm.toNumber(c.args[0])); },
        [](NativeCall& c) {
            Object* self = c.thisObject();
            if (!self) return Value();
            self->setKind(ObjectKind::Number);
            self->setPrimitive(Value(c.args.empty() ? 0.0 : c.vm.toNumber(c.args[0])));
            return c.thisValue;
        },
        numberProto);
    const uint8_t constant = kDontEnum | kDontDelete | kReadOnly;
    number->define("MAX_VALUE", Value(DBL_MAX), constant);
    number->define("MIN_VALUE", Value(std::numeric_limits<double>::denorm_min()), constant);
    number->define("NaN", Value(std::nan("")), constant);
    number->define("NEGATIVE_INFINITY", Value(-std::numeric_limits<double>::infinity()), constant);
    number->define("POSITIVE_INFINITY", Value(std::numeric_limits<double>::infinity()), constant);
    vm.defineMethod(numberProto, "toString", [](NativeCall& c) {
        Object* o = c.thisObject();
        if (!c.thisValue.isNumber() && !(o && o->kind() == ObjectKind::Number))
            return Value("[object Object]");
        double radix = c.arg(0).isUndefined() ? 10 : c.vm.toNumber(c.arg(0));
        int r = toInt32(radix);
        if (std::isnan(radix)) r = 10;
        return Value(formatNumberRadix(thisNumber(c), r));
    });
    vm.defineMethod(numberProto, "valueOf", [](NativeCall& c) {
        Object* o = c.thisObject();
        if (!c.thisValue.isNumber() && !(o && o->kind() == ObjectKind::Number)) return c.thisValue;
        return Value(thisNumber(c));
    });

    Object* booleanProto = vm.newObject();
    defineClass(
        vm, "Boolean",
        [](NativeCall& c) { return c.args.empty() ? Value() : Value(c.vm.toBoolean(c.args[0])); },
        [](NativeCall& c) {
            Object* self = c.thisObject();
            if (!self) return Value();
            self->setKind(ObjectKind::Boolean);
            self->setPrimitive(Value(c.args.empty() ? false : c.vm.toBoolean(c.args[0])));
            return c.thisValue;
        },
        booleanProto);
    vm.defineMethod(booleanProto, "toString", [](NativeCall& c) {
        Value b = thisBoolean(c);
        if (!b.isBoolean()) return Value("[object Object]");
        return Value(b.asBoolean() ? "true" : "false");
    });
    vm.defineMethod(booleanProto, "valueOf", [](NativeCall& c) {
        Value b = thisBoolean(c);
        return b.isBoolean() ? b : c.thisValue;
    });
}

}  // namespace kestrel::avm1
