#include "projector/api/menu_family.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/net/base64.h"
#include "projector/api/api_dispatcher.h"
#include "tests/projector/api/fake_menus.h"
#include "tests/projector/api/fake_windows.h"
#include "tests/projector/api/family_call.h"

namespace kestrel {
namespace {

// The first item's command id; the ids after it are counted from here.
constexpr MenuCommand kFirst = MenuCommands::kFirstCommand;

// One window's Menu family over fake menus; every window of a test shares the
// run's command ids.
struct MenuWindow {
    explicit MenuWindow(MenuCommands& commands) : family(menus, commands, movie) {}

    // Arguments in the call's own form: the object name raw, the rest Base64
    // unless they start with '=' (raw flags such as "=true").
    std::string Answer(std::string_view method, std::vector<std::string> args) {
        for (size_t i = 1; i < args.size(); ++i)
            args[i] = args[i].rfind("=", 0) == 0 ? args[i].substr(1) : Base64Encode(args[i]);
        return test::FamilyAnswer(family, method, args);
    }

    test::FakeWindowMenus menus;
    test::FakeMovie movie;
    MenuFamily family;
};

class MenuFamilyTest : public ::testing::Test {
  protected:
    // The command id of the entry with this text in the drop-down `menu`.
    MenuCommand CommandOf(const std::string& menu, const std::string& text) {
        test::FakeMenuEntries* entries = main.menus.ownBar.Menu(menu);
        if (!entries) return 0;
        for (const test::FakeEntry& entry : entries->entries)
            if (entry.text == text) return entry.command;
        return 0;
    }

