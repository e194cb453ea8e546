#include "builder/recent_menu_win.h"

#include <string>
#include <vector>

namespace kestrel {

bool RebuildRecentMenu(HMENU submenu, const RecentList& list, int commandBase) {
    if (!submenu) return false;
    for (int count = GetMenuItemCount(submenu); count > 0; --count) {
        if (!DeleteMenu(submenu, 0, MF_BYPOSITION)) return false;
    }
    std::vector<std::string> shown = list.Shown();
    for (size_t i = 0; i < shown.size(); ++i) {
        // The path is shown as it stands: an "&" in it is a plain character.
        MENUITEMINFOA item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE;
        item.fType = MFT_STRING;
        item.wID = static_cast<UINT>(commandBase + static_cast<int>(i));
        std::string text;
        for (char c : shown[i]) {
            if (c == '&') text += '&';
            text += c;
        }
        item.dwTypeData = &text[0];
        if (!InsertMenuItemA(submenu, static_cast<UINT>(i), TRUE, &item)) return false;
    }
    return true;
}

}  // namespace kestrel
