// ExternalInterface.available/call/addCallback, for an engine that has only the XML
// helpers: added only where the engine left them out, so the engine's own versions win.
#include "runtime/external_values.h"
#include "runtime/script_classes.h"
#include "runtime/xml_tree.h"

namespace kestrel::runtime {

using avm1::NativeCall;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

namespace {

std::string invokeXmlFor(Vm& vm, const std::string& name, const std::vector<Value>& args) {
    std::string xml = "<invoke name=\"" + escapeXmlText(name) + "\" returntype=\"xml\"><arguments>";
    for (size_t i = 1; i < args.size(); ++i) xml += valueToXml(vm, args[i]);
    return xml + "</arguments></invoke>";
}

}  // namespace

void installExternalInterfaceCalls(Vm& vm) {
    Value flash = vm.getMember(Value(vm.global()), "flash");
    Value ei = vm.getMember(vm.getMember(flash, "external"), "ExternalInterface");
    Object* target = ei.asObject();
    if (!target) return;
    if (!target->findOwn("available", true))
        target->defineNative(
            "available", [](Vm& v, Object&) -> Value { return Value(v.host().externalAvailable()); },
            nullptr);
    if (!target->findOwn("call", true))
        vm.defineMethod(target, "call", [](NativeCall& c) -> Value {
            if (c.args.empty()) return Value::null();
            std::string xml = invokeXmlFor(c.vm, c.vm.toString(c.args[0]), c.args);
            std::optional<std::string> answer = c.vm.host().externalCallOut(xml);
            if (!answer) return Value::null();
            return xmlTextToValue(c.vm, *answer);
        });
    if (!target->findOwn("addCallback", true))
        vm.defineMethod(target, "addCallback", [](NativeCall& c) -> Value {
            if (c.args.size() < 3 || !c.args[2].isObject()) return Value(false);
            std::string name = c.vm.toString(c.args[0]);
            Object* pair = c.vm.newArray({c.args[1], c.args[2]});
            auto& callbacks = c.vm.externalCallbacks();
            bool replaced = false;
            for (auto& entry : callbacks)
                if (entry.first == name) {
                    entry.second = Value(pair);
                    replaced = true;
                }
            if (!replaced) callbacks.emplace_back(name, Value(pair));
            return Value(c.vm.host().externalAddCallback(name));
        });
}

}  // namespace kestrel::runtime
