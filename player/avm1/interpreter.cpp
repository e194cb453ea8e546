#include "player/avm1/interpreter.h"

#include "common/unicode_case.h"
#include "player/avm1/action_executor.h"
#include "player/avm1/builtins.h"
#include "player/avm1/heap.h"

namespace kestrel::avm1 {

namespace {

// Restores the Vm's SWF version when an activation of another version ends.
class VersionScope {
  public:
    VersionScope(Vm& vm, int version) : vm_(vm), saved_(vm.swfVersion()) {
        vm.setSwfVersion(version);
    }
    ~VersionScope() { vm_.setSwfVersion(saved_); }

  private:
    Vm& vm_;
    int saved_;
};

class ActivationScope {
  public:
    ActivationScope(std::vector<Activation*>& list, Activation* a) : list_(list) {
        list.push_back(a);
    }
    ~ActivationScope() { list_.pop_back(); }

  private:
    std::vector<Activation*>& list_;
};

bool equalsName(std::string_view a, std::string_view b, bool cs) {
    return cs ? a == b : NamesEqualIgnoringCase(a, b);
}

// A name without path separators.
bool IsPlainName(std::string_view name) {
    for (char c : name)
        if (c == ':' || c == '.' || c == '/') return false;
    return true;
}

// Only "this", "_global", "_root" and "_levelN" mean something before the scope chain.
bool MayBeSpecialName(std::string_view name) {
    return !name.empty() && (name[0] == '_' || name[0] == 't' || name[0] == 'T');
}

}  // namespace

Interpreter::Interpreter(Vm& vm) : vm_(vm), sharedRegisters_(4) {}

int Interpreter::currentVersion() const {
    return activations_.empty() ? vm_.swfVersion() : activations_.back()->version;
}

void Interpreter::markRoots(Marker& m) {
    for (Value& v : sharedRegisters_) m.mark(v);
    for (Activation* a : activations_) {
        for (Object* o : a->scope) m.mark(o);
        m.mark(a->locals);
        m.mark(a->target);
        m.mark(a->baseTarget);
        m.mark(a->thisValue);
        m.mark(a->callee);
        m.mark(a->superProto);
        for (Value& v : a->localRegisters) m.mark(v);
        for (Value& v : a->stack) m.mark(v);
    }
}

Completion Interpreter::takePending() {
    Completion c = std::move(*pending_);
    pending_.reset();
    return c;
}

RunResult Interpreter::runTopLevel(ActionBytes code, const ExecutionContext& context) {
    if (depth_ == 0) {
        resetBudget();
        pending_.reset();
    }
    if (depth_ >= vm_.limits().maxCallDepth) return {RunStatus::RecursionLimit, Value()};
    Activation act;
    act.version = context.swfVersion;
    act.code = code;
    act.scope.push_back(vm_.global());
    if (context.target) act.scope.push_back(context.target);
    act.targetScope = 1;
    act.target = act.baseTarget = context.target;
    act.thisValue = context.target ? Value(context.target) : Value();
    act.registers = &sharedRegisters_;
    act.constantPool = sharedPool_;
    VersionScope version(vm_, act.version);
    ActivationScope live(activations_, &act);
    ++depth_;
    Completion c = execute(act, 0, code->size());
    --depth_;
    RunResult r;
    switch (c.kind) {
        case Completion::Throw:
            r.status = RunStatus::Thrown;
            r.thrown = c.value;
            break;
        case Completion::Abort:
            r.status = c.abortStatus;
            break;
        default:
            break;
    }
    if (r.status == RunStatus::Completed && vm_.quitRequested()) r.status = RunStatus::Quit;
    vm_.setLastStatus(r.status);
    return r;
}

Completion Interpreter::call(Object* function, const Value& thisValue,
                             const std::vector<Value>& args, Object* superHolder) {
    return runFunction(function, thisValue, args, superHolder);
}

Completion Interpreter::construct(Object* ctor, const std::vector<Value>& args) {
    Value protoValue = vm_.getMember(Value(ctor), "prototype");
    Object* proto = protoValue.asObject();
    Object* obj = vm_.newObject(proto);
    obj->define("__constructor__", Value(ctor), kDontEnum);
    if (currentVersion() < 7) obj->define("constructor", Value(ctor), kDontEnum);
    const auto& fd = ctor->function();
    if (fd && fd->isNative()) {
        if (depth_ >= vm_.limits().maxCallDepth)
            return Completion::aborted(RunStatus::RecursionLimit);
        NativeCall nc{vm_, Value(obj), args, ctor};
        ++depth_;
        Value r = fd->nativeConstruct ? fd->nativeConstruct(nc) : fd->native(nc);
        --depth_;
        if (pending_) return takePending();
        return Completion::returned(r.isObject() ? r : Value(obj));
    }
    Completion c = runFunction(ctor, Value(obj), args, proto);
    if (c.kind == Completion::Throw || c.kind == Completion::Abort) return c;
    return Completion::returned(Value(obj));
}

Completion Interpreter::runFunction(Object* fnObj, const Value& thisValue,
                                    const std::vector<Value>& args, Object* superHolder) {
    const std::shared_ptr<FunctionData> fd = fnObj ? fnObj->function() : nullptr;
    if (!fd) return Completion::returned(Value());
    if (depth_ >= vm_.limits().maxCallDepth) return Completion::aborted(RunStatus::RecursionLimit);
    if (fd->isNative()) {
        NativeCall nc{vm_, thisValue, args, fnObj};
        ++depth_;
        Value r = fd->native(nc);
        --depth_;
        if (pending_) return takePending();
        return Completion::returned(r);
    }
    Activation act;
    act.version = fd->swfVersion;
    act.code = fd->code;
    act.isFunction = true;
    act.callee = fnObj;
    act.thisValue = thisValue;
    Activation* caller = activations_.empty() ? nullptr : activations_.back();
    if (act.version >= 6) {
        act.scope = fd->scope;
        act.target = act.baseTarget = fd->target;
    } else {
        // SWF 5 functions see no closure: they run on the clip they are called on, else on
        // the caller's timeline.
        Object* t = caller && caller->target ? caller->target : fd->target;
        if (Object* self = thisValue.asObject(); self && vm_.host().targetPathOf(self)) t = self;
        act.scope.push_back(vm_.global());
        if (t) act.scope.push_back(t);
        act.target = act.baseTarget = t;
    }
    act.targetScope = 1;
    Object* locals = vm_.heap().allocate(ObjectKind::Plain);
    act.locals = locals;
    act.scope.push_back(locals);
    act.constantPool = fd->constantPool;
    act.superProto = superHolder ? superHolder->proto() : nullptr;

    // `arguments`: an array with callee and caller.
    Object* arguments = vm_.newArray(args);
    arguments->define("callee", Value(fnObj), kDontEnum);
    arguments->define("caller", caller && caller->callee ? Value(caller->callee) : Value::null(),
                      kDontEnum);
    Object* superObj = nullptr;
    auto makeSuper = [&]() {
        if (superObj) return superObj;
        auto data = std::make_unique<SuperData>();
        data->thisValue = thisValue;
        data->proto = act.superProto;
        if (superHolder) data->constructor = vm_.getMember(Value(superHolder), "__constructor__");
        if (!data->constructor.isObject() && act.superProto)
            data->constructor = vm_.getMember(Value(act.superProto), "constructor");
        superObj = vm_.heap().allocate(ObjectKind::Super);
        superObj->setNativeData(std::move(data));
        return superObj;
    };

    if (fd->isFunction2) {
        act.localRegisters.assign(fd->registerCount, Value());
        act.registers = &act.localRegisters;
        size_t reg = 1;
        auto preload = [&](const Value& v) {
            if (reg < act.localRegisters.size()) act.localRegisters[reg] = v;
            ++reg;
        };
        uint16_t f = fd->flags;
        act.thisIsVariable = !(f & (swf::kPreloadThis | swf::kSuppressThis));
        // Suppressing this or super empties its preloaded register; arguments are preloaded
        // even when suppressed.
        if (f & swf::kPreloadThis) preload(f & swf::kSuppressThis ? Value() : thisValue);
        if (f & swf::kPreloadArguments)
            preload(Value(arguments));
        else if (!(f & swf::kSuppressArguments))
            locals->define("arguments", Value(arguments));
        if (f & swf::kPreloadSuper)
            preload(f & swf::kSuppressSuper ? Value() : Value(makeSuper()));
        else if (!(f & swf::kSuppressSuper))
            locals->define("super", Value(makeSuper()));
        if (f & swf::kPreloadRoot) {
            Object* r = act.target ? vm_.host().rootOf(act.target) : nullptr;
            preload(r ? Value(r) : vm_.getMember(Value(act.target), "_root"));
        }
        if (f & swf::kPreloadParent) {
            // A timeline without a parent takes no register: the next preload moves up.
            Object* p = act.target ? vm_.host().parentOf(act.target) : nullptr;
            Value parent = p ? Value(p) : vm_.getMember(Value(act.target), "_parent");
            if (!parent.isUndefined()) preload(parent);
        }
        if (f & swf::kPreloadGlobal) preload(Value(vm_.global()));
        for (size_t i = 0; i < fd->params.size(); ++i) {
            Value v = i < args.size() ? args[i] : Value();
            uint8_t r = fd->params[i].reg;
            if (r != 0) {
                if (r < act.localRegisters.size()) act.localRegisters[r] = v;
            } else {
                locals->define(fd->params[i].name, v);
            }
        }
    } else {
        act.registers = &sharedRegisters_;
        locals->define("arguments", Value(arguments));
        locals->define("super", Value(makeSuper()));
        for (size_t i = 0; i < fd->params.size(); ++i)
            locals->define(fd->params[i].name, i < args.size() ? args[i] : Value());
    }

    VersionScope version(vm_, act.version);
    ActivationScope live(activations_, &act);
    ++depth_;
    Completion c = execute(act, fd->begin, fd->end);
    --depth_;
    if (c.kind == Completion::JumpOut || c.kind == Completion::Normal)
        return Completion::returned(Value());
    return c;
}

bool Interpreter::splitVariablePath(const std::string& name, std::string& path, std::string& var) {
    // Most names are plain: one scan settles it.
    if (IsPlainName(name)) return false;
    size_t colon = name.rfind(':');
    if (colon != std::string::npos) {
        path = name.substr(0, colon);
        var = name.substr(colon + 1);
        return true;
    }
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0 && dot + 1 < name.size()) {
        path = name.substr(0, dot);
        var = name.substr(dot + 1);
        return true;
    }
    if (name.find('/') != std::string::npos) {
        // "/a/b" names the clip itself.
        path = name;
        var.clear();
        return true;
    }
    return false;
}

