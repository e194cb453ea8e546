#include "builder/registry_key_store_win.h"

#include <vector>

namespace kestrel {

static_assert(static_cast<DWORD>(RegistryType::String) == REG_SZ);
static_assert(static_cast<DWORD>(RegistryType::ExpandString) == REG_EXPAND_SZ);
static_assert(static_cast<DWORD>(RegistryType::Binary) == REG_BINARY);
static_assert(static_cast<DWORD>(RegistryType::Dword) == REG_DWORD);
static_assert(static_cast<DWORD>(RegistryType::MultiString) == REG_MULTI_SZ);

std::unique_ptr<RegistryKeyStore> RegistryKeyStore::Open(const std::string& subKey, Access access) {
    HKEY key = nullptr;
    REGSAM rights = access == Access::Read ? KEY_READ : KEY_WRITE;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        rights, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return std::unique_ptr<RegistryKeyStore>(new RegistryKeyStore(key));
}

std::optional<RegistryValue> RegistryKeyStore::Read(const std::string& name, std::size_t maxBytes) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        size > maxBytes)
        return {};
    RegistryValue value{static_cast<RegistryType>(type), std::vector<uint8_t>(size)};
    // The value may change between the two calls: the second reports what it
    // really wrote, never more than the buffer.
    DWORD read = size;
    if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type,
                         size ? value.bytes.data() : nullptr, &read) != ERROR_SUCCESS ||
        read > size)
        return {};
    value.type = static_cast<RegistryType>(type);
    value.bytes.resize(read);
    return value;
}

bool RegistryKeyStore::Write(const std::string& name, const RegistryValue& value) {
    return RegSetValueExA(key_.get(), name.c_str(), 0, static_cast<DWORD>(value.type),
                          value.bytes.data(),
                          static_cast<DWORD>(value.bytes.size())) == ERROR_SUCCESS;
}

}  // namespace kestrel
