// Stack actions (Push, registers, the constant pool) and variable actions (variables,
// members, array and object literals).
#include <algorithm>

#include "player/avm1/action_executor.h"

namespace kestrel::avm1 {

using namespace swf;

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
            return StoreRegister(code, in);
        case kActionConstantPool: {
            const DecodedPool& d =
                decoded_.PoolAt(current_, bytes_.data() + next_ - in.remaining(), in.remaining());
            act_.constantPool = d.pool;
            if (!act_.isFunction) interpreter_.sharedPool_ = d.pool;
            if (d.malformed) return End(Completion::aborted(RunStatus::Malformed));
            break;
        }
        default:
            break;
    }
    return Continue();
}

ActionExecutor::Outcome ActionExecutor::Push(ActionCode, ActionReader& in) {
    return PushOperands(
        decoded_.PushAt(current_, bytes_.data() + next_ - in.remaining(), in.remaining()));
}

ActionExecutor::Outcome ActionExecutor::Variables(ActionCode code, ActionReader&) {
    switch (code) {
        case kActionGetVariable: {
            Value name = PopValue();
            std::string scratch;
            PushValue(interpreter_.getVariable(act_, NameOf(name, scratch)));
            break;
        }
        case kActionSetVariable: {
            Value value = PopValue();
            Value name = PopValue();
            std::string scratch;
            interpreter_.setVariable(act_, NameOf(name, scratch), value);
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
            std::string scratch;
            PushValue(vm_.getMember(obj, NameOf(name, scratch)));
            break;
        }
        case kActionSetMember: {
            Value value = PopValue();
            Value name = PopValue();
            Value obj = PopValue();
            std::string scratch;
            vm_.setMember(obj, NameOf(name, scratch), value);
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
