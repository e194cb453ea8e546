// The items a menu object added: command id and name, in the order they were
// added, so that of two items with one name the first added is found.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "projector/api/menu_commands.h"

namespace kestrel {

struct MenuItemName {
    MenuCommand command = 0;
    std::string name;
};

class MenuItems {
  public:
    void Add(MenuCommand command, std::string name) {
        items_.push_back({command, std::move(name)});
    }

    // The first item of that name (exact, case-sensitive), or null.
    const MenuItemName* Find(std::string_view name) const {
        for (const MenuItemName& item : items_)
            if (item.name == name) return &item;
        return nullptr;
    }
    // The name of the item with that id, or null.
    const std::string* NameOf(MenuCommand command) const {
        for (const MenuItemName& item : items_)
            if (item.command == command) return &item.name;
        return nullptr;
    }
    void Forget(MenuCommand command) {
        for (auto it = items_.begin(); it != items_.end(); ++it) {
            if (it->command != command) continue;
            items_.erase(it);
            return;
        }
    }
    // Forgets every item, giving their ids back.
    void ForgetAll(MenuCommands& commands) {
        for (const MenuItemName& item : items_) commands.Release(item.command);
        items_.clear();
    }

  private:
    std::vector<MenuItemName> items_;
};

}  // namespace kestrel
