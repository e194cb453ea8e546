#include "projector/api/menu_context_family.h"

#include "projector/api/menu_item_steps.h"
#include "projector/bridge/xml_value.h"

namespace kestrel {

MenuContextFamily::~MenuContextFamily() {
    for (auto& [name, items] : objects_) items.ForgetAll(commands_);
}

const MenuContextFamily::MethodEntry MenuContextFamily::kMethods[] = {
    {"addItem", &MenuContextFamily::AddItem},
    {"addSeparator", &MenuContextFamily::AddSeparator},
    {"removeItem", &MenuContextFamily::RemoveItem},
    {"removeAllItems", &MenuContextFamily::RemoveAllItems},
    {"checkItem", &MenuContextFamily::CheckItem},
    {"uncheckItem", &MenuContextFamily::UncheckItem},
    {"itemIsChecked", &MenuContextFamily::ItemIsChecked},
    {"enableItem", &MenuContextFamily::EnableItem},
    {"disableItem", &MenuContextFamily::DisableItem},
    {"itemIsEnabled", &MenuContextFamily::ItemIsEnabled},
};

std::vector<std::string> MenuContextFamily::MethodNames() {
    std::vector<std::string> names{"new"};
    for (const MethodEntry& entry : kMethods) names.emplace_back(entry.name);
    return names;
}

ApiResult MenuContextFamily::Call(std::string_view method, const ApiArguments& arguments) {
    const std::string_view objectName = arguments.Raw(0);
    if (method == "new") {
        if (objects_.find(objectName) == objects_.end()) objects_[std::string(objectName)];
        return std::nullopt;
    }
    auto object = objects_.find(objectName);
    if (object == objects_.end()) return std::nullopt;
    for (const MethodEntry& entry : kMethods)
        if (entry.name == method) return (this->*entry.run)(object->second, arguments);
    return std::nullopt;
}

std::optional<MenuCommandNames> MenuContextFamily::NamesOf(MenuCommand command) const {
    for (const auto& [objectName, items] : objects_) {
        if (const std::string* item = items.NameOf(command))
            return MenuCommandNames{objectName, *item};
    }
    return std::nullopt;
}

std::optional<MenuCommand> MenuContextFamily::FindItem(MenuItems& items,
                                                       const ApiArguments& arguments,
                                                       SystemMenu** menu) {
    *menu = menus_.ContextMenu();
    if (!*menu) return std::nullopt;
    const MenuItemName* item = items.Find(arguments.AsText(1));
    if (!item) return std::nullopt;
    return item->command;
}

ApiResult MenuContextFamily::AddItem(MenuItems& items, const ApiArguments& arguments) {
    SystemMenu* menu = menus_.ContextMenu();
    return XmlFlag(menu && AppendNamedItem(*menu, items, commands_, owner_, arguments.AsText(1)));
}

ApiResult MenuContextFamily::AddSeparator(MenuItems&, const ApiArguments&) {
    SystemMenu* menu = menus_.ContextMenu();
    return XmlFlag(menu && menu->AppendSeparator(0));
}

ApiResult MenuContextFamily::RemoveItem(MenuItems& items, const ApiArguments& arguments) {
    SystemMenu* menu = nullptr;
    const std::optional<MenuCommand> command = FindItem(items, arguments, &menu);
    return XmlFlag(command && RemoveNamedItem(*menu, items, commands_, *command));
}

ApiResult MenuContextFamily::RemoveAllItems(MenuItems& items, const ApiArguments&) {
    SystemMenu* menu = menus_.ContextMenu();
    if (!menu) return XmlFlag(false);
    menu->RemoveAllEntries();
    items.ForgetAll(commands_);
    return XmlFlag(true);
}

ApiResult MenuContextFamily::CheckItem(MenuItems& items, const ApiArguments& arguments) {
    SystemMenu* menu = nullptr;
    const std::optional<MenuCommand> command = FindItem(items, arguments, &menu);
    return XmlFlag(command && menu->SetChecked(*command, arguments.AsFlag(2)));
}

ApiResult MenuContextFamily::UncheckItem(MenuItems& items, const ApiArguments& arguments) {
    SystemMenu* menu = nullptr;
    const std::optional<MenuCommand> command = FindItem(items, arguments, &menu);
    return XmlFlag(command && menu->SetChecked(*command, false));
}

ApiResult MenuContextFamily::ItemIsChecked(MenuItems& items, const ApiArguments& arguments) {
    SystemMenu* menu = nullptr;
    const std::optional<MenuCommand> command = FindItem(items, arguments, &menu);
    if (!command) return XmlFlag(false);
    const std::optional<MenuItemState> state = menu->ItemState(*command);
    return XmlFlag(state && state->checked);
}

ApiResult MenuContextFamily::EnableItem(MenuItems& items, const ApiArguments& arguments) {
    return SetEnabled(items, arguments, arguments.AsFlag(2));
}

ApiResult MenuContextFamily::DisableItem(MenuItems& items, const ApiArguments& arguments) {
    return SetEnabled(items, arguments, false);
}

ApiResult MenuContextFamily::SetEnabled(MenuItems& items, const ApiArguments& arguments,
                                        bool enabled) {
    // An unknown item answers false and changes nothing.
    SystemMenu* menu = nullptr;
    const std::optional<MenuCommand> command = FindItem(items, arguments, &menu);
    if (!command) return XmlFlag(false);
    return XmlFlag(menu->SetEnabled(*command, enabled).value_or(false));
}

ApiResult MenuContextFamily::ItemIsEnabled(MenuItems& items, const ApiArguments& arguments) {
    SystemMenu* menu = nullptr;
    const std::optional<MenuCommand> command = FindItem(items, arguments, &menu);
    if (!command) return XmlFlag(false);
    const std::optional<MenuItemState> state = menu->ItemState(*command);
    return XmlFlag(state && state->enabled);
}

}  // namespace kestrel