    MenuCommands commands;
    MenuWindow main{commands};
};

TEST_F(MenuFamilyTest, RoutesBothSubFamiliesAndGivesNoValueForTheRest) {
    ApiDispatcher dispatcher;
    test::FakeWindowMenus menus;
    test::FakeMovie movie;
    dispatcher.Install(ApiFamilyId::Menu, std::make_unique<MenuFamily>(menus, commands, movie));
    const std::string file = Base64Encode("File");
    std::string_view args[] = {"bar", file};
    EXPECT_FALSE(dispatcher.Dispatch("Menu.MenuBar.new", ApiArguments(args, 1)));
    EXPECT_EQ(dispatcher.Dispatch("Menu.MenuBar.addMenu", ApiArguments(args, 2)), "<true/>");
    EXPECT_FALSE(dispatcher.Dispatch("Menu.MenuContext.new", ApiArguments(args, 1)));
    EXPECT_EQ(dispatcher.Dispatch("Menu.MenuContext.addItem", ApiArguments(args, 2)), "<true/>");
    for (const char* name : {"Menu.MenuBar.foo", "Menu.MenuBars.addMenu", "Menu.menubar.addMenu",
                             "Menu.addMenu", "MenuBar.addMenu", "Menu.MenuContext.AddItem"})
        EXPECT_FALSE(dispatcher.Dispatch(name, ApiArguments(args, 2))) << name;
}

TEST_F(MenuFamilyTest, EveryMethodOfAnUnknownObjectGivesNoValue) {
    for (const char* method : {"addMenu", "removeMenu", "removeAllMenus", "addItem", "addSeparator",
                               "removeItem", "removeAllItems", "checkItem", "uncheckItem",
                               "itemIsChecked", "enableItem", "disableItem", "itemIsEnabled"}) {
        EXPECT_EQ(main.Answer(std::string("MenuBar.") + method, {"nobar", "File", "Open"}),
                  "(none)")
            << method;
    }
    for (const char* method :
         {"addItem", "addSeparator", "removeItem", "removeAllItems", "checkItem", "uncheckItem",
          "itemIsChecked", "enableItem", "disableItem", "itemIsEnabled"}) {
        EXPECT_EQ(main.Answer(std::string("MenuContext.") + method, {"nothing", "Open"}), "(none)")
            << method;
    }
    EXPECT_TRUE(main.menus.ownBar.dropDowns.empty());
    EXPECT_TRUE(main.menus.context->entries.empty());
}

TEST_F(MenuFamilyTest, AddMenuAppendsOneDropDownPerNameAndObject) {
    EXPECT_EQ(main.Answer("MenuBar.new", {"bar"}), "(none)");
    EXPECT_EQ(main.Answer("MenuBar.new", {"other"}), "(none)");
    EXPECT_EQ(main.Answer("MenuBar.addMenu", {"bar", "File"}), "<true/>");
    EXPECT_EQ(main.Answer("MenuBar.addMenu", {"bar", "File"}), "<false/>");
    EXPECT_EQ(main.Answer("MenuBar.new", {"bar"}), "(none)");  // keeps its menus
    EXPECT_EQ(main.Answer("MenuBar.addMenu", {"bar", "Edit"}), "<true/>");
    EXPECT_EQ(main.Answer("MenuBar.addMenu", {"other", "File"}), "<true/>");
    const std::string longName(300, 'm');
    EXPECT_EQ(main.Answer("MenuBar.addMenu", {"bar", longName}), "<true/>");

    const auto& dropDowns = main.menus.ownBar.dropDowns;
    ASSERT_EQ(dropDowns.size(), 4u);
    EXPECT_EQ(dropDowns[0].title, "File");
    EXPECT_EQ(dropDowns[1].title, "Edit");
    EXPECT_EQ(dropDowns[2].title, "File");
    EXPECT_EQ(dropDowns[3].title, std::string(255, 'm'));
    // Each drop-down is marked with a menu id of its own.
    EXPECT_EQ(dropDowns[0].menuId, 1u);
    EXPECT_EQ(dropDowns[1].menuId, 2u);
    EXPECT_EQ(dropDowns[2].menuId, 3u);
    // The long name stays the menu's name.
    EXPECT_EQ(main.Answer("MenuBar.addItem", {"bar", longName, "x"}), "<true/>");
}

TEST_F(MenuFamilyTest, WithoutABarOrWhenTheBarRefusesNothingIsAdded) {
    main.menus.hasBar = false;
    main.Answer("MenuBar.new", {"bare"});
    EXPECT_EQ(main.Answer("MenuBar.addMenu", {"bare", "File"}), "<false/>");
    EXPECT_EQ(main.Answer("MenuBar.addItem", {"bare", "File", "Open"}), "<false/>");

    main.menus.hasBar = true;
    main.Answer("MenuBar.new", {"bar"});
    main.menus.ownBar.failAppend = true;
    EXPECT_EQ(main.Answer("MenuBar.addMenu", {"bar", "File"}), "<false/>");
    main.menus.ownBar.failAppend = false;
    EXPECT_EQ(main.Answer("MenuBar.addMenu", {"bar", "File"}), "<true/>");
    main.menus.ownBar.Menu("File")->failAppend = true;
    EXPECT_EQ(main.Answer("MenuBar.addItem", {"bar", "File", "Open"}), "<false/>");
    EXPECT_EQ(main.Answer("MenuBar.addSeparator", {"bar", "File"}), "<false/>");
    EXPECT_EQ(commands.InUse(), 0u) << "a failed insertion leaves no id taken";
    EXPECT_EQ(main.Answer("MenuBar.removeItem", {"bar", "File", "Open"}), "<false/>");
}

TEST_F(MenuFamilyTest, ItemsSeparatorsAndDuplicateNames) {
    main.Answer("MenuBar.new", {"bar"});
    main.Answer("MenuBar.addMenu", {"bar", "File"});
    EXPECT_EQ(main.Answer("MenuBar.addItem", {"bar", "File", "Open"}), "<true/>");
    EXPECT_EQ(main.Answer("MenuBar.addSeparator", {"bar", "File"}), "<true/>");
    EXPECT_EQ(main.Answer("MenuBar.addItem", {"bar", "File", "Open"}), "<true/>");
    EXPECT_EQ(main.Answer("MenuBar.addItem", {"bar", "Nope", "Open"}), "<false/>");
    EXPECT_EQ(main.Answer("MenuBar.addSeparator", {"bar", "Nope"}), "<false/>");

    const auto& entries = main.menus.ownBar.Menu("File")->entries;
    ASSERT_EQ(entries.size(), 3u);
    // A bar separator uses up an id.
    EXPECT_EQ(entries[0].command, kFirst);
    EXPECT_TRUE(entries[1].separator);
    EXPECT_EQ(entries[1].command, kFirst + 1);
    EXPECT_EQ(entries[2].command, kFirst + 2);

    // The first one added goes first.
    EXPECT_EQ(main.Answer("MenuBar.removeItem", {"bar", "File", "Open"}), "<true/>");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].command, kFirst + 2);
    EXPECT_EQ(main.Answer("MenuBar.removeItem", {"bar", "File", "Open"}), "<true/>");
    EXPECT_EQ(main.Answer("MenuBar.removeItem", {"bar", "File", "Open"}), "<false/>");
    EXPECT_EQ(main.Answer("MenuBar.removeItem", {"bar", "Nope", "Open"}), "<false/>");

