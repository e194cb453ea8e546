// Stack actions (Push, registers, the constant pool) and variable actions (variables,
// members, array and object literals).
#include <algorithm>

#include "player/avm1/action_executor.h"
#include "player/avm1/utf8.h"

namespace kestrel::avm1 {

namespace {

using namespace swf;

// Compilers write characters outside the BMP as two encoded surrogates; joining them gives
// one proper UTF-8 sequence, so strings compare and print as the player's UTF-16 ones do.
std::string NormalizeSurrogates(std::string s) {
    if (s.find('\xED') == std::string::npos) return s;
    return encodeUtf8(decodeUtf8(s));
}

}  // namespace

ActionExecutor::Outcome ActionExecutor::Stack(ActionCode code, ActionReader& in) {
    switch (code) {
        case kActionPush:
            return Push(code, in);
        case kActionPop:
            PopValue();
            break;
        case kActionPushDuplicate:
            PushValue(stack_.empty() ? Value() : stack_.back());
            break;
        case kActionStackSwap: {
            Value a = PopValue(), b = PopValue();
            PushValue(a);
            PushValue(b);
            break;
        }
        case kActionStoreRegister:
            if (Value* slot = RegisterSlot(in.u8()))
                *slot = stack_.empty() ? Value() : stack_.back();
            break;
        case kActionConstantPool: {
            uint16_t count = in.u16();
            auto pool = std::make_shared<std::vector<std::string>>();
            for (uint16_t i = 0; i < count && in.ok(); ++i)
                pool->push_back(NormalizeSurrogates(in.cstring()));
            act_.constantPool = pool;
            if (!act_.isFunction) interpreter_.sharedPool_ = pool;
            break;
        }
        default:
            break;
    }
    return Continue();
}

ActionExecutor::Outcome ActionExecutor::Push(ActionCode, ActionReader& in) {
    while (in.remaining() > 0 && in.ok()) {
        uint8_t type = in.u8();
        switch (type) {
            case kPushString:
                PushValue(Value(NormalizeSurrogates(in.cstring())));
                break;
            case kPushFloat:
                PushValue(Value(static_cast<double>(in.f32())));
                break;
            case kPushNull:
                PushValue(Value::null());
                break;
            case kPushUndefined:
                PushValue(Value());
                break;
            case kPushRegister: {
                Value* slot = RegisterSlot(in.u8());
                PushValue(slot ? *slot : Value());
                break;
            }
            case kPushBoolean:
                PushValue(Value(in.u8() != 0));
                break;
            case kPushDouble:
                PushValue(Value(in.wordSwappedDouble()));
                break;
            case kPushInteger:
                PushValue(Value(static_cast<double>(static_cast<int32_t>(in.u32()))));
                break;
            case kPushConstant8:
            case kPushConstant16: {
                size_t i = type == kPushConstant8 ? in.u8() : in.u16();
                if (act_.constantPool && i < act_.constantPool->size())
                    PushValue(Value((*act_.constantPool)[i]));
                else
                    PushValue(Value());
                break;
            }
            default:
                return End(Completion::aborted(RunStatus::Malformed));
        }
    }
    if (!in.ok()) return End(Completion::aborted(RunStatus::Malformed));
    return Continue();
}

ActionExecutor::Outcome ActionExecutor::Variables(ActionCode code, ActionReader&) {
    switch (code) {
        case kActionGetVariable: {
            Value name = PopValue();
            PushValue(interpreter_.getVariable(act_, Str(name)));
            break;
        }
        case kActionSetVariable: {
            Value value = PopValue();
            std::string name = Str(PopValue());
            interpreter_.setVariable(act_, name, value);
            break;
        }
        case kActionDefineLocal: {
            Value value = PopValue();
            std::string name = Str(PopValue());
            if (act_.locals)
                act_.locals->define(name, value);
            else
                interpreter_.setVariable(act_, name, value);
            break;
        }
        case kActionDefineLocal2: {
            std::string name = Str(PopValue());
            std::string path, var;
            Object* where =
                act_.locals ? act_.locals
                            : (act_.scope.size() > act_.targetScope ? act_.scope[act_.targetScope]
                                                                    : vm_.global());
            if (!act_.locals && interpreter_.splitVariablePath(name, path, var)) {
                where = interpreter_.resolvePath(act_, path);
                name = var;
            }
            if (where && !name.empty() && !where->findOwn(name, caseSensitive_))
                where->define(name, Value());
            break;
        }
        case kActionDelete: {
            std::string name = Str(PopValue());
            Value obj = PopValue();
            PushValue(Value(vm_.deleteMember(obj.asObject(), name)));
            break;
        }
        case kActionDelete2: {
            std::string name = Str(PopValue());
            bool done = false;
            for (size_t i = act_.scope.size(); i-- > 0 && !done;) {
                Object* o = act_.scope[i];
                if (o && vm_.hasProperty(o, name)) {
                    done = vm_.deleteMember(o, name);
                    break;
                }
            }
            PushValue(Value(done));
            break;
        }
        case kActionGetMember: {
            Value name = PopValue();
            Value obj = PopValue();
            PushValue(vm_.getMember(obj, Str(name)));
            break;
        }
        case kActionSetMember: {
            Value value = PopValue();
            Value name = PopValue();
            Value obj = PopValue();
            vm_.setMember(obj, Str(name), value);
            break;
        }
        case kActionInitArray: {
            double n = Num(PopValue());
            if (std::isnan(n) || n < 0 || n > 2147483647.0) {
                PushValue(Value());
                break;
            }
            size_t count =
                static_cast<size_t>(std::min<double>(n, static_cast<double>(stack_.size())));
            std::vector<Value> elements;
            elements.reserve(count);
            for (size_t i = 0; i < count; ++i) elements.push_back(PopValue());
            PushValue(Value(vm_.newArray(std::move(elements))));
            break;
        }
        case kActionInitObject: {
            double n = Num(PopValue());
            if (std::isnan(n) || n < 0 || n > 2147483647.0) {
                PushValue(Value());
                break;
            }
            size_t count =
                static_cast<size_t>(std::min<double>(n, static_cast<double>(stack_.size() / 2)));
            Object* o = vm_.newObject();
            for (size_t i = 0; i < count; ++i) {
                Value value = PopValue();
                std::string name = Str(PopValue());
                vm_.setMember(Value(o), name, value);
            }
            PushValue(Value(o));
            break;
        }
        default:
            break;
    }
    return Continue();
}

}  // namespace kestrel::avm1
