// Script objects: ordered properties with flags, __proto__, native accessors and host data.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "player/avm1/value.h"

namespace kestrel::avm1 {

class Vm;
class Object;
struct FunctionData;
class Marker;

// Property attribute bits, as ASSetPropFlags numbers them. The version bits hide a
// property from movies of some versions: it reads as undefined and an assignment replaces
// it, though it still exists (for..in lists it, hasOwnProperty and delete find it).
enum PropertyFlags : uint16_t {
    kDontEnum = 1,
    kDontDelete = 2,
    kReadOnly = 4,
    kFromVersion6 = 1 << 7,
    kHiddenInVersion6 = 1 << 8,
    kFromVersion7 = 1 << 10,
    kFromVersion8 = 1 << 12,
    kFromVersion9 = 1 << 13,
    kFromVersion10 = 1 << 14,
};
// Every bit ASSetPropFlags can set or clear.
constexpr uint16_t kSettablePropertyFlags = kDontEnum | kDontDelete | kReadOnly | kFromVersion6 |
                                            kHiddenInVersion6 | kFromVersion7 | kFromVersion8 |
                                            kFromVersion9 | kFromVersion10;
// False when the flags hide a property from movies of this version.
bool VisibleToVersion(uint16_t flags, int swfVersion);

// Native accessor pair for properties the host computes (a clip's _x, a text field's text).
// A missing setter makes the property read-only for scripts.
using NativeGetter = std::function<Value(Vm&, Object& self)>;
using NativeSetter = std::function<void(Vm&, Object& self, const Value& value)>;

struct Property {
    std::string name;
    Value value;
    uint16_t flags = 0;
    // addProperty-style accessors written in script (function objects), or null.
    Object* getter = nullptr;
    Object* setter = nullptr;
    // Accessors supplied by the host in C++; used when set.
    std::shared_ptr<const NativeGetter> nativeGetter;
    std::shared_ptr<const NativeSetter> nativeSetter;
    // Script accessors running now, nested in one another (see Vm::CallScriptGetter).
    uint8_t getterDepth = 0;
    uint8_t setterDepth = 0;

    bool isAccessor() const { return getter || setter || nativeGetter || nativeSetter; }
    bool visibleTo(int swfVersion) const {
        constexpr uint16_t kVersionFlags = kFromVersion6 | kHiddenInVersion6 | kFromVersion7 |
                                           kFromVersion8 | kFromVersion9 | kFromVersion10;
        return !(flags & kVersionFlags) || VisibleToVersion(flags, swfVersion);
    }
};

// What an object is underneath; built-ins use it to find their internal state.
enum class ObjectKind : uint8_t {
    Plain,
    Function,
    Array,
    Boolean,  // boxed primitive: primitive() holds the value
    Number,
    String,
    Date,  // primitive() holds the time value in milliseconds
    Arguments,
    Host,   // created by the host (clips, text fields...), see nativeData()
    Super,  // the `super` of a method call, see SuperData in interpreter.h
};

// State a host attaches to an object (for example the display object behind a clip).
// markReferences lets host data keep other script objects alive.
class NativeData {
  public:
    virtual ~NativeData() = default;
    virtual void markReferences(Marker&) {}
    // What typeof answers for the object ("movieclip"), or nullptr for "object".
    virtual const char* typeOfName() const { return nullptr; }
    // Members the host resolves by name after the object's own properties (a clip's
    // children by instance name). False when there is no such member.
    virtual bool lookupDynamic(std::string_view name, bool caseSensitive, Value& out) {
        return false;
    }
};

// Objects live on the Vm heap and are freed by its collector; never delete one yourself.
class Object {
  public:
    explicit Object(ObjectKind kind = ObjectKind::Plain) : kind_(kind) {}
    virtual ~Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    ObjectKind kind() const { return kind_; }
    void setKind(ObjectKind kind) { kind_ = kind; }

    Object* proto() const { return proto_; }
    void setProto(Object* proto) { proto_ = proto; }

