// The preferences' registry key: a RegistryStore over a real key under
// HKEY_CURRENT_USER.
#pragma once

#include <memory>
#include <string>

#include "builder/registry_store.h"
#include "common/win_handles.h"

namespace kestrel {

class RegistryKeyStore : public RegistryStore {
  public:
    enum class Access { Read, Write };

    // Opens HKCU\`subKey`, creating it when missing; none when that fails.
    static std::unique_ptr<RegistryKeyStore> Open(const std::string& subKey, Access access);

    std::optional<RegistryValue> Read(const std::string& name, std::size_t maxBytes) override;
    bool Write(const std::string& name, const RegistryValue& value) override;

  private:
    explicit RegistryKeyStore(HKEY key) : key_(key) {}

    RegistryKey key_;
};

}  // namespace kestrel
