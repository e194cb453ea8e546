// The update check as the user sees it: silent at start-up unless a newer
// version exists, and with an answer for every outcome when asked for.
#pragma once

#include <windows.h>

#include <string>

#include "builder/update_check.h"

namespace kestrel {

// Runs the query against the server named under `preferencesKey` (or the
// built-in one).
UpdateOutcome CheckForUpdates(const std::string& preferencesKey);

// At start-up: an information box without owner only when a newer version
// is out.
void RunAutomaticUpdateCheck(const std::string& preferencesKey);
// The "Check for updates" button: a box owned by `owner` for each outcome
// (error icon for a failure, information icon otherwise).
void RunManualUpdateCheck(HWND owner, const std::string& preferencesKey);

}  // namespace kestrel
