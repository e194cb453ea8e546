// The preferences, the recent lists' submenu and the update query against the
// real registry, real menus and a loopback update server.
#include "builder/preferences_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "builder/preferences.h"
#include "builder/recent_menu_win.h"
#include "builder/registry_key_store_win.h"
#include "builder/update_fetch_win.h"
#include "common/win_handles.h"
#include "tests/support/loopback_http_server.h"

namespace kestrel {
namespace {

bool AnyFileExists(const std::string&) {
    return true;
}

// A key of its own under HKCU, removed with everything in it at the end.
class PreferencesKeyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegDeleteKeyA(HKEY_CURRENT_USER, keyName.c_str());
        store = RegistryKeyStore::Open(keyName, RegistryKeyStore::Access::Write);
        ASSERT_NE(store, nullptr);
    }
    void TearDown() override {
        store.reset();
        RegDeleteKeyA(HKEY_CURRENT_USER, keyName.c_str());
    }
    // Writes a value as another program might, bypassing the store.
    void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, keyName.c_str(), 0, KEY_WRITE, &key),
                  ERROR_SUCCESS);
        RegistryKey owned(key);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }

    std::string keyName = "SOFTWARE\\Larkspur\\KestrelTest" + std::to_string(GetCurrentProcessId());
    std::unique_ptr<RegistryKeyStore> store;
};

TEST_F(PreferencesKeyTest, PreferencesSurviveTheRealRegistry) {
    Preferences saved;
    saved.mainWindowX = -30;
    saved.startCommand = StartCommand::NewProject;
    saved.checkForUpdates = false;
    saved.customColours[15] = 0x0000FF;
    saved.recentProjects.Add("C:\\shows\\one.kstl");
    ASSERT_TRUE(SavePreferences(saved, *store));
    store.reset();

    auto reader = RegistryKeyStore::Open(keyName, RegistryKeyStore::Access::Read);
    ASSERT_NE(reader, nullptr);
    Preferences loaded;
    LoadPreferences(loaded, *reader, AnyFileExists);
    EXPECT_EQ(loaded.mainWindowX, -30);
    EXPECT_EQ(loaded.startCommand, StartCommand::NewProject);
    EXPECT_FALSE(loaded.checkForUpdates);
    EXPECT_EQ(loaded.customColours[15], 0x0000FFu);
    EXPECT_EQ(loaded.recentProjects.Entries(), (std::vector<std::string>{"C:\\shows\\one.kstl"}));
}

