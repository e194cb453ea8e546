#include "projector/api/menu_family.h"

namespace kestrel {
namespace {

constexpr std::string_view kBarPrefix = "MenuBar.";
constexpr std::string_view kContextPrefix = "MenuContext.";

}  // namespace

ApiResult MenuFamily::Call(std::string_view method, const ApiArguments& arguments) {
    if (method.substr(0, kBarPrefix.size()) == kBarPrefix)
        return bar_.Call(method.substr(kBarPrefix.size()), arguments);
    if (method.substr(0, kContextPrefix.size()) == kContextPrefix)
        return context_.Call(method.substr(kContextPrefix.size()), arguments);
    return std::nullopt;
}

std::vector<std::string> MenuFamily::MethodNames() {
    std::vector<std::string> names;
    for (const std::string& method : MenuBarFamily::MethodNames())
        names.push_back(std::string(kBarPrefix) + method);
    for (const std::string& method : MenuContextFamily::MethodNames())
        names.push_back(std::string(kContextPrefix) + method);
    return names;
}

bool MenuFamily::OnMenuCommand(MenuCommand command) {
    std::optional<MenuCommandNames> names = bar_.NamesOf(command);
    if (!names) names = context_.NamesOf(command);
    if (!names) return false;  // a separator
    // Copies: the movie may remove the item from inside the call.
    return movie_.CallMovie("onMenuCommand", {names->menu, names->item});
}

}  // namespace kestrel