    EXPECT_EQ(main.Answer("MenuBar.removeAllItems", {"bar", "File"}), "<true/>");
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(commands.InUse(), 0u) << "the separator's id comes back too";
    EXPECT_EQ(main.Answer("MenuBar.removeAllItems", {"bar", "File"}), "<true/>");
    EXPECT_EQ(main.Answer("MenuBar.removeAllItems", {"bar", "Nope"}), "<false/>");
}

TEST_F(MenuFamilyTest, CheckMarksAndEnableAnswers) {
    main.Answer("MenuBar.new", {"bar"});
    main.Answer("MenuBar.addMenu", {"bar", "File"});
    main.Answer("MenuBar.addItem", {"bar", "File", "Open"});
    struct Step {
        const char* method;
        const char* item;
        const char* answer;
    };
    const Step steps[] = {
        {"itemIsChecked", "Open", "<false/>"},
        {"checkItem", "Open", "<true/>"},
        {"itemIsChecked", "Open", "<true/>"},
        {"uncheckItem", "Open", "<true/>"},
        {"itemIsChecked", "Open", "<false/>"},
        {"itemIsEnabled", "Open", "<true/>"},
        // The answer is whether the item was disabled before.
        {"disableItem", "Open", "<false/>"},
        {"disableItem", "Open", "<true/>"},
        {"itemIsEnabled", "Open", "<false/>"},
        {"enableItem", "Open", "<true/>"},
        {"enableItem", "Open", "<false/>"},
        {"itemIsEnabled", "Open", "<true/>"},
        // Items the menu does not know.
        {"checkItem", "Gone", "<false/>"},
        {"uncheckItem", "Gone", "<false/>"},
        {"itemIsChecked", "Gone", "<false/>"},
        {"enableItem", "Gone", "<false/>"},
        {"disableItem", "Gone", "<false/>"},
        {"itemIsEnabled", "Gone", "<false/>"},
    };
    for (const Step& step : steps)
        EXPECT_EQ(main.Answer(std::string("MenuBar.") + step.method, {"bar", "File", step.item}),
                  step.answer)
            << step.method << " " << step.item;
    EXPECT_EQ(main.Answer("MenuBar.checkItem", {"bar", "Nope", "Open"}), "<false/>");
    EXPECT_EQ(main.menus.ownBar.Menu("File")->entries.size(), 1u);
}

TEST_F(MenuFamilyTest, RemovingMenusForgetsTheirItems) {
    main.Answer("MenuBar.new", {"bar"});
    main.Answer("MenuBar.addMenu", {"bar", "File"});
    main.Answer("MenuBar.addMenu", {"bar", "Edit"});
    main.Answer("MenuBar.addItem", {"bar", "File", "Open"});
    const MenuCommand open = CommandOf("File", "Open");
    EXPECT_EQ(main.Answer("MenuBar.removeMenu", {"bar", "File"}), "<true/>");
    EXPECT_EQ(main.Answer("MenuBar.removeMenu", {"bar", "File"}), "<false/>");
    EXPECT_EQ(main.Answer("MenuBar.addItem", {"bar", "File", "Open"}), "<false/>");
    EXPECT_FALSE(commands.Choose(open));
    ASSERT_EQ(main.menus.ownBar.dropDowns.size(), 1u);
    EXPECT_EQ(main.menus.ownBar.dropDowns[0].title, "Edit");

    // The name can be used again.
    EXPECT_EQ(main.Answer("MenuBar.addMenu", {"bar", "File"}), "<true/>");
    main.Answer("MenuBar.new", {"other"});
    main.Answer("MenuBar.addMenu", {"other", "Help"});
    EXPECT_EQ(main.Answer("MenuBar.removeAllMenus", {"bar"}), "<true/>");
    EXPECT_EQ(main.Answer("MenuBar.removeAllMenus", {"bar"}), "<true/>");
    ASSERT_EQ(main.menus.ownBar.dropDowns.size(), 1u);
    EXPECT_EQ(main.menus.ownBar.dropDowns[0].title, "Help");
}

