#include "player/runtime/external_script.h"

namespace kestrel::runtime {
namespace {

const XmlNode* firstElement(const std::vector<XmlNode>& nodes, std::string_view name) {
    for (const auto& n : nodes)
        if (n.type == XmlNodeType::Element && n.name == name) return &n;
    return nullptr;
}

std::string textOf(const XmlNode& node) {
    std::string out;
    for (const auto& c : node.children)
        if (c.type == XmlNodeType::Text) out += c.value;
    return out;
}

std::string quoteScriptString(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += c;
        }
    }
    return out + "\"";
}

const std::string* attribute(const XmlNode& node, std::string_view name) {
    for (const auto& a : node.attributes)
        if (a.first == name) return &a.second;
    return nullptr;
}

}  // namespace

std::optional<InvokeRequest> parseInvoke(std::string_view xml) {
    XmlParseResult parsed = parseXml(xml, true);
    if (parsed.status != XmlStatus::Ok) return std::nullopt;
    const XmlNode* invoke = firstElement(parsed.nodes, "invoke");
    if (!invoke) return std::nullopt;
    const std::string* name = attribute(*invoke, "name");
    if (!name) return std::nullopt;
    InvokeRequest request;
    request.name = *name;
    if (const XmlNode* args = firstElement(invoke->children, "arguments")) {
        for (const auto& a : args->children)
            if (a.type == XmlNodeType::Element) request.arguments.push_back(a);
    }
    return request;
}

std::string scriptLiteralOf(const XmlNode& form) {
    if (form.type != XmlNodeType::Element) return "undefined";
    if (form.name == "null") return "null";
    if (form.name == "true") return "true";
    if (form.name == "false") return "false";
    if (form.name == "number") {
        std::string n = textOf(form);
        return n.empty() ? "0" : n;
    }
    if (form.name == "string") return quoteScriptString(textOf(form));
    if (form.name == "array" || form.name == "object") {
        bool isArray = form.name == "array";
        std::string out = isArray ? "[" : "({";
        bool first = true;
        for (const auto& p : form.children) {
            if (p.type != XmlNodeType::Element || p.name != "property") continue;
            if (!first) out += ",";
            first = false;
            if (!isArray) {
                const std::string* id = attribute(p, "id");
                out += quoteScriptString(id ? *id : std::string());
                out += ":";
            }
            const XmlNode* value = nullptr;
            for (const auto& c : p.children)
                if (c.type == XmlNodeType::Element) value = &c;
            out += value ? scriptLiteralOf(*value) : "undefined";
        }
        return out + (isArray ? "]" : "})");
    }
    return "undefined";
}

std::optional<std::string> buildCallOutScript(std::string_view invokeXml) {
    std::optional<InvokeRequest> request = parseInvoke(invokeXml);
    if (!request) return std::nullopt;
    std::string script = "try { __flash__toXML(" + request->name + "(";
    for (size_t i = 0; i < request->arguments.size(); ++i) {
        if (i) script += ",";
        script += scriptLiteralOf(request->arguments[i]);
    }
    script += ")) ; } catch (e) { \"<undefined/>\"; }";
    return script;
}

std::string buildReturnStringScript(std::string_view text) {
    return "var __flash_temp = " + quoteScriptString(text) + ";";
}

std::string answerOrUndefined(const std::optional<std::string>& answer) {
    if (!answer || answer->empty()) return "<undefined/>";
    return *answer;
}

}  // namespace kestrel::runtime
