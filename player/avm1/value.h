// A script value of the ActionScript 1/2 engine.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace kestrel::avm1 {

class Object;

enum class ValueType { Undefined, Null, Boolean, Number, String, Object };

// Values are 16 bytes and cheap to copy: a string is shared, immutable text whose count of
// holders lives beside it, so pushing, popping and storing one never copies characters.
// The count is not atomic: values belong to their Vm's one thread. Objects are owned by the
// Vm's heap; a Value only refers to one (the collector keeps it alive while a root reaches it).
class Value {
  public:
    Value() : bits_(0) {}
    static Value undefined() { return Value(); }
    // An array slot that holds nothing (new Array(3), or below an index written past the
    // end): it reads as undefined, but the slot does not exist (for..in skips it).
    static Value hole() {
        Value v;
        v.hole_ = true;
        return v;
    }
    static Value null() {
        Value v;
        v.type_ = ValueType::Null;
        return v;
    }
    Value(bool b) : type_(ValueType::Boolean), bits_(b ? 1 : 0) {}
    Value(double d) : type_(ValueType::Number), number_(d) {}
    Value(int i) : type_(ValueType::Number), number_(i) {}
    Value(std::string s)
        : type_(ValueType::String), bits_(FromPointer(new Text{1, std::move(s)})) {}
    Value(const char* s) : Value(std::string(s)) {}
    Value(Object* o) : type_(o ? ValueType::Object : ValueType::Null), bits_(FromPointer(o)) {}

    Value(const Value& other) : type_(other.type_), hole_(other.hole_), bits_(other.bits_) {
        if (type_ == ValueType::String) ++text()->holders;
    }
    Value(Value&& other) noexcept : type_(other.type_), hole_(other.hole_), bits_(other.bits_) {
        other.type_ = ValueType::Undefined;
    }
    Value& operator=(const Value& other) { return *this = Value(other); }
    Value& operator=(Value&& other) noexcept {
        if (this != &other) {
            Release();
            type_ = other.type_;
            hole_ = other.hole_;
            bits_ = other.bits_;
            other.type_ = ValueType::Undefined;
        }
        return *this;
    }
    ~Value() { Release(); }

    ValueType type() const { return type_; }
    bool isUndefined() const { return type_ == ValueType::Undefined; }
    bool isHole() const { return hole_; }
    bool isNull() const { return type_ == ValueType::Null; }
    bool isNullish() const { return type_ == ValueType::Undefined || type_ == ValueType::Null; }
    bool isBoolean() const { return type_ == ValueType::Boolean; }
    bool isNumber() const { return type_ == ValueType::Number; }
    bool isString() const { return type_ == ValueType::String; }
    bool isObject() const { return type_ == ValueType::Object; }

    // Accessors return the raw payload; callers check the type first (asString of a value
    // that is not a string is the empty text).
    bool asBoolean() const { return bits_ != 0; }
    double asNumber() const { return number_; }
    const std::string& asString() const {
        return type_ == ValueType::String ? text()->chars : EmptyText();
    }
    Object* asObject() const {
        return type_ == ValueType::Object ? reinterpret_cast<Object*>(ToPointer()) : nullptr;
    }

  private:
    struct Text {
        size_t holders;
        std::string chars;
    };
    static const std::string& EmptyText() {
        static const std::string empty;
        return empty;
    }
    // Pointers live in bits_ so that every payload is written and copied as one whole word
    // (a narrower write followed by a wide read stalls the processor).
    static uint64_t FromPointer(const void* p) {
        return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p));
    }
    void* ToPointer() const { return reinterpret_cast<void*>(static_cast<uintptr_t>(bits_)); }
    Text* text() const { return static_cast<Text*>(ToPointer()); }
    // Out of line: the last holder is rare, and the compiler cannot then mistake a later
    // copy of another value for a use of freed text.
    static void FreeText(Text* text);
    void Release() {
        if (type_ == ValueType::String && --text()->holders == 0) FreeText(text());
    }

    ValueType type_ = ValueType::Undefined;
    bool hole_ = false;
    // A boolean (0 or 1), a pointer or the bits of a number.
    union {
        uint64_t bits_;
        double number_;
    };
};

}  // namespace kestrel::avm1
