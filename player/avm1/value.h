// A script value of the ActionScript 1/2 engine.
#pragma once

#include <string>
#include <utility>

namespace kestrel::avm1 {

class Object;

enum class ValueType { Undefined, Null, Boolean, Number, String, Object };

// Values are cheap to copy except for strings. Objects are owned by the Vm's heap; a Value
// only refers to one (the collector keeps it alive while a root reaches it).
class Value {
  public:
    Value() = default;
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
    Value(bool b) : type_(ValueType::Boolean), bool_(b) {}
    Value(double d) : type_(ValueType::Number), number_(d) {}
    Value(int i) : type_(ValueType::Number), number_(i) {}
    Value(std::string s) : type_(ValueType::String), string_(std::move(s)) {}
    Value(const char* s) : type_(ValueType::String), string_(s) {}
    Value(Object* o) : type_(o ? ValueType::Object : ValueType::Null), object_(o) {}

    ValueType type() const { return type_; }
    bool isUndefined() const { return type_ == ValueType::Undefined; }
    bool isHole() const { return hole_; }
    bool isNull() const { return type_ == ValueType::Null; }
    bool isNullish() const { return type_ == ValueType::Undefined || type_ == ValueType::Null; }
    bool isBoolean() const { return type_ == ValueType::Boolean; }
    bool isNumber() const { return type_ == ValueType::Number; }
    bool isString() const { return type_ == ValueType::String; }
    bool isObject() const { return type_ == ValueType::Object; }

    // Accessors return the raw payload; callers check the type first.
    bool asBoolean() const { return bool_; }
    double asNumber() const { return number_; }
    const std::string& asString() const { return string_; }
    Object* asObject() const { return type_ == ValueType::Object ? object_ : nullptr; }

  private:
    ValueType type_ = ValueType::Undefined;
    bool hole_ = false;
    union {
        bool bool_;
        double number_ = 0;
        Object* object_;
    };
    std::string string_;
};

}  // namespace kestrel::avm1
