// XML and XMLNode: a tree of script objects built from xml_tree, written back by
// toString, and loaded through the player's network host.
#include <algorithm>
#include <functional>

#include "player/avm1/conversions.h"
#include "player/runtime/movie_player.h"
#include "player/runtime/script_classes.h"
#include "player/runtime/script_helpers.h"
#include "player/runtime/xml_tree.h"

namespace kestrel::runtime {

using avm1::NativeCall;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

namespace {

// The node behind an XMLNode (or XML document) object.
struct XmlNodeState : avm1::NativeData {
    int type = 1;
    bool hasName = false;  // a document's nodeName is null
    std::string name;
    bool hasValue = false;  // an element's nodeValue is null
    std::string value;
    Object* attributes = nullptr;
    Object* parent = nullptr;
    std::vector<Object*> children;
    // The childNodes array scripts hold: one array per node, refilled after every change
    // of the children, so entries a script pushed into it last only until then.
    Object* childArray = nullptr;

    void markReferences(avm1::Marker& m) override {
        m.mark(attributes);
        m.mark(parent);
        m.mark(childArray);
        for (Object* c : children) m.mark(c);
    }

    void childrenChanged() {
        if (childArray) childArray->elements().assign(children.begin(), children.end());
    }
};

XmlNodeState* stateOf(Object* o) {
    return o ? dynamic_cast<XmlNodeState*>(o->nativeData()) : nullptr;
}

// Deepest tree that toString and cloneNode walk (they recurse).
constexpr int kMaxNodeDepth = 1024;

Value objectOrNull(Object* o) {
    return o ? Value(o) : Value::null();
}

Object* siblingOf(Object* node, int offset) {
    XmlNodeState* s = stateOf(node);
    XmlNodeState* p = s ? stateOf(s->parent) : nullptr;
    if (!p) return nullptr;
    auto it = std::find(p->children.begin(), p->children.end(), node);
    if (it == p->children.end()) return nullptr;
    std::ptrdiff_t index = (it - p->children.begin()) + offset;
    if (index < 0 || index >= static_cast<std::ptrdiff_t>(p->children.size())) return nullptr;
    return p->children[static_cast<size_t>(index)];
}

void detach(Object* node) {
    XmlNodeState* s = stateOf(node);
    XmlNodeState* p = s ? stateOf(s->parent) : nullptr;
    if (p) {
        p->children.erase(std::remove(p->children.begin(), p->children.end(), node),
                          p->children.end());
        p->childrenChanged();
    }
    if (s) s->parent = nullptr;
}

bool isAncestorOrSelf(Object* candidate, Object* node) {
    // A node without children is nobody's ancestor: skips the walk for fresh nodes.
    if (candidate != node && stateOf(candidate) && stateOf(candidate)->children.empty())
        return false;
    for (Object* o = node; o; o = stateOf(o) ? stateOf(o)->parent : nullptr)
        if (o == candidate) return true;
    return false;
}

// Gives an object the node state and the node's properties.
void makeNode(Vm& vm, Object* object, int type) {
    auto state = std::make_unique<XmlNodeState>();
    state->type = type;
    state->attributes = vm.newObject();
    state->childArray = vm.newArray();
    object->setNativeData(std::move(state));
    auto node = [](Object& self) { return stateOf(&self); };
    object->defineNative(
        "nodeName",
        [node](Vm&, Object& self) -> Value {
            XmlNodeState* s = node(self);
            return s && s->hasName ? Value(s->name) : Value::null();
        },
        // Assigning undefined or null leaves the name as it was.
        [node](Vm& vm, Object& self, const Value& v) {
            XmlNodeState* s = node(self);
            if (!s || v.isNullish()) return;
            s->hasName = true;
            s->name = vm.toString(v);
        });
    object->defineNative(
        "nodeValue",
        [node](Vm&, Object& self) -> Value {
            XmlNodeState* s = node(self);
            return s && s->hasValue ? Value(s->value) : Value::null();
        },
        [node](Vm& vm, Object& self, const Value& v) {
            if (XmlNodeState* s = node(self)) {
                s->hasValue = !v.isNullish();
                s->value = s->hasValue ? vm.toString(v) : std::string();
            }
        });
    object->defineNative(
        "nodeType",
        [node](Vm&, Object& self) -> Value {
            XmlNodeState* s = node(self);
            return s ? Value(s->type) : Value();
        },
        nullptr);
    object->defineNative(
        "attributes",
        [node](Vm&, Object& self) -> Value {
            XmlNodeState* s = node(self);
            return s ? objectOrNull(s->attributes) : Value();
        },
        [node](Vm&, Object& self, const Value& v) {
            XmlNodeState* s = node(self);
            if (s && v.isObject()) s->attributes = v.asObject();
        });
    object->defineNative(
        "parentNode",
        [node](Vm&, Object& self) -> Value {
            XmlNodeState* s = node(self);
            return s ? objectOrNull(s->parent) : Value();
        },
        nullptr);
    object->defineNative(
        "firstChild",
        [node](Vm&, Object& self) -> Value {
            XmlNodeState* s = node(self);
            return s && !s->children.empty() ? Value(s->children.front()) : Value::null();
        },
        nullptr);
    object->defineNative(
        "lastChild",
        [node](Vm&, Object& self) -> Value {
            XmlNodeState* s = node(self);
            return s && !s->children.empty() ? Value(s->children.back()) : Value::null();
        },
        nullptr);
    object->defineNative(
        "nextSibling", [](Vm&, Object& self) -> Value { return objectOrNull(siblingOf(&self, 1)); },
        nullptr);
    object->defineNative(
        "previousSibling",
        [](Vm&, Object& self) -> Value { return objectOrNull(siblingOf(&self, -1)); }, nullptr);
    object->defineNative(
        "childNodes",
        [node](Vm&, Object& self) -> Value {
            XmlNodeState* s = node(self);
            return s ? objectOrNull(s->childArray) : Value();
        },
        nullptr);
}

Object* newNode(Vm& vm, int type) {
    Object* o = vm.newObject(vm.prototypeOf("XMLNode"));
    makeNode(vm, o, type);
    return o;
}

void appendChild(Object* parent, Object* child) {
    XmlNodeState* p = stateOf(parent);
    XmlNodeState* c = stateOf(child);
    if (!p || !c || isAncestorOrSelf(child, parent)) return;
    detach(child);
    p->children.push_back(child);
    p->childrenChanged();
    c->parent = parent;
}

// Attributes are stored newest first, the order scripts enumerate them in, so a parsed
// element lists them (in for..in and in toString) in document order.
void defineAttributesInDocumentOrder(Object* attributes, const XmlNode& source) {
    for (auto it = source.attributes.rbegin(); it != source.attributes.rend(); ++it)
        attributes->define(it->first, Value(it->second));
}

// Builds the script nodes of a parsed node; elements with an "id" attribute are entered
// into `idMap` when there is one.
Object* buildNode(Vm& vm, const XmlNode& source, Object* idMap) {
    if (source.type == XmlNodeType::Text) {
        Object* text = newNode(vm, 3);
        stateOf(text)->hasValue = true;
        stateOf(text)->value = source.value;
        return text;
    }
    Object* element = newNode(vm, 1);
    XmlNodeState* s = stateOf(element);
    s->hasName = true;
    s->name = source.name;
    defineAttributesInDocumentOrder(s->attributes, source);
    if (idMap)
        for (const auto& [name, value] : source.attributes)
            if (name == "id") idMap->define(value, Value(element));
    for (const auto& child : source.children) appendChild(element, buildNode(vm, child, idMap));
    return element;
}

void writeNode(Vm& vm, Object* node, std::string& out, int depth) {
    XmlNodeState* s = stateOf(node);
    if (!s || depth > kMaxNodeDepth) return;
    if (s->type == 3) {
        out += escapeXmlText(s->value);
        return;
    }
    if (!s->hasName) {
        for (Object* c : s->children) writeNode(vm, c, out, depth + 1);
        return;
    }
    out += "<" + s->name;
    // Attributes in the order scripts enumerate them: newest first.
    if (s->attributes) {
        const auto& props = s->attributes->properties();
        for (auto p = props.rbegin(); p != props.rend(); ++p) {
            if (p->flags & avm1::kDontEnum) continue;
            out += " " + p->name + "=\"" +
                   escapeXmlText(vm.toString(vm.getMember(Value(s->attributes), p->name))) + "\"";
        }
    }
    if (s->children.empty()) {
        out += " />";
        return;
    }
    out += ">";
    for (Object* c : s->children) writeNode(vm, c, out, depth + 1);
    out += "</" + s->name + ">";
}

void parseInto(Vm& vm, Object* document, const std::string& text) {
    XmlNodeState* s = stateOf(document);
    if (!s) return;
    for (Object* c : s->children) stateOf(c)->parent = nullptr;
    s->children.clear();
    s->childrenChanged();
    bool ignoreWhite = vm.toBoolean(vm.getMember(Value(document), "ignoreWhite"));
    XmlParseResult parsed = parseXml(text, ignoreWhite);
    // The id map outlives a new parse: entries from earlier documents stay.
    Object* idMap = vm.getMember(Value(document), "idMap").asObject();
    for (const auto& n : parsed.nodes) appendChild(document, buildNode(vm, n, idMap));
    document->define("status", Value(static_cast<int>(parsed.status)));
    if (!parsed.xmlDecl.empty()) document->define("xmlDecl", Value(parsed.xmlDecl));
    if (!parsed.docTypeDecl.empty()) document->define("docTypeDecl", Value(parsed.docTypeDecl));
}

Object* thisNode(NativeCall& call) {
    Object* self = call.thisObject();
    return stateOf(self) ? self : nullptr;
}

}  // namespace

void installXmlClasses(MoviePlayer& player, Vm& vm) {
    Object* nodeProto = vm.newObject();
    makeClass(vm, "XMLNode", nodeProto, [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (!self) return Value();
        makeNode(call.vm, self, avm1::toInt32(call.vm.toNumber(call.arg(0))) == 3 ? 3 : 1);
        XmlNodeState* s = stateOf(self);
        if (s->type == 3) {
            s->hasValue = true;
            s->value = call.vm.toString(call.arg(1));
        } else {
            s->hasName = !call.arg(1).isNullish();
            s->name = s->hasName ? call.vm.toString(call.arg(1)) : std::string();
        }
        return Value();
    });
    vm.defineMethod(nodeProto, "appendChild", [](NativeCall& call) -> Value {
        if (Object* self = thisNode(call))
            if (call.arg(0).isObject()) appendChild(self, call.arg(0).asObject());
        return Value();
    });
    vm.defineMethod(nodeProto, "insertBefore", [](NativeCall& call) -> Value {
        Object* self = thisNode(call);
        if (!self || !call.arg(0).isObject() || !call.arg(1).isObject()) return Value();
        Object* child = call.arg(0).asObject();
        Object* before = call.arg(1).asObject();
        XmlNodeState* p = stateOf(self);
        // A node that is already one of this node's children stays where it is.
        if (!stateOf(child) || isAncestorOrSelf(child, self) || child == before ||
            stateOf(child)->parent == self)
            return Value();
        auto it = std::find(p->children.begin(), p->children.end(), before);
        if (it == p->children.end()) return Value();
        detach(child);
        it = std::find(p->children.begin(), p->children.end(), before);
        p->children.insert(it, child);
        p->childrenChanged();
        stateOf(child)->parent = self;
        return Value();
    });
    vm.defineMethod(nodeProto, "removeNode", [](NativeCall& call) -> Value {
        if (Object* self = thisNode(call)) detach(self);
        return Value();
    });
    vm.defineMethod(nodeProto, "hasChildNodes", [](NativeCall& call) -> Value {
        Object* self = thisNode(call);
        return Value(self && !stateOf(self)->children.empty());
    });
    vm.defineMethod(nodeProto, "cloneNode", [](NativeCall& call) -> Value {
        Object* self = thisNode(call);
        if (!self) return Value();
        bool deep = call.vm.toBoolean(call.arg(0));
        // Depth-limited like toString: scripts can build chains deeper than the stack.
        std::function<Object*(Object*, int)> clone = [&](Object* source, int depth) {
            XmlNodeState* s = stateOf(source);
            Object* copy = newNode(call.vm, s->type);
            XmlNodeState* c = stateOf(copy);
            c->hasName = s->hasName;
            c->name = s->name;
            c->hasValue = s->hasValue;
            c->value = s->value;
            for (const auto& p : s->attributes->properties())
                if (!(p.flags & avm1::kDontEnum))
                    c->attributes->define(p.name, call.vm.getMember(Value(s->attributes), p.name));
            if (deep && depth < kMaxNodeDepth)
                for (Object* child : s->children) appendChild(copy, clone(child, depth + 1));
            return copy;
        };
        return Value(clone(self, 0));
    });
    vm.defineMethod(nodeProto, "toString", [](NativeCall& call) -> Value {
        Object* self = thisNode(call);
        if (!self) return Value("");
        std::string out;
        if (!stateOf(self)->hasName && stateOf(self)->type == 1) {
            Value decl = call.vm.getMember(Value(self), "xmlDecl");
            if (!decl.isNullish()) out += call.vm.toString(decl);
            Value doctype = call.vm.getMember(Value(self), "docTypeDecl");
            if (!doctype.isNullish()) out += call.vm.toString(doctype);
        }
        writeNode(call.vm, self, out, 0);
        return Value(out);
    });

    Object* xmlProto = vm.newObject(nodeProto);
    makeClass(vm, "XML", xmlProto, [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (!self) return Value();
        makeNode(call.vm, self, 1);
        self->define("idMap", Value(call.vm.newObject()), avm1::kDontEnum);
        if (!call.arg(0).isNullish()) parseInto(call.vm, self, call.vm.toString(call.arg(0)));
        return Value();
    });
    xmlProto->define("ignoreWhite", Value(false));
    xmlProto->define("loaded", Value());
    xmlProto->define("status", Value(0));
    xmlProto->define("contentType", Value("application/x-www-form-urlencoded"));
    vm.defineMethod(xmlProto, "parseXML", [](NativeCall& call) -> Value {
        if (Object* self = thisNode(call)) parseInto(call.vm, self, call.vm.toString(call.arg(0)));
        return Value();
    });
    vm.defineMethod(xmlProto, "createElement", [](NativeCall& call) -> Value {
        Object* element = newNode(call.vm, 1);
        stateOf(element)->hasName = true;
        stateOf(element)->name = call.vm.toString(call.arg(0));
        return Value(element);
    });
    vm.defineMethod(xmlProto, "createTextNode", [](NativeCall& call) -> Value {
        Object* text = newNode(call.vm, 3);
        stateOf(text)->hasValue = true;
        stateOf(text)->value = call.vm.toString(call.arg(0));
        return Value(text);
    });
    MoviePlayer* p = &player;
    vm.defineMethod(xmlProto, "load", [p](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (!self) return Value(false);
        self->define("loaded", Value(false));
        return Value(p->startLoad(MoviePlayer::PendingLoad::Xml, self,
                                  call.vm.toString(call.arg(0)), false, "", ""));
    });
    vm.defineMethod(xmlProto, "sendAndLoad", [p](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        Value target = call.arg(1);
        if (!self || !target.isObject()) return Value(false);
        target.asObject()->define("loaded", Value(false));
        std::string body = call.vm.toString(Value(self));
        std::string type = call.vm.toString(call.vm.getMember(Value(self), "contentType"));
        return Value(p->startLoad(MoviePlayer::PendingLoad::Xml, target.asObject(),
                                  call.vm.toString(call.arg(0)), true, body, type));
    });
    vm.defineMethod(xmlProto, "send", [](NativeCall& call) -> Value {
        Object* self = call.thisObject();
        if (!self) return Value(false);
        call.vm.host().getUrl(call.vm.toString(call.arg(0)), call.vm.toString(call.arg(1)), 2,
                              self);
        return Value(true);
    });
    // The default onData parses what arrived and reports it to onLoad.
    defineLoadingMethods(vm, xmlProto, parseInto, 0);
}

void deliverXmlData(Vm& vm, Object* xml, const std::string* data) {
    vm.callMethod(Value(xml), "onData", {data ? Value(*data) : Value()});
}

}  // namespace kestrel::runtime
