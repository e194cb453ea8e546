// Short paths for the commonest actions on numbers and booleans, and the register actions: the
// dispatch table sends these codes here, and any other operand goes on to its family's handler.
#include <cmath>

#include "player/avm1/action_executor.h"

namespace kestrel::avm1 {

using namespace swf;

ActionExecutor::Outcome ActionExecutor::FastAdd2(ActionCode code, ActionReader& in) {
    size_t n = stack_.size();
    if (n < 2 || !stack_[n - 1].isNumber() || !stack_[n - 2].isNumber())
        return Arithmetic(code, in);
    double sum = stack_[n - 2].asNumber() + stack_[n - 1].asNumber();
    stack_.pop_back();
    stack_.back() = Value(sum);
    return Continue();
}

ActionExecutor::Outcome ActionExecutor::FastIncrement(ActionCode code, ActionReader& in) {
    if (stack_.empty() || !stack_.back().isNumber()) return Arithmetic(code, in);
    stack_.back() = Value(stack_.back().asNumber() + (code == kActionIncrement ? 1 : -1));
    return Continue();
}

ActionExecutor::Outcome ActionExecutor::FastLess2(ActionCode code, ActionReader& in) {
    size_t n = stack_.size();
    if (n < 2 || !stack_[n - 1].isNumber() || !stack_[n - 2].isNumber())
        return Comparison(code, in);
    double x = stack_[n - 2].asNumber(), y = stack_[n - 1].asNumber();
    // A NaN takes the general rule.
    if (std::isnan(x) || std::isnan(y)) return Comparison(code, in);
    stack_.pop_back();
    stack_.back() = Value(x < y);
    return Continue();
}

ActionExecutor::Outcome ActionExecutor::FastNot(ActionCode code, ActionReader& in) {
    // SWF 4 answers a number.
    if (stack_.empty() || !stack_.back().isBoolean() || version_ < 5) return Comparison(code, in);
    stack_.back() = Value(!stack_.back().asBoolean());
    return Continue();
}

ActionExecutor::Outcome ActionExecutor::FastPop(ActionCode, ActionReader&) {
    if (!stack_.empty()) stack_.pop_back();
    return Continue();
}

ActionExecutor::Outcome ActionExecutor::StoreRegister(ActionCode, ActionReader& in) {
    if (Value* slot = RegisterSlot(in.u8())) *slot = stack_.empty() ? Value() : stack_.back();
    return Continue();
}

}  // namespace kestrel::avm1
