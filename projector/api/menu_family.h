// The "Menu." family: "MenuBar." methods for drop-down menus in the window's
// menu bar and "MenuContext." methods for items of its context menu. When the
// user chooses one of their items, the movie that added it receives
// "onMenuCommand" with the menu's (or context object's) name and the item's
// name.
#pragma once

#include <string>
#include <vector>

#include "projector/api/api_family.h"
#include "projector/api/menu_bar_family.h"
#include "projector/api/menu_commands.h"
#include "projector/api/menu_context_family.h"
#include "projector/api/menu_system.h"
#include "projector/api/movie_caller.h"

namespace kestrel {

class MenuFamily : public ApiFamily, public MenuCommandOwner {
  public:
    // None is owned; all outlive the family. `commands` is shared by every
    // window of the run; `movie` is the calling window's movie.
    MenuFamily(WindowMenus& menus, MenuCommands& commands, MovieCaller& movie)
        : movie_(movie), bar_(menus, commands, *this), context_(menus, commands, *this) {}

    ApiResult Call(std::string_view method, const ApiArguments& arguments) override;
    bool OnMenuCommand(MenuCommand command) override;

    // "MenuBar.new", ... "MenuContext.itemIsEnabled".
    static std::vector<std::string> MethodNames();

  private:
    MovieCaller& movie_;
    MenuBarFamily bar_;
    MenuContextFamily context_;
};

}  // namespace kestrel
