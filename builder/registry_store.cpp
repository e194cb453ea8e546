#include "builder/registry_store.h"

#include <algorithm>

namespace kestrel {

std::optional<uint32_t> ReadDword(RegistryStore& store, const std::string& name) {
    std::optional<RegistryValue> value = store.Read(name, 4);
    if (!value || value->type != RegistryType::Dword || value->bytes.size() != 4) return {};
    const std::vector<uint8_t>& b = value->bytes;
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

std::optional<std::string> ReadString(RegistryStore& store, const std::string& name,
                                      std::size_t bufferSize) {
    std::optional<RegistryValue> value = store.Read(name, bufferSize);
    if (!value || value->type != RegistryType::String || value->bytes.size() > bufferSize)
        return {};
    const std::vector<uint8_t>& b = value->bytes;
    auto end = std::find(b.begin(), b.end(), uint8_t{0});
    // Without a terminator the text must still leave room for one.
    if (end == b.end() && b.size() == bufferSize) return {};
    return std::string(b.begin(), end);
}

bool WriteDword(RegistryStore& store, const std::string& name, uint32_t value) {
    RegistryValue stored{
        RegistryType::Dword,
        {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)}};
    return store.Write(name, stored);
}

bool WriteString(RegistryStore& store, const std::string& name, const std::string& text) {
    RegistryValue stored{RegistryType::String, std::vector<uint8_t>(text.begin(), text.end())};
    stored.bytes.push_back(0);
    return store.Write(name, stored);
}

std::optional<RegistryValue> MemoryRegistryStore::Read(const std::string& name,
                                                       std::size_t maxBytes) {
    auto found = values_.find(name);
    if (found == values_.end() || found->second.bytes.size() > maxBytes) return {};
    return found->second;
}

bool MemoryRegistryStore::Write(const std::string& name, const RegistryValue& value) {
    values_[name] = value;
    return true;
}

}  // namespace kestrel
