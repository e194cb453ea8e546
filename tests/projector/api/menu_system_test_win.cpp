// The Menu family over real system menus, in this process: what the bar and
// the context menu hold after each call, read back with the system's own
// menu functions.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/net/base64.h"
#include "projector/api/menu_family.h"
#include "projector/api/menu_system_win.h"
#include "tests/projector/api/fake_windows.h"
#include "tests/projector/api/family_call.h"

namespace kestrel {
namespace {

// A top-level window of the system's static class with an empty menu bar.
class BarWindow {
  public:
    BarWindow() {
        window_.reset(CreateWindowExA(0, "STATIC", "menus", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                      nullptr, CreateMenu(), GetModuleHandleA(nullptr), nullptr));
    }
    void Destroy() { window_.reset(); }  // the bar and its drop-downs go with it
    HWND handle() const { return window_.get(); }
    HMENU bar() const { return GetMenu(window_.get()); }

  private:
    OwnedWindow window_;
};

// A context menu as the stub's resource gives it: one empty submenu.
HMENU NewContextMenu() {
    HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(CreatePopupMenu()),
                "Context");
    return menu;
}

std::string TextAt(HMENU menu, int position) {
    char text[300] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

ULONG_PTR MenuDataAt(HMENU bar, int position) {
    MENUINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIM_MENUDATA;
    HMENU dropDown = GetSubMenu(bar, position);
    return dropDown && GetMenuInfo(dropDown, &info) ? info.dwMenuData : 0;
}

struct Window {
    Window(MenuCommands& commands, HWND window, HWND barWindow, HMENU context)
        : menus(window, barWindow, context), family(menus, commands, movie) {}

    std::string Answer(std::string_view method, std::vector<std::string> args) {
        for (size_t i = 1; i < args.size(); ++i)
            args[i] = args[i].rfind("=", 0) == 0 ? args[i].substr(1) : Base64Encode(args[i]);
        return test::FamilyAnswer(family, method, args);
    }

    ProjectorWindowMenus menus;
    test::FakeMovie movie;
    MenuFamily family;
};

class MenuSystemTest : public ::testing::Test {
  protected:
    MenuCommands commands;
    BarWindow main;
};

TEST_F(MenuSystemTest, DropDownsAreMarkedAndRemovedByTheirMark) {
    Window window(commands, main.handle(), main.handle(), nullptr);
    window.Answer("MenuBar.new", {"a"});
    window.Answer("MenuBar.new", {"b"});
    ASSERT_EQ(window.Answer("MenuBar.addMenu", {"a", "R&D"}), "<true/>");
    ASSERT_EQ(window.Answer("MenuBar.addMenu", {"b", "R&D"}), "<true/>");
    ASSERT_EQ(window.Answer("MenuBar.addMenu", {"a", std::string(300, 'x')}), "<true/>");
    HMENU bar = main.bar();
    ASSERT_EQ(GetMenuItemCount(bar), 3);
    EXPECT_EQ(TextAt(bar, 0), "R&D");
    EXPECT_EQ(TextAt(bar, 1), "R&D");
    EXPECT_EQ(TextAt(bar, 2), std::string(255, 'x'));
    EXPECT_EQ(MenuDataAt(bar, 0), 1u);
    EXPECT_EQ(MenuDataAt(bar, 1), 2u);

    // The same title twice: the object's own drop-down goes.
    EXPECT_EQ(window.Answer("MenuBar.removeMenu", {"a", "R&D"}), "<true/>");
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(MenuDataAt(bar, 0), 2u);
    EXPECT_EQ(window.Answer("MenuBar.removeAllMenus", {"a"}), "<true/>");
    ASSERT_EQ(GetMenuItemCount(bar), 1);
    EXPECT_EQ(MenuDataAt(bar, 0), 2u);
}

TEST_F(MenuSystemTest, ItemsCheckMarksAndEnableStatesAreTheSystems) {
    Window window(commands, main.handle(), main.handle(), nullptr);
    window.Answer("MenuBar.new", {"bar"});
    window.Answer("MenuBar.addMenu", {"bar", "File"});
    window.Answer("MenuBar.addItem", {"bar", "File", "Open"});
    window.Answer("MenuBar.addSeparator", {"bar", "File"});
    window.Answer("MenuBar.addItem", {"bar", "File", "Open"});
    HMENU file = GetSubMenu(main.bar(), 0);
    ASSERT_EQ(GetMenuItemCount(file), 3);
    EXPECT_EQ(GetMenuItemID(file, 0), MenuCommands::kFirstCommand);
    EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(GetMenuItemID(file, 2), MenuCommands::kFirstCommand + 2);
    EXPECT_EQ(TextAt(file, 2), "Open");

    EXPECT_EQ(window.Answer("MenuBar.checkItem", {"bar", "File", "Open"}), "<true/>");
    const UINT open = MenuCommands::kFirstCommand, openAgain = open + 2;
    EXPECT_TRUE(GetMenuState(file, open, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(window.Answer("MenuBar.disableItem", {"bar", "File", "Open"}), "<false/>");
    EXPECT_EQ(GetMenuState(file, open, MF_BYCOMMAND) & (MF_DISABLED | MF_GRAYED),
              static_cast<UINT>(MF_DISABLED | MF_GRAYED));
    EXPECT_TRUE(GetMenuState(file, open, MF_BYCOMMAND) & MF_CHECKED) << "the check mark stays";
    EXPECT_EQ(window.Answer("MenuBar.disableItem", {"bar", "File", "Open"}), "<true/>");
    // A greyed item counts as disabled whichever way it got there.
    EnableMenuItem(file, openAgain, MF_BYCOMMAND | MF_GRAYED);
    EXPECT_EQ(window.Answer("MenuBar.removeItem", {"bar", "File", "Open"}), "<true/>");
    EXPECT_EQ(window.Answer("MenuBar.itemIsEnabled", {"bar", "File", "Open"}), "<false/>");
    EXPECT_EQ(window.Answer("MenuBar.enableItem", {"bar", "File", "Open"}), "<true/>");
    EXPECT_EQ(GetMenuState(file, openAgain, MF_BYCOMMAND) & (MF_DISABLED | MF_GRAYED), 0u);

    // What the menu does not know is not touched, whatever the system says of that id.
    EXPECT_EQ(window.Answer("MenuBar.enableItem", {"bar", "File", "Gone"}), "<false/>");
    EXPECT_EQ(window.Answer("MenuBar.removeAllItems", {"bar", "File"}), "<true/>");
    EXPECT_EQ(GetMenuItemCount(file), 0);
    EXPECT_EQ(commands.InUse(), 0u);
}

TEST_F(MenuSystemTest, AnItemTheSystemLostAnswersFalse) {
    OwnedMenu owned(CreatePopupMenu());
    HMENU menu = owned.get();
    SystemMenuWin system(menu);
    ASSERT_TRUE(system.AppendItem(7, "Open"));
    EXPECT_EQ(system.SetEnabled(7, false), false);
    EXPECT_EQ(system.SetEnabled(7, true), true);
    DeleteMenu(menu, 7, MF_BYCOMMAND);
    EXPECT_EQ(system.SetEnabled(7, false), std::nullopt);
    EXPECT_EQ(system.ItemState(7), std::nullopt);
    EXPECT_FALSE(system.SetChecked(7, true));
    EXPECT_FALSE(system.RemoveItem(7));
}

TEST_F(MenuSystemTest, AnAdditionalWindowFillsTheMainBarAndTakesItsMenusAlong) {
    Window mainMenus(commands, main.handle(), main.handle(), nullptr);
    mainMenus.Answer("MenuBar.new", {"bar"});
    mainMenus.Answer("MenuBar.addMenu", {"bar", "File"});
    BarWindow own;
    auto second = std::make_unique<Window>(commands, own.handle(), main.handle(), nullptr);
    second->Answer("MenuBar.new", {"bar"});
    EXPECT_EQ(second->Answer("MenuBar.addMenu", {"bar", "Extra"}), "<true/>");
    EXPECT_EQ(second->Answer("MenuBar.addItem", {"bar", "Extra", "Go"}), "<true/>");
    ASSERT_EQ(GetMenuItemCount(main.bar()), 2);
    EXPECT_EQ(GetMenuItemCount(own.bar()), 0);
    EXPECT_EQ(TextAt(main.bar(), 1), "Extra");

    // The command arrives at the main window; the name lookup finds the owner.
    EXPECT_TRUE(
        commands.Choose(static_cast<MenuCommand>(GetMenuItemID(GetSubMenu(main.bar(), 1), 0))));
    EXPECT_EQ(second->movie.calls, std::vector<std::string>{"onMenuCommand(Extra,Go)"});
    second.reset();
    own.Destroy();
    ASSERT_EQ(GetMenuItemCount(main.bar()), 1);
    EXPECT_EQ(TextAt(main.bar(), 0), "File");
    EXPECT_EQ(commands.InUse(), 0u);
}

TEST_F(MenuSystemTest, WithoutABarOrAfterItsWindowWentNothingIsAdded) {
    Window bare(commands, main.handle(), nullptr, nullptr);
    bare.Answer("MenuBar.new", {"bar"});
    EXPECT_EQ(bare.Answer("MenuBar.addMenu", {"bar", "File"}), "<false/>");

    BarWindow gone;
    auto window = std::make_unique<Window>(commands, gone.handle(), gone.handle(), nullptr);
    window->Answer("MenuBar.new", {"bar"});
    ASSERT_EQ(window->Answer("MenuBar.addMenu", {"bar", "File"}), "<true/>");
    gone.Destroy();
    EXPECT_EQ(window->Answer("MenuBar.addMenu", {"bar", "Edit"}), "<false/>");
    EXPECT_EQ(window->Answer("MenuBar.removeMenu", {"bar", "File"}), "<false/>");
    window.reset();  // nothing left to take out
}

TEST_F(MenuSystemTest, ContextItemsGoIntoTheFirstSubmenu) {
    HMENU context = NewContextMenu();
    HMENU first = GetSubMenu(context, 0);
    Window window(commands, main.handle(), main.handle(), context);
    window.Answer("MenuContext.new", {"ctx"});
    EXPECT_EQ(window.Answer("MenuContext.addItem", {"ctx", "Copy"}), "<true/>");
    EXPECT_EQ(window.Answer("MenuContext.addSeparator", {"ctx"}), "<true/>");
    EXPECT_EQ(window.Answer("MenuContext.addItem", {"ctx", "Paste"}), "<true/>");
    EXPECT_EQ(GetMenuItemCount(context), 1) << "the top level keeps its one submenu";
    ASSERT_EQ(GetMenuItemCount(first), 3);
    EXPECT_EQ(TextAt(first, 0), "Copy");
    const UINT copy = MenuCommands::kFirstCommand, paste = copy + 1;
    EXPECT_EQ(GetMenuItemID(first, 2), paste);
    EXPECT_EQ(window.Answer("MenuContext.enableItem", {"ctx", "Paste", "=false"}), "<false/>");
    EXPECT_TRUE(GetMenuState(first, paste, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(window.Answer("MenuContext.checkItem", {"ctx", "Copy", "=true"}), "<true/>");
    EXPECT_TRUE(GetMenuState(first, copy, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(window.Answer("MenuContext.removeAllItems", {"ctx"}), "<true/>");
    EXPECT_EQ(GetMenuItemCount(first), 0);
    // An empty menu is not shown: this returns at once.
    window.menus.ShowContextMenu(POINT{10, 10});
}

}  // namespace
}  // namespace kestrel
