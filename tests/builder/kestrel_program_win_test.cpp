// kestrel.exe as the shell starts it: with a project on its command line.
#include <windows.h>
// Needs the types of <windows.h>.
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>

#include "builder/preferences.h"
#include "builder/project.h"
#include "builder/project_file_writer.h"
#include "builder/registry_key_store_win.h"
#include "tests/common/test_folder.h"
#include "tests/support/ui_test_support.h"

namespace kestrel {
namespace {

HWND FindMainWindow(DWORD processId) {
    for (HWND window : uitest::FindTopLevelWindows(processId, "#32770", nullptr)) {
        if (uitest::WindowText(window).rfind("Kestrel: ", 0) == 0 && IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

TEST(KestrelProgram, OpensTheProjectOnItsCommandLineAndKeepsItsPlaceOnTheScreen) {
    SHDeleteKeyA(HKEY_CURRENT_USER, kPreferencesKey);
    {
        auto key = RegistryKeyStore::Open(kPreferencesKey, RegistryKeyStore::Access::Write);
        ASSERT_TRUE(key);
        WriteDword(*key, "check_software_updates", 0);
        // A place kept from a larger screen.
        WriteDword(*key, "main_window_x", 5000);
        WriteDword(*key, "main_window_y", 4000);
    }
    test::TestFolder folder;
    const std::string path = folder / "shell show.kstl";
    Project project;
    project.MainWindow().SetWindowTitle("From the shell");
    ASSERT_EQ(SaveProjectFile(project, path), ProjectFileError::None);

    uitest::TestProcess builder;
    uitest::StartOptions options;
    options.program = KESTREL_EXE;
    ASSERT_TRUE(builder.start(options, {path}));
    HWND main = nullptr;
    ASSERT_TRUE(
        uitest::WaitUntil([&] { return (main = FindMainWindow(builder.id())) != nullptr; }, 60000));
    EXPECT_EQ(uitest::WindowText(main), "Kestrel: " + path);
    const RECT place = uitest::WindowRectangle(main);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_GE(place.left, 0);
    EXPECT_GE(place.top, 0);
    EXPECT_LE(place.right, screenWidth);
    EXPECT_LE(place.bottom, screenHeight);

    uitest::CloseWindowPolitely(main);
    uint32_t exitCode = 1;
    ASSERT_TRUE(builder.waitForExit(30000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    auto key = RegistryKeyStore::Open(kPreferencesKey, RegistryKeyStore::Access::Read);
    ASSERT_TRUE(key);
    EXPECT_EQ(ReadDword(*key, "main_window_x"), static_cast<uint32_t>(place.left));
    EXPECT_EQ(ReadDword(*key, "main_window_y"), static_cast<uint32_t>(place.top));
    EXPECT_EQ(ReadString(*key, "recent_projects_1", 260), path);
    key.reset();
    SHDeleteKeyA(HKEY_CURRENT_USER, kPreferencesKey);
}

}  // namespace
}  // namespace kestrel
