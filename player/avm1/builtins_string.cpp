// String.
#include <cmath>

#include "player/avm1/builtins.h"
#include "player/avm1/object.h"
#include "player/avm1/utf8.h"

namespace kestrel::avm1 {

namespace {

std::string thisString(NativeCall& c) {
    if (c.thisValue.isString()) return c.thisValue.asString();
    Object* o = c.thisObject();
    if (o && o->kind() == ObjectKind::String) return o->primitive().asString();
    return c.vm.toString(c.thisValue);
}

// Integer argument; NaN counts as 0.
double intArg(NativeCall& c, size_t i) {
    double d = c.vm.toNumber(c.arg(i));
    return std::isnan(d) ? 0 : std::trunc(d);
}

Value substring(const std::u32string& s, double start, double end) {
    double len = static_cast<double>(s.size());
    start = std::min(std::max(start, 0.0), len);
    end = std::min(std::max(end, 0.0), len);
    if (start > end) std::swap(start, end);
    return Value(
        encodeUtf8(s.substr(static_cast<size_t>(start), static_cast<size_t>(end - start))));
}

Value stringConstruct(NativeCall& c) {
    Object* self = c.thisObject();
    if (!self) return Value();
    std::string s = c.args.empty() ? std::string() : c.vm.toString(c.args[0]);
    self->setKind(ObjectKind::String);
    self->define("length", Value(static_cast<double>(utf8Length(s))), kDontEnum | kDontDelete);
    self->setPrimitive(Value(std::move(s)));
    return c.thisValue;
}

size_t findFrom(const std::u32string& s, const std::u32string& what, size_t from) {
    if (from > s.size()) return std::u32string::npos;
    return s.find(what, from);
}

}  // namespace

void installStringBuiltins(Vm& vm) {
    Object* proto = vm.newObject();
    Object* ctor = defineClass(
        vm, "String",
        [](NativeCall& c) {
            return Value(c.args.empty() ? std::string() : c.vm.toString(c.args[0]));
        },
        stringConstruct, proto);
    vm.defineMethod(ctor, "fromCharCode", [](NativeCall& c) {
        std::string out;
        for (const Value& v : c.args) {
            uint32_t code = static_cast<uint32_t>(static_cast<int32_t>(c.vm.toNumber(v))) & 0xFFFF;
            if (code) appendUtf8(out, code);
        }
        return Value(out);
    });
    vm.defineMethod(proto, "toString", [](NativeCall& c) { return Value(thisString(c)); });
    vm.defineMethod(proto, "valueOf", [](NativeCall& c) { return Value(thisString(c)); });
    vm.defineMethod(proto, "charAt", [](NativeCall& c) {
        std::u32string s = decodeUtf8(thisString(c));
        double i = intArg(c, 0);
        if (i < 0 || i >= static_cast<double>(s.size())) return Value("");
        return Value(encodeUtf8(s.substr(static_cast<size_t>(i), 1)));
    });
    vm.defineMethod(proto, "charCodeAt", [](NativeCall& c) {
        std::u32string s = decodeUtf8(thisString(c));
        double i = intArg(c, 0);
        if (i < 0 || i >= static_cast<double>(s.size())) return Value(std::nan(""));
        return Value(static_cast<double>(s[static_cast<size_t>(i)]));
    });
    vm.defineMethod(proto, "concat", [](NativeCall& c) {
        std::string s = thisString(c);
        for (const Value& v : c.args) s += c.vm.toString(v);
        return Value(s);
    });
    vm.defineMethod(proto, "indexOf", [](NativeCall& c) {
        std::u32string s = decodeUtf8(thisString(c));
        std::u32string what = decodeUtf8(c.vm.toString(c.arg(0)));
        double from = std::max(0.0, intArg(c, 1));
        size_t r = findFrom(s, what, static_cast<size_t>(std::min(from, 1e9)));
        return Value(r == std::u32string::npos ? -1.0 : static_cast<double>(r));
    });
    vm.defineMethod(proto, "lastIndexOf", [](NativeCall& c) {
        std::u32string s = decodeUtf8(thisString(c));
        std::u32string what = decodeUtf8(c.vm.toString(c.arg(0)));
        size_t from = std::u32string::npos;
        if (c.args.size() > 1) {
            double d = intArg(c, 1);
            if (d < 0) return Value(-1.0);
            from = static_cast<size_t>(std::min(d, 1e9));
        }
        size_t r = s.rfind(what, from);
        return Value(r == std::u32string::npos ? -1.0 : static_cast<double>(r));
    });
    vm.defineMethod(proto, "substring", [](NativeCall& c) {
        std::u32string s = decodeUtf8(thisString(c));
        double end = c.arg(1).isUndefined() ? static_cast<double>(s.size()) : intArg(c, 1);
        return substring(s, intArg(c, 0), end);
    });
    vm.defineMethod(proto, "substr", [](NativeCall& c) {
        std::u32string s = decodeUtf8(thisString(c));
        double len = static_cast<double>(s.size());
        double start = intArg(c, 0);
        if (start < 0) start = std::max(0.0, len + start);
        start = std::min(start, len);
        double count = c.arg(1).isUndefined() ? len - start : intArg(c, 1);
        if (count < 0) {
            // A negative length counts from the end, and gives nothing once it reaches it.
            count += len;
            if (count < 0 || start + count >= len) return Value("");
        }
        count = std::min(count, len - start);
        return Value(encodeUtf8(s.substr(static_cast<size_t>(start), static_cast<size_t>(count))));
    });
    vm.defineMethod(proto, "slice", [](NativeCall& c) {
        std::u32string s = decodeUtf8(thisString(c));
        double len = static_cast<double>(s.size());
        double start = intArg(c, 0);
        double end = c.arg(1).isUndefined() ? len : intArg(c, 1);
        if (start < 0) start = std::max(0.0, len + start);
        if (end < 0) end = std::max(0.0, len + end);
        start = std::min(start, len);
        end = std::min(end, len);
        if (start >= end) return Value("");
        return Value(
            encodeUtf8(s.substr(static_cast<size_t>(start), static_cast<size_t>(end - start))));
    });
    vm.defineMethod(proto, "split", [](NativeCall& c) {
        std::string text = thisString(c);
        std::vector<Value> parts;
        size_t limit = c.vm.limits().maxArrayLength;
        if (!c.arg(1).isUndefined()) {
            double l = c.vm.toNumber(c.arg(1));
            if (!std::isnan(l))
                limit = static_cast<size_t>(std::max(0.0, std::min(l, static_cast<double>(limit))));
        }
        if (c.arg(0).isUndefined()) {
            parts.push_back(Value(text));
        } else {
            std::string sep = c.vm.toString(c.arg(0));
            if (sep.empty()) {
                std::u32string s = decodeUtf8(text);
                for (size_t i = 0; i < s.size() && parts.size() < limit; ++i)
                    parts.push_back(Value(encodeUtf8(s.substr(i, 1))));
            } else {
                size_t pos = 0;
                while (parts.size() < limit) {
                    size_t hit = text.find(sep, pos);
                    if (hit == std::string::npos) {
                        parts.push_back(Value(text.substr(pos)));
                        break;
                    }
                    parts.push_back(Value(text.substr(pos, hit - pos)));
                    pos = hit + sep.size();
                }
            }
        }
        if (parts.size() > limit) parts.resize(limit);
        return Value(c.vm.newArray(std::move(parts)));
    });
    vm.defineMethod(proto, "toUpperCase", [](NativeCall& c) {
        std::u32string s = decodeUtf8(thisString(c));
        for (auto& ch : s) {
            if ((ch >= 'a' && ch <= 'z') || (ch >= 0xE0 && ch <= 0xFE && ch != 0xF7)) ch -= 32;
        }
        return Value(encodeUtf8(s));
    });
    vm.defineMethod(proto, "toLowerCase", [](NativeCall& c) {
        std::u32string s = decodeUtf8(thisString(c));
        for (auto& ch : s) {
            if ((ch >= 'A' && ch <= 'Z') || (ch >= 0xC0 && ch <= 0xDE && ch != 0xD7)) ch += 32;
        }
        return Value(encodeUtf8(s));
    });
}

}  // namespace kestrel::avm1
