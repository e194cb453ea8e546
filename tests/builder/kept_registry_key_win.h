// A test's own values in a key of HKEY_CURRENT_USER: the values the key held
// before are put back (and values added since are removed) when it goes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kestrel::uitest {

class KeptRegistryKey {
  public:
    explicit KeptRegistryKey(std::string subKey);
    ~KeptRegistryKey();
    KeptRegistryKey(const KeptRegistryKey&) = delete;
    KeptRegistryKey& operator=(const KeptRegistryKey&) = delete;

    bool SetString(const std::string& name, const std::string& value, DWORD type = REG_SZ);
    bool SetDword(const std::string& name, DWORD value);

  private:
    struct Value {
        std::string name;
        DWORD type;
        std::vector<BYTE> data;
    };

    std::string subKey_;
    std::vector<Value> saved_;
};

}  // namespace kestrel::uitest
