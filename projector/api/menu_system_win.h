// The Menu family's menus over the system's: drop-downs of a window's menu bar
// and a window's context menu. Handles are checked on every use, so a menu
// whose window has gone answers failure instead of touching a freed menu.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "common/win_handles.h"
#include "projector/api/menu_system.h"

namespace kestrel {

// One system menu by handle; does not own it (a bar or a context menu does).
class SystemMenuWin : public SystemMenu {
  public:
    explicit SystemMenuWin(HMENU menu) : menu_(menu) {}

    bool AppendItem(MenuCommand command, const std::string& text) override;
    bool AppendSeparator(MenuCommand command) override;
    bool RemoveItem(MenuCommand command) override;
    void RemoveAllEntries() override;
    std::optional<MenuItemState> ItemState(MenuCommand command) const override;
    bool SetChecked(MenuCommand command, bool checked) override;
    std::optional<bool> SetEnabled(MenuCommand command, bool enabled) override;

  private:
    HMENU menu_;
};

// The menu bar of a window, looked up on every use: it goes with the window.
class SystemMenuBarWin : public SystemMenuBar {
  public:
    explicit SystemMenuBarWin(HWND window) : window_(window) {}

    std::unique_ptr<SystemMenu> AppendDropDown(std::uint32_t menuId,
                                               const std::string& title) override;
    bool RemoveDropDown(std::uint32_t menuId) override;

  private:
    HMENU Bar() const;

    HWND window_;
};

// The menus of one projector window: the bar it fills and its context menu.
class ProjectorWindowMenus : public WindowMenus {
  public:
    // `barWindow` is the window whose bar this window's menu-bar objects fill
    // (null: none); `contextMenu` (owned, may be null) is a menu whose first
    // submenu a right click shows.
    ProjectorWindowMenus(HWND window, HWND barWindow, HMENU contextMenu);

    SystemMenuBar* Bar() override { return bar_ ? &*bar_ : nullptr; }
    SystemMenu* ContextMenu() override { return context_ ? &*context_ : nullptr; }

    // Shows the context menu at a screen point for the window; a chosen item
    // arrives as the window's menu command. Returns when the menu has closed.
    void ShowContextMenu(POINT screen);

  private:
    HWND window_;
    std::optional<SystemMenuBarWin> bar_;
    OwnedMenu contextResource_;
    std::optional<SystemMenuWin> context_;
};

}  // namespace kestrel
