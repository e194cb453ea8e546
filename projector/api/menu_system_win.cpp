#include "projector/api/menu_system_win.h"

#include <vector>

namespace kestrel {

bool SystemMenuWin::AppendItem(MenuCommand command, const std::string& text) {
    const int count = GetMenuItemCount(menu_);
    if (count < 0) return false;
    std::vector<char> label(text.c_str(), text.c_str() + text.size() + 1);
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
    item.fType = MFT_STRING;
    item.wID = command;
    item.dwTypeData = label.data();
    return InsertMenuItemA(menu_, static_cast<UINT>(count), TRUE, &item) != FALSE;
}

bool SystemMenuWin::AppendSeparator(MenuCommand command) {
    const int count = GetMenuItemCount(menu_);
    if (count < 0) return false;
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_ID;
    item.fType = MFT_SEPARATOR;
    item.wID = command;
    return InsertMenuItemA(menu_, static_cast<UINT>(count), TRUE, &item) != FALSE;
}

bool SystemMenuWin::RemoveItem(MenuCommand command) {
    return DeleteMenu(menu_, command, MF_BYCOMMAND) != FALSE;
}

void SystemMenuWin::RemoveAllEntries() {
    for (int count = GetMenuItemCount(menu_); count > 0; --count)
        if (!DeleteMenu(menu_, static_cast<UINT>(count - 1), MF_BYPOSITION)) return;
}

std::optional<MenuItemState> SystemMenuWin::ItemState(MenuCommand command) const {
    const UINT state = GetMenuState(menu_, command, MF_BYCOMMAND);
    if (state == static_cast<UINT>(-1)) return std::nullopt;
    return MenuItemState{(state & MF_CHECKED) != 0, (state & (MF_DISABLED | MF_GRAYED)) == 0};
}

bool SystemMenuWin::SetChecked(MenuCommand command, bool checked) {
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE;
    if (!GetMenuItemInfoA(menu_, command, FALSE, &item)) return false;
    item.fState = checked ? (item.fState | MFS_CHECKED) : (item.fState & ~MFS_CHECKED);
    return SetMenuItemInfoA(menu_, command, FALSE, &item) != FALSE;
}

std::optional<bool> SystemMenuWin::SetEnabled(MenuCommand command, bool enabled) {
    const UINT how = MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_DISABLED | MF_GRAYED);
    const BOOL previous = EnableMenuItem(menu_, command, how);
    if (previous == -1) return std::nullopt;  // no such item
    return (static_cast<UINT>(previous) & (MF_DISABLED | MF_GRAYED)) != 0;
}

HMENU SystemMenuBarWin::Bar() const {
    return IsWindow(window_) ? GetMenu(window_) : nullptr;
}

std::unique_ptr<SystemMenu> SystemMenuBarWin::AppendDropDown(std::uint32_t menuId,
                                                             const std::string& title) {
    HMENU bar = Bar();
    if (!bar) return nullptr;
    OwnedMenu dropDown(CreatePopupMenu());
    if (!dropDown) return nullptr;
    // The mark by which the drop-down is found again in the bar.
    MENUINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIM_MENUDATA;
    info.dwMenuData = menuId;
    if (!SetMenuInfo(dropDown.get(), &info)) return nullptr;
    if (!AppendMenuA(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(dropDown.get()),
                     title.c_str()))
        return nullptr;
    auto menu = std::make_unique<SystemMenuWin>(dropDown.release());
    DrawMenuBar(window_);
    return menu;
}

bool SystemMenuBarWin::RemoveDropDown(std::uint32_t menuId) {
    HMENU bar = Bar();
    if (!bar) return false;
    const int count = GetMenuItemCount(bar);
    for (int position = 0; position < count; ++position) {
        HMENU dropDown = GetSubMenu(bar, position);
        if (!dropDown) continue;
        MENUINFO info{};
        info.cbSize = sizeof info;
        info.fMask = MIM_MENUDATA;
        if (!GetMenuInfo(dropDown, &info) || info.dwMenuData != menuId) continue;
        // Deleting by position destroys the drop-down with it.
        const bool deleted = DeleteMenu(bar, static_cast<UINT>(position), MF_BYPOSITION) != FALSE;
        DrawMenuBar(window_);
        return deleted;
    }
    return false;
}

ProjectorWindowMenus::ProjectorWindowMenus(HWND window, HWND barWindow, HMENU contextMenu)
    : window_(window), contextResource_(contextMenu) {
    if (barWindow) bar_.emplace(barWindow);
    if (HMENU first = contextMenu ? GetSubMenu(contextMenu, 0) : nullptr) context_.emplace(first);
}

void ProjectorWindowMenus::ShowContextMenu(POINT screen) {
    HMENU first = contextResource_ ? GetSubMenu(contextResource_.get(), 0) : nullptr;
    // An empty menu would show as an empty box.
    if (!first || GetMenuItemCount(first) <= 0) return;
    TrackPopupMenu(first, TPM_LEFTBUTTON, screen.x, screen.y, 0, window_, nullptr);
}

}  // namespace kestrel
