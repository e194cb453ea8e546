// A recent list's File submenu: one item per shown entry, its text the full
// path, its command id the list's base plus the entry's index.
#pragma once

#include <windows.h>

#include "builder/recent_list.h"

namespace kestrel {

// Deletes every item of `submenu`, then inserts the shown entries.
bool RebuildRecentMenu(HMENU submenu, const RecentList& list, int commandBase);

}  // namespace kestrel
