// Menu item texts with their shortcut: "Save\tCtrl+Shift+S".
#pragma once

#include <string>

namespace kestrel {

struct MenuShortcut {
    bool ctrl = false;
    bool alt = false;
    bool shift = false;
    std::string key;  // empty: no shortcut
};

// The text followed by a tab and the modifiers joined by "+" before the key.
std::string MenuItemText(const std::string& text, const MenuShortcut& shortcut);

}  // namespace kestrel
