#include "player/runtime/script_helpers.h"

#include "player/avm1/operators.h"
#include "player/runtime/script_classes.h"

namespace kestrel::runtime {

using avm1::Object;
using avm1::Value;

player::DisplayObject* displayOf(Object& self) {
    auto* data = dynamic_cast<DisplayObjectData*>(self.nativeData());
    if (!data) return nullptr;
    auto object = data->object.lock();
    return object && (!object->isRemoved() || data->unloading) ? object.get() : nullptr;
}

player::MovieClip* clipOfSelf(Object& self) {
    player::DisplayObject* d = displayOf(self);
    return d && d->isClip() ? static_cast<player::MovieClip*>(d) : nullptr;
}

player::EditText* textFieldOfSelf(Object& self) {
    player::DisplayObject* d = displayOf(self);
    return d && d->kind() == player::DisplayObjectKind::EditText ? static_cast<player::EditText*>(d)
                                                                 : nullptr;
}

Object* makeClass(avm1::Vm& vm, const char* name, Object* proto, avm1::NativeFunction construct) {
    avm1::NativeFunction call = construct;
    if (!call) call = [](avm1::NativeCall&) { return Value(); };
    Object* function = vm.newNativeFunction(call, construct);
    function->define("prototype", Value(proto), avm1::kDontEnum | avm1::kDontDelete);
    proto->define("constructor", Value(function), avm1::kDontEnum);
    vm.global()->define(name, Value(function), avm1::kDontEnum);
    return function;
}

namespace {

Object* listenersOf(avm1::Vm& vm, Object* broadcaster) {
    Value list = vm.getMember(Value(broadcaster), "_listeners");
    if (list.isObject() && list.asObject()->kind() == avm1::ObjectKind::Array)
        return list.asObject();
    Object* array = vm.newArray();
    broadcaster->define("_listeners", Value(array), avm1::kDontEnum);
    return array;
}

}  // namespace

void makeBroadcaster(avm1::Vm& vm, Object* broadcaster) {
    listenersOf(vm, broadcaster);
}

void addListener(avm1::Vm& vm, Object* broadcaster, const Value& listener) {
    Object* list = listenersOf(vm, broadcaster);
    for (const Value& v : list->elements())
        if (avm1::strictEquals(v, listener)) return;
    list->elements().push_back(listener);
}

bool removeListener(avm1::Vm& vm, Object* broadcaster, const Value& listener) {
    Object* list = listenersOf(vm, broadcaster);
    auto& e = list->elements();
    for (size_t i = 0; i < e.size(); ++i)
        if (avm1::strictEquals(e[i], listener)) {
            e.erase(e.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        }
    return false;
}

void broadcast(avm1::Vm& vm, Object* broadcaster, std::string_view method,
               const std::vector<Value>& args) {
    // A copy: listeners may add or remove listeners while they are told.
    std::vector<Value> listeners = listenersOf(vm, broadcaster)->elements();
    for (const Value& l : listeners) {
        Value fn = vm.getMember(l, method);
        if (fn.isObject()) vm.call(fn, l, args);
    }
}

void defineLoadingMethods(avm1::Vm& vm, Object* proto, LoadedTextReader read, uint8_t loadedFlags) {
    vm.defineMethod(proto, "addRequestHeader", [](avm1::NativeCall&) { return Value(); });
    vm.defineMethod(proto, "getBytesLoaded", [](avm1::NativeCall&) { return Value(); });
    vm.defineMethod(proto, "getBytesTotal", [](avm1::NativeCall&) { return Value(); });
    vm.defineMethod(proto, "onData", [read, loadedFlags](avm1::NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (!self) return Value();
        Value src = call.arg(0);
        if (src.isUndefined()) {
            call.vm.callMethod(Value(self), "onLoad", {Value(false)});
            return Value();
        }
        read(call.vm, self, call.vm.toString(src));
        self->define("loaded", Value(true), loadedFlags);
        call.vm.callMethod(Value(self), "onLoad", {Value(true)});
        return Value();
    });
    vm.defineMethod(proto, "onLoad", [](avm1::NativeCall&) { return Value(); });
}

}  // namespace kestrel::runtime
