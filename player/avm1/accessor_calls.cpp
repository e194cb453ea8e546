// Script accessors (addProperty), watchers (Object.watch) and their recursion. The getter and
// setter of one property run nested in each other at most kMaxAccessorNesting times together
// (a getter that assigns the property and a setter that reads it share the count); deeper than
// that the getter is not called and the property reads as the value last assigned to it, and an
// assignment only records that value. Unbounded recursion through fresh properties still
// ends at the call depth limit. A watcher nests as deep; deeper, the assignment is
// stored as it is.
#include "player/avm1/vm.h"

namespace kestrel::avm1 {

namespace {

constexpr uint8_t kMaxAccessorNesting = 65;

// The call may have removed or replaced the property; only the one that ran is unwound.
Property* SameAccessor(Object& holder, const std::string& name, Object* getter, Object* setter) {
    Property* p = holder.findOwn(name, true);
    return p && p->getter == getter && p->setter == setter ? p : nullptr;
}

// A watcher running on the property counts as nesting in its accessors too.
int Nesting(const Object& holder, const Property& p) {
    int depth = p.getterDepth + p.setterDepth;
    for (const Object::Watch& w : holder.watches())
        if (w.name == p.name) depth += w.depth;
    return depth;
}

}  // namespace

Value Vm::CallScriptGetter(Object& holder, Property& p, const Value& receiver) {
    if (Nesting(holder, p) >= kMaxAccessorNesting) return p.value;
    ++p.getterDepth;
    const std::string name = p.name;
    Object* getter = p.getter;
    Object* setter = p.setter;
    Value result = call(Value(getter), receiver, {}).value_or(Value());
    if (Property* same = SameAccessor(holder, name, getter, setter); same && same->getterDepth)
        --same->getterDepth;
    return result;
}

void Vm::CallScriptSetter(Object& holder, Property& p, Object& receiver, const Value& value) {
    if (Nesting(holder, p) >= kMaxAccessorNesting) {
        p.value = value;
        return;
    }
    ++p.setterDepth;
    const std::string name = p.name;
    Object* getter = p.getter;
    Object* setter = p.setter;
    call(Value(setter), Value(&receiver), {value});
    // Recorded once the setter is done, so the outermost assignment is the one kept.
    if (Property* same = SameAccessor(holder, name, getter, setter)) {
        if (same->setterDepth) --same->setterDepth;
        same->value = value;
    }
}

Value Vm::CallWatcher(Object& o, Object::Watch& w, std::string_view name, const Value& value) {
    if (w.depth >= kMaxAccessorNesting) return value;
    // The watcher is told the stored value; an accessor's getter is not asked for it.
    Value old;
    const Property* own = o.findOwn(name, caseSensitive());
    if (own && (own->getter || own->setter))
        old = own->value;
    else
        old = getMember(Value(&o), name);
    ++w.depth;
    Object* callback = w.callback;
    const std::string watched = w.name;
    Value stored =
        call(Value(callback), Value(&o), {Value(std::string(name)), old, value, w.userData})
            .value_or(Value());
    // The callback may have unwatched or rewatched the name.
    for (Object::Watch& same : o.watches())
        if (same.name == watched && same.callback == callback && same.depth) --same.depth;
    return stored;
}

}  // namespace kestrel::avm1