Object* Interpreter::resolvePath(Activation& act, std::string_view path, std::string_view member) {
    if (path.empty()) return act.target;
    bool cs = act.version >= 7;
    if (path[0] == '/') return vm_.resolveTargetPath(act.target, path);
    // The first segment of a dot path is a variable in scope ("this", "_root", "clip").
    size_t end = 0;
    while (end < path.size() && path[end] != '.' && path[end] != '/' && path[end] != ':') ++end;
    std::string first(path.substr(0, end));
    std::string_view rest = end >= path.size() ? std::string_view() : path.substr(end + 1);
    auto follow = [&](Object* base) -> Object* {
        if (!base || rest.empty()) return base;
        return vm_.resolveTargetPath(base, rest);
    };
    if (first == "..") return follow(vm_.resolveTargetPath(act.target, ".."));
    if (equalsName(first, "this", cs)) return follow(act.thisValue.asObject());
    if (equalsName(first, "_global", cs) || equalsName(first, "_root", cs) ||
        (first.size() > 6 && equalsName(first.substr(0, 6), "_level", cs)))
        return follow(getVariable(act, first).asObject());
    // Each scope is tried in turn: a path that leads nowhere from the timeline may still
    // resolve from _global.
    for (size_t i = act.scope.size(); i-- > 0;) {
        Object* o = act.scope[i];
        if (!o || !vm_.hasProperty(o, first)) continue;
        Object* found = follow(vm_.getMember(Value(o), first).asObject());
        if (found && (member.empty() || vm_.hasProperty(found, member))) return found;
    }
    return nullptr;
}

