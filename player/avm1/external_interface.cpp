// flash.external.ExternalInterface: the XML value codec and quoting helpers the player's own
// class is built from, and call/addCallback/available through the host.
#include <cmath>
#include <unordered_set>

#include "player/avm1/array_storage.h"
#include "player/avm1/builtins.h"
#include "player/avm1/conversions.h"
#include "player/avm1/object.h"

namespace kestrel::avm1 {

namespace {

std::string replaceAll(std::string s, std::string_view what, std::string_view with) {
    std::string out;
    size_t pos = 0;
    while (true) {
        size_t hit = s.find(what, pos);
        if (hit == std::string::npos) break;
        out.append(s, pos, hit - pos);
        out += with;
        pos = hit + what.size();
    }
    out.append(s, pos, std::string::npos);
    return out;
}

// Both escape helpers answer null for a missing or empty text.
Value escapeXml(Vm& vm, const std::vector<Value>& args) {
    if (args.empty()) return Value::null();
    std::string s = vm.toString(args[0]);
    if (s.empty()) return Value::null();
    s = replaceAll(s, "&", "&amp;");
    s = replaceAll(s, "<", "&lt;");
    s = replaceAll(s, ">", "&gt;");
    s = replaceAll(s, "\"", "&quot;");
    s = replaceAll(s, "'", "&apos;");
    return Value(s);
}

Value unescapeXml(Vm& vm, const std::vector<Value>& args) {
    if (args.empty()) return Value::null();
    std::string s = vm.toString(args[0]);
    if (s.empty()) return Value::null();
    s = replaceAll(s, "&lt;", "<");
    s = replaceAll(s, "&gt;", ">");
    s = replaceAll(s, "&quot;", "\"");
    s = replaceAll(s, "&apos;", "'");
    s = replaceAll(s, "&amp;", "&");
    return Value(s);
}

Value jsQuote(Vm& vm, const std::vector<Value>& args) {
    if (args.empty()) return Value::null();
    std::string s = vm.toString(args[0]);
    if (s.empty()) return Value::null();
    return Value(replaceAll(s, "\"", "\\\""));
}

std::string toXml(Vm& vm, const Value& v, int depth);

size_t lengthOf(Vm& vm, const Value& obj) {
    double n = vm.toNumber(vm.getMember(obj, "length"));
    if (std::isnan(n) || n <= 0) return 0;
    return static_cast<size_t>(std::min(n, static_cast<double>(vm.limits().maxArrayLength)));
}

std::string arrayToXml(Vm& vm, const Value& obj, int depth) {
    // Any value with a length (a string too) lists that many properties, empty ones as
    // undefined.
    std::string s = "<array>";
    {
        size_t n = lengthOf(vm, obj);
        for (size_t i = 0; i < n && s.size() < vm.limits().maxStringLength; ++i)
            s += "<property id=\"" + std::to_string(i) + "\">" +
                 toXml(vm, vm.getMember(obj, std::to_string(i)), depth + 1) + "</property>";
    }
    return s + "</array>";
}

// The first argument is the function name, so the list starts at the second.
std::string argumentsToXml(Vm& vm, const Value& obj, int depth) {
    std::string s = "<arguments>";
    {
        size_t n = lengthOf(vm, obj);
        for (size_t i = 1; i < n && s.size() < vm.limits().maxStringLength; ++i)
            s += toXml(vm, vm.getMember(obj, std::to_string(i)), depth + 1);
    }
    return s + "</arguments>";
}

std::vector<std::string> forInNames(Vm& vm, Object* o) {
    // for..in order: the newest own property first, then each prototype's.
    std::vector<std::string> pushed;
    std::unordered_set<std::string> seen;
    for (int d = 0; o && d < 256; o = o->proto(), ++d) {
        if (o->kind() == ObjectKind::Array)
            for (size_t i : ArrayElementsByAge(*o)) pushed.push_back(std::to_string(i));
        for (const Property& p : o->properties()) {
            if (seen.insert(p.name).second && !(p.flags & kDontEnum)) pushed.push_back(p.name);
        }
    }
    return std::vector<std::string>(pushed.rbegin(), pushed.rend());
}

std::string objectToXml(Vm& vm, const Value& obj, int depth) {
    std::string s = "<object>";
    if (Object* o = obj.asObject()) {
        for (const std::string& name : forInNames(vm, o)) {
            if (s.size() > vm.limits().maxStringLength) break;
            s += "<property id=\"" + name + "\">" + toXml(vm, vm.getMember(obj, name), depth + 1) +
                 "</property>";
        }
    }
    return s + "</object>";
}

std::string toXml(Vm& vm, const Value& v, int depth) {
    // Nesting is bounded so a self-referencing object cannot recurse forever.
    if (depth > 64) return "<null/>";
    switch (v.type()) {
        case ValueType::Undefined:
            return "<undefined/>";
        case ValueType::Null:
            return "<null/>";
        case ValueType::Boolean:
            return v.asBoolean() ? "<true/>" : "<false/>";
        case ValueType::Number:
            return "<number>" + formatNumber(v.asNumber()) + "</number>";
        case ValueType::String:
            return "<string>" + vm.toString(escapeXml(vm, {v})) + "</string>";
        case ValueType::Object:
            break;
    }
    Object* o = v.asObject();
    if (o->kind() == ObjectKind::Date)
        return "<date>" + formatNumber(o->primitive().asNumber()) + "</date>";
    if (o->kind() == ObjectKind::Function) return "<null/>";
    if (o->kind() == ObjectKind::Array || !vm.getMember(v, "length").isUndefined())
        return arrayToXml(vm, v, depth);
    return objectToXml(vm, v, depth);
}

// The reverse direction reads XML nodes (nodeName, childNodes, attributes, nodeValue).
Value toAs(Vm& vm, const Value& node, int depth);

// A value's text is its node's first child as a string (a text node prints its text).
std::string firstChildText(Vm& vm, const Value& node) {
    return vm.toString(vm.getMember(node, "firstChild"));
}

// Objects and arrays both arrive as <property id="..."> children; `result` receives them.
Value propertiesToAs(Vm& vm, Object* result, const Value& node, int depth) {
    Value children = vm.getMember(node, "childNodes");
    size_t n = children.isObject() ? lengthOf(vm, children) : 0;
    for (size_t i = 0; i < n; ++i) {
        Value child = vm.getMember(children, std::to_string(i));
        if (vm.toString(vm.getMember(child, "nodeName")) != "property") continue;
        std::string id = vm.toString(vm.getMember(vm.getMember(child, "attributes"), "id"));
        vm.setMember(Value(result), id, toAs(vm, vm.getMember(child, "firstChild"), depth + 1));
    }
    return Value(result);
}

Value objectToAs(Vm& vm, const Value& node, int depth) {
    return propertiesToAs(vm, vm.newObject(), node, depth);
}

Value arrayToAs(Vm& vm, const Value& node, int depth) {
    return propertiesToAs(vm, vm.newArray(), node, depth);
}

Value argumentsToAs(Vm& vm, const Value& node, int depth) {
    Object* result = vm.newArray();
    Value children = vm.getMember(node, "childNodes");
    size_t n = children.isObject() ? lengthOf(vm, children) : 0;
    for (size_t i = 0; i < n; ++i)
        result->elements().push_back(
            toAs(vm, vm.getMember(children, std::to_string(i)), depth + 1));
    return Value(result);
}

Value toAs(Vm& vm, const Value& node, int depth) {
    if (depth > 64 || !node.isObject()) return Value();
    // Only a node name that is a string (or a String object) names a type; names compare
    // with case.
    Value name = vm.getMember(node, "nodeName");
    if (Object* boxed = name.asObject(); boxed && boxed->kind() == ObjectKind::String)
        name = boxed->primitive();
    if (!name.isString()) return Value();
    const std::string& type = name.asString();
    if (type == "number") return Value(vm.toNumber(Value(firstChildText(vm, node))));
    if (type == "string") return unescapeXml(vm, {Value(firstChildText(vm, node))});
    if (type == "false") return Value(false);
    if (type == "true") return Value(true);
    if (type == "null") return Value::null();
    if (type == "undefined") return Value();
    if (type == "date") {
        Value date = vm.construct(vm.getMember(Value(vm.global()), "Date"),
                                  {Value(vm.toNumber(Value(firstChildText(vm, node))))})
                         .value_or(Value());
        return date;
    }
    if (type == "object") return objectToAs(vm, node, depth);
    if (type == "array") return arrayToAs(vm, node, depth);
    return Value();
}

Value callOut(NativeCall& c) {
    Vm& vm = c.vm;
    if (!vm.host().externalAvailable() || c.args.empty()) return Value::null();
    std::string request = "<invoke name=\"" + vm.toString(c.args[0]) + "\" returntype=\"xml\">" +
                          argumentsToXml(vm, Value(vm.newArray(c.args)), 0) + "</invoke>";
    auto answer = vm.host().externalCallOut(request);
    if (!answer) return Value::null();
    // The host answers with XML; decoding it needs the XML class of the runtime.
    Value xmlClass = vm.getMember(Value(vm.global()), "XML");
    if (!xmlClass.isObject()) return Value(*answer);
    Value doc = vm.construct(xmlClass, {Value(*answer)}).value_or(Value());
    return toAs(vm, vm.getMember(doc, "firstChild"), 0);
}

Value addCallback(NativeCall& c) {
    Vm& vm = c.vm;
    if (c.args.size() < 3 || !vm.host().externalAvailable()) return Value(false);
    std::string name = vm.toString(c.args[0]);
    Value pair = Value(vm.newArray({c.args[1], c.args[2]}));
    auto& callbacks = vm.externalCallbacks();
    bool replaced = false;
    for (auto& entry : callbacks) {
        if (entry.first == name) {
            entry.second = pair;
            replaced = true;
        }
    }
    if (!replaced) callbacks.emplace_back(name, pair);
    return Value(vm.host().externalAddCallback(name));
}

}  // namespace

void installExternalInterface(Vm& vm) {
    Object* flash = vm.newObject();
    Object* external = vm.newObject();
    // A class whose methods are all static.
    Object* ei = vm.newNativeFunction([](NativeCall&) { return Value(); }, nullptr);
    ei->define("prototype", Value(vm.newObject()), kDontEnum | kDontDelete);
    vm.global()->define("flash", Value(flash), kDontEnum | kFromVersion8);
    flash->define("external", Value(external));
    external->define("ExternalInterface", Value(ei));
    ei->defineNative(
        "available", [](Vm& v, Object&) { return Value(v.host().externalAvailable()); }, nullptr,
        kDontEnum | kDontDelete);
    vm.defineMethod(ei, "call", callOut);
    vm.defineMethod(ei, "addCallback", addCallback);
    vm.defineMethod(ei, "_escapeXML", [](NativeCall& c) { return escapeXml(c.vm, c.args); });
    vm.defineMethod(ei, "_unescapeXML", [](NativeCall& c) { return unescapeXml(c.vm, c.args); });
    vm.defineMethod(ei, "_jsQuoteString", [](NativeCall& c) { return jsQuote(c.vm, c.args); });
    vm.defineMethod(ei, "_toXML", [](NativeCall& c) { return Value(toXml(c.vm, c.arg(0), 0)); });
    vm.defineMethod(ei, "_arrayToXML",
                    [](NativeCall& c) { return Value(arrayToXml(c.vm, c.arg(0), 0)); });
    vm.defineMethod(ei, "_argumentsToXML",
                    [](NativeCall& c) { return Value(argumentsToXml(c.vm, c.arg(0), 0)); });
    vm.defineMethod(ei, "_objectToXML",
                    [](NativeCall& c) { return Value(objectToXml(c.vm, c.arg(0), 0)); });
    vm.defineMethod(ei, "_toAS", [](NativeCall& c) { return toAs(c.vm, c.arg(0), 0); });
    vm.defineMethod(ei, "_objectToAS", [](NativeCall& c) { return objectToAs(c.vm, c.arg(0), 0); });
    vm.defineMethod(ei, "_arrayToAS", [](NativeCall& c) { return arrayToAs(c.vm, c.arg(0), 0); });
    vm.defineMethod(ei, "_argumentsToAS",
                    [](NativeCall& c) { return argumentsToAs(c.vm, c.arg(0), 0); });
}

}  // namespace kestrel::avm1
