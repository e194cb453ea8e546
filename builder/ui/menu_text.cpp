#include "builder/ui/menu_text.h"

namespace kestrel {

std::string MenuItemText(const std::string& text, const MenuShortcut& shortcut) {
    if (shortcut.key.empty()) return text;
    std::string keys;
    const auto join = [&keys](const char* part) {
        if (!keys.empty()) keys += '+';
        keys += part;
    };
    if (shortcut.ctrl) join("Ctrl");
    if (shortcut.alt) join("Alt");
    if (shortcut.shift) join("Shift");
    join(shortcut.key.c_str());
    return text + '\t' + keys;
}

}  // namespace kestrel
