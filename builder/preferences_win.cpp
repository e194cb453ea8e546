#include "builder/preferences_win.h"

#include "builder/registry_key_store_win.h"
#include "common/file_system.h"

namespace kestrel {

void LoadBuilderPreferences(Preferences& preferences) {
    auto key = RegistryKeyStore::Open(kPreferencesKey, RegistryKeyStore::Access::Read);
    if (!key) return;
    LoadPreferences(preferences, *key, [](const std::string& path) { return PathExists(path); });
}

bool SaveBuilderPreferences(const Preferences& preferences) {
    auto key = RegistryKeyStore::Open(kPreferencesKey, RegistryKeyStore::Access::Write);
    return key && SavePreferences(preferences, *key);
}

}  // namespace kestrel
