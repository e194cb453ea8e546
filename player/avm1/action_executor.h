// Runs one stretch of action bytes for the interpreter: the loop that reads each action record
// and the handlers for each family of actions. Internal to the engine.
//
// Interpreter::execute makes one executor per stretch (a top-level block, a function body, the
// body of a with or try block). The loop reads a record's code and operand length, checks the
// operands lie inside the stretch, and hands the record to the handler of its family. A handler
// either lets the loop go on at next_ (which branches, skips and nested blocks move) or ends the
// stretch with a completion (return, throw, abort, or a jump out of the stretch).
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/swf_format.h"
#include "player/avm1/action_reader.h"
#include "player/avm1/interpreter.h"

namespace kestrel::avm1 {

// The handlers that run an action, one per family.
enum class ActionFamily : uint8_t {
    Unknown,       // skipped, as the player skips unknown actions
    Timeline,      // frames, targets
    Arithmetic,    // numbers
    Comparison,    // comparisons and logic
    Bitwise,       // 32-bit integer operations
    Strings,       // the SWF 4 string actions and their multibyte forms
    Conversions,   // ToInteger, ToNumber, ToString, TypeOf
    Stack,         // Push, Pop, registers, the constant pool
    Variables,     // variables, members, array and object literals
    Calls,         // calls, constructors, function definitions, Return
    Control,       // branches, with, try, throw
    Objects,       // enumeration, instanceof, casts, classes
    HostServices,  // trace, time, URLs, clip properties, sprites, dragging
};

ActionFamily FamilyOf(uint8_t code);

// Legacy SWF 4 comparisons push 1/0, later versions push booleans.
inline Value LegacyBool(bool b, int version) {
    return version < 5 ? Value(b ? 1.0 : 0.0) : Value(b);
}

class ActionExecutor {
  public:
    ActionExecutor(Interpreter& interpreter, Activation& act, size_t begin, size_t end);

    Completion Run();

  private:
    // What a handler answers: true to go on at next_, false when it ended the stretch with
    // the completion in ending_ (a plain bool keeps the call cheap for the common case).
    using Outcome = bool;
    static Outcome Continue() { return true; }
    Outcome End(Completion c) {
        ending_ = std::move(c);
        return false;
    }

    using Handler = Outcome (ActionExecutor::*)(swf::ActionCode code, ActionReader& in);
    // The handler of each code's family: one table load and one call per action.
    static const std::array<Handler, 256> kHandlers;
    static constexpr Handler HandlerOf(ActionFamily family);
    static constexpr std::array<Handler, 256> MakeHandlers();

    Outcome Unknown(swf::ActionCode code, ActionReader& in);
    Outcome FastAdd2(swf::ActionCode code, ActionReader& in);
    Outcome FastIncrement(swf::ActionCode code, ActionReader& in);
    Outcome FastLess2(swf::ActionCode code, ActionReader& in);
    Outcome FastNot(swf::ActionCode code, ActionReader& in);
    Outcome FastPop(swf::ActionCode code, ActionReader& in);
    Outcome StoreRegister(swf::ActionCode code, ActionReader& in);
    Outcome Timeline(swf::ActionCode code, ActionReader& in);
    // SetTarget and SetTarget2: an empty path goes back to the block's own timeline.
    void SetTargetPath(const std::string& path);
    Outcome Arithmetic(swf::ActionCode code, ActionReader& in);
    Outcome Comparison(swf::ActionCode code, ActionReader& in);
    Outcome Bitwise(swf::ActionCode code, ActionReader& in);
    Outcome Strings(swf::ActionCode code, ActionReader& in);
    Outcome Conversions(swf::ActionCode code, ActionReader& in);
    Outcome Stack(swf::ActionCode code, ActionReader& in);
    Outcome Variables(swf::ActionCode code, ActionReader& in);
    Outcome Calls(swf::ActionCode code, ActionReader& in);
    Outcome Control(swf::ActionCode code, ActionReader& in);
    Outcome Objects(swf::ActionCode code, ActionReader& in);
    Outcome HostServices(swf::ActionCode code, ActionReader& in);

    Outcome Push(swf::ActionCode code, ActionReader& in);
    // Pushes decoded operands; false when the payload was malformed.
    Outcome PushOperands(const DecodedPush& d) {
        for (const PushOperand& op : d.operands) {
            switch (op.kind) {
                case PushOperand::Literal:
                    PushValue(op.literal);
                    break;
                case PushOperand::Register: {
                    Value* slot = RegisterSlot(op.index);
                    PushValue(slot ? *slot : Value());
                    break;
                }
                case PushOperand::Constant:
                    if (act_.constantPool && op.index < act_.constantPool->size())
                        PushValue((*act_.constantPool)[op.index]);
                    else
                        PushValue(Value());
                    break;
            }
        }
        if (d.malformed) return End(Completion::aborted(RunStatus::Malformed));
        return Continue();
    }
    Outcome GotoFrame2(ActionReader& in);
    Outcome CallMethod();
    Outcome DefineFunction(swf::ActionCode code, ActionReader& in);
    Outcome Branch(swf::ActionCode code, ActionReader& in);
    Outcome With(ActionReader& in);
    Outcome Try(ActionReader& in);
    Outcome GetUrl(const std::string& url, const std::string& target, int flags);

    void PushValue(Value v) {
        if (stack_.size() < maxStackSize_) stack_.push_back(std::move(v));
    }
    Value PopValue() {
        if (stack_.empty()) return Value();
        Value v = std::move(stack_.back());
        stack_.pop_back();
        return v;
    }
    // Registers past a function's own count are the four shared ones.
    Value* RegisterSlot(size_t index) {
        if (index < act_.localRegisters.size()) return &act_.localRegisters[index];
        if (index < interpreter_.sharedRegisters_.size())
            return &interpreter_.sharedRegisters_[index];
        return nullptr;
    }
    std::string Str(const Value& v) { return vm_.toString(v); }
    // The text of a value used as a name: a string is used in place, anything else is
    // converted into scratch.
    const std::string& NameOf(const Value& v, std::string& scratch) {
        if (v.isString()) return v.asString();
        scratch = Str(v);
        return scratch;
    }
    double Num(const Value& v) { return vm_.toNumber(v); }
    // GetProperty/SetProperty's property number: a text is read up to its first non-numeric
    // character ("11ABC" is 11, "0x13" is 0), anything not a number is property 0.
    int PropertyIndex(const Value& v);
    // An argument count, then that many values (never more than the stack holds).
    std::vector<Value> PopArguments();
    Value CapString(std::string s) {
        if (s.size() > vm_.limits().maxStringLength) s.resize(vm_.limits().maxStringLength);
        return Value(std::move(s));
    }
    // A clip named by an object or by a target path.
    Object* ClipOf(const Value& v) {
        return v.isObject() ? v.asObject() : interpreter_.resolvePath(act_, Str(v));
    }

    Interpreter& interpreter_;
    Vm& vm_;
    Activation& act_;
    const std::vector<uint8_t>& bytes_;
    DecodedBlock& decoded_;
    std::vector<Value>& stack_;
    const size_t begin_;
    const size_t end_;
    const int version_;
    const bool caseSensitive_;
    const size_t maxStackSize_;
    size_t current_ = 0;  // offset of the current action record
    size_t next_ = 0;     // where the loop goes on after the current action
    Completion ending_;
};

}  // namespace kestrel::avm1
