// Control actions: branches, with blocks, try blocks and throw. Nested blocks run as their
// own stretches; what they end with decides where this stretch goes on.
#include <algorithm>

#include "player/avm1/action_executor.h"

namespace kestrel::avm1 {

namespace {

using namespace swf;

// Counts a nested block as one level of depth for as long as it runs.
class DepthGuard {
  public:
    explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
    ~DepthGuard() { --depth_; }

  private:
    int& depth_;
};

// After a nested block (with, try) ended with `c`: a normal end continues at the
// block's end, a jump that lands inside [begin, end) continues there. Anything
// else leaves the enclosing block too: the answer is false.
bool ResumeAfterNestedBlock(const Completion& c, size_t begin, size_t end, size_t blockEnd,
                            size_t* next) {
    if (c.kind == Completion::JumpOut) {
        if (c.jumpTarget < begin || c.jumpTarget >= end) return false;
        *next = c.jumpTarget;
        return true;
    }
    if (c.kind != Completion::Normal) return false;
    *next = blockEnd;
    return true;
}

}  // namespace

ActionExecutor::Outcome ActionExecutor::Control(ActionCode code, ActionReader& in) {
    switch (code) {
        case kActionJump:
        case kActionIf:
            return Branch(code, in);
        case kActionWith:
            return With(in);
        case kActionTry:
            return Try(in);
        case kActionThrow:
            return End(Completion::thrown(PopValue()));
        default:
            break;
    }
    return Continue();
}

ActionExecutor::Outcome ActionExecutor::Branch(ActionCode code, ActionReader& in) {
    int16_t offset = in.s16();
    bool take = code == kActionJump || vm_.toBoolean(PopValue());
    if (!take) return Continue();
    long long target = static_cast<long long>(next_) + offset;
    if (target < 0 || static_cast<size_t>(target) > bytes_.size()) return End(Completion::normal());
    if (static_cast<size_t>(target) < begin_ || static_cast<size_t>(target) >= end_) {
        if (static_cast<size_t>(target) == end_) return End(Completion::normal());
        Completion c;
        c.kind = Completion::JumpOut;
        c.jumpTarget = static_cast<size_t>(target);
        return End(std::move(c));
    }
    next_ = static_cast<size_t>(target);
    return Continue();
}

ActionExecutor::Outcome ActionExecutor::With(ActionReader& in) {
    uint16_t size = in.u16();
    Value v = PopValue();
    size_t bodyEnd = std::min(next_ + size, end_);
    Object* o = vm_.toObject(v);
    // Nested blocks use the native stack like calls do, so they count as calls.
    if (interpreter_.depth_ >= vm_.limits().maxCallDepth)
        return End(Completion::aborted(RunStatus::RecursionLimit));
    if (o) act_.scope.push_back(o);
    size_t depthBefore = act_.scope.size();
    ++interpreter_.depth_;
    Completion c = interpreter_.execute(act_, next_, bodyEnd);
    --interpreter_.depth_;
    if (o && act_.scope.size() == depthBefore) act_.scope.pop_back();
    if (!ResumeAfterNestedBlock(c, begin_, end_, bodyEnd, &next_)) return End(std::move(c));
    return Continue();
}

ActionExecutor::Outcome ActionExecutor::Try(ActionReader& in) {
    uint8_t flags = in.u8();
    uint16_t trySize = in.u16(), catchSize = in.u16(), finallySize = in.u16();
    bool catchInRegister = flags & kTryCatchInRegister;
    std::string catchName;
    uint8_t catchRegister = 0;
    if (catchInRegister)
        catchRegister = in.u8();
    else
        catchName = in.cstring();
    if (!in.ok()) return End(Completion::aborted(RunStatus::Malformed));
    size_t tryBegin = next_, catchBegin = tryBegin + trySize, finallyBegin = catchBegin + catchSize,
           after = finallyBegin + finallySize;
    if (after > end_) return End(Completion::aborted(RunStatus::Malformed));
    size_t stackDepth = stack_.size();
    if (interpreter_.depth_ >= vm_.limits().maxCallDepth)
        return End(Completion::aborted(RunStatus::RecursionLimit));
    DepthGuard guard(interpreter_.depth_);
    Completion c = interpreter_.execute(act_, tryBegin, catchBegin);
    if (c.kind == Completion::Throw && (flags & kTryHasCatch)) {
        stack_.resize(std::min(stack_.size(), stackDepth));
        if (catchInRegister) {
            if (Value* slot = RegisterSlot(catchRegister)) *slot = c.value;
        } else if (act_.locals) {
            act_.locals->define(catchName, c.value);
        } else {
            interpreter_.setVariable(act_, catchName, c.value);
        }
        c = interpreter_.execute(act_, catchBegin, finallyBegin);
    }
    if (c.kind != Completion::Abort && (flags & kTryHasFinally) && finallySize > 0) {
        Completion f = interpreter_.execute(act_, finallyBegin, after);
        if (f.kind != Completion::Normal) c = f;
    }
    if (!ResumeAfterNestedBlock(c, begin_, end_, after, &next_)) return End(std::move(c));
    return Continue();
}

}  // namespace kestrel::avm1
