#include <vector>

#include "builder/ui/menu.h"

namespace kestrel {

bool Menu::Create(bool popup, ULONG_PTR menuData) {
    owned_.reset(popup ? CreatePopupMenu() : CreateMenu());
    menu_ = owned_.get();
    if (!menu_) return false;
    MENUINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIM_MENUDATA;
    info.dwMenuData = menuData;
    SetMenuInfo(menu_, &info);
    return true;
}

bool Menu::AppendItem(int id, const std::string& text, const MenuShortcut& shortcut) {
    const std::string itemText = MenuItemText(text, shortcut);
    return AppendMenuA(menu_, MF_STRING, static_cast<UINT_PTR>(id), itemText.c_str()) != FALSE;
}

bool Menu::AppendSeparator() {
    return AppendMenuA(menu_, MF_SEPARATOR, 0, nullptr) != FALSE;
}

bool Menu::AppendSubmenu(HMENU submenu, const std::string& text) {
    return AppendMenuA(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), text.c_str()) != FALSE;
}

void Menu::RemoveAll() {
    while (GetMenuItemCount(menu_) > 0) {
        if (!DeleteMenu(menu_, 0, MF_BYPOSITION)) break;
    }
}

void Menu::Enable(int id, bool enabled) {
    EnableMenuItem(menu_, static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool Menu::IsEnabled(int id) const {
    const UINT state = GetMenuState(menu_, static_cast<UINT>(id), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

std::string Menu::ItemText(int position) const {
    const int length =
        GetMenuStringA(menu_, static_cast<UINT>(position), nullptr, 0, MF_BYPOSITION);
    if (length <= 0) return {};
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    GetMenuStringA(menu_, static_cast<UINT>(position), buffer.data(), length + 1, MF_BYPOSITION);
    return buffer.data();
}

}  // namespace kestrel
