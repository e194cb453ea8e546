#include "projector/api/menu_commands.h"

namespace kestrel {

std::optional<MenuCommand> MenuCommands::Take(MenuCommandOwner& owner) {
    MenuCommand command = 0;
    if (lastCommand_ < kLastCommand) {
        command = static_cast<MenuCommand>(++lastCommand_);
    } else if (!freed_.empty()) {
        command = *freed_.begin();
        freed_.erase(freed_.begin());
    } else {
        return std::nullopt;
    }
    owners_[command] = &owner;
    return command;
}

void MenuCommands::Release(MenuCommand command) {
    if (owners_.erase(command) == 0) return;
    freed_.insert(command);
}

MenuCommandOwner* MenuCommands::OwnerOf(MenuCommand command) const {
    auto found = owners_.find(command);
    return found == owners_.end() ? nullptr : found->second;
}

bool MenuCommands::Choose(MenuCommand command) {
    MenuCommandOwner* owner = OwnerOf(command);
    return owner && owner->OnMenuCommand(command);
}

}  // namespace kestrel
