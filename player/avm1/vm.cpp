#include "player/avm1/vm.h"

#include <algorithm>
#include <cmath>

#include "common/unicode_case.h"
#include "player/avm1/array_storage.h"
#include "player/avm1/builtins.h"
#include "player/avm1/conversions.h"
#include "player/avm1/heap.h"
#include "player/avm1/interpreter.h"
#include "player/avm1/operators.h"
#include "player/avm1/utf8.h"

namespace kestrel::avm1 {

namespace {

// Prototype chains are followed at most this far, so a cycle cannot hang a lookup.
constexpr int kMaxProtoDepth = 256;

bool nameIs(std::string_view a, std::string_view b, bool cs) {
    if (a.size() != b.size()) return false;
    return cs ? a == b : NamesEqualIgnoringCase(a, b);
}

}  // namespace

const char* runStatusName(RunStatus status) {
    switch (status) {
        case RunStatus::Completed:
            return "completed";
        case RunStatus::BudgetExhausted:
            return "action budget exhausted";
        case RunStatus::RecursionLimit:
            return "recursion limit";
        case RunStatus::Malformed:
            return "malformed actions";
        case RunStatus::Thrown:
            return "uncaught exception";
        case RunStatus::Quit:
            return "quit";
    }
    return "unknown";
}

Vm::Vm(Host* host, VmLimits limits)
    : host_(host ? host : &defaultHost_),
      limits_(limits),
      heap_(std::make_unique<Heap>()),
      interpreter_(std::make_unique<Interpreter>(*this)) {
    installBuiltins(*this);
}

Vm::~Vm() = default;

void Vm::setBuiltins(Object* global, Object* objectProto, Object* functionProto,
                     Object* arrayProto) {
    global_ = global;
    objectPrototype_ = objectProto;
    functionPrototype_ = functionProto;
    arrayPrototype_ = arrayProto;
}

Object* Vm::prototypeOf(std::string_view constructorName) {
    const Property* p = global_->findOwn(constructorName, true);
    if (!p || !p->value.isObject()) return nullptr;
    Value proto = getMember(p->value, "prototype");
    return proto.asObject();
}

Object* Vm::newObject(Object* proto) {
    Object* o = heap_->allocate(ObjectKind::Plain);
    o->setProto(proto ? proto : objectPrototype_);
    return o;
}

Object* Vm::newArray(std::vector<Value> elements) {
    Object* o = heap_->allocate(ObjectKind::Array);
    o->setProto(arrayPrototype_);
    o->elements() = std::move(elements);
    return o;
}

Object* Vm::newNativeFunction(NativeFunction fn, NativeFunction construct) {
    Object* o = heap_->allocate(ObjectKind::Function);
    o->setProto(functionPrototype_);
    auto data = std::make_shared<FunctionData>();
    data->native = std::move(fn);
    data->nativeConstruct = std::move(construct);
    o->setFunction(std::move(data));
    return o;
}

Object* Vm::defineMethod(Object* on, std::string_view name, NativeFunction fn) {
    Object* f = newNativeFunction(std::move(fn));
    on->define(name, Value(f), kDontEnum | kDontDelete);
    return f;
}

Object* Vm::newHostObject(Object* proto, std::unique_ptr<NativeData> data) {
    Object* o = heap_->allocate(ObjectKind::Host);
    o->setProto(proto ? proto : objectPrototype_);
    o->setNativeData(std::move(data));
    return o;
}

RunResult Vm::run(ActionBytes code, const ExecutionContext& context) {
    if (!code) return {};
    return interpreter_->runTopLevel(std::move(code), context);
}

RunResult Vm::run(const uint8_t* data, size_t size, const ExecutionContext& context) {
    return run(std::make_shared<const std::vector<uint8_t>>(data, data + size), context);
}

std::optional<Value> Vm::call(const Value& function, const Value& thisValue,
                              const std::vector<Value>& args) {
    Object* f = function.asObject();
    if (!f || !f->function()) return std::nullopt;
    bool outermost = !interpreter_->running();
    if (outermost) interpreter_->resetBudget();
    Completion c = interpreter_->call(f, thisValue, args, nullptr);
    switch (c.kind) {
        case Completion::Normal:
            lastStatus_ = RunStatus::Completed;
            return Value();
        case Completion::Return:
            lastStatus_ = RunStatus::Completed;
            return c.value;
        case Completion::Throw:
            lastStatus_ = RunStatus::Thrown;
            if (!outermost) interpreter_->setPending(c);
            return std::nullopt;
        case Completion::Abort:
            lastStatus_ = c.abortStatus;
            if (!outermost) interpreter_->setPending(c);
            return std::nullopt;
        case Completion::JumpOut:
            return Value();
    }
    return std::nullopt;
}

std::optional<Value> Vm::callMethod(const Value& object, std::string_view name,
                                    const std::vector<Value>& args) {
    Value f = getMember(object, name);
    if (!f.isObject() || !f.asObject()->function()) return std::nullopt;
    return call(f, object, args);
}

std::optional<Value> Vm::construct(const Value& constructor, const std::vector<Value>& args) {
    Object* f = constructor.asObject();
    if (!f || !f->function()) return std::nullopt;
    bool outermost = !interpreter_->running();
    if (outermost) interpreter_->resetBudget();
    Completion c = interpreter_->construct(f, args);
    if (c.kind == Completion::Throw || c.kind == Completion::Abort) {
        lastStatus_ = c.kind == Completion::Throw ? RunStatus::Thrown : c.abortStatus;
        if (!outermost) interpreter_->setPending(c);
        return std::nullopt;
    }
    lastStatus_ = RunStatus::Completed;
    return c.value;
}

Value Vm::getMember(const Value& target, std::string_view name) {
    bool cs = caseSensitive();
    Object* start = nullptr;
    Value receiver = target;
    switch (target.type()) {
        case ValueType::String:
            if (nameIs(name, "length", cs))
                return Value(static_cast<double>(utf8Length(target.asString())));
            start = prototypeOf("String");
            break;
        case ValueType::Number:
            start = prototypeOf("Number");
            break;
        case ValueType::Boolean:
            start = prototypeOf("Boolean");
            break;
        case ValueType::Object:
            start = target.asObject();
            break;
        default:
            return Value();
    }
    if (!start) return Value();
    if (start->kind() == ObjectKind::Super) {
        auto* s = static_cast<SuperData*>(start->nativeData());
        receiver = s->thisValue;
        start = s->proto;
        if (!start) return Value();
    }
    if (nameIs(name, "__proto__", cs)) {
        if (start->proto()) return Value(start->proto());
        // A __proto__ that was set to a primitive keeps that value.
        const Property* p = start->findOwn("__proto__", true);
        return p ? p->value : Value();
    }
    Object* o = start;
    for (int depth = 0; o && depth < kMaxProtoDepth; ++depth, o = o->proto()) {
        if (o->kind() == ObjectKind::Array) {
            if (nameIs(name, "length", cs)) return Value(static_cast<double>(ArrayLength(*o)));
            long long index = parseArrayIndex(name);
            if (index >= 0 && static_cast<size_t>(index) < o->elements().size() &&
                !o->elements()[static_cast<size_t>(index)].isHole())
                return o->elements()[static_cast<size_t>(index)];
        }
        Property* p = o->findOwn(name, cs);
        if (p && !p->visibleTo(swfVersion_)) continue;
        if (!p) {
            Value dynamic;
            if (o->nativeData() && o->nativeData()->lookupDynamic(name, cs, dynamic))
                return dynamic;
            continue;
        }
        if (p->nativeGetter)
            return (*p->nativeGetter)(*this, *(receiver.asObject() ? receiver.asObject() : o));
        if (p->getter) return CallScriptGetter(*o, *p, receiver);
        if (p->isAccessor()) return Value();
        return p->value;
    }
    // A prototype chain too long to follow (a loop) aborts the script, as deep recursion does.
    if (o && interpreter_->running())
        interpreter_->setPending(Completion::aborted(RunStatus::RecursionLimit));
    return Value();
}

void Vm::setMember(const Value& target, std::string_view name, const Value& assigned) {
    Object* o = target.asObject();
    if (!o) return;
    bool cs = caseSensitive();
    if (o->kind() == ObjectKind::Super) return;
    Value value = assigned;
    for (Object::Watch& w : o->watches()) {
        if (!nameIs(w.name, name, cs)) continue;
        value = CallWatcher(*o, w, name, value);
        break;
    }
    if (nameIs(name, "__proto__", cs)) {
        o->setProto(value.asObject());
        o->properties().erase(
            std::remove_if(o->properties().begin(), o->properties().end(),
                           [](const Property& p) { return p.name == "__proto__"; }),
            o->properties().end());
        o->propertiesChanged();
        if (!value.isObject()) o->define("__proto__", value, kDontEnum);
        return;
    }
    if (o->kind() == ObjectKind::Array) {
        if (nameIs(name, "length", cs)) {
            SetArrayLength(*o, toInt32(toNumber(value)), limits_.maxArrayLength);
            return;
        }
        if (AssignArrayElement(*o, name, value, limits_.maxArrayLength)) return;
    }
    Property* own = o->findOwn(name, cs);
    if (own && !own->visibleTo(swfVersion_)) {
        // A hidden property is replaced by a plain one.
        o->define(own->name, value);
        return;
    }
    if (Property* p = own) {
        if (p->nativeSetter) {
            (*p->nativeSetter)(*this, *o, value);
        } else if (p->setter) {
            CallScriptSetter(*o, *p, *o, value);
        } else if (p->isAccessor() || (p->flags & kReadOnly)) {
            return;
        } else {
            p->value = value;
        }
        return;
    }
    // A setter inherited from a prototype (addProperty on a class) takes the assignment.
    int depth = 0;
    for (Object* q = o->proto(); q && depth < kMaxProtoDepth; q = q->proto(), ++depth) {
        Property* p = q->findOwn(name, cs);
        if (!p || !p->visibleTo(swfVersion_)) continue;
        if (p->nativeSetter) {
            (*p->nativeSetter)(*this, *o, value);
            return;
        }
        if (p->setter) {
            CallScriptSetter(*q, *p, *o, value);
            return;
        }
        if (p->isAccessor()) return;
        break;
    }
    o->define(name, value);
}

bool Vm::hasProperty(Object* o, std::string_view name) {
    bool cs = caseSensitive();
    int depth = 0;
    for (; o && depth < kMaxProtoDepth; o = o->proto(), ++depth) {
        if (o->kind() == ObjectKind::Array) {
            if (nameIs(name, "length", cs)) return true;
            long long index = parseArrayIndex(name);
            if (index >= 0 && static_cast<size_t>(index) < o->elements().size() &&
                !o->elements()[static_cast<size_t>(index)].isHole())
                return true;
        }
        if (const Property* p = o->findOwn(name, cs)) {
            if (p->visibleTo(swfVersion_)) return true;
            continue;
        }
        Value dynamic;
        if (o->nativeData() && o->nativeData()->lookupDynamic(name, cs, dynamic)) return true;
    }
    return false;
}

bool Vm::deleteMember(Object* o, std::string_view name) {
    if (!o) return false;
    if (nameIs(name, "__proto__", caseSensitive()) && !o->findOwn("__proto__", true)) {
        if (!o->proto() || (o->protoFlags() & kDontDelete)) return false;
        o->setProto(nullptr);
        return true;
    }
    if (o->kind() == ObjectKind::Array) {
        long long index = parseArrayIndex(name);
        if (index >= 0 && static_cast<size_t>(index) < o->elements().size())
            return RemoveArrayElement(*o, static_cast<size_t>(index));
    }
    return o->remove(name, caseSensitive());
}

std::string Vm::toString(const Value& v) {
    switch (v.type()) {
        case ValueType::Undefined:
            return swfVersion_ >= 7 ? "undefined" : "";
        case ValueType::Null:
            return "null";
        case ValueType::Boolean:
            return v.asBoolean() ? "true" : "false";
        case ValueType::Number:
            return formatNumber(v.asNumber());
        case ValueType::String:
            return v.asString();
        case ValueType::Object: {
            Object* o = v.asObject();
            // A display object (clip, text field) converts to its target path, whatever its
            // toString says.
            if (o->nativeData())
                if (auto path = host_->targetPathOf(o)) return *path;
            // A toString that answers anything but a string does not count.
            if (auto r = callMethod(v, "toString", {}); r && r->isString()) return r->asString();
            if (o->kind() == ObjectKind::Function) return "[type Function]";
            return "[type Object]";
        }
    }
    return "";
}

double Vm::toNumber(const Value& v) {
    switch (v.type()) {
        case ValueType::Undefined:
        case ValueType::Null:
            return swfVersion_ >= 7 ? std::nan("") : 0.0;
        case ValueType::Boolean:
            return v.asBoolean() ? 1 : 0;
        case ValueType::Number:
            return v.asNumber();
        case ValueType::String:
            return stringToNumber(v.asString(), swfVersion_);
        case ValueType::Object: {
            Value p = toPrimitive(*this, v);
            if (p.isObject()) return std::nan("");
            return toNumber(p);
        }
    }
    return 0;
}

bool Vm::ToBooleanSlow(const Value& v) {
    switch (v.type()) {
        case ValueType::Undefined:
        case ValueType::Null:
            return false;
        case ValueType::Boolean:
            return v.asBoolean();
        case ValueType::Number:
            return v.asNumber() != 0 && !std::isnan(v.asNumber());
        case ValueType::String:
            return stringToBoolean(v.asString(), swfVersion_);
        case ValueType::Object:
            return true;
    }
    return false;
}

Object* Vm::toObject(const Value& v) {
    const char* ctor = nullptr;
    switch (v.type()) {
        case ValueType::Object:
            return v.asObject();
        case ValueType::String:
            ctor = "String";
            break;
        case ValueType::Number:
            ctor = "Number";
            break;
        case ValueType::Boolean:
            ctor = "Boolean";
            break;
        default:
            return nullptr;
    }
    const Property* p = global_->findOwn(ctor, true);
    if (!p) return nullptr;
    auto r = construct(p->value, {v});
    return r ? r->asObject() : nullptr;
}

std::string Vm::typeOf(const Value& v) {
    switch (v.type()) {
        case ValueType::Undefined:
            return "undefined";
        case ValueType::Null:
            return "null";
        case ValueType::Boolean:
            return "boolean";
        case ValueType::Number:
            return "number";
        case ValueType::String:
            return "string";
        case ValueType::Object: {
            Object* o = v.asObject();
            if (o->nativeData())
                if (const char* t = o->nativeData()->typeOfName()) return t;
            return o->kind() == ObjectKind::Function ? "function" : "object";
        }
    }
    return "undefined";
}

Object* Vm::resolveTargetPath(Object* base, std::string_view path) {
    Object* o = base;
    size_t i = 0;
    if (!path.empty() && path[0] == '/') {
        if (Object* r = host_->rootOf(base))
            o = r;
        else if (Object* r2 = getMember(Value(base), "_root").asObject())
            o = r2;
        i = 1;
    }
    while (i < path.size() && o) {
        size_t j = i;
        while (j < path.size() && path[j] != '/' && path[j] != '.' && path[j] != ':') ++j;
        std::string_view seg = path.substr(i, j - i);
        // "a..b" is not a parent step; ".." between slashes is.
        if (seg.empty() && j < path.size() && path[j] == '.' && j + 1 < path.size() &&
            path[j + 1] == '.') {
            seg = "..";
            j += 1;
        }
        if (seg == "..") {
            Object* p = host_->parentOf(o);
            o = p ? p : getMember(Value(o), "_parent").asObject();
        } else if (!seg.empty()) {
            bool cs = caseSensitive();
            if (nameIs(seg, "_root", cs)) {
                Object* r = host_->rootOf(o);
                o = r ? r : getMember(Value(o), "_root").asObject();
            } else if (seg.size() > 6 && nameIs(seg.substr(0, 6), "_level", cs)) {
                o = host_->level(std::atoi(std::string(seg.substr(6)).c_str()));
            } else if (nameIs(seg, "_global", cs)) {
                o = global_;
            } else {
                o = getMember(Value(o), seg).asObject();
            }
        }
        i = j + 1;
    }
    return o;
}

void Vm::addRoot(Object* object) {
    roots_.push_back(object);
}

void Vm::removeRoot(Object* object) {
    auto it = std::find(roots_.begin(), roots_.end(), object);
    if (it != roots_.end()) roots_.erase(it);
}

void Vm::addRootMarker(RootMarker marker) {
    rootMarkers_.push_back(std::move(marker));
}

void Vm::markRoots(Marker& m) {
    m.mark(global_);
    m.mark(objectPrototype_);
    m.mark(functionPrototype_);
    m.mark(arrayPrototype_);
    for (Object* o : roots_) m.mark(o);
    for (auto& rm : rootMarkers_) rm(m);
    for (auto& iv : intervals_) {
        m.mark(iv.function);
        for (auto& a : iv.args) m.mark(a);
    }
    for (auto& c : classes_) m.mark(c.second);
    for (auto& c : callbacks_) m.mark(c.second);
    for (auto& n : natives_) m.mark(n.second);
    interpreter_->markRoots(m);
}

void Vm::collect() {
    // Native frames hold values the collector cannot see, so only collect between scripts.
    if (interpreter_->running()) return;
    heap_->collect([this](Marker& m) { markRoots(m); });
}

size_t Vm::objectCount() const {
    return heap_->size();
}

bool Vm::running() const {
    return interpreter_->running();
}

void Vm::runDueIntervals(double nowMs) {
    // Take the due ones first: a callback may add or clear intervals.
    std::vector<Interval> due;
    for (auto& iv : intervals_) {
        if (nowMs < iv.nextDueMs) continue;
        due.push_back(iv);
        iv.nextDueMs = iv.periodMs < 0 ? -1 : std::max(iv.nextDueMs + iv.periodMs, nowMs);
    }
    // setTimeout entries (negative period) fire once.
    intervals_.erase(
        std::remove_if(intervals_.begin(), intervals_.end(),
                       [](const Interval& iv) { return iv.periodMs < 0 && iv.nextDueMs < 0; }),
        intervals_.end());
    for (auto& iv : due) {
        bool cleared =
            iv.periodMs >= 0 && std::none_of(intervals_.begin(), intervals_.end(),
                                             [&](const Interval& x) { return x.id == iv.id; });
        if (cleared) continue;
        if (iv.method.empty())
            call(iv.function, Value(), iv.args);
        else
            callMethod(iv.function, iv.method, iv.args);
    }
}

Object* Vm::registeredClass(std::string_view symbol) const {
    for (auto& c : classes_)
        if (caseSensitive() ? c.first == symbol : NamesEqualIgnoringCase(c.first, symbol))
            return c.second;
    return nullptr;
}

namespace {

uint64_t NativeKey(int table, int index) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(table)) << 32) |
           static_cast<uint32_t>(index);
}

}  // namespace

void Vm::RegisterNative(int table, int index, Object* function) {
    if (function) natives_[NativeKey(table, index)] = function;
}

Object* Vm::NativeAt(int table, int index) const {
    auto it = natives_.find(NativeKey(table, index));
    return it == natives_.end() ? nullptr : it->second;
}

std::optional<Value> Vm::callExternalCallback(std::string_view name,
                                              const std::vector<Value>& args) {
    for (auto& c : callbacks_) {
        if (c.first != name) continue;
        // Stored as [instance, function] pairs in a two-element array.
        Object* pair = c.second.asObject();
        if (!pair || pair->elements().size() < 2) return std::nullopt;
        return call(pair->elements()[1], pair->elements()[0], args);
    }
    return std::nullopt;
}

}  // namespace kestrel::avm1
