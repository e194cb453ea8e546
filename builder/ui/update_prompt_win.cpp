#include "builder/registry_key_store_win.h"
#include "builder/ui/busy_cursor.h"
#include "builder/ui/message_box.h"
#include "builder/ui/resource_ids.h"
#include "builder/ui/update_prompt.h"
#include "builder/update_fetch_win.h"

namespace kestrel {

UpdateOutcome CheckForUpdates(const std::string& preferencesKey) {
    auto key = RegistryKeyStore::Open(preferencesKey, RegistryKeyStore::Access::Read);
    MemoryRegistryStore none;  // no key: the built-in server
    RegistryStore& store = key ? static_cast<RegistryStore&>(*key) : none;
    return ClassifyUpdate(RunUpdateQuery(store));
}

void RunAutomaticUpdateCheck(const std::string& preferencesKey) {
    if (CheckForUpdates(preferencesKey) != UpdateOutcome::NewerAvailable) return;
    ShowResourceMessage(nullptr, MB_OK | MB_ICONINFORMATION, IDS_SOFTWARE_UPDATE,
                        IDS_UPDATE_AVAILABLE_AUTO);
}

void RunManualUpdateCheck(HWND owner, const std::string& preferencesKey) {
    UpdateOutcome outcome;
    {
        BusyCursor busy;
        outcome = CheckForUpdates(preferencesKey);
    }
    switch (outcome) {
        case UpdateOutcome::NewerAvailable:
            ShowResourceMessage(owner, MB_OK | MB_ICONINFORMATION, IDS_SOFTWARE_UPDATES,
                                IDS_UPDATE_AVAILABLE);
            break;
        case UpdateOutcome::UpToDate:
            ShowResourceMessage(owner, MB_OK | MB_ICONINFORMATION, IDS_SOFTWARE_UPDATES,
                                IDS_NO_UPDATES);
            break;
        case UpdateOutcome::Failed:
            ShowResourceError(owner, IDS_ERROR, IDS_UPDATE_FAILED);
            break;
    }
}

}  // namespace kestrel
