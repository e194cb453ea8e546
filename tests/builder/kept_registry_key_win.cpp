#include "tests/builder/kept_registry_key_win.h"

#include <algorithm>
#include <utility>

#include "common/win_handles.h"

namespace kestrel::uitest {
namespace {

RegistryKey OpenKey(const std::string& subKey) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return RegistryKey();
    }
    return RegistryKey(key);
}

std::vector<std::string> ValueNames(HKEY key) {
    std::vector<std::string> names;
    char name[16384];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    return names;
}

}  // namespace

KeptRegistryKey::KeptRegistryKey(std::string subKey) : subKey_(std::move(subKey)) {
    RegistryKey key = OpenKey(subKey_);
    if (!key) return;
    for (const std::string& name : ValueNames(key.get())) {
        Value value{name, REG_NONE, {}};
        DWORD size = 0;
        if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type, nullptr, &size) !=
            ERROR_SUCCESS) {
            continue;
        }
        value.data.resize(size);
        if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type, value.data.data(),
                             &size) != ERROR_SUCCESS) {
            continue;
        }
        value.data.resize(size);
        saved_.push_back(std::move(value));
    }
}

KeptRegistryKey::~KeptRegistryKey() {
    RegistryKey key = OpenKey(subKey_);
    if (!key) return;
    for (const std::string& name : ValueNames(key.get())) {
        const bool kept = std::any_of(saved_.begin(), saved_.end(),
                                      [&](const Value& value) { return value.name == name; });
        if (!kept) RegDeleteValueA(key.get(), name.c_str());
    }
    for (const Value& value : saved_) {
        RegSetValueExA(key.get(), value.name.c_str(), 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size()));
    }
}

bool KeptRegistryKey::SetString(const std::string& name, const std::string& value, DWORD type) {
    RegistryKey key = OpenKey(subKey_);
    return key && RegSetValueExA(key.get(), name.c_str(), 0, type,
                                 reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool KeptRegistryKey::SetDword(const std::string& name, DWORD value) {
    RegistryKey key = OpenKey(subKey_);
    return key &&
           RegSetValueExA(key.get(), name.c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&value), sizeof value) == ERROR_SUCCESS;
}

}  // namespace kestrel::uitest
