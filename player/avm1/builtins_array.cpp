// Array.
#include <algorithm>
#include <cmath>

#include "common/ascii_case.h"
#include "player/avm1/array_storage.h"
#include "player/avm1/builtins.h"
#include "player/avm1/conversions.h"
#include "player/avm1/object.h"

namespace kestrel::avm1 {

namespace {

enum SortOptions {
    kCaseInsensitive = 1,
    kDescending = 2,
    kUniqueSort = 4,
    kReturnIndexedArray = 8,
    kNumeric = 16,
};

Object* thisArray(NativeCall& c) {
    Object* o = c.thisObject();
    return o && o->kind() == ObjectKind::Array ? o : nullptr;
}

// The methods work on the elements kept in order: one that changes them makes the length
// theirs again, and gives an empty slot out as a plain undefined.
Object* thisArrayToChange(NativeCall& c) {
    Object* o = thisArray(c);
    if (o) ArrayElementsRearranged(*o);
    return o;
}

Value SlotValue(const Value& v) {
    return v.isHole() ? Value() : v;
}

// Relative index as slice and splice read it: negative counts from the end.
size_t clampIndex(Vm& vm, const Value& v, size_t length, size_t fallback) {
    if (v.isUndefined()) return fallback;
    double d = vm.toNumber(v);
    if (std::isnan(d)) return 0;
    d = std::trunc(d);
    if (d < 0) d = std::max(0.0, static_cast<double>(length) + d);
    return static_cast<size_t>(std::min(d, static_cast<double>(length)));
}

std::string elementText(Vm& vm, const Value& v) {
    return v.isUndefined() ? std::string("undefined") : vm.toString(v);
}

std::string join(Vm& vm, Object* a, const std::string& sep) {
    std::string out;
    const auto& el = a->elements();
    for (size_t i = 0; i < el.size(); ++i) {
        if (i) out += sep;
        out += elementText(vm, el[i]);
        if (out.size() > vm.limits().maxStringLength) break;
    }
    return out;
}

// Only arrays keep elements: another object that borrows join has its length and
// nothing in it, whatever its indexed properties say.
std::string JoinOfNonArray(Vm& vm, Object& self, const std::string& sep) {
    double length = vm.toNumber(vm.getMember(Value(&self), "length"));
    if (!(length > 0)) return "";
    size_t count = static_cast<size_t>(std::min(length, double(vm.limits().maxArrayLength)));
    std::string out;
    for (size_t i = 0; i < count && out.size() <= vm.limits().maxStringLength; ++i) {
        if (i) out += sep;
        out += "undefined";
    }
    return out;
}

Value arrayConstruct(NativeCall& c) {
    Object* self = c.thisObject();
    if (!self) return Value();
    self->setKind(ObjectKind::Array);
    auto& el = self->elements();
    el.clear();
    if (c.args.size() == 1 && c.args[0].isNumber()) {
        double n = c.args[0].asNumber();
        if (n >= 0 && n == std::trunc(n))
            SetArrayLength(*self, toInt32(n), c.vm.limits().maxArrayLength);
        else
            el.push_back(c.args[0]);
    } else {
        el = c.args;
    }
    return c.thisValue;
}

Value arrayCall(NativeCall& c) {
    Object* a = c.vm.newArray();
    NativeCall inner{c.vm, Value(a), c.args, c.callee};
    return arrayConstruct(inner);
}

int compareValues(Vm& vm, const Value& a, const Value& b, int options) {
    if (options & kNumeric) {
        double x = vm.toNumber(a), y = vm.toNumber(b);
        if (a.isNumber() || b.isNumber() || (!std::isnan(x) && !std::isnan(y))) {
            if (std::isnan(x) && std::isnan(y)) return 0;
            if (std::isnan(x)) return 1;
            if (std::isnan(y)) return -1;
            return x < y ? -1 : (x > y ? 1 : 0);
        }
    }
    std::string x = elementText(vm, a), y = elementText(vm, b);
    if (options & kCaseInsensitive) {
        x = AsciiLowered(x);
        y = AsciiLowered(y);
    }
    return x < y ? -1 : (x > y ? 1 : 0);
}

// Sorts values with a three-way comparison; returns false when UNIQUESORT found equal keys.
template <typename Compare>
Value sortArray(Vm& vm, Object* a, int options, Compare compare) {
    auto& el = a->elements();
    std::vector<size_t> order(el.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    bool descending = options & kDescending;
    bool duplicate = false;
    std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
        int r = compare(el[x], el[y]);
        if (r == 0) duplicate = true;
        return descending ? r > 0 : r < 0;
    });
    if ((options & kUniqueSort) && duplicate) return Value(0.0);
    if (options & kReturnIndexedArray) {
        std::vector<Value> indices;
        for (size_t i : order) indices.push_back(Value(static_cast<double>(i)));
        return Value(vm.newArray(std::move(indices)));
    }
    std::vector<Value> sorted;
    sorted.reserve(el.size());
    for (size_t i : order) sorted.push_back(el[i]);
    el = std::move(sorted);
    return Value(a);
}

Value arraySort(NativeCall& c) {
    Object* a = thisArrayToChange(c);
    if (!a) return Value();
    Vm& vm = c.vm;
    Object* compareFn = nullptr;
    int options = 0;
    size_t optionArg = 0;
    if (Object* f = c.arg(0).asObject(); f && f->function()) {
        compareFn = f;
        optionArg = 1;
    }
    if (c.args.size() > optionArg) options = toInt32(vm.toNumber(c.args[optionArg]));
    if (compareFn) {
        return sortArray(vm, a, options, [&](const Value& x, const Value& y) {
            auto r = vm.call(Value(compareFn), Value(), {x, y});
            double d = r ? vm.toNumber(*r) : 0;
            return d < 0 ? -1 : (d > 0 ? 1 : 0);
        });
    }
    return sortArray(vm, a, options, [&](const Value& x, const Value& y) {
        return compareValues(vm, x, y, options);
    });
}

Value arraySortOn(NativeCall& c) {
    Object* a = thisArrayToChange(c);
    if (!a) return Value();
    Vm& vm = c.vm;
    std::vector<std::string> fields;
    std::vector<int> fieldOptions;
    if (Object* list = c.arg(0).asObject(); list && list->kind() == ObjectKind::Array) {
        for (const Value& v : list->elements()) fields.push_back(vm.toString(v));
    } else {
        fields.push_back(vm.toString(c.arg(0)));
    }
    int options = 0;
    if (Object* list = c.arg(1).asObject(); list && list->kind() == ObjectKind::Array) {
        for (const Value& v : list->elements()) fieldOptions.push_back(toInt32(vm.toNumber(v)));
    } else if (c.args.size() > 1) {
        options = toInt32(vm.toNumber(c.args[1]));
    }
    return sortArray(
        vm, a, options & (kUniqueSort | kReturnIndexedArray), [&](const Value& x, const Value& y) {
            for (size_t i = 0; i < fields.size(); ++i) {
                int o = i < fieldOptions.size() ? fieldOptions[i] : options;
                int r =
                    compareValues(vm, vm.getMember(x, fields[i]), vm.getMember(y, fields[i]), o);
                if (o & kDescending) r = -r;
                if (options & kDescending && i >= fieldOptions.size()) r = -r;
                if (r != 0) return r;
            }
            return 0;
        });
}

}  // namespace

