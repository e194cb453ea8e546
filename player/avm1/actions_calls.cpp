// Call actions: functions, methods, constructors, Return, and function definitions.
#include <algorithm>

#include "player/avm1/action_executor.h"
#include "player/avm1/heap.h"

namespace kestrel::avm1 {

using namespace swf;

ActionExecutor::Outcome ActionExecutor::Calls(ActionCode code, ActionReader& in) {
    switch (code) {
        case kActionCallFunction: {
            std::string name = Str(PopValue());
            std::vector<Value> args = PopArguments();
            Object* holder = nullptr;
            Value fn = interpreter_.getVariable(act_, name, &holder);
            Object* f = fn.asObject();
            if (!f || !f->function()) {
                PushValue(Value());
                break;
            }
            // A call by name runs with the object the name was found on as `this` (a
            // function's locals, a with object, a clip), else with the timeline.
            Value thisValue = holder ? Value(holder) : act_.target ? Value(act_.target) : Value();
            Completion c = interpreter_.runFunction(f, thisValue, args, nullptr);
            if (c.kind == Completion::Throw || c.kind == Completion::Abort)
                return End(std::move(c));
            PushValue(c.value);
            break;
        }
        case kActionCallMethod:
            return CallMethod();
        case kActionNewObject:
        case kActionNewMethod: {
            Value fn;
            std::vector<Value> args;
            if (code == kActionNewObject) {
                std::string name = Str(PopValue());
                args = PopArguments();
                fn = interpreter_.getVariable(act_, name);
            } else {
                Value nameValue = PopValue();
                Value obj = PopValue();
                args = PopArguments();
                std::string name = nameValue.isUndefined() ? std::string() : Str(nameValue);
                fn = name.empty() ? obj : vm_.getMember(obj, name);
            }
            Object* f = fn.asObject();
            if (!f || !f->function()) {
                PushValue(Value());
                break;
            }
            Completion c = interpreter_.construct(f, args);
            if (c.kind == Completion::Throw || c.kind == Completion::Abort)
                return End(std::move(c));
            PushValue(c.value);
            break;
        }
        case kActionReturn:
            return End(Completion::returned(PopValue()));
        case kActionDefineFunction:
        case kActionDefineFunction2:
            return DefineFunction(code, in);
        default:
            break;
    }
    return Continue();
}

ActionExecutor::Outcome ActionExecutor::CallMethod() {
    Value nameValue = PopValue();
    Value obj = PopValue();
    std::vector<Value> args = PopArguments();
    std::string name = nameValue.isUndefined() ? std::string() : Str(nameValue);
    Value thisValue = obj;
    Object* holder = nullptr;
    Value fn;
    Object* receiver = obj.asObject();
    if (receiver && receiver->kind() == ObjectKind::Super) {
        auto* s = static_cast<SuperData*>(receiver->nativeData());
        thisValue = s->thisValue;
        if (name.empty()) {
            // super(...): the parent class constructor.
            fn = s->constructor;
            if (fn.isObject()) holder = vm_.getMember(fn, "prototype").asObject();
        } else {
            Object* start = s->proto;
            fn = start ? vm_.getMember(Value(start), name) : Value();
            for (Object* h = start; h; h = h->proto())
                if (h->findOwn(name, caseSensitive_)) {
                    holder = h;
                    break;
                }
        }
    } else if (name.empty()) {
        fn = obj;
        thisValue = Value();
    } else {
        fn = vm_.getMember(obj, name);
        if (receiver) {
            int depth = 0;
            for (Object* h = receiver; h && depth < 256; h = h->proto(), ++depth)
                if (h->findOwn(name, caseSensitive_)) {
                    holder = h;
                    break;
                }
        }
    }
    Object* f = fn.asObject();
    if (!f || !f->function()) {
        PushValue(Value());
        return Continue();
    }
    Completion c = interpreter_.runFunction(f, thisValue, args, holder);
    if (c.kind == Completion::Throw || c.kind == Completion::Abort) return End(std::move(c));
    PushValue(c.value);
    return Continue();
}

ActionExecutor::Outcome ActionExecutor::DefineFunction(ActionCode code, ActionReader& in) {
    auto fd = std::make_shared<FunctionData>();
    fd->name = in.cstring();
    uint16_t count = in.u16();
    if (code == kActionDefineFunction2) {
        fd->isFunction2 = true;
        fd->registerCount = in.u8();
        fd->flags = in.u16();
        for (uint16_t i = 0; i < count && in.ok(); ++i) {
            FunctionParameter p;
            p.reg = in.u8();
            p.name = in.cstring();
            fd->params.push_back(std::move(p));
        }
    } else {
        for (uint16_t i = 0; i < count && in.ok(); ++i) fd->params.push_back({in.cstring(), 0});
    }
    uint16_t bodySize = in.u16();
    if (!in.ok() || next_ + bodySize > end_) return End(Completion::aborted(RunStatus::Malformed));
    fd->code = act_.code;
    fd->begin = next_;
    fd->end = next_ + bodySize;
    // Functions came with SWF 5, so their bodies never use the SWF 4 rules.
    fd->swfVersion = std::max(version_, 5);
    fd->scope = act_.scope;
    fd->target = act_.target;
    fd->constantPool = act_.constantPool;
    Object* f = vm_.heap().allocate(ObjectKind::Function);
    f->setProto(vm_.functionPrototype());
    std::string name = fd->name;
    f->setFunction(std::move(fd));
    Object* proto = vm_.newObject();
    proto->define("constructor", Value(f), kDontEnum);
    f->define("prototype", Value(proto), kDontEnum | kDontDelete);
    next_ += bodySize;
    if (name.empty()) {
        PushValue(Value(f));
    } else if (act_.locals) {
        act_.locals->define(name, Value(f));
    } else {
        interpreter_.setVariable(act_, name, Value(f));
    }
    return Continue();
}

}  // namespace kestrel::avm1
