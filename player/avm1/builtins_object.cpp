// Object and Function.
#include <cmath>

#include "common/unicode_case.h"
#include "player/avm1/builtins.h"
#include "player/avm1/heap.h"
#include "player/avm1/interpreter.h"
#include "player/avm1/object.h"

namespace kestrel::avm1 {

namespace {

Value objectToString(NativeCall& c) {
    Object* o = c.thisObject();
    if (o && o->kind() == ObjectKind::Function) return Value("[type Function]");
    return Value("[object Object]");
}

Value hasOwnProperty(NativeCall& c) {
    Object* o = c.thisObject();
    if (!o || c.args.empty()) return Value(false);
    std::string name = c.vm.toString(c.args[0]);
    bool cs = c.vm.caseSensitive();
    if (name.empty()) return Value(false);
    if (name == "__proto__") return Value(o->proto() != nullptr || o->findOwn(name, true));
    if (o->kind() == ObjectKind::Array) {
        long long i = parseArrayIndex(name);
        if (i >= 0 && static_cast<size_t>(i) < o->elements().size())
            return Value(!o->elements()[static_cast<size_t>(i)].isHole());
    }
    return Value(o->findOwn(name, cs) != nullptr);
}

Value isPrototypeOf(NativeCall& c) {
    Object* self = c.thisObject();
    Object* o = c.arg(0).asObject();
    if (!self || !o) return Value(false);
    int depth = 0;
    for (Object* p = o->proto(); p && depth < 256; p = p->proto(), ++depth)
        if (p == self) return Value(true);
    return Value(false);
}

Value addProperty(NativeCall& c) {
    Object* o = c.thisObject();
    if (!o || c.args.size() < 2) return Value(false);
    std::string name = c.vm.toString(c.args[0]);
    Object* getter = c.args[0 + 1].asObject();
    if (name.empty() || !getter || !getter->function()) return Value(false);
    Object* setter = c.arg(2).asObject();
    if (setter && !setter->function()) setter = nullptr;
    Property* existing = o->findOwn(name, c.vm.caseSensitive());
    uint16_t flags = existing ? existing->flags : 0;
    Property& p = o->define(existing ? existing->name : name, Value(), flags);
    p.getter = getter;
    p.setter = setter;
    return Value(true);
}

Value propertyIsEnumerable(NativeCall& c) {
    Object* o = c.thisObject();
    if (!o) return Value(false);
    const Property* p = o->findOwn(c.vm.toString(c.arg(0)), c.vm.caseSensitive());
    return Value(p && !(p->flags & kDontEnum));
}

Value watch(NativeCall& c) {
    Object* o = c.thisObject();
    Object* callback = c.arg(1).asObject();
    if (!o || c.args.empty() || !callback || !callback->function()) return Value(false);
    std::string name = c.vm.toString(c.args[0]);
    for (auto& w : o->watches()) {
        if (w.name == name) {
            w.callback = callback;
            w.userData = c.arg(2);
            return Value(true);
        }
    }
    o->watches().push_back({name, callback, c.arg(2)});
    return Value(true);
}

Value unwatch(NativeCall& c) {
    Object* o = c.thisObject();
    if (!o || c.args.empty()) return Value(false);
    std::string name = c.vm.toString(c.args[0]);
    auto& list = o->watches();
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->name == name) {
            list.erase(it);
            return Value(true);
        }
    }
    return Value(false);
}

Value registerClass(NativeCall& c) {
    if (c.args.size() < 2) return Value(false);
    std::string symbol = c.vm.toString(c.args[0]);
    auto& classes = c.vm.registeredClasses();
    // Symbols follow the movie's case rule; registering one again replaces its spelling too.
    for (auto& entry : classes) {
        if (c.vm.caseSensitive() ? entry.first == symbol
                                 : NamesEqualIgnoringCase(entry.first, symbol)) {
            entry.first = symbol;
            entry.second = c.args[1].asObject();
            return Value(true);
        }
    }
    classes.emplace_back(symbol, c.args[1].asObject());
    return Value(true);
}

Value objectConstruct(NativeCall& c) {
    if (!c.args.empty() && !c.args[0].isNullish()) {
        if (Object* o = c.vm.toObject(c.args[0])) return Value(o);
    }
    return c.thisValue;
}

Value objectCall(NativeCall& c) {
    if (!c.args.empty() && !c.args[0].isNullish()) {
        if (Object* o = c.vm.toObject(c.args[0])) return Value(o);
    }
    return Value(c.vm.newObject());
}

// this for call/apply: undefined and null mean the global object.
Value receiverFor(NativeCall& c, const Value& v) {
    if (v.isNullish()) return Value(c.vm.global());
    if (!v.isObject()) return Value(c.vm.toObject(v));
    return v;
}

Value functionCall(NativeCall& c) {
    Object* f = c.thisObject();
    if (!f || !f->function()) return Value();
    std::vector<Value> args;
    if (c.args.size() > 1) args.assign(c.args.begin() + 1, c.args.end());
    Value self = receiverFor(c, c.arg(0));
    return c.vm.call(Value(f), self, args).value_or(Value());
}

Value functionApply(NativeCall& c) {
    Object* f = c.thisObject();
    if (!f || !f->function()) return Value();
    std::vector<Value> args;
    if (Object* list = c.arg(1).asObject()) {
        if (list->kind() == ObjectKind::Array) {
            args = list->elements();
        } else {
            double n = c.vm.toNumber(c.vm.getMember(Value(list), "length"));
            for (int i = 0; i < n && i < 100000; ++i)
                args.push_back(c.vm.getMember(Value(list), std::to_string(i)));
        }
    }
    Value self = receiverFor(c, c.arg(0));
    return c.vm.call(Value(f), self, args).value_or(Value());
}

}  // namespace

void installObjectBuiltins(Vm& vm) {
    Heap& heap = vm.heap();
    Object* objectProto = heap.allocate(ObjectKind::Plain);
    Object* functionProto = heap.allocate(ObjectKind::Plain);
    functionProto->setProto(objectProto);
    // The global object has no prototype: _global.valueOf is undefined, as in Flash.
    Object* global = heap.allocate(ObjectKind::Plain);
    Object* arrayProto = heap.allocate(ObjectKind::Plain);
    arrayProto->setProto(objectProto);
    vm.setBuiltins(global, objectProto, functionProto, arrayProto);

    Object* objectCtor = defineClass(vm, "Object", objectCall, objectConstruct, objectProto);
    vm.defineMethod(objectProto, "toString", objectToString);
    vm.defineMethod(objectProto, "toLocaleString", objectToString);
    vm.defineMethod(objectProto, "valueOf", [](NativeCall& c) { return c.thisValue; });
    vm.defineMethod(objectProto, "hasOwnProperty", hasOwnProperty);
    vm.defineMethod(objectProto, "isPrototypeOf", isPrototypeOf);
    vm.defineMethod(objectProto, "addProperty", addProperty);
    vm.defineMethod(objectProto, "isPropertyEnumerable", propertyIsEnumerable);
    vm.defineMethod(objectProto, "watch", watch);
    vm.defineMethod(objectProto, "unwatch", unwatch);
    vm.defineMethod(objectCtor, "registerClass", registerClass);

    defineClass(
        vm, "Function", [](NativeCall& c) { return c.arg(0); },
        [](NativeCall& c) { return c.thisValue; }, functionProto);
    vm.defineMethod(functionProto, "call", functionCall);
    vm.defineMethod(functionProto, "apply", functionApply);
}

}  // namespace kestrel::avm1
