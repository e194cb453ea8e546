// A menu handle with the few operations the builder needs. Owns the menu only
// when it created it and no window holds it.
#pragma once

#include <windows.h>

#include <string>

#include "builder/ui/menu_text.h"
#include "common/win_handles.h"

namespace kestrel {

class Menu {
  public:
    // Wraps a menu someone else owns (a window's bar or one of its submenus).
    explicit Menu(HMENU menu = nullptr) : menu_(menu) {}
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    // A new menu this object owns until Release (e.g. given to a window).
    bool Create(bool popup, ULONG_PTR menuData = 0);
    HMENU Release() { return owned_.release(); }

    HMENU Handle() const { return menu_; }
    // Appends an item; with a shortcut its text gets "\t" and the shortcut.
    bool AppendItem(int id, const std::string& text, const MenuShortcut& shortcut = {});
    bool AppendSeparator();
    bool AppendSubmenu(HMENU submenu, const std::string& text);
    void RemoveAll();
    int Count() const { return GetMenuItemCount(menu_); }
    // By command id.
    void Enable(int id, bool enabled);
    bool IsEnabled(int id) const;
    HMENU Submenu(int position) const { return GetSubMenu(menu_, position); }
    std::string ItemText(int position) const;
    int ItemId(int position) const { return static_cast<int>(GetMenuItemID(menu_, position)); }

  private:
    HMENU menu_ = nullptr;  // owned only through owned_
    OwnedMenu owned_;
};

}  // namespace kestrel
