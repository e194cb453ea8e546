// Object actions: for..in enumeration, instanceof and casts, classes and interfaces, target
// paths.
#include <unordered_set>

#include "common/unicode_case.h"
#include "player/avm1/action_executor.h"
#include "player/avm1/array_storage.h"

namespace kestrel::avm1 {

namespace {

using namespace swf;

// Names for..in visits, in the order they are pushed: own properties oldest first, then
// each prototype's. The loop pops them, so the newest own property comes out first.
std::vector<std::string> EnumerationNames(Vm& vm, Object* o) {
    std::vector<std::string> names;
    std::unordered_set<std::string> seenKeys;
    bool cs = vm.caseSensitive();
    // Marks a name as seen; false when it was seen before (under the version's case rule).
    auto firstSighting = [&](const std::string& n) {
        return seenKeys.insert(cs ? n : NameCaseFolded(n)).second;
    };
    for (int depth = 0; o && depth < 256; o = o->proto(), ++depth) {
        if (o->kind() == ObjectKind::Array) {
            for (size_t i : ArrayElementsByAge(*o)) {
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

bool IsInstanceOf(Vm& vm, Object* obj, Object* ctor) {
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

ActionExecutor::Outcome ActionExecutor::Objects(ActionCode code, ActionReader&) {
    switch (code) {
        case kActionEnumerate:
        case kActionEnumerate2: {
            Value v = PopValue();
            Object* o = code == kActionEnumerate ? interpreter_.getVariable(act_, Str(v)).asObject()
                                                 : v.asObject();
            PushValue(Value());
            if (o) {
                for (std::string& n : EnumerationNames(vm_, o)) PushValue(Value(std::move(n)));
            }
            break;
        }
        case kActionInstanceOf: {
            Value ctor = PopValue();
            Value obj = PopValue();
            PushValue(Value(IsInstanceOf(vm_, obj.asObject(), ctor.asObject())));
            break;
        }
        case kActionCastOp: {
            Value obj = PopValue();
            Value ctor = PopValue();
            PushValue(IsInstanceOf(vm_, obj.asObject(), ctor.asObject()) ? obj : Value::null());
            break;
        }
        case kActionImplementsOp: {
            Value ctor = PopValue();
            std::vector<Value> ifaces = PopArguments();
            Object* proto = vm_.getMember(ctor, "prototype").asObject();
            if (proto)
                proto->define("__implements__", Value(vm_.newArray(std::move(ifaces))), kDontEnum);
            break;
        }
        case kActionExtends: {
            Value superclass = PopValue();
            Value subclass = PopValue();
            Object* sub = subclass.asObject();
            Object* sup = superclass.asObject();
            if (!sub || !sup) break;
            Object* proto = vm_.newObject(vm_.getMember(superclass, "prototype").asObject());
            proto->define("__constructor__", superclass, kDontEnum);
            sub->define("prototype", Value(proto), kDontEnum | kDontDelete);
            break;
        }
        case kActionTargetPath: {
            Value v = PopValue();
            auto path = v.isObject() ? vm_.host().targetPathOf(v.asObject()) : std::nullopt;
            PushValue(path ? Value(*path) : Value());
            break;
        }
        default:
            break;
    }
    return Continue();
}

}  // namespace kestrel::avm1
