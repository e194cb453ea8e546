// The builder's preferences in HKCU "SOFTWARE\Larkspur\Kestrel": loaded once
// at start, saved once at exit. Registry failures are silent: the record
// keeps what it had.
#pragma once

#include "builder/preferences.h"

namespace kestrel {

// Recent entries whose file is gone are dropped.
void LoadBuilderPreferences(Preferences& preferences);
bool SaveBuilderPreferences(const Preferences& preferences);

}  // namespace kestrel