TEST(BuilderPreferencesTest, TheBuilderKeyKeepsTheRecordAndDropsMissingFiles) {
    char folder[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
    std::string existing =
        std::string(folder) + "kestrel_recent_" + std::to_string(GetCurrentProcessId()) + ".kstl";
    ASSERT_TRUE(KernelHandle(CreateFileA(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr)));

    Preferences saved;
    saved.mainWindowY = 77;
    saved.recentProjects.Add(std::string(folder) + "kestrel_gone.kstl");
    saved.recentProjects.Add(existing);
    ASSERT_TRUE(SaveBuilderPreferences(saved));
    Preferences loaded;
    LoadBuilderPreferences(loaded);
    DeleteFileA(existing.c_str());
    EXPECT_EQ(loaded.mainWindowY, 77);
    EXPECT_EQ(loaded.recentProjects.Entries(), (std::vector<std::string>{existing}));
    RegDeleteKeyA(HKEY_CURRENT_USER, kPreferencesKey);
}

TEST_F(PreferencesKeyTest, ForeignValuesAreCheckedBeforeUse) {
    SetRaw("project_command", REG_SZ, "open", 4);  // no terminator
    SetRaw("recent_swf_max", REG_DWORD, "\x02\x00\x00\x00", 4);
    SetRaw("recent_swf_1", REG_MULTI_SZ, "C:\\a.swf\0\0", 10);
    std::string longPath(300, 'x');
    SetRaw("recent_projects_1", REG_SZ, longPath.c_str(), 301);
    SetRaw("main_window_x", REG_BINARY, "\x01\x02", 2);
    SetRaw("recent_projects_max", REG_DWORD, "\xff\xff\xff\x7f", 4);

    auto reader = RegistryKeyStore::Open(keyName, RegistryKeyStore::Access::Read);
    ASSERT_NE(reader, nullptr);
    Preferences loaded;
    LoadPreferences(loaded, *reader, AnyFileExists);
    EXPECT_EQ(loaded.startCommand, StartCommand::OpenProject);
    EXPECT_TRUE(loaded.recentMovies.Entries().empty());
    EXPECT_TRUE(loaded.recentProjects.Entries().empty());
    EXPECT_EQ(loaded.recentProjects.Maximum(), kRecentListMaximumLimit);
    EXPECT_EQ(loaded.mainWindowX, 50);
}

TEST_F(PreferencesKeyTest, TheUpdateQueryAsksTheServerNamedInTheRegistry) {
    test::LoopbackHttpServer server;
    ASSERT_TRUE(server.Listening());
    const std::string path = "/swupdate/swvers.php?pcd=7961";
    ASSERT_TRUE(WriteString(*store, kUpdateServerValueName, server.Url("")));
    auto reader = RegistryKeyStore::Open(keyName, RegistryKeyStore::Access::Read);
    ASSERT_NE(reader, nullptr);

    server.SetResponse(path, "1.2");
    std::optional<Version> latest = RunUpdateQuery(*reader);
    ASSERT_TRUE(latest.has_value());
    EXPECT_EQ(latest->major, 1);
    EXPECT_EQ(latest->minor, 2);
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].path, path);

    // An error page is a failure, not "no updates"; neither is an overlong
    // body an answer.
    server.SetResponse(path, "1.0", "404 Not Found");
    EXPECT_FALSE(RunUpdateQuery(*reader).has_value());
    server.SetResponse(path, "1.3" + std::string(kMaxUpdateAnswerBytes, ' '));
    EXPECT_FALSE(RunUpdateQuery(*reader).has_value());
    server.SetResponse(path, "2");
    EXPECT_FALSE(RunUpdateQuery(*reader).has_value());
    // Nothing listens on port 1: off line.
    EXPECT_FALSE(FetchLatestVersion("http://127.0.0.1:1" + path).has_value());
}

std::string MenuText(HMENU menu, int position) {
    char text[MAX_PATH] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof(text), MF_BYPOSITION);
    return text;
}

TEST(RecentMenuTest, TheSubmenuShowsTheShownEntriesUnderTheListsCommandIds) {
    OwnedMenu menu(CreatePopupMenu());
    ASSERT_TRUE(menu);
    AppendMenuA(menu.get(), MF_STRING, 1, "stale");
    RecentList list;
    for (const char* path : {"C:\\old.kstl", "C:\\R&D\\show.kstl", "C:\\new.kstl"}) list.Add(path);
    list.SetMaximum(2);
    ASSERT_TRUE(RebuildRecentMenu(menu.get(), list, kRecentProjectsCommandBase));
    ASSERT_EQ(GetMenuItemCount(menu.get()), 2);
    EXPECT_EQ(GetMenuItemID(menu.get(), 0), 5000u);
    EXPECT_EQ(GetMenuItemID(menu.get(), 1), 5001u);
    EXPECT_EQ(MenuText(menu.get(), 0), "C:\\new.kstl");
    EXPECT_EQ(MenuText(menu.get(), 1), "C:\\R&&D\\show.kstl");
    EXPECT_EQ(*list.EntryForCommand(5001, kRecentProjectsCommandBase), "C:\\R&D\\show.kstl");

    list.SetMaximum(0);
    ASSERT_TRUE(RebuildRecentMenu(menu.get(), list, kRecentProjectsCommandBase));
    EXPECT_EQ(GetMenuItemCount(menu.get()), 0);
}

}  // namespace
}  // namespace kestrel
