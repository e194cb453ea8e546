#include "projector/api/menu_bar_family.h"

#include "projector/api/menu_item_steps.h"
#include "projector/bridge/xml_value.h"

namespace kestrel {
namespace {

// A drop-down's title uses at most this many bytes of the menu's name.
constexpr std::size_t kMaxMenuTitle = 255;

}  // namespace

MenuBarFamily::~MenuBarFamily() {
    for (auto& [name, bar] : bars_) {
        while (!bar.menus.empty()) RemoveMenu(bar, bar.menus.begin());
    }
}

const MenuBarFamily::MethodEntry MenuBarFamily::kMethods[] = {
    {"addMenu", &MenuBarFamily::AddMenu},
    {"removeMenu", &MenuBarFamily::RemoveMenuMethod},
    {"removeAllMenus", &MenuBarFamily::RemoveAllMenus},
    {"addItem", &MenuBarFamily::AddItem},
    {"addSeparator", &MenuBarFamily::AddSeparator},
    {"removeItem", &MenuBarFamily::RemoveItem},
    {"removeAllItems", &MenuBarFamily::RemoveAllItems},
    {"checkItem", &MenuBarFamily::CheckItem},
    {"uncheckItem", &MenuBarFamily::UncheckItem},
    {"itemIsChecked", &MenuBarFamily::ItemIsChecked},
    {"enableItem", &MenuBarFamily::EnableItem},
    {"disableItem", &MenuBarFamily::DisableItem},
    {"itemIsEnabled", &MenuBarFamily::ItemIsEnabled},
};

std::vector<std::string> MenuBarFamily::MethodNames() {
    std::vector<std::string> names{"new"};
    for (const MethodEntry& entry : kMethods) names.emplace_back(entry.name);
    return names;
}

ApiResult MenuBarFamily::Call(std::string_view method, const ApiArguments& arguments) {
    const std::string_view barName = arguments.Raw(0);
    if (method == "new") {
        if (bars_.find(barName) == bars_.end()) bars_[std::string(barName)].system = menus_.Bar();
        return std::nullopt;
    }
    auto bar = bars_.find(barName);
    if (bar == bars_.end()) return std::nullopt;
    for (const MethodEntry& entry : kMethods)
        if (entry.name == method) return (this->*entry.run)(bar->second, arguments);
    return std::nullopt;
}

std::optional<MenuCommandNames> MenuBarFamily::NamesOf(MenuCommand command) const {
    for (const auto& [barName, bar] : bars_) {
        for (const auto& [menuName, menu] : bar.menus) {
            if (const std::string* item = menu.items.NameOf(command))
                return MenuCommandNames{menuName, *item};
        }
    }
    return std::nullopt;
}

MenuBarFamily::Menu* MenuBarFamily::FindMenu(Bar& bar, const ApiArguments& arguments) {
    auto menu = bar.menus.find(arguments.AsText(1));
    return menu == bar.menus.end() ? nullptr : &menu->second;
}

std::optional<MenuCommand> MenuBarFamily::FindItem(Bar& bar, const ApiArguments& arguments,
                                                   Menu** menu) {
    *menu = FindMenu(bar, arguments);
    if (!*menu) return std::nullopt;
    const MenuItemName* item = (*menu)->items.Find(arguments.AsText(2));
    if (!item) return std::nullopt;
    return item->command;
}

void MenuBarFamily::ForgetEntries(Menu& menu) {
    menu.items.ForgetAll(commands_);
    for (MenuCommand separator : menu.separators) commands_.Release(separator);
    menu.separators.clear();
}

bool MenuBarFamily::RemoveMenu(Bar& bar, std::map<std::string, Menu, std::less<>>::iterator menu) {
    // The bar deletes the drop-down with its entries; the object referring to
    // it goes first.
    menu->second.system.reset();
    const bool removed = bar.system && bar.system->RemoveDropDown(menu->second.id);
    ForgetEntries(menu->second);
    bar.menus.erase(menu);
    return removed;
}

ApiResult MenuBarFamily::AddMenu(Bar& bar, const ApiArguments& arguments) {
    std::string name = arguments.AsText(1);
    if (!bar.system || bar.menus.find(name) != bar.menus.end()) return XmlFlag(false);
    const std::uint32_t id = commands_.NextMenuId();
    std::unique_ptr<SystemMenu> system =
        bar.system->AppendDropDown(id, name.substr(0, kMaxMenuTitle));
    if (!system) return XmlFlag(false);
    Menu& menu = bar.menus[name];
    menu.name = std::move(name);
    menu.id = id;
    menu.system = std::move(system);
    return XmlFlag(true);
}

ApiResult MenuBarFamily::RemoveMenuMethod(Bar& bar, const ApiArguments& arguments) {
    auto menu = bar.menus.find(arguments.AsText(1));
    if (menu == bar.menus.end()) return XmlFlag(false);
    return XmlFlag(RemoveMenu(bar, menu));
}

ApiResult MenuBarFamily::RemoveAllMenus(Bar& bar, const ApiArguments&) {
    while (!bar.menus.empty()) RemoveMenu(bar, bar.menus.begin());
    return XmlFlag(true);
}

ApiResult MenuBarFamily::AddItem(Bar& bar, const ApiArguments& arguments) {
    Menu* menu = FindMenu(bar, arguments);
    return XmlFlag(menu && AppendNamedItem(*menu->system, menu->items, commands_, owner_,
                                           arguments.AsText(2)));
}

ApiResult MenuBarFamily::AddSeparator(Bar& bar, const ApiArguments& arguments) {
    Menu* menu = FindMenu(bar, arguments);
    if (!menu) return XmlFlag(false);
    const std::optional<MenuCommand> command = commands_.Take(owner_);
    if (!command) return XmlFlag(false);
    if (!menu->system->AppendSeparator(*command)) {
        commands_.Release(*command);
        return XmlFlag(false);
    }
    menu->separators.push_back(*command);
    return XmlFlag(true);
}

ApiResult MenuBarFamily::RemoveItem(Bar& bar, const ApiArguments& arguments) {
    Menu* menu = nullptr;
    const std::optional<MenuCommand> command = FindItem(bar, arguments, &menu);
    return XmlFlag(command && RemoveNamedItem(*menu->system, menu->items, commands_, *command));
}

ApiResult MenuBarFamily::RemoveAllItems(Bar& bar, const ApiArguments& arguments) {
    Menu* menu = FindMenu(bar, arguments);
    if (!menu) return XmlFlag(false);
    menu->system->RemoveAllEntries();
    ForgetEntries(*menu);
    return XmlFlag(true);
}

ApiResult MenuBarFamily::CheckItem(Bar& bar, const ApiArguments& arguments) {
    Menu* menu = nullptr;
    const std::optional<MenuCommand> command = FindItem(bar, arguments, &menu);
    return XmlFlag(command && menu->system->SetChecked(*command, true));
}

ApiResult MenuBarFamily::UncheckItem(Bar& bar, const ApiArguments& arguments) {
    Menu* menu = nullptr;
    const std::optional<MenuCommand> command = FindItem(bar, arguments, &menu);
    return XmlFlag(command && menu->system->SetChecked(*command, false));
}

ApiResult MenuBarFamily::ItemIsChecked(Bar& bar, const ApiArguments& arguments) {
    Menu* menu = nullptr;
    const std::optional<MenuCommand> command = FindItem(bar, arguments, &menu);
    if (!command) return XmlFlag(false);
    const std::optional<MenuItemState> state = menu->system->ItemState(*command);
    return XmlFlag(state && state->checked);
}

ApiResult MenuBarFamily::EnableItem(Bar& bar, const ApiArguments& arguments) {
    return SetEnabled(bar, arguments, true);
}

ApiResult MenuBarFamily::DisableItem(Bar& bar, const ApiArguments& arguments) {
    return SetEnabled(bar, arguments, false);
}

ApiResult MenuBarFamily::SetEnabled(Bar& bar, const ApiArguments& arguments, bool enabled) {
    // An item the menu does not know answers false and changes nothing.
    Menu* menu = nullptr;
    const std::optional<MenuCommand> command = FindItem(bar, arguments, &menu);
    if (!command) return XmlFlag(false);
    return XmlFlag(menu->system->SetEnabled(*command, enabled).value_or(false));
}

ApiResult MenuBarFamily::ItemIsEnabled(Bar& bar, const ApiArguments& arguments) {
    Menu* menu = nullptr;
    const std::optional<MenuCommand> command = FindItem(bar, arguments, &menu);
    if (!command) return XmlFlag(false);
    const std::optional<MenuItemState> state = menu->system->ItemState(*command);
    return XmlFlag(state && state->enabled);
}

}  // namespace kestrel
