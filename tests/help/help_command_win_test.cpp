// The Help command of the real builder: kestrel.exe is started, the start
// dialog is cancelled, Help is chosen from the main window's menu, and the
// help built beside the program opens in the HTML Help viewer.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "builder/preferences.h"
#include "builder/ui/resource_ids.h"
#include "common/file_system.h"
#include "common/win_handles.h"
#include "tests/support/ui_test_support.h"

namespace kestrel {
namespace {

constexpr char kUpdateCheckValue[] = "check_software_updates";

// Turns the builder's start-up update check off for the test (no network)
// and puts the user's setting back afterwards.
class UpdateCheckOff {
  public:
    UpdateCheckOff() {
        HKEY raw = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kPreferencesKey, 0, nullptr, 0, KEY_READ | KEY_WRITE,
                            nullptr, &raw, nullptr) != ERROR_SUCCESS)
            return;
        key_.reset(raw);
        DWORD size = sizeof old_;
        hadValue_ = RegQueryValueExA(key_.get(), kUpdateCheckValue, nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(&old_), &size) == ERROR_SUCCESS;
        const DWORD off = 0;
        RegSetValueExA(key_.get(), kUpdateCheckValue, 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&off), sizeof off);
    }
    ~UpdateCheckOff() {
        if (!key_) return;
        if (hadValue_)
            RegSetValueExA(key_.get(), kUpdateCheckValue, 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&old_), sizeof old_);
        else
            RegDeleteValueA(key_.get(), kUpdateCheckValue);
    }
    UpdateCheckOff(const UpdateCheckOff&) = delete;
    UpdateCheckOff& operator=(const UpdateCheckOff&) = delete;

  private:
    RegistryKey key_;
    bool hadValue_ = false;
    DWORD old_ = 0;
};

TEST(HelpCommand, OpensTheCompiledHelpBesideTheBuilder) {
    ASSERT_TRUE(PathExists(JoinPath(KESTREL_EXE_FOLDER, "Kestrel Help.chm")))
        << "the help was not placed beside kestrel.exe";

    UpdateCheckOff updateCheckOff;
    uitest::TestProcess builder;
    uitest::StartOptions options;
    options.program = KESTREL_EXE;
    options.workingFolder = KESTREL_EXE_FOLDER;
    ASSERT_TRUE(builder.start(options));

    // The start dialog comes first; Cancel leaves an empty project.
    HWND start = nullptr;
    ASSERT_TRUE(uitest::WaitUntil(
        [&] {
            for (HWND dialog : uitest::FindTopLevelWindows(builder.id(), "#32770", "Kestrel"))
                if (IsWindowVisible(dialog) &&
                    uitest::FindChildWithText(dialog, "Start a new empty project"))
                    start = dialog;
            return start != nullptr;
        },
        30000));
    ASSERT_TRUE(uitest::PressButton(start, IDCANCEL));
    HWND main = uitest::WaitForTopLevelWindow(builder.id(), nullptr, "Kestrel: Untitled", 10000);
    ASSERT_NE(main, nullptr);

    PostMessageA(main, WM_COMMAND, MAKEWPARAM(ID_HELP_CONTENTS, 0), 0);
    HWND viewer = uitest::WaitForTopLevelWindow(builder.id(), "HH Parent", "Kestrel Help", 20000);
    EXPECT_NE(viewer, nullptr) << "no help window opened";
    EXPECT_EQ(uitest::WaitForMessageBox(builder.id(), "Error", 500), nullptr)
        << "the builder said the help is missing";
    if (viewer) {
        Sleep(1000);  // let it paint
        MakeDirectory("screenshots");
        uitest::SaveScreenshot(JoinPath("screenshots", "help_from_builder.bmp"));
    }
    builder.kill();  // ends without saving preferences into the test's registry
}

}  // namespace
}  // namespace kestrel
