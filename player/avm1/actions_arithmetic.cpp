// Number actions: arithmetic, comparisons and logic, bit operations, conversions.
#include <cmath>

#include "player/avm1/action_executor.h"
#include "player/avm1/conversions.h"
#include "player/avm1/operators.h"

namespace kestrel::avm1 {

using namespace swf;

ActionExecutor::Outcome ActionExecutor::Arithmetic(ActionCode code, ActionReader&) {
    if (code == kActionIncrement || code == kActionDecrement) {
        PushValue(Value(Num(PopValue()) + (code == kActionIncrement ? 1 : -1)));
        return Continue();
    }
    if (code == kActionAdd2) {
        Value a = PopValue(), b = PopValue();
        Value r = add2(vm_, b, a);
        PushValue(r.isString() ? CapString(r.asString()) : r);
        return Continue();
    }
    // The SWF 4 operators: both operands as numbers.
    Value av = PopValue(), bv = PopValue();
    double b = Num(bv), a = Num(av);
    switch (code) {
        case kActionAdd:
            PushValue(Value(b + a));
            break;
        case kActionSubtract:
            PushValue(Value(b - a));
            break;
        case kActionMultiply:
            PushValue(Value(b * a));
            break;
        case kActionDivide:
            if (a == 0 && version_ < 5)
                PushValue(Value("#ERROR#"));
            else
                PushValue(Value(b / a));
            break;
        case kActionModulo:
            PushValue(Value(std::fmod(b, a)));
            break;
        default:
            break;
    }
    return Continue();
}

ActionExecutor::Outcome ActionExecutor::Comparison(ActionCode code, ActionReader&) {
    switch (code) {
        case kActionEquals:
        case kActionLess: {
            Value av = PopValue(), bv = PopValue();
            double b = Num(bv), a = Num(av);
            PushValue(LegacyBool(code == kActionEquals ? a == b : b < a, version_));
            break;
        }
        case kActionLess2: {
            Value a = PopValue(), b = PopValue();
            PushValue(lessThan(vm_, b, a));
            break;
        }
        case kActionGreater: {
            Value a = PopValue(), b = PopValue();
            PushValue(lessThan(vm_, a, b));
            break;
        }
        case kActionEquals2: {
            Value a = PopValue(), b = PopValue();
            PushValue(LegacyBool(looseEquals(vm_, b, a), version_));
            break;
        }
        case kActionStrictEquals: {
            Value a = PopValue(), b = PopValue();
            PushValue(LegacyBool(strictEquals(b, a), version_));
            break;
        }
        case kActionAnd:
        case kActionOr: {
            bool a = vm_.toBoolean(PopValue()), b = vm_.toBoolean(PopValue());
            PushValue(LegacyBool(code == kActionAnd ? a && b : a || b, version_));
            break;
        }
        case kActionNot:
            PushValue(LegacyBool(!vm_.toBoolean(PopValue()), version_));
            break;
        default:
            break;
    }
    return Continue();
}

ActionExecutor::Outcome ActionExecutor::Bitwise(ActionCode code, ActionReader&) {
    Value av = PopValue(), bv = PopValue();
    double b = Num(bv), a = Num(av);
    int32_t x = toInt32(b), y = toInt32(a);
    double r = 0;
    switch (code) {
        case kActionBitAnd:
            r = x & y;
            break;
        case kActionBitOr:
            r = x | y;
            break;
        case kActionBitXor:
            r = x ^ y;
            break;
        case kActionBitLShift:
            r = static_cast<int32_t>(static_cast<uint32_t>(x) << (y & 31));
            break;
        case kActionBitRShift:
            r = x >> (y & 31);
            break;
        case kActionBitURShift:
            r = static_cast<int32_t>(static_cast<uint32_t>(x) >> (y & 31));
            break;
        default:
            break;
    }
    PushValue(Value(r));
    return Continue();
}

ActionExecutor::Outcome ActionExecutor::Conversions(ActionCode code, ActionReader&) {
    switch (code) {
        case kActionToInteger: {
            double n = Num(PopValue());
            PushValue(Value(std::isnan(n) ? 0.0 : std::trunc(n)));
            break;
        }
        case kActionToNumber:
            PushValue(Value(Num(PopValue())));
            break;
        case kActionToString:
            PushValue(Value(Str(PopValue())));
            break;
        case kActionTypeOf:
            PushValue(Value(vm_.typeOf(PopValue())));
            break;
        default:
            break;
    }
    return Continue();
}

}  // namespace kestrel::avm1
