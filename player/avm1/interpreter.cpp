#include "interpreter.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "action_reader.h"
#include "builtins.h"
#include "common/ascii_case.h"
#include "common/swf_format.h"
#include "conversions.h"
#include "heap.h"
#include "operators.h"
#include "utf8.h"

namespace kestrel::avm1 {

namespace {

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
bool resumeAfterNestedBlock(const Completion& c, size_t begin, size_t end, size_t blockEnd,
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
    return cs ? a == b : AsciiEqualsIgnoringCase(a, b);
}

// Compilers write characters outside the BMP as two encoded surrogates; joining them gives
// one proper UTF-8 sequence, so strings compare and print as the player's UTF-16 ones do.
std::string normalizeSurrogates(std::string s) {
    if (s.find('\xED') == std::string::npos) return s;
    return encodeUtf8(decodeUtf8(s));
}

// Legacy SWF 4 comparisons push 1/0, later versions push booleans.
Value legacyBool(bool b, int version) { return version < 5 ? Value(b ? 1.0 : 0.0) : Value(b); }

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
        case Completion::Throw: r.status = RunStatus::Thrown; r.thrown = c.value; break;
        case Completion::Abort: r.status = c.abortStatus; break;
        default: break;
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
        if (depth_ >= vm_.limits().maxCallDepth) return Completion::aborted(RunStatus::RecursionLimit);
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
        if (f & swf::kPreloadThis) preload(thisValue);
        if (f & swf::kPreloadArguments) preload(Value(arguments));
        else if (!(f & swf::kSuppressArguments)) locals->define("arguments", Value(arguments));
        if (f & swf::kPreloadSuper) preload(Value(makeSuper()));
        else if (!(f & swf::kSuppressSuper)) locals->define("super", Value(makeSuper()));
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
    if (c.kind == Completion::JumpOut || c.kind == Completion::Normal) return Completion::returned(Value());
    return c;
}

Value* Interpreter::registerSlot(Activation& act, size_t index) {
    // Registers past a function's own count are the four shared ones.
    if (index < act.localRegisters.size()) return &act.localRegisters[index];
    if (index < sharedRegisters_.size()) return &sharedRegisters_[index];
    return nullptr;
}

Value Interpreter::pop(Activation& act) {
    if (act.stack.empty()) return Value();
    Value v = std::move(act.stack.back());
    act.stack.pop_back();
    return v;
}

bool Interpreter::splitVariablePath(const std::string& name, std::string& path, std::string& var) {
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

Value Interpreter::getVariable(Activation& act, const std::string& name) {
    bool cs = act.version >= 7;
    std::string path, var;
    if (splitVariablePath(name, path, var)) {
        Object* o = resolvePath(act, path, var);
        if (!o) return Value();
        if (var.empty()) return Value(o);
        return vm_.getMember(Value(o), var);
    }
    if (equalsName(name, "this", cs)) return act.thisValue;
    if (equalsName(name, "_global", cs)) return Value(vm_.global());
    if (Object* o = lookupScope(act, name, cs)) return vm_.getMember(Value(o), name);
    if (equalsName(name, "_root", cs) || (name.size() > 6 && equalsName(name.substr(0, 6), "_level", cs))) {
        Object* o = vm_.resolveTargetPath(act.target, name);
        return o ? Value(o) : Value();
    }
    return Value();
}

void Interpreter::setVariable(Activation& act, const std::string& name, const Value& value) {
    std::string path, var;
    if (splitVariablePath(name, path, var)) {
        Object* o = resolvePath(act, path);
        if (o && !var.empty()) vm_.setMember(Value(o), var, value);
        return;
    }
    for (size_t i = act.scope.size(); i-- > 0;) {
        Object* o = act.scope[i];
        if (!o) continue;
        if ((i == act.targetScope && act.scope.size() > act.targetScope) || vm_.hasProperty(o, name) || i == 0) {
            vm_.setMember(Value(o), name, value);
            return;
        }
    }
}

namespace {

// Names for..in visits, in the order they are pushed: own properties oldest first, then
// each prototype's. The loop pops them, so the newest own property comes out first.
std::vector<std::string> enumerationNames(Vm& vm, Object* o) {
    std::vector<std::string> names;
    std::unordered_set<std::string> seenKeys;
    bool cs = vm.caseSensitive();
    // Marks a name as seen; false when it was seen before (under the version's case rule).
    auto firstSighting = [&](const std::string& n) {
        return seenKeys.insert(cs ? n : AsciiLowered(n)).second;
    };
    for (int depth = 0; o && depth < 256; o = o->proto(), ++depth) {
        if (o->kind() == ObjectKind::Array) {
            for (size_t i = 0; i < o->elements().size(); ++i) {
                std::string n = std::to_string(i);
                if (firstSighting(n)) names.push_back(n);
            }
        }
        for (const Property& p : o->properties()) {
            if (firstSighting(p.name) && !(p.flags & kDontEnum)) names.push_back(p.name);
        }
    }
    return names;
}

// Where the code goes on after skipping `count` actions from `at` (WaitForFrame on a frame
// not loaded yet); never past `end`.
size_t skipActions(const std::vector<uint8_t>& bytes, size_t at, size_t end, int count) {
    for (int i = 0; i < count && at < end; ++i) {
        size_t len = bytes[at] >= 0x80 && at + 3 <= end
                         ? 3 + static_cast<size_t>(bytes[at + 1] | (bytes[at + 2] << 8))
                         : 1;
        at += len;
    }
    return at;
}

bool isInstanceOf(Vm& vm, Object* obj, Object* ctor) {
    if (!obj || !ctor) return false;
    Object* proto = vm.getMember(Value(ctor), "prototype").asObject();
    if (!proto) return false;
    int depth = 0;
    for (Object* p = obj->proto(); p && depth < 256; p = p->proto(), ++depth) {
        if (p == proto) return true;
        // Interfaces recorded by ImplementsOp on a prototype in the chain.
        const Property* list = p->findOwn("__implements__", true);
        if (list && list->value.isObject()) {
            for (const Value& iface : list->value.asObject()->elements())
                if (iface.asObject() == ctor) return true;
        }
    }
    return false;
}

}  // namespace

Value Interpreter::thisForCall(const Value& v) { return v; }

Completion Interpreter::execute(Activation& act, size_t begin, size_t end) {
    const std::vector<uint8_t>& bytes = *act.code;
    end = std::min(end, bytes.size());
    const int version = act.version;
    const bool cs = version >= 7;
    size_t pc = begin;
    auto& stack = act.stack;
    auto push = [&](Value v) {
        if (stack.size() < vm_.limits().maxStackSize) stack.push_back(std::move(v));
    };
    auto popValue = [&]() { return pop(act); };
    auto str = [&](const Value& v) { return vm_.toString(v); };
    auto num = [&](const Value& v) { return vm_.toNumber(v); };
    // An argument count, then that many values (never more than the stack holds).
    auto popArguments = [&]() {
        double n = num(popValue());
        size_t count = std::isnan(n) || n < 0 ? 0 : static_cast<size_t>(std::min<double>(n, static_cast<double>(stack.size())));
        std::vector<Value> args;
        args.reserve(count);
        for (size_t i = 0; i < count; ++i) args.push_back(popValue());
        return args;
    };
    auto capString = [&](std::string s) {
        if (s.size() > vm_.limits().maxStringLength) s.resize(vm_.limits().maxStringLength);
        return Value(std::move(s));
    };

    while (pc < end) {
        if (actionsLeft_ == 0) return Completion::aborted(RunStatus::BudgetExhausted);
        --actionsLeft_;
        uint8_t code = bytes[pc];
        if (code == 0) return Completion::normal();
        size_t payload = pc + 1;
        size_t length = 0;
        if (code >= 0x80) {
            if (pc + 3 > end) return Completion::aborted(RunStatus::Malformed);
            length = static_cast<size_t>(bytes[pc + 1] | (bytes[pc + 2] << 8));
            payload = pc + 3;
            if (payload + length > end) return Completion::aborted(RunStatus::Malformed);
        }
        size_t next = payload + length;
        ActionReader in(bytes.data() + payload, length);

        switch (code) {
            // Timeline control.
            case 0x04: vm_.host().nextFrame(act.target); break;
            case 0x05: vm_.host().prevFrame(act.target); break;
            case 0x06: vm_.host().play(act.target); break;
            case 0x07: vm_.host().stop(act.target); break;
            case 0x08: vm_.host().toggleQuality(); break;
            case 0x09: vm_.host().stopSounds(); break;
            case 0x81: vm_.host().gotoFrame(act.target, in.u16(), false); break;
            case 0x8C: vm_.host().gotoLabel(act.target, in.cstring(), false); break;
            case 0x8A: {  // WaitForFrame
                int frame = in.u16();
                int skip = in.u8();
                if (!vm_.host().isFrameLoaded(act.target, frame))
                    next = skipActions(bytes, next, end, skip);
                break;
            }
            case 0x8D: {  // WaitForFrame2
                int skip = in.u8();
                Value frame = popValue();
                int f = toInt32(num(frame)) - 1;
                if (!vm_.host().isFrameLoaded(act.target, f))
                    next = skipActions(bytes, next, end, skip);
                break;
            }
            case 0x9F: {  // GotoFrame2
                uint8_t flags = in.u8();
                int bias = (flags & 2) ? in.u16() : 0;
                bool play = flags & 1;
                Value frame = popValue();
                Object* clip = act.target;
                if (frame.isString()) {
                    std::string s = frame.asString();
                    size_t colon = s.rfind(':');
                    if (colon != std::string::npos) {
                        clip = resolvePath(act, s.substr(0, colon));
                        s = s.substr(colon + 1);
                    }
                    double n = stringToNumber(s, version);
                    if (!clip) break;
                    if (std::isnan(n))
                        vm_.host().gotoLabel(clip, s, play);
                    else
                        vm_.host().gotoFrame(clip, toInt32(n) - 1 + bias, play);
                } else {
                    vm_.host().gotoFrame(clip, toInt32(num(frame)) - 1 + bias, play);
                }
                break;
            }
            case 0x8B: {  // SetTarget
                std::string path = in.cstring();
                act.target = path.empty() ? act.baseTarget : resolvePath(act, path);
                if (act.scope.size() > act.targetScope && act.target) act.scope[act.targetScope] = act.target;
                if (!path.empty() && !act.target && act.scope.size() > act.targetScope) {
                    act.scope[act.targetScope] = act.baseTarget;
                }
                break;
            }
            case 0x20: {  // SetTarget2
                Value t = popValue();
                Object* o = t.isObject() ? t.asObject() : resolvePath(act, str(t));
                if (t.isString() && t.asString().empty()) o = act.baseTarget;
                act.target = o;
                if (act.scope.size() > act.targetScope && o) act.scope[act.targetScope] = o;
                break;
            }
            case 0x9E: {  // Call (a frame's actions)
                Value frame = popValue();
                vm_.host().callFrame(vm_, act.target, frame);
                break;
            }

            // Arithmetic.
            case 0x0A: {
                Value av = popValue(), bv = popValue();
                double b = num(bv), a = num(av);
                push(Value(b + a));
                break;
            }
            case 0x0B: {
                Value av = popValue(), bv = popValue();
                double b = num(bv), a = num(av);
                push(Value(b - a));
                break;
            }
            case 0x0C: {
                Value av = popValue(), bv = popValue();
                double b = num(bv), a = num(av);
                push(Value(b * a));
                break;
            }
            case 0x0D: {
                Value av = popValue(), bv = popValue();
                double b = num(bv), a = num(av);
                if (a == 0 && version < 5) push(Value("#ERROR#"));
                else push(Value(b / a));
                break;
            }
            case 0x3F: {
                Value av = popValue(), bv = popValue();
                double b = num(bv), a = num(av);
                push(Value(std::fmod(b, a)));
                break;
            }
            case 0x50: push(Value(num(popValue()) + 1)); break;
            case 0x51: push(Value(num(popValue()) - 1)); break;
            case 0x47: {
                Value a = popValue(), b = popValue();
                Value r = add2(vm_, b, a);
                push(r.isString() ? capString(r.asString()) : r);
                break;
            }

            // Comparisons and logic.
            case 0x0E: {
                Value av = popValue(), bv = popValue();
                double b = num(bv), a = num(av);
                push(legacyBool(a == b, version));
                break;
            }
            case 0x0F: {
                Value av = popValue(), bv = popValue();
                double b = num(bv), a = num(av);
                push(legacyBool(b < a, version));
                break;
            }
            case 0x48: {
                Value a = popValue(), b = popValue();
                push(lessThan(vm_, b, a));
                break;
            }
            case 0x67: {
                Value a = popValue(), b = popValue();
                push(lessThan(vm_, a, b));
                break;
            }
            case 0x49: {
                Value a = popValue(), b = popValue();
                push(legacyBool(looseEquals(vm_, b, a), version));
                break;
            }
            case 0x66: {
                Value a = popValue(), b = popValue();
                push(legacyBool(strictEquals(b, a), version));
                break;
            }
            case 0x10: {
                bool a = vm_.toBoolean(popValue()), b = vm_.toBoolean(popValue());
                push(legacyBool(a && b, version));
                break;
            }
            case 0x11: {
                bool a = vm_.toBoolean(popValue()), b = vm_.toBoolean(popValue());
                push(legacyBool(a || b, version));
                break;
            }
            case 0x12: push(legacyBool(!vm_.toBoolean(popValue()), version)); break;

            // Bit operations.
            case 0x60: case 0x61: case 0x62: case 0x63: case 0x64: case 0x65: {
                Value av = popValue(), bv = popValue();
                double b = num(bv), a = num(av);
                int32_t x = toInt32(b), y = toInt32(a);
                double r = 0;
                switch (code) {
                    case 0x60: r = x & y; break;
                    case 0x61: r = x | y; break;
                    case 0x62: r = x ^ y; break;
                    case 0x63: r = static_cast<int32_t>(static_cast<uint32_t>(x) << (y & 31)); break;
                    case 0x64: r = x >> (y & 31); break;
                    case 0x65: r = static_cast<int32_t>(static_cast<uint32_t>(x) >> (y & 31)); break;
                }
                push(Value(r));
                break;
            }

            // Strings.
            case 0x13: {
                std::string a = str(popValue()), b = str(popValue());
                push(legacyBool(a == b, version));
                break;
            }
            case 0x29: {
                std::string a = str(popValue()), b = str(popValue());
                push(legacyBool(b < a, version));
                break;
            }
            case 0x68: {
                std::string a = str(popValue()), b = str(popValue());
                push(legacyBool(b > a, version));
                break;
            }
            case 0x21: {
                std::string a = str(popValue()), b = str(popValue());
                push(capString(b + a));
                break;
            }
            case 0x14: {
                // From SWF 6 strings are Unicode and the SWF 4 string actions count characters.
                std::string s = str(popValue());
                push(Value(static_cast<double>(version >= 6 ? utf8Length(s) : s.size())));
                break;
            }
            case 0x31: push(Value(static_cast<double>(utf8Length(str(popValue()))))); break;
            case 0x15:
            case 0x35: {  // StringExtract / MBStringExtract: 1-based index, count
                double count = num(popValue());
                double index = num(popValue());
                std::string s = str(popValue());
                bool mb = code == 0x35 || version >= 6;
                std::u32string chars = mb ? decodeUtf8(s) : std::u32string();
                size_t len = mb ? chars.size() : s.size();
                long long start = static_cast<long long>(toInt32(index)) - 1;
                if (start < 0) start = 0;
                long long n = toInt32(count);
                if (n < 0) n = static_cast<long long>(len);
                if (static_cast<size_t>(start) >= len) {
                    push(Value(""));
                    break;
                }
                size_t take = static_cast<size_t>(std::min<long long>(n, static_cast<long long>(len) - start));
                push(mb ? Value(encodeUtf8(chars.substr(static_cast<size_t>(start), take)))
                        : Value(s.substr(static_cast<size_t>(start), take)));
                break;
            }
            case 0x32:
                if (version < 6) {
                    std::string s = str(popValue());
                    push(Value(s.empty() ? 0.0 : static_cast<double>(static_cast<unsigned char>(s[0]))));
                    break;
                }
                [[fallthrough]];
            case 0x36: {
                std::u32string s = decodeUtf8(str(popValue()));
                char32_t c = s.empty() ? 0 : s[0];
                if (c >= 0xD800 && c < 0xE000) c = 0xFFFD;  // half of a surrogate pair
                push(Value(static_cast<double>(c)));
                break;
            }
            case 0x33:
                if (version < 6) {
                    int c = static_cast<int>(toInt32(num(popValue()))) & 0xFF;
                    push(Value(c ? std::string(1, static_cast<char>(c)) : std::string()));
                    break;
                }
                [[fallthrough]];
            case 0x37: {
                uint32_t c = toUint32(num(popValue())) & 0xFFFF;
                if (c >= 0xD800 && c < 0xE000) c = 0xFFFD;
                std::string s;
                if (c != 0) appendUtf8(s, c);
                push(Value(s));
                break;
            }

            // Conversions.
            case 0x18: {
                double n = num(popValue());
                push(Value(std::isnan(n) ? 0.0 : std::trunc(n)));
                break;
            }
            case 0x4A: push(Value(num(popValue()))); break;
            case 0x4B: push(Value(str(popValue()))); break;
            case 0x44: push(Value(vm_.typeOf(popValue()))); break;

            // Stack.
            case 0x96: {  // Push
                while (in.remaining() > 0 && in.ok()) {
                    uint8_t type = in.u8();
                    switch (type) {
                        case 0: push(Value(normalizeSurrogates(in.cstring()))); break;
                        case 1: push(Value(static_cast<double>(in.f32()))); break;
                        case 2: push(Value::null()); break;
                        case 3: push(Value()); break;
                        case 4: {
                            Value* slot = registerSlot(act, in.u8());
                            push(slot ? *slot : Value());
                            break;
                        }
                        case 5: push(Value(in.u8() != 0)); break;
                        case 6: push(Value(in.wordSwappedDouble())); break;
                        case 7: push(Value(static_cast<double>(static_cast<int32_t>(in.u32())))); break;
                        case 8:
                        case 9: {
                            size_t i = type == 8 ? in.u8() : in.u16();
                            if (act.constantPool && i < act.constantPool->size())
                                push(Value((*act.constantPool)[i]));
                            else
                                push(Value());
                            break;
                        }
                        default: return Completion::aborted(RunStatus::Malformed);
                    }
                }
                if (!in.ok()) return Completion::aborted(RunStatus::Malformed);
                break;
            }
            case 0x17: popValue(); break;
            case 0x4C: push(stack.empty() ? Value() : stack.back()); break;
            case 0x4D: {
                Value a = popValue(), b = popValue();
                push(a);
                push(b);
                break;
            }
            case 0x87: {  // StoreRegister
                if (Value* slot = registerSlot(act, in.u8())) *slot = stack.empty() ? Value() : stack.back();
                break;
            }
            case 0x88: {  // ConstantPool
                uint16_t count = in.u16();
                auto pool = std::make_shared<std::vector<std::string>>();
                for (uint16_t i = 0; i < count && in.ok(); ++i) pool->push_back(normalizeSurrogates(in.cstring()));
                act.constantPool = pool;
                if (!act.isFunction) sharedPool_ = pool;
                break;
            }

            // Variables and members.
            case 0x1C: {
                Value name = popValue();
                push(getVariable(act, str(name)));
                break;
            }
            case 0x1D: {
                Value value = popValue();
                std::string name = str(popValue());
                setVariable(act, name, value);
                break;
            }
            case 0x3C: {  // DefineLocal
                Value value = popValue();
                std::string name = str(popValue());
                if (act.locals) act.locals->define(name, value);
                else setVariable(act, name, value);
                break;
            }
            case 0x41: {  // DefineLocal2
                std::string name = str(popValue());
                std::string path, var;
                Object* where = act.locals ? act.locals
                                           : (act.scope.size() > act.targetScope ? act.scope[act.targetScope] : vm_.global());
                if (!act.locals && splitVariablePath(name, path, var)) {
                    where = resolvePath(act, path);
                    name = var;
                }
                if (where && !name.empty() && !where->findOwn(name, cs)) where->define(name, Value());
                break;
            }
            case 0x3A: {  // Delete
                std::string name = str(popValue());
                Value obj = popValue();
                push(Value(vm_.deleteMember(obj.asObject(), name)));
                break;
            }
            case 0x3B: {  // Delete2
                std::string name = str(popValue());
                bool done = false;
                for (size_t i = act.scope.size(); i-- > 0 && !done;) {
                    Object* o = act.scope[i];
                    if (o && vm_.hasProperty(o, name)) {
                        done = vm_.deleteMember(o, name);
                        break;
                    }
                }
                push(Value(done));
                break;
            }
            case 0x4E: {  // GetMember
                Value name = popValue();
                Value obj = popValue();
                push(vm_.getMember(obj, str(name)));
                break;
            }
            case 0x4F: {  // SetMember
                Value value = popValue();
                Value name = popValue();
                Value obj = popValue();
                vm_.setMember(obj, str(name), value);
                break;
            }
            case 0x42: {  // InitArray
                double n = num(popValue());
                if (std::isnan(n) || n < 0 || n > 2147483647.0) {
                    push(Value());
                    break;
                }
                size_t count = static_cast<size_t>(std::min<double>(n, static_cast<double>(stack.size())));
                std::vector<Value> elements;
                elements.reserve(count);
                for (size_t i = 0; i < count; ++i) elements.push_back(popValue());
                push(Value(vm_.newArray(std::move(elements))));
                break;
            }
            case 0x43: {  // InitObject
                double n = num(popValue());
                if (std::isnan(n) || n < 0 || n > 2147483647.0) {
                    push(Value());
                    break;
                }
                size_t count = static_cast<size_t>(std::min<double>(n, static_cast<double>(stack.size() / 2)));
                Object* o = vm_.newObject();
                for (size_t i = 0; i < count; ++i) {
                    Value value = popValue();
                    std::string name = str(popValue());
                    vm_.setMember(Value(o), name, value);
                }
                push(Value(o));
                break;
            }

            // Calls.
            case 0x3D: {  // CallFunction
                std::string name = str(popValue());
                std::vector<Value> args = popArguments();
                Value fn = getVariable(act, name);
                Object* f = fn.asObject();
                if (!f || !f->function()) {
                    push(Value());
                    break;
                }
                // A plain call runs with the timeline (or nothing) as `this`.
                Value thisValue = act.target ? Value(act.target) : Value();
                Completion c = runFunction(f, thisValue, args, nullptr);
                if (c.kind == Completion::Throw || c.kind == Completion::Abort) return c;
                push(c.value);
                break;
            }
            case 0x52: {  // CallMethod
                Value nameValue = popValue();
                Value obj = popValue();
                std::vector<Value> args = popArguments();
                std::string name = nameValue.isUndefined() ? std::string() : str(nameValue);
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
                            if (h->findOwn(name, cs)) {
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
                            if (h->findOwn(name, cs)) {
                                holder = h;
                                break;
                            }
                    }
                }
                Object* f = fn.asObject();
                if (!f || !f->function()) {
                    push(Value());
                    break;
                }
                Completion c = runFunction(f, thisValue, args, holder);
                if (c.kind == Completion::Throw || c.kind == Completion::Abort) return c;
                push(c.value);
                break;
            }
            case 0x40:    // NewObject
            case 0x53: {  // NewMethod
                Value fn;
                std::vector<Value> args;
                if (code == 0x40) {
                    std::string name = str(popValue());
                    args = popArguments();
                    fn = getVariable(act, name);
                } else {
                    Value nameValue = popValue();
                    Value obj = popValue();
                    args = popArguments();
                    std::string name = nameValue.isUndefined() ? std::string() : str(nameValue);
                    fn = name.empty() ? obj : vm_.getMember(obj, name);
                }
                Object* f = fn.asObject();
                if (!f || !f->function()) {
                    push(Value());
                    break;
                }
                Completion c = construct(f, args);
                if (c.kind == Completion::Throw || c.kind == Completion::Abort) return c;
                push(c.value);
                break;
            }
            case 0x3E: return Completion::returned(popValue());

            case 0x9B:    // DefineFunction
            case 0x8E: {  // DefineFunction2
                auto fd = std::make_shared<FunctionData>();
                fd->name = in.cstring();
                uint16_t count = in.u16();
                if (code == 0x8E) {
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
                if (!in.ok() || next + bodySize > end) return Completion::aborted(RunStatus::Malformed);
                fd->code = act.code;
                fd->begin = next;
                fd->end = next + bodySize;
                // Functions came with SWF 5, so their bodies never use the SWF 4 rules.
                fd->swfVersion = std::max(version, 5);
                fd->scope = act.scope;
                fd->target = act.target;
                fd->constantPool = act.constantPool;
                Object* f = vm_.heap().allocate(ObjectKind::Function);
                f->setProto(vm_.functionPrototype());
                std::string name = fd->name;
                f->setFunction(std::move(fd));
                Object* proto = vm_.newObject();
                proto->define("constructor", Value(f), kDontEnum);
                f->define("prototype", Value(proto), kDontEnum);
                next += bodySize;
                if (name.empty()) {
                    push(Value(f));
                } else if (act.locals) {
                    act.locals->define(name, Value(f));
                } else {
                    setVariable(act, name, Value(f));
                }
                break;
            }

            // Control flow.
            case 0x99:
            case 0x9D: {  // Jump / If
                int16_t offset = in.s16();
                bool take = code == 0x99 || vm_.toBoolean(popValue());
                if (take) {
                    long long target = static_cast<long long>(next) + offset;
                    if (target < 0 || static_cast<size_t>(target) > bytes.size())
                        return Completion::normal();
                    if (static_cast<size_t>(target) < begin || static_cast<size_t>(target) >= end) {
                        if (static_cast<size_t>(target) == end) return Completion::normal();
                        Completion c;
                        c.kind = Completion::JumpOut;
                        c.jumpTarget = static_cast<size_t>(target);
                        return c;
                    }
                    next = static_cast<size_t>(target);
                }
                break;
            }
            case 0x94: {  // With
                uint16_t size = in.u16();
                Value v = popValue();
                size_t bodyEnd = std::min(next + size, end);
                Object* o = vm_.toObject(v);
                // Nested blocks use the native stack like calls do, so they count as calls.
                if (depth_ >= vm_.limits().maxCallDepth) return Completion::aborted(RunStatus::RecursionLimit);
                if (o) act.scope.push_back(o);
                size_t depthBefore = act.scope.size();
                ++depth_;
                Completion c = execute(act, next, bodyEnd);
                --depth_;
                if (o && act.scope.size() == depthBefore) act.scope.pop_back();
                if (!resumeAfterNestedBlock(c, begin, end, bodyEnd, &next)) return c;
                break;
            }
            case 0x8F: {  // Try
                uint8_t flags = in.u8();
                uint16_t trySize = in.u16(), catchSize = in.u16(), finallySize = in.u16();
                bool catchInRegister = flags & 4;
                std::string catchName;
                uint8_t catchRegister = 0;
                if (catchInRegister) catchRegister = in.u8();
                else catchName = in.cstring();
                if (!in.ok()) return Completion::aborted(RunStatus::Malformed);
                size_t tryBegin = next, catchBegin = tryBegin + trySize, finallyBegin = catchBegin + catchSize,
                       after = finallyBegin + finallySize;
                if (after > end) return Completion::aborted(RunStatus::Malformed);
                size_t stackDepth = stack.size();
                if (depth_ >= vm_.limits().maxCallDepth) return Completion::aborted(RunStatus::RecursionLimit);
                DepthGuard guard(depth_);
                Completion c = execute(act, tryBegin, catchBegin);
                if (c.kind == Completion::Throw && (flags & 1)) {
                    stack.resize(std::min(stack.size(), stackDepth));
                    if (catchInRegister) {
                        if (Value* slot = registerSlot(act, catchRegister)) *slot = c.value;
                    } else if (act.locals) {
                        act.locals->define(catchName, c.value);
                    } else {
                        setVariable(act, catchName, c.value);
                    }
                    c = execute(act, catchBegin, finallyBegin);
                }
                if (c.kind != Completion::Abort && (flags & 2) && finallySize > 0) {
                    Completion f = execute(act, finallyBegin, after);
                    if (f.kind != Completion::Normal) c = f;
                }
                if (!resumeAfterNestedBlock(c, begin, end, after, &next)) return c;
                break;
            }
            case 0x2A: return Completion::thrown(popValue());

            // Objects.
            case 0x46:
            case 0x55: {  // Enumerate / Enumerate2
                Value v = popValue();
                Object* o = code == 0x46 ? getVariable(act, str(v)).asObject() : v.asObject();
                push(Value());
                if (o) {
                    for (std::string& n : enumerationNames(vm_, o)) push(Value(std::move(n)));
                }
                break;
            }
            case 0x54: {  // InstanceOf
                Value ctor = popValue();
                Value obj = popValue();
                push(Value(isInstanceOf(vm_, obj.asObject(), ctor.asObject())));
                break;
            }
            case 0x2B: {  // CastOp
                Value obj = popValue();
                Value ctor = popValue();
                push(isInstanceOf(vm_, obj.asObject(), ctor.asObject()) ? obj : Value::null());
                break;
            }
            case 0x2C: {  // ImplementsOp
                Value ctor = popValue();
                std::vector<Value> ifaces = popArguments();
                Object* proto = vm_.getMember(ctor, "prototype").asObject();
                if (proto) proto->define("__implements__", Value(vm_.newArray(std::move(ifaces))), kDontEnum);
                break;
            }
            case 0x69: {  // Extends
                Value superclass = popValue();
                Value subclass = popValue();
                Object* sub = subclass.asObject();
                Object* sup = superclass.asObject();
                if (!sub || !sup) break;
                Object* proto = vm_.newObject(vm_.getMember(superclass, "prototype").asObject());
                proto->define("__constructor__", superclass, kDontEnum);
                sub->define("prototype", Value(proto), kDontEnum);
                break;
            }
            case 0x45: {  // TargetPath
                Value v = popValue();
                auto path = v.isObject() ? vm_.host().targetPathOf(v.asObject()) : std::nullopt;
                push(path ? Value(*path) : Value());
                break;
            }

            // Host services.
            case 0x26: {  // Trace
                Value v = popValue();
                vm_.host().trace(v.isUndefined() ? std::string("undefined") : str(v));
                break;
            }
            case 0x34: push(Value(std::floor(vm_.host().timerMs()))); break;
            case 0x30: {  // RandomNumber
                double max = num(popValue());
                Value r = vm_.callMethod(vm_.getMember(Value(vm_.global()), "Math"), "random", {}).value_or(Value(0.0));
                push(Value(max > 0 ? std::floor(vm_.toNumber(r) * std::floor(max)) : 0.0));
                break;
            }
            case 0x83: {  // GetURL
                std::string url = in.cstring();
                std::string target = in.cstring();
                if (url.compare(0, 10, "FSCommand:") == 0) {
                    std::string command = url.substr(10);
                    if (equalsName(command, "quit", false)) {
                        vm_.setQuitRequested();
                        return Completion::aborted(RunStatus::Quit);
                    }
                    vm_.host().fsCommand(command, target);
                } else {
                    vm_.host().getUrl(url, target, 0, act.target);
                }
                break;
            }
            case 0x9A: {  // GetURL2
                uint8_t flags = in.u8();
                std::string target = str(popValue());
                std::string url = str(popValue());
                if (url.compare(0, 10, "FSCommand:") == 0) {
                    std::string command = url.substr(10);
                    if (equalsName(command, "quit", false)) {
                        vm_.setQuitRequested();
                        return Completion::aborted(RunStatus::Quit);
                    }
                    vm_.host().fsCommand(command, target);
                } else {
                    vm_.host().getUrl(url, target, flags, act.target);
                }
                break;
            }
            case 0x22: {  // GetProperty
                int index = toInt32(num(popValue()));
                Value t = popValue();
                std::string path = str(t);
                Object* clip = t.isObject() ? t.asObject() : resolvePath(act, path);
                push(clip ? vm_.host().getProperty(vm_, clip, index) : Value());
                break;
            }
            case 0x23: {  // SetProperty
                Value value = popValue();
                int index = toInt32(num(popValue()));
                Value t = popValue();
                Object* clip = t.isObject() ? t.asObject() : resolvePath(act, str(t));
                if (clip) vm_.host().setProperty(vm_, clip, index, value);
                break;
            }
            case 0x24: {  // CloneSprite
                int depth = toInt32(num(popValue()));
                std::string name = str(popValue());
                Value source = popValue();
                Object* clip = source.isObject() ? source.asObject() : resolvePath(act, str(source));
                if (clip) vm_.host().cloneSprite(clip, name, depth);
                break;
            }
            case 0x25: {  // RemoveSprite
                Value t = popValue();
                Object* clip = t.isObject() ? t.asObject() : resolvePath(act, str(t));
                if (clip) vm_.host().removeSprite(clip);
                break;
            }
            case 0x27: {  // StartDrag
                Value t = popValue();
                DragOptions options;
                options.lockCenter = vm_.toBoolean(popValue());
                options.constrain = vm_.toBoolean(popValue());
                if (options.constrain) {
                    options.bottom = num(popValue());
                    options.right = num(popValue());
                    options.top = num(popValue());
                    options.left = num(popValue());
                }
                Object* clip = t.isObject() ? t.asObject() : resolvePath(act, str(t));
                if (clip) vm_.host().startDrag(clip, options);
                break;
            }
            case 0x28: vm_.host().endDrag(); break;

            default:
                // Unknown actions are skipped, as the player skips them.
                break;
        }
        if (!in.ok()) return Completion::aborted(RunStatus::Malformed);
        if (pending_) return takePending();
        pc = next;
    }
    return Completion::normal();
}

}  // namespace kestrel::avm1