Object* Interpreter::lookupScope(Activation& act, const std::string& name, bool cs) {
    for (size_t i = act.scope.size(); i-- > 0;) {
        Object* o = act.scope[i];
        if (o && vm_.hasProperty(o, name)) return o;
    }
    return nullptr;
}

Value Interpreter::getVariable(Activation& act, const std::string& name, Object** holder) {
    bool cs = act.version >= 7;
    if (holder) *holder = nullptr;
    std::string path, var;
    if (!IsPlainName(name) && splitVariablePath(name, path, var)) {
        Object* o = resolvePath(act, path, var);
        if (!o) return Value();
        if (var.empty()) return Value(o);
        if (holder) *holder = o;
        return vm_.getMember(Value(o), var);
    }
    bool special = MayBeSpecialName(name);
    if (special && equalsName(name, "this", cs)) {
        if (act.thisIsVariable) return act.thisValue;
        return act.version >= 6 && act.target ? Value(act.target) : Value();
    }
    if (special && equalsName(name, "_global", cs)) return Value(vm_.global());
    if (!special) {
        // An own data property of a plain scope object is read at once; anything else
        // (accessors, arrays, clips' dynamic members) goes the general way from there.
        for (size_t i = act.scope.size(); i-- > 0;) {
            Object* o = act.scope[i];
            if (!o) continue;
            if (o->kind() != ObjectKind::Plain || o->nativeData()) break;
            const Property* p = o->findOwn(name, vm_.caseSensitive());
            if (!p) {
                if (o->proto()) break;  // it may be inherited
                continue;
            }
            if (p->isAccessor() || !p->visibleTo(vm_.swfVersion())) break;
            if (holder) *holder = o;
            return p->value;
        }
    }
    if (Object* o = lookupScope(act, name, cs)) {
        if (holder) *holder = o;
        return vm_.getMember(Value(o), name);
    }
    if (equalsName(name, "_root", cs) ||
        (name.size() > 6 && equalsName(name.substr(0, 6), "_level", cs))) {
        Object* o = vm_.resolveTargetPath(act.target, name);
        return o ? Value(o) : Value();
    }
    return Value();
}

void Interpreter::setVariable(Activation& act, const std::string& name, const Value& value) {
    std::string path, var;
    if (!IsPlainName(name) && splitVariablePath(name, path, var)) {
        Object* o = resolvePath(act, path);
        if (o && !var.empty()) vm_.setMember(Value(o), var, value);
        return;
    }
    for (size_t i = act.scope.size(); i-- > 0;) {
        Object* o = act.scope[i];
        if (!o) continue;
        if ((i == act.targetScope && act.scope.size() > act.targetScope) ||
            vm_.hasProperty(o, name) || i == 0) {
            vm_.setMember(Value(o), name, value);
            return;
        }
    }
}

Completion Interpreter::execute(Activation& act, size_t begin, size_t end) {
    ActionExecutor executor(*this, act, begin, end);
    return executor.Run();
}

}  // namespace kestrel::avm1