    // Own properties in insertion order. Lookup honours the movie's case rule:
    // caseSensitive is false for SWF version 6 and below.
    Property* findOwn(std::string_view name, bool caseSensitive);
    const Property* findOwn(std::string_view name, bool caseSensitive) const;
    // Adds or overwrites an own data property, keeping the position of an existing one.
    // Ignores ReadOnly (used by built-ins and the host to set up objects).
    Property& define(std::string_view name, Value value, uint16_t flags = 0);
    // Adds a native accessor property (used by the host for MovieClip._x and friends).
    Property& defineNative(std::string_view name, NativeGetter getter, NativeSetter setter,
                           uint16_t flags = kDontEnum);
    // Removes an own property unless it is DontDelete; true when removed.
    bool remove(std::string_view name, bool caseSensitive);
    const std::vector<Property>& properties() const { return properties_; }
    // Direct access for flag changes and bulk edits; adding or removing entries through it
    // must be followed by propertiesChanged().
    std::vector<Property>& properties() { return properties_; }
    void propertiesChanged() { index_.clear(); }

    // Boxed primitive or Date value.
    const Value& primitive() const { return primitive_; }
    void setPrimitive(Value v) { primitive_ = std::move(v); }

    // Function payload; non-null exactly for kind Function.
    const std::shared_ptr<FunctionData>& function() const { return function_; }
    void setFunction(std::shared_ptr<FunctionData> f) { function_ = std::move(f); }

    // Dense element storage of Array objects (index properties live here, not in properties()).
    std::vector<Value>& elements() { return elements_; }
    const std::vector<Value>& elements() const { return elements_; }

    // The order in which an array's elements were created, when it is not index order
    // (empty otherwise; see array_storage.h).
    std::vector<uint32_t>& elementOrder() { return elementOrder_; }
    const std::vector<uint32_t>& elementOrder() const { return elementOrder_; }

    // An array's length when its elements do not give it (see array_storage.h).
    const std::optional<int32_t>& lengthBeyondElements() const { return lengthBeyondElements_; }
    void setLengthBeyondElements(std::optional<int32_t> length) { lengthBeyondElements_ = length; }

    // Host state; the object owns it.
    NativeData* nativeData() const { return nativeData_.get(); }
    void setNativeData(std::unique_ptr<NativeData> data) { nativeData_ = std::move(data); }

    // Attributes of the built-in __proto__ member (ASSetPropFlags can make it deletable).
    uint16_t protoFlags() const { return protoFlags_; }
    void setProtoFlags(uint16_t flags) { protoFlags_ = flags; }

    // Object.watch: assignments to a watched name go through the callback first.
    struct Watch {
        std::string name;
        Object* callback = nullptr;  // heap-managed
        Value userData;
        uint8_t depth = 0;  // callbacks running now, nested in one another
    };
    std::vector<Watch>& watches() { return watches_; }
    const std::vector<Watch>& watches() const { return watches_; }

    // Collector bookkeeping.
    bool marked() const { return marked_; }
    void setMarked(bool m) { marked_ = m; }

  private:
    ObjectKind kind_;
    bool marked_ = false;
    Object* proto_ = nullptr;  // not owned: heap-managed
    std::vector<Property> properties_;
    Value primitive_;
    std::shared_ptr<FunctionData> function_;
    std::vector<Value> elements_;
    std::optional<int32_t> lengthBeyondElements_;
    std::vector<uint32_t> elementOrder_;
    std::unique_ptr<NativeData> nativeData_;
    // Lower-cased name -> position, built once an object has many properties so lookups
    // stay fast on big objects.
    mutable std::unordered_multimap<std::string, size_t> index_;
    uint16_t protoFlags_ = kDontEnum | kDontDelete;
    std::vector<Watch> watches_;
};

// Visits reachable objects during a collection.
class Marker {
  public:
    virtual ~Marker() = default;
    virtual void mark(Object* object) = 0;
    void mark(const Value& value) {
        if (value.isObject()) mark(value.asObject());
    }
};

}  // namespace kestrel::avm1