TEST_F(MenuFamilyTest, ChoosingAnItemTellsTheMovieItsNames) {
    main.Answer("MenuBar.new", {"bar"});
    main.Answer("MenuBar.addMenu", {"bar", "R&D <1>"});
    main.Answer("MenuBar.addItem", {"bar", "R&D <1>", "Open \"it\""});
    main.Answer("MenuBar.addSeparator", {"bar", "R&D <1>"});
    main.Answer("MenuContext.new", {"ctx"});
    main.Answer("MenuContext.addItem", {"ctx", "Copy"});
    main.Answer("MenuContext.addSeparator", {"ctx"});

    EXPECT_TRUE(commands.Choose(kFirst));
    EXPECT_FALSE(commands.Choose(kFirst + 1)) << "a separator";
    EXPECT_TRUE(commands.Choose(kFirst + 2));
    EXPECT_FALSE(commands.Choose(kFirst + 3));
    EXPECT_FALSE(commands.Choose(0));
    EXPECT_FALSE(commands.Choose(2)) << "what a dialog sends for Escape";
    EXPECT_EQ(main.movie.calls, (std::vector<std::string>{"onMenuCommand(R&D <1>,Open \"it\")",
                                                          "onMenuCommand(ctx,Copy)"}));
}

TEST_F(MenuFamilyTest, ContextObjectsFillTheWindowsContextMenu) {
    main.Answer("MenuContext.new", {"ctx"});
    main.Answer("MenuContext.new", {"more"});
    EXPECT_EQ(main.Answer("MenuContext.addItem", {"ctx", "Copy"}), "<true/>");
    EXPECT_EQ(main.Answer("MenuContext.addSeparator", {"ctx"}), "<true/>");
    EXPECT_EQ(main.Answer("MenuContext.addItem", {"more", "Paste"}), "<true/>");
    const auto& entries = main.menus.context->entries;
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].command, kFirst);
    EXPECT_EQ(entries[1].command, 0) << "a context separator uses no id";
    EXPECT_EQ(entries[2].command, kFirst + 1);

    struct Step {
        const char* method;
        std::vector<std::string> args;
        const char* answer;
    };
    const Step steps[] = {
        {"checkItem", {"ctx", "Copy", "=TRUE"}, "<true/>"},
        {"itemIsChecked", {"ctx", "Copy"}, "<true/>"},
        {"checkItem", {"ctx", "Copy", "=yes"}, "<true/>"},
        {"itemIsChecked", {"ctx", "Copy"}, "<false/>"},
        {"checkItem", {"ctx", "Copy", "=true"}, "<true/>"},
        {"uncheckItem", {"ctx", "Copy"}, "<true/>"},
        {"itemIsChecked", {"ctx", "Copy"}, "<false/>"},
        {"enableItem", {"ctx", "Copy", "=false"}, "<false/>"},
        {"itemIsEnabled", {"ctx", "Copy"}, "<false/>"},
        {"disableItem", {"ctx", "Copy"}, "<true/>"},
        {"enableItem", {"ctx", "Copy", "=true"}, "<true/>"},
        {"itemIsEnabled", {"ctx", "Copy"}, "<true/>"},
        // Items are looked up among the object's own.
        {"checkItem", {"ctx", "Paste", "=true"}, "<false/>"},
        {"enableItem", {"ctx", "Paste", "=false"}, "<false/>"},
        {"disableItem", {"ctx", "Paste"}, "<false/>"},
        {"itemIsEnabled", {"ctx", "Paste"}, "<false/>"},
        {"removeItem", {"ctx", "Paste"}, "<false/>"},
        {"removeItem", {"more", "Paste"}, "<true/>"},
    };
    for (const Step& step : steps)
        EXPECT_EQ(main.Answer(std::string("MenuContext.") + step.method, step.args), step.answer)
            << step.method << " " << step.args[1];
    EXPECT_TRUE(entries[2 - 1].separator);
    EXPECT_EQ(entries.size(), 2u);

    EXPECT_EQ(main.Answer("MenuContext.removeAllItems", {"ctx"}), "<true/>");
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(commands.InUse(), 0u);
}

TEST_F(MenuFamilyTest, WithoutAContextMenuEveryMethodAnswersFalse) {
    main.menus.hasContextMenu = false;
    main.Answer("MenuContext.new", {"ctx"});
    for (const char* method :
         {"addItem", "addSeparator", "removeItem", "removeAllItems", "checkItem", "uncheckItem",
          "itemIsChecked", "enableItem", "disableItem", "itemIsEnabled"})
        EXPECT_EQ(main.Answer(std::string("MenuContext.") + method, {"ctx", "Copy", "=true"}),
                  "<false/>")
            << method;
    EXPECT_EQ(commands.InUse(), 0u);
}

