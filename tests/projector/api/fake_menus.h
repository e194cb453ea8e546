// In-memory menus for the Menu family: a bar of drop-downs and a context
// menu, each a list of entries that tests read back.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "projector/api/menu_system.h"

namespace kestrel::test {

struct FakeEntry {
    MenuCommand command = 0;
    std::string text;  // empty for a separator
    bool separator = false;
    bool checked = false;
    bool enabled = true;
};

struct FakeMenuEntries {
    std::vector<FakeEntry> entries;
    bool failAppend = false;

    FakeEntry* Find(MenuCommand command) {
        for (FakeEntry& entry : entries)
            if (!entry.separator && entry.command == command) return &entry;
        return nullptr;
    }
};

class FakeMenu : public SystemMenu {
  public:
    explicit FakeMenu(std::shared_ptr<FakeMenuEntries> menu) : menu_(std::move(menu)) {}

    bool AppendItem(MenuCommand command, const std::string& text) override {
        if (menu_->failAppend) return false;
        menu_->entries.push_back({command, text, false, false, true});
        return true;
    }
    bool AppendSeparator(MenuCommand command) override {
        if (menu_->failAppend) return false;
        menu_->entries.push_back({command, "", true, false, true});
        return true;
    }
    bool RemoveItem(MenuCommand command) override {
        for (auto it = menu_->entries.begin(); it != menu_->entries.end(); ++it) {
            if (it->separator || it->command != command) continue;
            menu_->entries.erase(it);
            return true;
        }
        return false;
    }
    void RemoveAllEntries() override { menu_->entries.clear(); }
    std::optional<MenuItemState> ItemState(MenuCommand command) const override {
        FakeEntry* entry = menu_->Find(command);
        if (!entry) return std::nullopt;
        return MenuItemState{entry->checked, entry->enabled};
    }
    bool SetChecked(MenuCommand command, bool checked) override {
        FakeEntry* entry = menu_->Find(command);
        if (!entry) return false;
        entry->checked = checked;
        return true;
    }
    std::optional<bool> SetEnabled(MenuCommand command, bool enabled) override {
        FakeEntry* entry = menu_->Find(command);
        if (!entry) return std::nullopt;
        const bool wasDisabled = !entry->enabled;
        entry->enabled = enabled;
        return wasDisabled;
    }

  private:
    std::shared_ptr<FakeMenuEntries> menu_;
};

struct FakeDropDown {
    std::uint32_t menuId = 0;
    std::string title;
    std::shared_ptr<FakeMenuEntries> menu;
};

class FakeMenuBar : public SystemMenuBar {
  public:
    std::vector<FakeDropDown> dropDowns;
    bool failAppend = false;

    std::unique_ptr<SystemMenu> AppendDropDown(std::uint32_t menuId,
                                               const std::string& title) override {
        if (failAppend) return nullptr;
        dropDowns.push_back({menuId, title, std::make_shared<FakeMenuEntries>()});
        return std::make_unique<FakeMenu>(dropDowns.back().menu);
    }
    bool RemoveDropDown(std::uint32_t menuId) override {
        for (auto it = dropDowns.begin(); it != dropDowns.end(); ++it) {
            if (it->menuId != menuId) continue;
            dropDowns.erase(it);
            return true;
        }
        return false;
    }
    // The entries of the drop-down with this title, or null.
    FakeMenuEntries* Menu(const std::string& title) {
        for (FakeDropDown& dropDown : dropDowns)
            if (dropDown.title == title) return dropDown.menu.get();
        return nullptr;
    }
};

class FakeWindowMenus : public WindowMenus {
  public:
    // A window of the standard kind with the custom context menu.
    FakeWindowMenus() : context(std::make_shared<FakeMenuEntries>()), contextMenu(context) {}

    SystemMenuBar* Bar() override { return hasBar ? bar : nullptr; }
    SystemMenu* ContextMenu() override { return hasContextMenu ? &contextMenu : nullptr; }

    FakeMenuBar ownBar;
    FakeMenuBar* bar = &ownBar;  // another window's bar for an additional window
    bool hasBar = true;
    bool hasContextMenu = true;
    std::shared_ptr<FakeMenuEntries> context;
    FakeMenu contextMenu;
};

}  // namespace kestrel::test
