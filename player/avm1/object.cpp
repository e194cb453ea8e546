#include "object.h"

#include "function.h"

namespace kestrel::avm1 {

namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b, bool caseSensitive) {
    if (a.size() != b.size()) return false;
    if (caseSensitive) return a == b;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

}  // namespace

Property* Object::findOwn(std::string_view name, bool caseSensitive) {
    for (Property& p : properties_)
        if (sameName(p.name, name, caseSensitive)) return &p;
    return nullptr;
}

const Property* Object::findOwn(std::string_view name, bool caseSensitive) const {
    return const_cast<Object*>(this)->findOwn(name, caseSensitive);
}

Property& Object::define(std::string_view name, Value value, uint8_t flags) {
    if (Property* p = findOwn(name, true)) {
        p->value = std::move(value);
        p->flags = flags;
        p->getter = p->setter = nullptr;
        p->nativeGetter.reset();
        p->nativeSetter.reset();
        return *p;
    }
    Property p;
    p.name = std::string(name);
    p.value = std::move(value);
    p.flags = flags;
    properties_.push_back(std::move(p));
    return properties_.back();
}

Property& Object::defineNative(std::string_view name, NativeGetter getter, NativeSetter setter,
                               uint8_t flags) {
    Property& p = define(name, Value(), flags);
    if (getter) p.nativeGetter = std::make_shared<const NativeGetter>(std::move(getter));
    if (setter) p.nativeSetter = std::make_shared<const NativeSetter>(std::move(setter));
    return p;
}

bool Object::remove(std::string_view name, bool caseSensitive) {
    for (auto it = properties_.begin(); it != properties_.end(); ++it) {
        if (sameName(it->name, name, caseSensitive)) {
            if (it->flags & kDontDelete) return false;
            properties_.erase(it);
            return true;
        }
    }
    return false;
}

}  // namespace kestrel::avm1