TEST_F(MenuFamilyTest, FreedIdsAreReusedOnceTheCounterRunsOut) {
    main.Answer("MenuContext.new", {"ctx"});
    for (std::size_t i = 1; i <= MenuCommands::kCommandCount; ++i)
        ASSERT_EQ(main.Answer("MenuContext.addItem", {"ctx", "item" + std::to_string(i)}),
                  "<true/>");
    EXPECT_EQ(main.Answer("MenuContext.addItem", {"ctx", "one too many"}), "<false/>");
    EXPECT_EQ(main.Answer("MenuContext.removeItem", {"ctx", "item700"}), "<true/>");
    EXPECT_EQ(main.Answer("MenuContext.removeItem", {"ctx", "item9"}), "<true/>");
    EXPECT_EQ(main.Answer("MenuContext.addItem", {"ctx", "late"}), "<true/>");
    // item9 had the ninth id, the lowest one freed.
    EXPECT_EQ(main.menus.context->entries.back().command, kFirst + 8);
    EXPECT_TRUE(commands.Choose(kFirst + 8));
    EXPECT_EQ(main.movie.calls.back(), "onMenuCommand(ctx,late)");
    EXPECT_FALSE(commands.Choose(kFirst + 699));
    EXPECT_EQ(main.menus.context->entries.front().command, kFirst);
    EXPECT_EQ(main.menus.context->entries[main.menus.context->entries.size() - 2].command,
              MenuCommands::kLastCommand);
}

TEST_F(MenuFamilyTest, AnAdditionalWindowsMenusLiveInTheMainBarAndReachItsOwnMovie) {
    auto second = std::make_unique<MenuWindow>(commands);
    second->menus.bar = &main.menus.ownBar;
    main.Answer("MenuBar.new", {"bar"});
    main.Answer("MenuBar.addMenu", {"bar", "File"});
    main.Answer("MenuBar.addItem", {"bar", "File", "Open"});
    second->Answer("MenuBar.new", {"bar"});
    EXPECT_EQ(second->Answer("MenuBar.addMenu", {"bar", "File"}), "<true/>");
    EXPECT_EQ(second->Answer("MenuBar.addItem", {"bar", "File", "Save"}), "<true/>");
    ASSERT_EQ(main.menus.ownBar.dropDowns.size(), 2u);
    const MenuCommand save = main.menus.ownBar.dropDowns[1].menu->entries[0].command;

    EXPECT_TRUE(commands.Choose(save));
    EXPECT_TRUE(main.movie.calls.empty());
    EXPECT_EQ(second->movie.calls, std::vector<std::string>{"onMenuCommand(File,Save)"});

    // When the additional window goes, so do its menus and their ids.
    second.reset();
    ASSERT_EQ(main.menus.ownBar.dropDowns.size(), 1u);
    EXPECT_FALSE(commands.Choose(save));
    EXPECT_EQ(commands.InUse(), 1u);
}

TEST(MenuCommands, CountsUpThenReusesTheLowestFreedIdAndNeverGivesDialogAnswers) {
    struct NoOwner : MenuCommandOwner {
        bool OnMenuCommand(MenuCommand) override { return true; }
    } owner;
    MenuCommands commands;
    EXPECT_EQ(commands.Take(owner), kFirst);
    EXPECT_EQ(commands.Take(owner), kFirst + 1);
    commands.Release(kFirst);
    commands.Release(kFirst);  // twice: ignored
    commands.Release(500);     // not in use: ignored
    EXPECT_EQ(commands.Take(owner), kFirst + 2) << "the counter goes on while it can";
    EXPECT_EQ(commands.OwnerOf(kFirst), nullptr);
    EXPECT_EQ(commands.OwnerOf(kFirst + 1), &owner);
    while (commands.InUse() < MenuCommands::kCommandCount - 1) {
        const std::optional<MenuCommand> command = commands.Take(owner);
        ASSERT_TRUE(command);
        ASSERT_GT(*command, 2) << "IDOK and IDCANCEL stay free";
    }
    EXPECT_EQ(commands.Take(owner), kFirst);
    EXPECT_EQ(commands.Take(owner), std::nullopt);
    EXPECT_EQ(commands.NextMenuId(), 1u);
    EXPECT_EQ(commands.NextMenuId(), 2u);
}

}  // namespace
}  // namespace kestrel
