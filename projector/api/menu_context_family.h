// The "MenuContext." methods: named context-menu objects that add items to
// their window's context menu (the one a right click shows). The first
// argument of every method is the object's name (raw); item names are Base64
// text.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "projector/api/api_family.h"
#include "projector/api/menu_bar_family.h"
#include "projector/api/menu_items.h"
#include "projector/api/menu_system.h"

namespace kestrel {

class MenuContextFamily : public ApiFamily {
  public:
    // None is owned; all outlive the family. Ids are taken for `owner`.
    MenuContextFamily(WindowMenus& menus, MenuCommands& commands, MenuCommandOwner& owner)
        : menus_(menus), commands_(commands), owner_(owner) {}
    // Gives the ids back; the context menu goes with the window.
    ~MenuContextFamily() override;
    MenuContextFamily(const MenuContextFamily&) = delete;
    MenuContextFamily& operator=(const MenuContextFamily&) = delete;

    ApiResult Call(std::string_view method, const ApiArguments& arguments) override;

    // "new" and every method of the table.
    static std::vector<std::string> MethodNames();

    // The object's name (as the menu name) and the item's name.
    std::optional<MenuCommandNames> NamesOf(MenuCommand command) const;

  private:
    using Method = ApiResult (MenuContextFamily::*)(MenuItems&, const ApiArguments&);
    struct MethodEntry {
        std::string_view name;
        Method run;
    };
    // Compared in this order, exactly ("new" comes first, apart).
    static const MethodEntry kMethods[];

    ApiResult AddItem(MenuItems& items, const ApiArguments& arguments);
    ApiResult AddSeparator(MenuItems& items, const ApiArguments& arguments);
    ApiResult RemoveItem(MenuItems& items, const ApiArguments& arguments);
    ApiResult RemoveAllItems(MenuItems& items, const ApiArguments& arguments);
    ApiResult CheckItem(MenuItems& items, const ApiArguments& arguments);
    ApiResult UncheckItem(MenuItems& items, const ApiArguments& arguments);
    ApiResult ItemIsChecked(MenuItems& items, const ApiArguments& arguments);
    ApiResult EnableItem(MenuItems& items, const ApiArguments& arguments);
    ApiResult DisableItem(MenuItems& items, const ApiArguments& arguments);
    ApiResult ItemIsEnabled(MenuItems& items, const ApiArguments& arguments);
    ApiResult SetEnabled(MenuItems& items, const ApiArguments& arguments, bool enabled);
    // The context menu and the id of the item named by argument 1.
    std::optional<MenuCommand> FindItem(MenuItems& items, const ApiArguments& arguments,
                                        SystemMenu** menu);

    WindowMenus& menus_;
    MenuCommands& commands_;
    MenuCommandOwner& owner_;
    std::map<std::string, MenuItems, std::less<>> objects_;
};

}  // namespace kestrel
