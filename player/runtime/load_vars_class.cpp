// LoadVars: name=value text to properties and back, loaded through the network host.
#include "player/avm1/interpreter.h"
#include "player/runtime/movie_player.h"
#include "player/runtime/script_classes.h"
#include "player/runtime/script_helpers.h"
#include "player/runtime/url_variables.h"

namespace kestrel::runtime {

using avm1::NativeCall;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

void assignUrlVariables(Vm& vm, Object* target, const std::string& text) {
    for (const auto& [name, value] : decodeUrlVariables(text))
        vm.setMember(Value(target), name, Value(value));
}

std::string urlVariablesOf(Vm& vm, Object* object) {
    UrlVariables vars;
    // Newest first, as for..in visits them; a toString that throws ends the list.
    const auto& props = object->properties();
    for (size_t i = props.size(); i-- > 0;) {
        if (props[i].flags & avm1::kDontEnum) continue;
        std::string name = props[i].name;
        Value v = vm.getMember(Value(object), name);
        if (v.isObject() && v.asObject()->kind() == avm1::ObjectKind::Function) continue;
        std::string text = vm.toString(v);
        if (vm.interpreter().hasPending()) break;
        vars.emplace_back(std::move(name), std::move(text));
    }
    return encodeUrlVariables(vars);
}

void installLoadVarsClass(MoviePlayer& player, Vm& vm) {
    Object* proto = vm.newObject();
    makeClass(vm, "LoadVars", proto, nullptr);
    proto->define("contentType", Value("application/x-www-form-urlencoded"), avm1::kDontEnum);
    proto->define("loaded", Value(), avm1::kDontEnum);
    vm.defineMethod(proto, "decode", [](NativeCall& call) -> Value {
        if (Object* self = call.thisObject())
            assignUrlVariables(call.vm, self, call.vm.toString(call.arg(0)));
        return Value();
    });
    vm.defineMethod(proto, "toString", [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        return Value(self ? urlVariablesOf(call.vm, self) : std::string());
    });
    MoviePlayer* p = &player;
    vm.defineMethod(proto, "load", [p](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (!self) return Value(false);
        self->define("loaded", Value(false), avm1::kDontEnum);
        return Value(p->startLoad(MoviePlayer::PendingLoad::LoadVars, self,
                                  call.vm.toString(call.arg(0)), false, "", ""));
    });
    vm.defineMethod(proto, "sendAndLoad", [p](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        Value target = call.arg(1);
        if (!self || !target.isObject()) return Value(false);
        Vm& vm = call.vm;
        std::string method = vm.toString(call.arg(2));
        bool get = method == "GET" || method == "get";
        std::string url = vm.toString(call.arg(0));
        std::string body = urlVariablesOf(vm, self);
        if (get) url += (url.find('?') == std::string::npos ? "?" : "&") + body;
        target.asObject()->define("loaded", Value(false), avm1::kDontEnum);
        std::string type = vm.toString(vm.getMember(Value(self), "contentType"));
        return Value(p->startLoad(MoviePlayer::PendingLoad::LoadVars, target.asObject(), url, !get,
                                  get ? "" : body, type));
    });
    vm.defineMethod(proto, "send", [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (!self) return Value(false);
        std::string method = call.vm.toString(call.arg(2));
        int m = method == "GET" || method == "get" ? 1 : 2;
        call.vm.host().getUrl(call.vm.toString(call.arg(0)), call.vm.toString(call.arg(1)), m,
                              self);
        return Value(true);
    });
    // The default onData decodes what arrived and reports it to onLoad.
    defineLoadingMethods(vm, proto, assignUrlVariables, avm1::kDontEnum);
}

void deliverLoadVarsData(Vm& vm, Object* loadVars, const std::string* data) {
    vm.callMethod(Value(loadVars), "onData", {data ? Value(*data) : Value()});
}

}  // namespace kestrel::runtime
