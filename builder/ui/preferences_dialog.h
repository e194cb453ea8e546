// The Preferences dialog: the recent lists' lengths and the title's path on
// "General", the automatic update check and a check now on "Updates".
#pragma once

#include <windows.h>

#include <string>

#include "builder/preferences.h"

namespace kestrel {

// Modal to `owner`. On OK the record takes the dialog's values and the
// answer is true; Cancel changes nothing.
bool RunPreferencesDialog(HWND owner, Preferences& preferences, const std::string& preferencesKey);

}  // namespace kestrel
