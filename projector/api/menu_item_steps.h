// The item steps both menu families take on a system menu: adding a named
// item under a fresh command id and removing one, giving its id back.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "projector/api/menu_commands.h"
#include "projector/api/menu_items.h"
#include "projector/api/menu_system.h"

namespace kestrel {

// Appends `name` under a new id of `owner`; false (and the id given back)
// when no id is left or the menu refuses it.
inline bool AppendNamedItem(SystemMenu& menu, MenuItems& items, MenuCommands& commands,
                            MenuCommandOwner& owner, std::string name) {
    const std::optional<MenuCommand> command = commands.Take(owner);
    if (!command) return false;
    if (!menu.AppendItem(*command, name)) {
        commands.Release(*command);
        return false;
    }
    items.Add(*command, std::move(name));
    return true;
}

// Removes the item from the menu and forgets it, giving its id back; true
// when the menu had it.
inline bool RemoveNamedItem(SystemMenu& menu, MenuItems& items, MenuCommands& commands,
                            MenuCommand command) {
    const bool removed = menu.RemoveItem(command);
    items.Forget(command);
    commands.Release(command);
    return removed;
}

}  // namespace kestrel