void installArrayBuiltins(Vm& vm) {
    Object* proto = vm.arrayPrototype();
    Object* ctor = defineClass(vm, "Array", arrayCall, arrayConstruct, proto);
    ctor->define("CASEINSENSITIVE", Value(1.0), kDontEnum | kDontDelete | kReadOnly);
    ctor->define("DESCENDING", Value(2.0), kDontEnum | kDontDelete | kReadOnly);
    ctor->define("UNIQUESORT", Value(4.0), kDontEnum | kDontDelete | kReadOnly);
    ctor->define("RETURNINDEXEDARRAY", Value(8.0), kDontEnum | kDontDelete | kReadOnly);
    ctor->define("NUMERIC", Value(16.0), kDontEnum | kDontDelete | kReadOnly);

    vm.defineMethod(proto, "push", [](NativeCall& c) -> Value {
        Object* a = thisArrayToChange(c);
        if (!a) return Value();
        for (const Value& v : c.args)
            if (a->elements().size() < c.vm.limits().maxArrayLength) a->elements().push_back(v);
        return Value(static_cast<double>(a->elements().size()));
    });
    vm.defineMethod(proto, "pop", [](NativeCall& c) -> Value {
        Object* a = thisArrayToChange(c);
        if (!a || a->elements().empty()) return Value();
        Value v = SlotValue(a->elements().back());
        a->elements().pop_back();
        return v;
    });
    vm.defineMethod(proto, "shift", [](NativeCall& c) -> Value {
        Object* a = thisArrayToChange(c);
        if (!a || a->elements().empty()) return Value();
        Value v = SlotValue(a->elements().front());
        a->elements().erase(a->elements().begin());
        return v;
    });
    vm.defineMethod(proto, "unshift", [](NativeCall& c) -> Value {
        Object* a = thisArrayToChange(c);
        if (!a) return Value();
        a->elements().insert(a->elements().begin(), c.args.begin(), c.args.end());
        return Value(static_cast<double>(a->elements().size()));
    });
    vm.defineMethod(proto, "join", [](NativeCall& c) -> Value {
        std::string sep = c.arg(0).isUndefined() ? "," : c.vm.toString(c.arg(0));
        if (Object* a = thisArray(c)) return Value(join(c.vm, a, sep));
        if (!c.thisObject()) return Value();
        return Value(JoinOfNonArray(c.vm, *c.thisObject(), sep));
    });
    vm.defineMethod(proto, "toString", [](NativeCall& c) -> Value {
        if (Object* a = thisArray(c)) return Value(join(c.vm, a, ","));
        if (!c.thisObject()) return Value("[object Object]");
        return Value(JoinOfNonArray(c.vm, *c.thisObject(), ","));
    });
    vm.defineMethod(proto, "reverse", [](NativeCall& c) -> Value {
        Object* a = thisArrayToChange(c);
        if (!a) return Value();
        std::reverse(a->elements().begin(), a->elements().end());
        return Value(a);
    });
    vm.defineMethod(proto, "concat", [](NativeCall& c) -> Value {
        Object* a = thisArray(c);
        std::vector<Value> out;
        if (a) out = a->elements();
        for (const Value& v : c.args) {
            Object* o = v.asObject();
            if (o && o->kind() == ObjectKind::Array)
                out.insert(out.end(), o->elements().begin(), o->elements().end());
            else
                out.push_back(v);
            if (out.size() > c.vm.limits().maxArrayLength) break;
        }
        return Value(c.vm.newArray(std::move(out)));
    });
    vm.defineMethod(proto, "slice", [](NativeCall& c) -> Value {
        Object* a = thisArray(c);
        if (!a) return Value();
        size_t len = a->elements().size();
        size_t start = clampIndex(c.vm, c.arg(0), len, 0);
        size_t end = clampIndex(c.vm, c.arg(1), len, len);
        std::vector<Value> out;
        if (start < end) out.assign(a->elements().begin() + start, a->elements().begin() + end);
        return Value(c.vm.newArray(std::move(out)));
    });
    vm.defineMethod(proto, "splice", [](NativeCall& c) -> Value {
        Object* a = thisArrayToChange(c);
        if (!a || c.args.empty()) return Value();
        auto& el = a->elements();
        size_t len = el.size();
        size_t start = clampIndex(c.vm, c.arg(0), len, 0);
        size_t count = len - start;
        if (c.args.size() > 1) {
            double d = c.vm.toNumber(c.args[1]);
            if (std::isnan(d) || d < 0) d = 0;
            count = static_cast<size_t>(std::min(std::trunc(d), static_cast<double>(len - start)));
        }
        std::vector<Value> removed(el.begin() + start, el.begin() + start + count);
        el.erase(el.begin() + start, el.begin() + start + count);
        if (c.args.size() > 2) el.insert(el.begin() + start, c.args.begin() + 2, c.args.end());
        return Value(c.vm.newArray(std::move(removed)));
    });
    vm.defineMethod(proto, "sort", arraySort);
    vm.defineMethod(proto, "sortOn", arraySortOn);
}

}  // namespace kestrel::avm1
