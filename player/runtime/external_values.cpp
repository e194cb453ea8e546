#include "player/runtime/external_values.h"

#include <vector>

#include "player/avm1/conversions.h"

namespace kestrel::runtime {
namespace {

using avm1::Object;
using avm1::ObjectKind;
using avm1::Value;

constexpr int kMaxDepth = 64;

void appendValue(avm1::Vm& vm, const Value& value, std::string& out, int depth,
                 std::vector<Object*>& path) {
    switch (value.type()) {
        case avm1::ValueType::Undefined:
            out += "<undefined/>";
            return;
        case avm1::ValueType::Null:
            out += "<null/>";
            return;
        case avm1::ValueType::Boolean:
            out += value.asBoolean() ? "<true/>" : "<false/>";
            return;
        case avm1::ValueType::Number:
            out += "<number>" + avm1::formatNumber(value.asNumber()) + "</number>";
            return;
        case avm1::ValueType::String:
            out += "<string>" + escapeXmlText(value.asString()) + "</string>";
            return;
        case avm1::ValueType::Object:
            break;
    }
    Object* object = value.asObject();
    bool cyclic = false;
    for (Object* o : path) cyclic = cyclic || o == object;
    if (depth > kMaxDepth || cyclic) {
        out += "<null/>";
        return;
    }
    path.push_back(object);
    if (object->kind() == ObjectKind::Array) {
        out += "<array>";
        const auto& elements = object->elements();
        for (size_t i = 0; i < elements.size(); ++i) {
            out += "<property id='" + std::to_string(i) + "'>";
            appendValue(vm, elements[i], out, depth + 1, path);
            out += "</property>";
        }
        out += "</array>";
    } else {
        out += "<object>";
        for (const auto& p : object->properties()) {
            if (p.flags & avm1::kDontEnum) continue;
            Value v = vm.getMember(Value(object), p.name);
            if (v.isObject() && v.asObject()->kind() == ObjectKind::Function) continue;
            out += "<property id='" + escapeXmlText(p.name) + "'>";
            appendValue(vm, v, out, depth + 1, path);
            out += "</property>";
        }
        out += "</object>";
    }
    path.pop_back();
}

std::string textOf(const XmlNode& node) {
    std::string out;
    for (const auto& c : node.children)
        if (c.type == XmlNodeType::Text) out += c.value;
    return out;
}

Value convert(avm1::Vm& vm, const XmlNode& form, int depth) {
    if (form.type != XmlNodeType::Element || depth > kMaxDepth) return Value();
    const std::string& n = form.name;
    if (n == "null") return Value::null();
    if (n == "true") return Value(true);
    if (n == "false") return Value(false);
    if (n == "number") return Value(avm1::parseFloatText(textOf(form)));
    if (n == "string") return Value(textOf(form));
    if (n != "array" && n != "object") return Value();
    bool isArray = n == "array";
    Object* result = isArray ? vm.newArray() : vm.newObject();
    for (const auto& p : form.children) {
        if (p.type != XmlNodeType::Element || p.name != "property") continue;
        std::string id;
        for (const auto& a : p.attributes)
            if (a.first == "id") id = a.second;
        Value v;
        for (const auto& c : p.children)
            if (c.type == XmlNodeType::Element) v = convert(vm, c, depth + 1);
        vm.setMember(Value(result), id, v);
    }
    return Value(result);
}

}  // namespace

std::string valueToXml(avm1::Vm& vm, const avm1::Value& value) {
    std::string out;
    std::vector<Object*> path;
    appendValue(vm, value, out, 0, path);
    return out;
}

avm1::Value xmlToValue(avm1::Vm& vm, const XmlNode& form) {
    return convert(vm, form, 0);
}

avm1::Value xmlTextToValue(avm1::Vm& vm, std::string_view xml) {
    XmlParseResult parsed = parseXml(xml, true);
    for (const auto& n : parsed.nodes)
        if (n.type == XmlNodeType::Element) return xmlToValue(vm, n);
    return Value();
}

}  // namespace kestrel::runtime
