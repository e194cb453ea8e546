#include "player/runtime/amf0.h"

#include <algorithm>
#include <cstring>

namespace kestrel::runtime {

using avm1::Object;
using avm1::ObjectKind;
using avm1::Value;
using avm1::Vm;

namespace {

enum Amf0Marker : uint8_t {
    kNumber = 0x00,
    kBoolean = 0x01,
    kString = 0x02,
    kObject = 0x03,
    kMovieClip = 0x04,
    kNull = 0x05,
    kUndefined = 0x06,
    kReference = 0x07,
    kEcmaArray = 0x08,
    kObjectEnd = 0x09,
    kStrictArray = 0x0A,
    kDate = 0x0B,
    kLongString = 0x0C,
    kUnsupported = 0x0D,
    kXmlDocument = 0x0F,
    kTypedObject = 0x10,
};

// Nesting deeper than this is written as undefined and refused when read, so neither side
// can exhaust the stack.
constexpr int kMaxNesting = 256;
// A strict array or ECMA array claiming more entries than this is damaged.
constexpr uint32_t kMaxEntries = 1u << 20;

bool InheritsFrom(const Object& o, const Object* proto) {
    int depth = 0;
    for (const Object* p = o.proto(); p && proto && depth < kMaxNesting; p = p->proto(), ++depth)
        if (p == proto) return true;
    return false;
}

// The name Object.registerClass gave the object's class, or empty.
std::string AliasOf(Vm& vm, const Object& o) {
    if (!o.proto()) return {};
    for (const auto& [alias, ctor] : vm.registeredClasses()) {
        if (!ctor) continue;
        if (vm.getMember(Value(ctor), "prototype").asObject() == o.proto()) return alias;
    }
    return {};
}

Object* RegisteredPrototype(Vm& vm, const std::string& alias) {
    Object* ctor = vm.registeredClass(alias);
    return ctor ? vm.getMember(Value(ctor), "prototype").asObject() : nullptr;
}

Value Construct(Vm& vm, const char* className, std::vector<Value> args) {
    Value ctor = vm.getMember(Value(vm.global()), className);
    return vm.construct(ctor, args).value_or(Value());
}

}  // namespace

// --- writing -------------------------------------------------------------------------

void Amf0Writer::U16(uint32_t v) {
    U8(static_cast<uint8_t>(v >> 8));
    U8(static_cast<uint8_t>(v));
}

void Amf0Writer::U32(uint32_t v) {
    U16(v >> 16);
    U16(v & 0xFFFF);
}

void Amf0Writer::WriteNumber(double n) {
    uint64_t bits;
    std::memcpy(&bits, &n, sizeof bits);
    U32(static_cast<uint32_t>(bits >> 32));
    U32(static_cast<uint32_t>(bits));
}

void Amf0Writer::WriteName(std::string_view name) {
    if (name.size() > 0xFFFF) name = name.substr(0, 0xFFFF);
    U16(static_cast<uint32_t>(name.size()));
    out_.append(name);
}

void Amf0Writer::WriteString(std::string_view text) {
    if (text.size() <= 0xFFFF) {
        U8(kString);
        WriteName(text);
    } else {
        U8(kLongString);
        U32(static_cast<uint32_t>(text.size()));
        out_.append(text);
    }
}

void Amf0Writer::Write(const Value& value) {
    switch (value.type()) {
        case avm1::ValueType::Undefined:
            U8(kUndefined);
            return;
        case avm1::ValueType::Null:
            U8(kNull);
            return;
        case avm1::ValueType::Boolean:
            U8(kBoolean);
            U8(value.asBoolean() ? 1 : 0);
            return;
        case avm1::ValueType::Number:
            U8(kNumber);
            WriteNumber(value.asNumber());
            return;
        case avm1::ValueType::String:
            WriteString(value.asString());
            return;
        case avm1::ValueType::Object:
            WriteObject(*value.asObject());
            return;
    }
}

void Amf0Writer::WriteStrictArray(const std::vector<Value>& values) {
    U8(kStrictArray);
    U32(static_cast<uint32_t>(values.size()));
    for (const Value& v : values) Write(v);
}

void Amf0Writer::WriteProperties(Object& o) {
    int version = vm_.swfVersion();
    for (size_t i = 0; i < o.properties().size(); ++i) {
        const avm1::Property& p = o.properties()[i];
        if ((p.flags & avm1::kDontEnum) || !p.visibleTo(version)) continue;
        std::string name = p.name;
        Value v = vm_.getMember(Value(&o), name);
        WriteName(name);
        Write(v);
    }
    WriteName("");
    U8(kObjectEnd);
}

void Amf0Writer::WriteObject(Object& o) {
    for (size_t i = 0; i < written_.size() && i <= 0xFFFF; ++i) {
        if (written_[i] == &o) {
            U8(kReference);
            U16(static_cast<uint32_t>(i));
            return;
        }
    }
    if (depth_ >= kMaxNesting || (o.nativeData() && vm_.host().targetPathOf(&o))) {
        U8(kUndefined);
        return;
    }
    if (o.kind() == ObjectKind::Date) {
        U8(kDate);
        WriteNumber(o.primitive().isNumber() ? o.primitive().asNumber() : 0);
        U16(0);  // time zone, unused
        return;
    }
    if (InheritsFrom(o, vm_.prototypeOf("XML"))) {
        std::string text = vm_.toString(Value(&o));
        U8(kXmlDocument);
        U32(static_cast<uint32_t>(text.size()));
        out_ += text;
        return;
    }
    written_.push_back(&o);
    ++depth_;
    if (o.kind() == ObjectKind::Array) {
        U8(kEcmaArray);
        U32(static_cast<uint32_t>(o.elements().size()));
        for (size_t i = 0; i < o.elements().size(); ++i) {
            if (o.elements()[i].isHole()) continue;
            WriteName(std::to_string(i));
            Write(o.elements()[i]);
        }
        WriteProperties(o);
    } else if (std::string alias = AliasOf(vm_, o); !alias.empty()) {
        U8(kTypedObject);
        WriteName(alias);
        WriteProperties(o);
    } else {
        U8(kObject);
        WriteProperties(o);
    }
    --depth_;
}

// --- reading -------------------------------------------------------------------------

uint8_t Amf0Reader::U8() {
    if (!ok_ || pos_ >= in_.size()) {
        ok_ = false;
        return 0;
    }
    return static_cast<uint8_t>(in_[pos_++]);
}

uint16_t Amf0Reader::U16() {
    uint16_t hi = U8();
    return static_cast<uint16_t>((hi << 8) | U8());
}

uint32_t Amf0Reader::U32() {
    uint32_t hi = U16();
    return (hi << 16) | U16();
}

std::string Amf0Reader::Text(size_t length) {
    if (!ok_ || length > in_.size() - pos_) {
        ok_ = false;
        return {};
    }
    std::string text(in_.substr(pos_, length));
    pos_ += length;
    return text;
}

double Amf0Reader::Number() {
    uint64_t bits = static_cast<uint64_t>(U32()) << 32;
    bits |= U32();
    double n;
    std::memcpy(&n, &bits, sizeof n);
    return n;
}

std::optional<Value> Amf0Reader::Read() {
    if (!ok_) return std::nullopt;
    Value v = ReadValue();
    if (!ok_) return std::nullopt;
    return v;
}

void Amf0Reader::ReadProperties(Object& o) {
    while (ok_) {
        std::string name = ShortText();
        if (name.empty()) {
            if (U8() != kObjectEnd) ok_ = false;
            return;
        }
        Value v = ReadValue();
        if (ok_) vm_.setMember(Value(&o), name, v);
    }
}

Value Amf0Reader::ReadValue() {
    if (++depth_ > kMaxNesting) {
        ok_ = false;
        return Value();
    }
    struct Unnest {
        int& depth;
        ~Unnest() { --depth; }
    } unnest{depth_};
    uint8_t marker = U8();
    if (!ok_) return Value();
    switch (marker) {
        case kNumber:
            return Value(Number());
        case kBoolean:
            return Value(U8() != 0);
        case kString:
            return Value(ShortText());
        case kLongString:
            return Value(Text(U32()));
        case kNull:
            return Value::null();
        case kUndefined:
        case kUnsupported:
        case kMovieClip:
            return Value();
        case kReference: {
            uint16_t index = U16();
            if (index < read_.size()) return Value(read_[index]);
            ok_ = false;
            return Value();
        }
        case kDate: {
            double time = Number();
            U16();  // time zone, unused
            return Construct(vm_, "Date", {Value(time)});
        }
        case kXmlDocument:
            return Construct(vm_, "XML", {Value(Text(U32()))});
        case kObject:
        case kTypedObject: {
            Object* proto = nullptr;
            if (marker == kTypedObject) proto = RegisteredPrototype(vm_, ShortText());
            Object* o = vm_.newObject(proto);
            read_.push_back(o);
            ReadProperties(*o);
            return Value(o);
        }
        case kEcmaArray: {
            U32();  // a count writers do not agree on; the end marker closes the list
            Object* a = vm_.newArray();
            read_.push_back(a);
            ReadProperties(*a);
            return Value(a);
        }
        case kStrictArray: {
            uint32_t count = U32();
            if (count > kMaxEntries || count > in_.size() - pos_) {
                ok_ = false;
                return Value();
            }
            Object* a = vm_.newArray();
            read_.push_back(a);
            for (uint32_t i = 0; i < count && ok_; ++i) a->elements().push_back(ReadValue());
            return Value(a);
        }
        default:
            ok_ = false;
            return Value();
    }
}

// --- remoting envelopes ----------------------------------------------------------------

std::string EncodeRemotingRequest(Vm& vm, std::string_view target, std::string_view responseUri,
                                  const std::vector<Value>& args) {
    Amf0Writer body(vm);
    body.WriteStrictArray(args);
    std::string bytes;
    auto u16 = [&bytes](uint32_t v) {
        bytes += static_cast<char>(v >> 8);
        bytes += static_cast<char>(v);
    };
    u16(0);  // AMF version
    u16(0);  // headers
    u16(1);  // messages
    for (std::string_view text : {target, responseUri}) {
        u16(static_cast<uint32_t>(std::min<size_t>(text.size(), 0xFFFF)));
        bytes.append(text.substr(0, 0xFFFF));
    }
    uint32_t length = static_cast<uint32_t>(body.bytes().size());
    u16(length >> 16);
    u16(length & 0xFFFF);
    bytes += body.bytes();
    return bytes;
}

std::optional<std::vector<RemotingMessage>> DecodeRemotingResponse(Vm& vm, std::string_view bytes) {
    Amf0Reader in(vm, bytes);
    in.U16();  // version
    uint16_t headers = in.U16();
    for (uint16_t i = 0; i < headers && in.ok(); ++i) {
        in.ShortText();
        in.U8();   // must understand
        in.U32();  // length
        in.Read();
    }
    uint16_t count = in.U16();
    std::vector<RemotingMessage> messages;
    for (uint16_t i = 0; i < count && in.ok(); ++i) {
        RemotingMessage m;
        m.target = in.ShortText();
        in.ShortText();  // response URI
        in.U32();        // length
        if (auto v = in.Read()) m.value = *v;
        messages.push_back(std::move(m));
    }
    if (!in.ok()) return std::nullopt;
    return messages;
}

}  // namespace kestrel::runtime
