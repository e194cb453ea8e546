// The "MenuBar." methods: named menu-bar objects, each with drop-down menus
// that it appends to its window's menu bar. The first argument of every method
// is the object's name (raw); menu and item names are Base64 text.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "projector/api/api_family.h"
#include "projector/api/menu_items.h"
#include "projector/api/menu_system.h"

namespace kestrel {

struct MenuCommandNames {
    std::string menu;
    std::string item;
};

class MenuBarFamily : public ApiFamily {
  public:
    // None is owned; all outlive the family. Ids are taken for `owner`.
    MenuBarFamily(WindowMenus& menus, MenuCommands& commands, MenuCommandOwner& owner)
        : menus_(menus), commands_(commands), owner_(owner) {}
    // Takes this family's drop-downs out of the bar (which may belong to
    // another window) and gives their ids back.
    ~MenuBarFamily() override;
    MenuBarFamily(const MenuBarFamily&) = delete;
    MenuBarFamily& operator=(const MenuBarFamily&) = delete;

    ApiResult Call(std::string_view method, const ApiArguments& arguments) override;

    // "new" and every method of the table.
    static std::vector<std::string> MethodNames();

    // The menu and item names of one of this family's items.
    std::optional<MenuCommandNames> NamesOf(MenuCommand command) const;

  private:
    struct Menu {
        std::string name;
        std::uint32_t id = 0;
        std::unique_ptr<SystemMenu> system;
        MenuItems items;
        std::vector<MenuCommand> separators;  // each used up an id
    };
    struct Bar {
        SystemMenuBar* system = nullptr;  // not owned; null: the window has no bar
        std::map<std::string, Menu, std::less<>> menus;
    };
    using Method = ApiResult (MenuBarFamily::*)(Bar&, const ApiArguments&);
    struct MethodEntry {
        std::string_view name;
        Method run;
    };
    // Compared in this order, exactly ("new" comes first, apart).
    static const MethodEntry kMethods[];

    Menu* FindMenu(Bar& bar, const ApiArguments& arguments);
    // The menu named by argument 1 and the id of the item named by argument 2.
    std::optional<MenuCommand> FindItem(Bar& bar, const ApiArguments& arguments, Menu** menu);
    void ForgetEntries(Menu& menu);
    bool RemoveMenu(Bar& bar, std::map<std::string, Menu, std::less<>>::iterator menu);

    ApiResult AddMenu(Bar& bar, const ApiArguments& arguments);
    ApiResult RemoveMenuMethod(Bar& bar, const ApiArguments& arguments);
    ApiResult RemoveAllMenus(Bar& bar, const ApiArguments& arguments);
    ApiResult AddItem(Bar& bar, const ApiArguments& arguments);
    ApiResult AddSeparator(Bar& bar, const ApiArguments& arguments);
    ApiResult RemoveItem(Bar& bar, const ApiArguments& arguments);
    ApiResult RemoveAllItems(Bar& bar, const ApiArguments& arguments);
    ApiResult CheckItem(Bar& bar, const ApiArguments& arguments);
    ApiResult UncheckItem(Bar& bar, const ApiArguments& arguments);
    ApiResult ItemIsChecked(Bar& bar, const ApiArguments& arguments);
    ApiResult EnableItem(Bar& bar, const ApiArguments& arguments);
    ApiResult DisableItem(Bar& bar, const ApiArguments& arguments);
    ApiResult ItemIsEnabled(Bar& bar, const ApiArguments& arguments);
    ApiResult SetEnabled(Bar& bar, const ApiArguments& arguments, bool enabled);

    WindowMenus& menus_;
    MenuCommands& commands_;
    MenuCommandOwner& owner_;
    std::map<std::string, Bar, std::less<>> bars_;
};

}  // namespace kestrel
