#include "player/avm1/action_executor.h"

#include <algorithm>
#include <array>

namespace kestrel::avm1 {

namespace {

using namespace swf;

struct FamilyEntry {
    ActionCode code;
    ActionFamily family;
};

constexpr FamilyEntry kFamilyEntries[] = {
    {kActionNextFrame, ActionFamily::Timeline},
    {kActionPreviousFrame, ActionFamily::Timeline},
    {kActionPlay, ActionFamily::Timeline},
    {kActionStop, ActionFamily::Timeline},
    {kActionToggleQuality, ActionFamily::Timeline},
    {kActionStopSounds, ActionFamily::Timeline},
    {kActionGotoFrame, ActionFamily::Timeline},
    {kActionGotoLabel, ActionFamily::Timeline},
    {kActionWaitForFrame, ActionFamily::Timeline},
    {kActionWaitForFrame2, ActionFamily::Timeline},
    {kActionGotoFrame2, ActionFamily::Timeline},
    {kActionSetTarget, ActionFamily::Timeline},
    {kActionSetTarget2, ActionFamily::Timeline},
    {kActionCall, ActionFamily::Timeline},

    {kActionAdd, ActionFamily::Arithmetic},
    {kActionSubtract, ActionFamily::Arithmetic},
    {kActionMultiply, ActionFamily::Arithmetic},
    {kActionDivide, ActionFamily::Arithmetic},
    {kActionModulo, ActionFamily::Arithmetic},
    {kActionIncrement, ActionFamily::Arithmetic},
    {kActionDecrement, ActionFamily::Arithmetic},
    {kActionAdd2, ActionFamily::Arithmetic},

    {kActionEquals, ActionFamily::Comparison},
    {kActionLess, ActionFamily::Comparison},
    {kActionLess2, ActionFamily::Comparison},
    {kActionGreater, ActionFamily::Comparison},
    {kActionEquals2, ActionFamily::Comparison},
    {kActionStrictEquals, ActionFamily::Comparison},
    {kActionAnd, ActionFamily::Comparison},
    {kActionOr, ActionFamily::Comparison},
    {kActionNot, ActionFamily::Comparison},

    {kActionBitAnd, ActionFamily::Bitwise},
    {kActionBitOr, ActionFamily::Bitwise},
    {kActionBitXor, ActionFamily::Bitwise},
    {kActionBitLShift, ActionFamily::Bitwise},
    {kActionBitRShift, ActionFamily::Bitwise},
    {kActionBitURShift, ActionFamily::Bitwise},

    {kActionStringEquals, ActionFamily::Strings},
    {kActionStringLess, ActionFamily::Strings},
    {kActionStringGreater, ActionFamily::Strings},
    {kActionStringAdd, ActionFamily::Strings},
    {kActionStringLength, ActionFamily::Strings},
    {kActionMBStringLength, ActionFamily::Strings},
    {kActionStringExtract, ActionFamily::Strings},
    {kActionMBStringExtract, ActionFamily::Strings},
    {kActionCharToAscii, ActionFamily::Strings},
    {kActionMBCharToAscii, ActionFamily::Strings},
    {kActionAsciiToChar, ActionFamily::Strings},
    {kActionMBAsciiToChar, ActionFamily::Strings},

    {kActionToInteger, ActionFamily::Conversions},
    {kActionToNumber, ActionFamily::Conversions},
    {kActionToString, ActionFamily::Conversions},
    {kActionTypeOf, ActionFamily::Conversions},

    {kActionPush, ActionFamily::Stack},
    {kActionPop, ActionFamily::Stack},
    {kActionPushDuplicate, ActionFamily::Stack},
    {kActionStackSwap, ActionFamily::Stack},
    {kActionStoreRegister, ActionFamily::Stack},
    {kActionConstantPool, ActionFamily::Stack},

    {kActionGetVariable, ActionFamily::Variables},
    {kActionSetVariable, ActionFamily::Variables},
    {kActionDefineLocal, ActionFamily::Variables},
    {kActionDefineLocal2, ActionFamily::Variables},
    {kActionDelete, ActionFamily::Variables},
    {kActionDelete2, ActionFamily::Variables},
    {kActionGetMember, ActionFamily::Variables},
    {kActionSetMember, ActionFamily::Variables},
    {kActionInitArray, ActionFamily::Variables},
    {kActionInitObject, ActionFamily::Variables},

    {kActionCallFunction, ActionFamily::Calls},
    {kActionCallMethod, ActionFamily::Calls},
    {kActionNewObject, ActionFamily::Calls},
    {kActionNewMethod, ActionFamily::Calls},
    {kActionReturn, ActionFamily::Calls},
    {kActionDefineFunction, ActionFamily::Calls},
    {kActionDefineFunction2, ActionFamily::Calls},

    {kActionJump, ActionFamily::Control},
    {kActionIf, ActionFamily::Control},
    {kActionWith, ActionFamily::Control},
    {kActionTry, ActionFamily::Control},
    {kActionThrow, ActionFamily::Control},

    {kActionEnumerate, ActionFamily::Objects},
    {kActionEnumerate2, ActionFamily::Objects},
    {kActionInstanceOf, ActionFamily::Objects},
    {kActionCastOp, ActionFamily::Objects},
    {kActionImplementsOp, ActionFamily::Objects},
    {kActionExtends, ActionFamily::Objects},
    {kActionTargetPath, ActionFamily::Objects},

    {kActionTrace, ActionFamily::HostServices},
    {kActionGetTime, ActionFamily::HostServices},
    {kActionRandomNumber, ActionFamily::HostServices},
    {kActionGetURL, ActionFamily::HostServices},
    {kActionGetURL2, ActionFamily::HostServices},
    {kActionGetProperty, ActionFamily::HostServices},
    {kActionSetProperty, ActionFamily::HostServices},
    {kActionCloneSprite, ActionFamily::HostServices},
    {kActionRemoveSprite, ActionFamily::HostServices},
    {kActionStartDrag, ActionFamily::HostServices},
    {kActionEndDrag, ActionFamily::HostServices},
};

constexpr std::array<ActionFamily, 256> MakeFamilyTable() {
    std::array<ActionFamily, 256> table{};
    for (const FamilyEntry& e : kFamilyEntries) table[e.code] = e.family;
    return table;
}

constexpr std::array<ActionFamily, 256> kFamilies = MakeFamilyTable();

}  // namespace

ActionFamily FamilyOf(uint8_t code) {
    return kFamilies[code];
}

ActionExecutor::ActionExecutor(Interpreter& interpreter, Activation& act, size_t begin, size_t end)
    : interpreter_(interpreter),
      vm_(interpreter.vm_),
      act_(act),
      bytes_(*act.code),
      decoded_(interpreter.decodedBlocks_.Of(act.code)),
      stack_(act.stack),
      begin_(begin),
      end_(std::min(end, bytes_.size())),
      version_(act.version),
      caseSensitive_(act.version >= 7),
      maxStackSize_(vm_.limits().maxStackSize) {}

Completion ActionExecutor::Run() {
    // Locals rather than members: the handlers are opaque calls, after which members reload.
    const uint8_t* const data = bytes_.data();
    const size_t end = end_;
    uint64_t& actionsLeft = interpreter_.actionsLeft_;
    size_t pc = begin_;
    while (pc < end) {
        if (actionsLeft == 0) return Completion::aborted(RunStatus::BudgetExhausted);
        --actionsLeft;
        uint8_t code = data[pc];
        if (code == kActionEnd) return Completion::normal();
        size_t payload = pc + 1;
        size_t length = 0;
        if (code >= kActionHasOperands) {
            if (pc + 3 > end) return Completion::aborted(RunStatus::Malformed);
            length = static_cast<size_t>(data[pc + 1] | (data[pc + 2] << 8));
            payload = pc + 3;
            if (payload + length > end) return Completion::aborted(RunStatus::Malformed);
        }
        // The commonest stack actions run here, without a call through the table.
        switch (code) {
            case kActionPush:
                if (!PushOperands(decoded_.PushAt(pc, data + payload, length)))
                    return std::move(ending_);
                pc = payload + length;
                continue;
            case kActionPop:
                if (!stack_.empty()) stack_.pop_back();
                pc = payload + length;
                continue;
            case kActionStoreRegister:
                if (length == 0) break;  // the handler reports the missing operand
                if (Value* slot = RegisterSlot(data[payload]))
                    *slot = stack_.empty() ? Value() : stack_.back();
                pc = payload + length;
                continue;
            default:
                break;
        }
        current_ = pc;
        next_ = payload + length;
        ActionReader in(data + payload, length);
        if (!(this->*kHandlers[code])(static_cast<ActionCode>(code), in)) return std::move(ending_);
        if (!in.ok()) return Completion::aborted(RunStatus::Malformed);
        if (interpreter_.pending_) return interpreter_.takePending();
        pc = next_;
    }
    return Completion::normal();
}

constexpr ActionExecutor::Handler ActionExecutor::HandlerOf(ActionFamily family) {
    switch (family) {
        case ActionFamily::Timeline:
            return &ActionExecutor::Timeline;
        case ActionFamily::Arithmetic:
            return &ActionExecutor::Arithmetic;
        case ActionFamily::Comparison:
            return &ActionExecutor::Comparison;
        case ActionFamily::Bitwise:
            return &ActionExecutor::Bitwise;
        case ActionFamily::Strings:
            return &ActionExecutor::Strings;
        case ActionFamily::Conversions:
            return &ActionExecutor::Conversions;
        case ActionFamily::Stack:
            return &ActionExecutor::Stack;
        case ActionFamily::Variables:
            return &ActionExecutor::Variables;
        case ActionFamily::Calls:
            return &ActionExecutor::Calls;
        case ActionFamily::Control:
            return &ActionExecutor::Control;
        case ActionFamily::Objects:
            return &ActionExecutor::Objects;
        case ActionFamily::HostServices:
            return &ActionExecutor::HostServices;
        case ActionFamily::Unknown:
            break;
    }
    return &ActionExecutor::Unknown;
}

constexpr std::array<ActionExecutor::Handler, 256> ActionExecutor::MakeHandlers() {
    std::array<Handler, 256> table{};
    for (size_t code = 0; code < table.size(); ++code) table[code] = HandlerOf(kFamilies[code]);
    // The commonest actions skip their family's switch.
    table[kActionPush] = &ActionExecutor::Push;
    table[kActionJump] = &ActionExecutor::Branch;
    table[kActionIf] = &ActionExecutor::Branch;
    table[kActionAdd2] = &ActionExecutor::FastAdd2;
    table[kActionIncrement] = &ActionExecutor::FastIncrement;
    table[kActionDecrement] = &ActionExecutor::FastIncrement;
    table[kActionLess2] = &ActionExecutor::FastLess2;
    table[kActionNot] = &ActionExecutor::FastNot;
    table[kActionPop] = &ActionExecutor::FastPop;
    table[kActionStoreRegister] = &ActionExecutor::StoreRegister;
    return table;
}

// A constant initializer: the table is filled before any code runs.
const std::array<ActionExecutor::Handler, 256> ActionExecutor::kHandlers = MakeHandlers();

// Unknown actions are skipped, as the player skips them.
ActionExecutor::Outcome ActionExecutor::Unknown(ActionCode, ActionReader&) {
    return Continue();
}

std::vector<Value> ActionExecutor::PopArguments() {
    double n = Num(PopValue());
    size_t count =
        std::isnan(n) || n < 0
            ? 0
            : static_cast<size_t>(std::min<double>(n, static_cast<double>(stack_.size())));
    std::vector<Value> args;
    args.reserve(count);
    for (size_t i = 0; i < count; ++i) args.push_back(PopValue());
    return args;
}

}  // namespace kestrel::avm1
