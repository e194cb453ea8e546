#include "player/avm1/object.h"

#include "common/unicode_case.h"
#include "player/avm1/function.h"

namespace kestrel::avm1 {

namespace {

bool sameName(std::string_view a, std::string_view b, bool caseSensitive) {
    if (caseSensitive) {
        if (a.size() != b.size()) return false;
        // Names are short: a plain loop beats a call to memcmp.
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i] != b[i]) return false;
        return true;
    }
    return NamesEqualIgnoringCase(a, b);
}

constexpr size_t kIndexThreshold = 16;

}  // namespace

bool VisibleToVersion(uint16_t flags, int swfVersion) {
    if ((flags & kFromVersion6) && swfVersion < 6) return false;
    if ((flags & kHiddenInVersion6) && swfVersion == 6) return false;
    if ((flags & kFromVersion7) && swfVersion < 7) return false;
    if ((flags & kFromVersion8) && swfVersion < 8) return false;
    if ((flags & kFromVersion9) && swfVersion < 9) return false;
    if ((flags & kFromVersion10) && swfVersion < 10) return false;
    return true;
}

Property* Object::findOwn(std::string_view name, bool caseSensitive) {
    if (properties_.size() <= kIndexThreshold) {
        for (Property& p : properties_)
            if (sameName(p.name, name, caseSensitive)) return &p;
        return nullptr;
    }
    if (index_.empty()) {
        index_.reserve(properties_.size());
        for (size_t i = 0; i < properties_.size(); ++i)
            index_.emplace(NameCaseFolded(properties_[i].name), i);
    }
    // The first property in insertion order wins when several differ only in case.
    size_t best = properties_.size();
    auto range = index_.equal_range(NameCaseFolded(name));
    for (auto it = range.first; it != range.second; ++it)
        if (it->second < best && sameName(properties_[it->second].name, name, caseSensitive))
            best = it->second;
    return best < properties_.size() ? &properties_[best] : nullptr;
}

const Property* Object::findOwn(std::string_view name, bool caseSensitive) const {
    return const_cast<Object*>(this)->findOwn(name, caseSensitive);
}

Property& Object::define(std::string_view name, Value value, uint16_t flags) {
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
    if (!index_.empty()) index_.emplace(NameCaseFolded(name), properties_.size() - 1);
    return properties_.back();
}

Property& Object::defineNative(std::string_view name, NativeGetter getter, NativeSetter setter,
                               uint16_t flags) {
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
            index_.clear();
            return true;
        }
    }
    return false;
}

}  // namespace kestrel::avm1
