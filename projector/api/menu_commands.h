// The command ids of the run's menu items, shared by every window. A window
// reports only the low 16 bits of a command, so ids stay within 16 bits and
// freed ids are reused once the counter has run out. Ids 1 and 2 are never
// given: a dialog's own keyboard handling sends them for Return and Escape
// (IDOK, IDCANCEL) with no control, which a modal window must not take for a
// chosen item. A command may arrive at
// another window than the one whose movie added the item (an additional
// window's menus live in the main window's bar), so each id remembers its
// owner.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <unordered_map>

namespace kestrel {

using MenuCommand = std::uint16_t;

class MenuCommandOwner {
  public:
    virtual ~MenuCommandOwner() = default;
    // The user chose `command`, one of this owner's ids; true when the movie
    // was told.
    virtual bool OnMenuCommand(MenuCommand command) = 0;
};

class MenuCommands {
  public:
    static constexpr std::uint32_t kFirstCommand = 3;
    static constexpr std::uint32_t kLastCommand = 0xFFFF;
    static constexpr std::size_t kCommandCount = kLastCommand - kFirstCommand + 1;

    // The next id: counted up from kFirstCommand, then the lowest freed one;
    // none when every id is in use.
    std::optional<MenuCommand> Take(MenuCommandOwner& owner);
    // Ids not in use are ignored.
    void Release(MenuCommand command);

    // Not owned; null for an id no item has.
    MenuCommandOwner* OwnerOf(MenuCommand command) const;
    // Passes a chosen command to its owner; false when no item has that id.
    bool Choose(MenuCommand command);
    std::size_t InUse() const { return owners_.size(); }

    // Drop-down menus are marked with ids of their own, counted from 1.
    std::uint32_t NextMenuId() { return ++lastMenuId_; }

  private:
    std::uint32_t lastCommand_ = kFirstCommand - 1;
    std::set<MenuCommand> freed_;
    std::unordered_map<MenuCommand, MenuCommandOwner*> owners_;  // owners not owned
    std::uint32_t lastMenuId_ = 0;
};

}  // namespace kestrel
