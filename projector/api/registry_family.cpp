#include "projector/api/registry_family.h"

#include <cstring>

#include "projector/bridge/xml_value.h"

namespace kestrel {
namespace {

// Ids count for the whole projector run, like the file objects'.
std::int32_t NextRegistryKeyId() {
    static std::int32_t counter = 0;
    return ++counter;
}

// The key of the call (null when unknown or closed), the value name and the
// arguments (index 0 is the key id, 1 the name).
struct RegistryCall {
    std::unique_ptr<RegistryKeyHandle>* slot;
    RegistryKeyHandle* key;
    std::string name;
    const ApiArguments& arguments;
};

using RegistryMethod = ApiResult (*)(RegistryCall&);

// A number value read into a zero-filled buffer of `capacity` bytes, so a
// shorter value leaves no stray bytes; a longer one does not fit.
std::optional<std::string> ReadNumberBytes(RegistryCall& call, std::size_t capacity) {
    if (!call.key) return std::nullopt;
    std::optional<RegistryValue> value = call.key->Read(call.name);
    if (!value || value->data.size() > capacity) return std::nullopt;
    std::string bytes(capacity, '\0');
    std::memcpy(bytes.data(), value->data.data(), value->data.size());
    return bytes;
}

std::uint32_t LittleEndian32(const std::string& bytes) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[i]);
    return value;
}

std::string LittleEndianBytes(std::uint64_t value, std::size_t count) {
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(value >> (8 * i) & 0xFF);
    return bytes;
}

ApiResult Close(RegistryCall& call) {
    if (!call.key) return XmlFlag(false);
    bool closed = call.key->Close();
    call.slot->reset();
    return XmlFlag(closed);
}

ApiResult KeyExists(RegistryCall& call) {
    return XmlFlag(call.key && call.key->QueryType(call.name).has_value());
}

ApiResult DeleteKey(RegistryCall& call) {
    return XmlFlag(call.key && call.key->DeleteSelf());
}

ApiResult GetString(RegistryCall& call) {
    if (!call.key) return XmlNull();
    std::optional<RegistryValue> value = call.key->Read(call.name);
    if (!value || value->type == static_cast<std::uint32_t>(RegistryValueType::MultiString))
        return XmlNull();
    // Whatever the type, the bytes up to the first zero are the text.
    return XmlText(value->data.substr(0, value->data.find('\0')));
}

ApiResult SetString(RegistryCall& call) {
    if (!call.key) return XmlFlag(false);
    std::string text = call.arguments.AsText(2);
    // Stored as a C string: up to the first zero byte, with its terminator.
    text.resize(std::strlen(text.c_str()));
    text += '\0';
    return XmlFlag(call.key->Write(call.name, RegistryValueType::String, text));
}

ApiResult GetInteger(RegistryCall& call) {
    std::optional<std::string> bytes = ReadNumberBytes(call, 4);
    if (!bytes) return XmlNull();
    return XmlInteger(static_cast<std::int32_t>(LittleEndian32(*bytes)));
}

ApiResult SetInteger(RegistryCall& call) {
    if (!call.key) return XmlFlag(false);
    auto value = static_cast<std::uint32_t>(call.arguments.AsInteger(2));
    return XmlFlag(
        call.key->Write(call.name, RegistryValueType::Dword, LittleEndianBytes(value, 4)));
}

ApiResult GetBoolean(RegistryCall& call) {
    std::optional<std::string> bytes = ReadNumberBytes(call, 4);
    if (!bytes) return XmlNull();
    return XmlFlag(LittleEndian32(*bytes) != 0);
}

ApiResult SetBoolean(RegistryCall& call) {
    if (!call.key) return XmlFlag(false);
    std::uint32_t value = call.arguments.AsFlag(2) ? 1 : 0;
    return XmlFlag(
        call.key->Write(call.name, RegistryValueType::Dword, LittleEndianBytes(value, 4)));
}

ApiResult SetFloat(RegistryCall& call) {
    if (!call.key) return XmlFlag(false);
    double value = call.arguments.AsReal(2);
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return XmlFlag(
        call.key->Write(call.name, RegistryValueType::Binary, LittleEndianBytes(bits, 8)));
}

ApiResult GetFloat(RegistryCall& call) {
    std::optional<std::string> bytes = ReadNumberBytes(call, 8);
    if (!bytes) return XmlNull();
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = bits << 8 | static_cast<unsigned char>((*bytes)[i]);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return XmlReal(value);
}

struct RegistryMethodEntry {
    std::string_view name;
    RegistryMethod run;
};

// Compared in this order, exactly ("open" is handled before the table).
constexpr RegistryMethodEntry kRegistryMethods[] = {
    {"close", Close},           {"keyExists", KeyExists},   {"deleteKey", DeleteKey},
    {"getString", GetString},   {"setString", SetString},   {"getInteger", GetInteger},
    {"setInteger", SetInteger}, {"getBoolean", GetBoolean}, {"setBoolean", SetBoolean},
    {"setFloat", SetFloat},     {"getFloat", GetFloat},
};

}  // namespace

std::vector<std::string> RegistryFamily::MethodNames() {
    std::vector<std::string> names{"open"};
    for (const RegistryMethodEntry& entry : kRegistryMethods) names.emplace_back(entry.name);
    return names;
}

ApiResult RegistryFamily::Call(std::string_view method, const ApiArguments& arguments) {
    if (method == "open") {
        RegistryRoot root = arguments.AsText(1) == "system" ? RegistryRoot::LocalMachine
                                                            : RegistryRoot::CurrentUser;
        std::unique_ptr<RegistryKeyHandle> key =
            host_.CreateKey(root, "SOFTWARE\\" + arguments.AsText(0));
        // A key that can be neither opened nor created answers an empty text.
        if (!key) return std::string();
        std::int32_t id = NextRegistryKeyId();
        keys_[id] = std::move(key);
        return XmlInteger(id);
    }
    for (const RegistryMethodEntry& entry : kRegistryMethods) {
        if (entry.name != method) continue;
        auto slot = keys_.find(arguments.AsInteger(0));
        if (slot == keys_.end()) {
            RegistryCall call{nullptr, nullptr, arguments.AsText(1), arguments};
            return entry.run(call);
        }
        RegistryCall call{&slot->second, slot->second.get(), arguments.AsText(1), arguments};
        return entry.run(call);
    }
    return std::nullopt;
}

}  // namespace kestrel
