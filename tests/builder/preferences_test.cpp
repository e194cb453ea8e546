#include "builder/preferences.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "builder/project_paths.h"
#include "builder/recent_list.h"
#include "builder/registry_store.h"

namespace kestrel {
namespace {

RegistryValue Bytes(RegistryType type, std::string bytes) {
    return {type, std::vector<uint8_t>(bytes.begin(), bytes.end())};
}

bool AnyFileExists(const std::string&) {
    return true;
}

struct StringCase {
    const char* what;
    RegistryValue value;
    std::optional<std::string> expected;
};

TEST(RegistryStoreTest, StringsAreReadWithTheirTypeAndSizeCheckedAndAlwaysTerminated) {
    const StringCase cases[] = {
        {"terminated text", Bytes(RegistryType::String, std::string("open\0", 5)), "open"},
        {"text without terminator", Bytes(RegistryType::String, "open"), "open"},
        {"text ends at the first zero", Bytes(RegistryType::String, std::string("op\0en\0", 6)),
         "op"},
        {"empty value", Bytes(RegistryType::String, ""), ""},
        {"fills the buffer with its terminator",
         Bytes(RegistryType::String, std::string(7, 'x') + '\0'), std::string(7, 'x')},
        {"no room left for a terminator", Bytes(RegistryType::String, std::string(8, 'x')), {}},
        {"longer than the buffer", Bytes(RegistryType::String, std::string(9, 'x')), {}},
        {"multi-string", Bytes(RegistryType::MultiString, std::string("a\0\0", 3)), {}},
        {"binary", Bytes(RegistryType::Binary, "open"), {}},
        {"dword", Bytes(RegistryType::Dword, "open"), {}},
    };
    for (const StringCase& c : cases) {
        MemoryRegistryStore store;
        store.Write("v", c.value);
        EXPECT_EQ(ReadString(store, "v", 8), c.expected) << c.what;
    }
    MemoryRegistryStore empty;
    EXPECT_EQ(ReadString(empty, "v", 8), std::nullopt);
}

TEST(RegistryStoreTest, DwordsNeedTheirTypeAndFourBytes) {
    MemoryRegistryStore store;
    WriteDword(store, "v", 0x12345678);
    EXPECT_EQ(ReadDword(store, "v"), 0x12345678u);
    store.Write("short", Bytes(RegistryType::Dword, "abc"));
    store.Write("text", Bytes(RegistryType::String, std::string("1\0\0\0", 4)));
    EXPECT_EQ(ReadDword(store, "short"), std::nullopt);
    EXPECT_EQ(ReadDword(store, "text"), std::nullopt);
}

TEST(RecentListTest, AddMovesAnEntryThatDiffersOnlyInCaseToTheFront) {
    RecentList list;
    list.Add("C:\\p\\one.kstl");
    list.Add("C:\\p\\two.kstl");
    list.Add("c:\\P\\ONE.KSTL");
    EXPECT_EQ(list.Entries(), (std::vector<std::string>{"c:\\P\\ONE.KSTL", "C:\\p\\two.kstl"}));
    // Relative paths are made absolute.
    list.Add("three.kstl");
    EXPECT_TRUE(IsAbsolutePath(list.Entries().front()));
}

TEST(RecentListTest, CommandsMapToShownEntriesOnly) {
    RecentList list;
    for (const char* path : {"C:\\a", "C:\\b", "C:\\c"}) list.Add(path);
    list.SetMaximum(2);
    EXPECT_EQ(list.Shown(), (std::vector<std::string>{"C:\\c", "C:\\b"}));
    ASSERT_NE(list.EntryForCommand(5001, kRecentProjectsCommandBase), nullptr);
    EXPECT_EQ(*list.EntryForCommand(5001, kRecentProjectsCommandBase), "C:\\b");
    EXPECT_EQ(list.EntryForCommand(5002, kRecentProjectsCommandBase), nullptr);
    EXPECT_EQ(list.EntryForCommand(4999, kRecentProjectsCommandBase), nullptr);
    list.SetMaximum(0);
    EXPECT_TRUE(list.Shown().empty());
    MemoryRegistryStore store;
    list.Store(store, "recent_projects");
    EXPECT_EQ(store.Values().size(), 1u);
    EXPECT_EQ(ReadDword(store, "recent_projects_max"), 0u);
}

TEST(RecentListTest, LoadStopsAtTheFirstGapAndDropsMissingFiles) {
    MemoryRegistryStore store;
    WriteDword(store, "recent_swf_max", 5);
    WriteString(store, "recent_swf_1", "C:\\one.swf");
    WriteString(store, "recent_swf_2", "C:\\gone.swf");
    WriteString(store, "recent_swf_3", "C:\\three.swf");
    WriteString(store, "recent_swf_5", "C:\\five.swf");
    RecentList list;
    list.Load(store, "recent_swf", [](const std::string& path) { return path != "C:\\gone.swf"; });
    EXPECT_EQ(list.Entries(), (std::vector<std::string>{"C:\\one.swf", "C:\\three.swf"}));
}

TEST(RecentListTest, TheStoredMaximumIsClampedOnLoad) {
    const struct {
        uint32_t stored;
        int loaded;
    } cases[] = {{0, 0},           {7, 7},          {10, 10},       {11, 10},
                 {0x7FFFFFFF, 10}, {0xFFFFFFFF, 0}, {0x80000000, 0}};
    for (const auto& c : cases) {
        MemoryRegistryStore store;
        WriteDword(store, "recent_projects_max", c.stored);
        for (int i = 1; i <= 12; ++i)
            WriteString(store, "recent_projects_" + std::to_string(i), "C:\\" + std::to_string(i));
        RecentList list;
        list.Load(store, "recent_projects", AnyFileExists);
        EXPECT_EQ(list.Maximum(), c.loaded) << c.stored;
        EXPECT_EQ(list.Entries().size(), static_cast<size_t>(c.loaded)) << c.stored;
    }
}

TEST(PreferencesTest, AnEmptyKeyLeavesTheDefaults) {
    MemoryRegistryStore store;
    Preferences preferences;
    LoadPreferences(preferences, store, AnyFileExists);
    EXPECT_EQ(preferences.mainWindowX, 50);
    EXPECT_EQ(preferences.settingsWindowWidth, 400);
    EXPECT_TRUE(preferences.settingsWindowVisible);
    EXPECT_EQ(preferences.startCommand, StartCommand::NewFromMovie);
    EXPECT_TRUE(preferences.checkForUpdates);
    EXPECT_FALSE(preferences.alwaysOverwrite);
    EXPECT_EQ(preferences.recentProjects.Maximum(), 5);
    EXPECT_EQ(preferences.customColours[15], 0xFFFFFFu);
}

TEST(PreferencesTest, SavedValuesLoadBack) {
    Preferences saved;
    saved.mainWindowX = -120;
    saved.settingsWindowHeight = 333;
    saved.settingsWindowVisible = false;
    saved.startCommand = StartCommand::OpenProject;
    saved.displayFullPath = false;
    saved.alwaysOverwrite = true;
    saved.checkForUpdates = false;
    saved.warnMacVersion = false;
    saved.customColours[3] = 0x00123456;
    saved.recentProjects.Add("C:\\a.kstl");
    saved.recentProjects.Add("C:\\b.kstl");
    saved.recentMovies.SetMaximum(1);
    saved.recentMovies.Add("C:\\a.swf");
    MemoryRegistryStore store;
    ASSERT_TRUE(SavePreferences(saved, store));
    EXPECT_EQ(ReadString(store, "project_command", 64), "open");
    EXPECT_EQ(ReadDword(store, "always_overwrite"), 1u);

    Preferences loaded;
    LoadPreferences(loaded, store, AnyFileExists);
    EXPECT_EQ(loaded.mainWindowX, -120);
    EXPECT_EQ(loaded.settingsWindowHeight, 333);
    EXPECT_FALSE(loaded.settingsWindowVisible);
    EXPECT_EQ(loaded.startCommand, StartCommand::OpenProject);
    EXPECT_FALSE(loaded.displayFullPath);
    EXPECT_TRUE(loaded.alwaysOverwrite);
    EXPECT_FALSE(loaded.checkForUpdates);
    EXPECT_FALSE(loaded.warnMacVersion);
    EXPECT_EQ(loaded.customColours[3], 0x00123456u);
    EXPECT_EQ(loaded.recentProjects.Entries(),
              (std::vector<std::string>{"C:\\b.kstl", "C:\\a.kstl"}));
    EXPECT_EQ(loaded.recentMovies.Maximum(), 1);
    EXPECT_EQ(loaded.recentMovies.Entries(), (std::vector<std::string>{"C:\\a.swf"}));
}

TEST(PreferencesTest, AnUnknownStartCommandOrAWrongTypeLeavesTheField) {
    MemoryRegistryStore store;
    WriteString(store, "project_command", "reopen");
    store.Write("main_window_x", Bytes(RegistryType::String, std::string("70\0", 3)));
    WriteDword(store, "check_software_updates", 7);
    Preferences preferences;
    preferences.startCommand = StartCommand::NewProject;
    LoadPreferences(preferences, store, AnyFileExists);
    EXPECT_EQ(preferences.startCommand, StartCommand::NewProject);
    EXPECT_EQ(preferences.mainWindowX, 50);
    EXPECT_TRUE(preferences.checkForUpdates);
}

}  // namespace
}  // namespace kestrel
