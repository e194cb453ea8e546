// Global functions: parseInt, parseFloat, isNaN, isFinite, escape, unescape, setInterval,
// clearInterval, setTimeout, clearTimeout, ASSetPropFlags.
#include <cmath>
#include <limits>

#include "player/avm1/builtins.h"
#include "player/avm1/conversions.h"
#include "player/avm1/object.h"

namespace kestrel::avm1 {

namespace {

bool isAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// setInterval(function, ms, args...) or setInterval(object, "method", ms, args...).
Value addInterval(NativeCall& c, bool repeat) {
    Vm& vm = c.vm;
    Vm::Interval iv;
    size_t next = 0;
    Object* first = c.arg(0).asObject();
    if (!first) return Value();
    if (first->function()) {
        iv.function = c.arg(0);
        next = 1;
    } else {
        iv.function = c.arg(0);
        iv.method = vm.toString(c.arg(1));
        next = 2;
    }
    double period = vm.toNumber(c.arg(next));
    if (std::isnan(period) || period < 0) period = 0;
    // A zero period would spin; Flash runs such intervals at most once per frame anyway.
    iv.periodMs = std::max(period, 1.0);
    for (size_t i = next + 1; i < c.args.size(); ++i) iv.args.push_back(c.args[i]);
    iv.id = vm.nextIntervalId();
    iv.nextDueMs = vm.host().timerMs() + iv.periodMs;
    if (!repeat) iv.periodMs = -1;
    vm.intervals().push_back(std::move(iv));
    return Value(static_cast<double>(vm.intervals().back().id));
}

Value clearInterval(NativeCall& c) {
    double id = c.vm.toNumber(c.arg(0));
    auto& list = c.vm.intervals();
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->id == id) {
            list.erase(it);
            break;
        }
    }
    return Value();
}

Value asSetPropFlags(NativeCall& c) {
    Object* o = c.arg(0).asObject();
    if (!o) return Value();
    Vm& vm = c.vm;
    uint16_t set = static_cast<uint16_t>(toInt32(vm.toNumber(c.arg(2))) & kSettablePropertyFlags);
    uint16_t clear = static_cast<uint16_t>(toInt32(vm.toNumber(c.arg(3))) & kSettablePropertyFlags);
    auto apply = [&](Property& p) { p.flags = static_cast<uint16_t>((p.flags & ~clear) | set); };
    Value names = c.arg(1);
    if (names.isNull()) {
        for (Property& p : o->properties()) apply(p);
        return Value();
    }
    std::vector<std::string> list;
    if (Object* a = names.asObject(); a && a->kind() == ObjectKind::Array) {
        for (const Value& v : a->elements()) list.push_back(vm.toString(v));
    } else {
        std::string text = vm.toString(names);
        size_t pos = 0;
        while (pos <= text.size()) {
            size_t comma = text.find(',', pos);
            if (comma == std::string::npos) comma = text.size();
            list.push_back(text.substr(pos, comma - pos));
            pos = comma + 1;
        }
    }
    for (const auto& n : list) {
        if (Property* p = o->findOwn(n, vm.caseSensitive()))
            apply(*p);
        else if (n == "__proto__")
            o->setProtoFlags(static_cast<uint16_t>((o->protoFlags() & ~clear) | set));
    }
    return Value();
}

}  // namespace

void installGlobalFunctions(Vm& vm) {
    Object* g = vm.global();
    g->define("NaN", Value(std::nan("")), kDontEnum | kDontDelete);
    g->define("Infinity", Value(std::numeric_limits<double>::infinity()), kDontEnum | kDontDelete);
    vm.defineMethod(g, "parseInt", [](NativeCall& c) {
        std::string s = c.vm.toString(c.arg(0));
        bool radixGiven = !c.arg(1).isUndefined();
        int radix = radixGiven ? toInt32(c.vm.toNumber(c.arg(1))) : 10;
        return Value(parseIntText(s, radix, radixGiven, c.vm.swfVersion()));
    });
    vm.defineMethod(g, "parseFloat",
                    [](NativeCall& c) { return Value(parseFloatText(c.vm.toString(c.arg(0)))); });
    // Without an argument there is no number: isNaN() is true, isFinite() false, whatever
    // undefined converts to in the movie's version.
    vm.defineMethod(g, "isNaN", [](NativeCall& c) {
        return Value(c.args.empty() || std::isnan(c.vm.toNumber(c.args[0])));
    });
    vm.defineMethod(g, "isFinite", [](NativeCall& c) {
        return Value(!c.args.empty() && std::isfinite(c.vm.toNumber(c.args[0])));
    });
    vm.defineMethod(g, "escape", [](NativeCall& c) {
        std::string s = c.vm.toString(c.arg(0));
        std::string out;
        static const char* kHex = "0123456789ABCDEF";
        for (char ch : s) {
            auto u = static_cast<unsigned char>(ch);
            if (isAlnum(u)) {
                out += ch;
            } else {
                out += '%';
                out += kHex[u >> 4];
                out += kHex[u & 15];
            }
        }
        return Value(out);
    });
    vm.defineMethod(g, "unescape", [](NativeCall& c) {
        std::string s = c.vm.toString(c.arg(0));
        std::string out;
        for (size_t i = 0; i < s.size(); ++i) {
            if (s[i] == '%' && i + 2 < s.size() + 0 && hexValue(s[i + 1]) >= 0 &&
                hexValue(s[i + 2]) >= 0) {
                out += static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
                i += 2;
            } else {
                out += s[i];
            }
        }
        return Value(out);
    });
    vm.defineMethod(g, "setInterval", [](NativeCall& c) { return addInterval(c, true); });
    vm.defineMethod(g, "setTimeout", [](NativeCall& c) { return addInterval(c, false); });
    vm.defineMethod(g, "clearInterval", clearInterval);
    vm.defineMethod(g, "clearTimeout", clearInterval);
    vm.defineMethod(g, "ASSetPropFlags", asSetPropFlags);
}

}  // namespace kestrel::avm1
