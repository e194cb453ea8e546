// What the Menu family sees of the operating system's menus: the window's menu
// bar, its drop-downs and the window's context menu. The projector implements
// these over real menus; tests use fakes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "projector/api/menu_commands.h"

namespace kestrel {

struct MenuItemState {
    bool checked = false;
    bool enabled = true;  // neither disabled nor greyed
};

// One menu: a drop-down of the bar or the window's context menu.
class SystemMenu {
  public:
    virtual ~SystemMenu() = default;

    // Both append at the end. A separator may carry a command id (0: none).
    virtual bool AppendItem(MenuCommand command, const std::string& text) = 0;
    virtual bool AppendSeparator(MenuCommand command) = 0;
    virtual bool RemoveItem(MenuCommand command) = 0;
    virtual void RemoveAllEntries() = 0;
    // None when the menu has no item with that id.
    virtual std::optional<MenuItemState> ItemState(MenuCommand command) const = 0;
    // Reads the state and writes it back with the check mark set or cleared;
    // false when either step fails.
    virtual bool SetChecked(MenuCommand command, bool checked) = 0;
    // Whether the item was disabled or greyed before; none when there is no
    // such item.
    virtual std::optional<bool> SetEnabled(MenuCommand command, bool enabled) = 0;
};

// The menu bar that a window's menu-bar objects fill.
class SystemMenuBar {
  public:
    virtual ~SystemMenuBar() = default;

    // A new drop-down at the end of the bar, titled `title` and marked with
    // `menuId`, the bar redrawn; null when it could not be appended. The bar
    // owns the menu: the object returned only refers to it.
    virtual std::unique_ptr<SystemMenu> AppendDropDown(std::uint32_t menuId,
                                                       const std::string& title) = 0;
    // Deletes the drop-down marked with `menuId` and redraws the bar; false
    // when the bar has none.
    virtual bool RemoveDropDown(std::uint32_t menuId) = 0;
};

// The menus of one projector window. Both are null when the window has none.
class WindowMenus {
  public:
    virtual ~WindowMenus() = default;
    virtual SystemMenuBar* Bar() = 0;
    virtual SystemMenu* ContextMenu() = 0;
};

}  // namespace kestrel
