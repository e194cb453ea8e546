// Script accessors (addProperty) and their recursion. An accessor that reaches its own
// property again runs nested at most kMaxAccessorNesting times; deeper than that the
// getter is not called and the property reads as the value last assigned to it, and an
// assignment only records that value. Unbounded recursion through fresh properties still
// ends at the call depth limit.
#include "player/avm1/vm.h"

namespace kestrel::avm1 {

namespace {

constexpr uint8_t kMaxAccessorNesting = 65;

// The call may have removed or replaced the property; only the one that ran is unwound.
Property* SameAccessor(Object& holder, const std::string& name, Object* getter, Object* setter) {
    Property* p = holder.findOwn(name, true);
    return p && p->getter == getter && p->setter == setter ? p : nullptr;
}

}  // namespace

Value Vm::CallScriptGetter(Object& holder, Property& p, const Value& receiver) {
    if (p.getterDepth >= kMaxAccessorNesting) return p.value;
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
    if (p.setterDepth >= kMaxAccessorNesting) {
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

}  // namespace kestrel::avm1
