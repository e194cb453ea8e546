// The System, Clipboard, Network and Dialogs calls against the real system
// (Wine): answers compared with the system's own, dialogs found and pressed
// by a watcher thread while the call waits.
#include <gtest/gtest.h>
#include <windows.h>

// These need <windows.h> first.
#include <commdlg.h>
#include <shlobj.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "common/callback_guard.h"
#include "projector/api/desktop_services_win.h"
#include "projector/api/dialog_services_win.h"
#include "projector/api/system_services_win.h"
#include "projector/api/system_values.h"
#include "tests/support/ui_test_support.h"

namespace kestrel {
namespace {

constexpr DWORD kDialogTimeoutMs = 20000;

TEST(SystemServicesWinTest, AnswersMatchTheSystem) {
    SystemServicesWin system;
    EXPECT_EQ(system.ScreenWidth(), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(system.ScreenHeight(), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_GT(system.ScreenBitsPerPixel(), 0);

    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    ASSERT_TRUE(GlobalMemoryStatusEx(&status));
    EXPECT_EQ(system.TotalPhysicalMemory(), status.ullTotalPhys);
    EXPECT_GT(system.TotalPhysicalMemory(), 0u);

    std::optional<OsVersion> version = system.Version();
    ASSERT_TRUE(version);
    EXPECT_EQ(version->platform, OsPlatform::WindowsNT);
    EXPECT_GE(version->major, 5u);
    EXPECT_NE(OsName(version), "") << version->major << "." << version->minor;
    EXPECT_NE(OsName(version), "Unknown");

    EXPECT_FALSE(system.UserName().empty());
    EXPECT_FALSE(system.ComputerName().empty());
    const std::string program = system.ProgramPath();
    EXPECT_EQ(program.substr(program.size() - 4), ".exe") << program;
}

TEST(SystemServicesWinTest, DrivesSpaceAndLabels) {
    SystemServicesWin system;
    const std::uint32_t mask = system.LogicalDriveMask();
    EXPECT_EQ(mask, GetLogicalDrives());
    ASSERT_TRUE(mask & (1u << 2)) << "no drive C:";
    DriveSpace current = system.Space("");  // the current drive
    EXPECT_GT(current.totalBytes, 0u);
    EXPECT_LE(current.freeBytes, current.totalBytes);
    DriveSpace c = system.Space("C:\\");
    EXPECT_GT(c.totalBytes, 0u);
    EXPECT_TRUE(system.VolumeLabel("C:\\").has_value());
    // A letter no drive has: no answer, no system message box, no wait.
    int absent = 25;
    while (absent > 2 && (mask & (1u << absent))) --absent;
    const std::string root = std::string(1, static_cast<char>('A' + absent)) + ":\\";
    EXPECT_FALSE(system.VolumeLabel(root).has_value());
    EXPECT_EQ(system.Space(root).totalBytes, 0u);
}

TEST(SystemServicesWinTest, VolumeRoundTripsWhereThereIsAMixer) {
    SystemServicesWin system;
    std::optional<std::uint32_t> before = system.SpeakerVolume();
    if (!before) GTEST_SKIP() << "no speaker volume control on this machine";
    for (int percent : {0, 37, 50, 100}) {
        ASSERT_TRUE(system.SetSpeakerVolume(VolumeControlValue(percent)));
        std::optional<std::uint32_t> now = system.SpeakerVolume();
        ASSERT_TRUE(now);
        EXPECT_EQ(VolumePercent(*now), percent);
    }
    system.SetSpeakerVolume(*before);
}

bool ShutdownPrivilegeEnabled() {
    HANDLE rawToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &rawToken)) return false;
    KernelHandle token(rawToken);
    LUID shutdown{};
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &shutdown);
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenPrivileges, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    bool enabled = false;
    if (GetTokenInformation(token.get(), TokenPrivileges, buffer.data(), size, &size)) {
        auto* privileges = reinterpret_cast<TOKEN_PRIVILEGES*>(buffer.data());
        for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
            const LUID_AND_ATTRIBUTES& entry = privileges->Privileges[i];
            if (entry.Luid.LowPart == shutdown.LowPart && entry.Luid.HighPart == shutdown.HighPart)
                enabled = (entry.Attributes & SE_PRIVILEGE_ENABLED) != 0;
        }
    }
    return enabled;
}

// The session requests themselves are never made here: they would end the session.
TEST(SystemServicesWinTest, TheShutdownPrivilegeIsEnabledBeforeSessionRequests) {
    EXPECT_TRUE(EnableShutdownPrivilege());
    EXPECT_TRUE(ShutdownPrivilegeEnabled());
}

TEST(SystemServicesWinTest, LaunchStartsTheProgramAndAnswersTheShellsResult) {
    SystemServicesWin system;
    const std::string helper = LAUNCH_MARKER_EXE;
    const std::string marker = helper + ".marker";
    DeleteFileA(marker.c_str());
    EXPECT_GT(system.ShellOpen(helper), 32);
    EXPECT_TRUE(uitest::WaitUntil(
        [&] { return GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000));
    std::ifstream file(marker);
    std::string text;
    std::getline(file, text);
    EXPECT_EQ(text, "launched");
    file.close();
    DeleteFileA(marker.c_str());
    EXPECT_LE(system.ShellOpen(helper + ".missing.exe"), 32);
}

// A plain top-level window that stands for a projector window: its close
// waits while a dialog is open, as a projector window's does.
class TestWindow {
  public:
    TestWindow() {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = Procedure;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.lpszClassName = "KestrelDesktopTestWindow";
            RegisterClassA(&windowClass);
            registered = true;
        }
        owner_.reset(CreateWindowExA(0, "KestrelDesktopTestWindow", "test",
                                     WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                                     nullptr, GetModuleHandleA(nullptr), nullptr));
        handle = owner_.get();
        SetWindowLongPtrA(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    HWND handle = nullptr;  // not owned: owner_ destroys it
    int closes = 0;

  private:
    OwnedWindow owner_;

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return GuardedCall<LRESULT>(0, [&]() -> LRESULT {
            if (message == WM_CLOSE) {
                if (DeferCloseWhileDialogOpen(window)) return 0;
                auto* self =
                    reinterpret_cast<TestWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
                if (self) ++self->closes;
                return 0;
            }
            if (message == WM_NCDESTROY) {
                auto* self =
                    reinterpret_cast<TestWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
                if (self) self->owner_.release();  // gone already
            }
            return DefWindowProcA(window, message, wParam, lParam);
        });
    }
};

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

// A dialog of this process owned by `owner`.
HWND WaitForOwnedDialog(HWND owner) {
    return uitest::WaitForOwnedDialog(GetCurrentProcessId(), owner, kDialogTimeoutMs);
}

class DialogServicesWinTest : public ::testing::Test {
  protected:
    DialogServicesWin Services() {
        return DialogServicesWin(
            [this] { return owner.handle; },
            [this] {
                return std::vector<HWND>{owner.handle, other.handle, hidden.handle};
            });
    }
    // Runs `watch(dialog)` on a thread of its own once a dialog owned by the
    // owner window shows; `call` runs here meanwhile.
    void WithWatcher(const std::function<void(HWND)>& watch, const std::function<void()>& call) {
        std::thread watcher([&] {
            HWND dialog = WaitForOwnedDialog(owner.handle);
            ASSERT_NE(dialog, nullptr) << "no dialog owned by the calling window";
            watch(dialog);
        });
        call();
        watcher.join();
        PumpMessages();
    }
    TestWindow owner, other, hidden;
};

TEST_F(DialogServicesWinTest, MessageBoxIsOwnedDisablesTheOtherWindowsAndDefersCloses) {
    EnableWindow(hidden.handle, FALSE);  // stays disabled afterwards
    DialogServicesWin dialogs = Services();
    std::atomic<bool> otherEnabledDuring{true}, ownerEnabledDuring{true};
    std::string text;
    MessageBoxAnswer answer = MessageBoxAnswer::None;
    WithWatcher(
        [&](HWND box) {
            otherEnabledDuring = IsWindowEnabled(other.handle) != FALSE;
            ownerEnabledDuring = IsWindowEnabled(owner.handle) != FALSE;
            text = uitest::MessageBoxText(box);
            // Closing a window now must wait until the dialog's call returns.
            SendMessageA(other.handle, WM_CLOSE, 0, 0);
            EXPECT_EQ(other.closes, 0);
            uitest::PressButton(box, IDNO);
        },
        [&] {
            answer = dialogs.ShowMessageBox("Question", "Keep going?", MessageBoxButtons::YesNo,
                                            MessageBoxIcon::Warning);
        });
    EXPECT_EQ(answer, MessageBoxAnswer::No);
    EXPECT_EQ(text, "Keep going?");
    EXPECT_FALSE(otherEnabledDuring);
    EXPECT_FALSE(ownerEnabledDuring);
    EXPECT_TRUE(IsWindowEnabled(other.handle));
    EXPECT_TRUE(IsWindowEnabled(owner.handle));
    EXPECT_FALSE(IsWindowEnabled(hidden.handle));
    EXPECT_EQ(other.closes, 1) << "the deferred close is asked for again after the call";
    EXPECT_FALSE(DeferCloseWhileDialogOpen(other.handle));
}

TEST_F(DialogServicesWinTest, ColourChooserAnswersTheChosenColourOrNothing) {
    DialogServicesWin dialogs = Services();
    std::optional<std::uint32_t> chosen;
    WithWatcher([](HWND dialog) { uitest::PressButton(dialog, IDOK); },
                [&] { chosen = dialogs.ShowColorChooser(RGB(0, 0, 255)); });
    EXPECT_EQ(chosen, std::optional<std::uint32_t>(RGB(0, 0, 255)));
    WithWatcher([](HWND dialog) { uitest::PressButton(dialog, IDCANCEL); },
                [&] { chosen = dialogs.ShowColorChooser(RGB(1, 2, 3)); });
    EXPECT_FALSE(chosen);
}

// Three small files in a fresh folder under the temporary folder, removed
// again afterwards.
class TestFolder {
  public:
    TestFolder() {
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof temp, temp);
        path = std::string(temp) + "kestrel_dialog_test_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(path.c_str(), nullptr);
        for (const char* name : kNames) {
            std::ofstream file(path + "\\" + name);
            file << name;
        }
    }
    ~TestFolder() {
        for (const char* name : kNames) DeleteFileA((path + "\\" + name).c_str());
        DeleteFileA((path + "\\new.txt").c_str());
        RemoveDirectoryA(path.c_str());
    }
    std::string path;

  private:
    static constexpr const char* kNames[] = {"a.txt", "b.txt", "c.txt"};
};

std::string CurrentFolder() {
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof folder, folder);
    return folder;
}

// The file-name box of a file dialog (edt1, or cmb13 in the explorer layout).
HWND FileNameBox(HWND dialog) {
    for (int id : {0x480, 0x47c})
        if (HWND box = GetDlgItem(dialog, id)) return box;
    return nullptr;
}

TEST_F(DialogServicesWinTest, FileDialogsAnswerTheChosenFilesAndKeepTheCurrentFolder) {
    DialogServicesWin dialogs = Services();
    TestFolder testFolder;
    const std::string& folder = testFolder.path;
    const std::string before = CurrentFolder();

    ChosenFiles one;
    WithWatcher([](HWND dialog) { uitest::PressButton(dialog, IDOK); },
                [&] { one = dialogs.ChooseFiles(folder + "\\b.txt", false); });
    EXPECT_EQ(one.outcome, ChosenFiles::Outcome::Chosen);
    EXPECT_EQ(one.files, (std::vector<std::string>{folder + "\\b.txt"}));
    EXPECT_EQ(CurrentFolder(), before);

    ChosenFiles three;
    WithWatcher(
        [&](HWND dialog) {
            HWND box = FileNameBox(dialog);
            ASSERT_NE(box, nullptr);
            const std::string names = "\"a.txt\" \"b.txt\" \"c.txt\"";
            SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(names.c_str()));
            uitest::PressButton(dialog, IDOK);
        },
        [&] {
            // The dialog starts in the current folder, which it must leave as it was.
            SetCurrentDirectoryA(folder.c_str());
            three = dialogs.ChooseFiles("", true);
            EXPECT_EQ(CurrentFolder(), folder);
            SetCurrentDirectoryA(before.c_str());
        });
    EXPECT_EQ(three.outcome, ChosenFiles::Outcome::Chosen);
    ASSERT_EQ(three.files.size(), 3u) << ::testing::PrintToString(three.files);
    EXPECT_EQ(three.files[0], folder + "\\a.txt");
    EXPECT_EQ(three.files[1], "b.txt");
    EXPECT_EQ(three.files[2], "c.txt");
    EXPECT_EQ(CurrentFolder(), before);

    std::optional<std::string> saved;
    WithWatcher([](HWND dialog) { uitest::PressButton(dialog, IDOK); },
                [&] { saved = dialogs.ChooseSaveFile(folder + "\\new.txt"); });
    EXPECT_EQ(saved, std::optional<std::string>(folder + "\\new.txt"));

    ChosenFiles cancelled;
    WithWatcher([](HWND dialog) { uitest::PressButton(dialog, IDCANCEL); },
                [&] { cancelled = dialogs.ChooseFiles("", false); });
    EXPECT_EQ(cancelled.outcome, ChosenFiles::Outcome::Cancelled);
    EXPECT_EQ(CurrentFolder(), before);
}

TEST_F(DialogServicesWinTest, FolderBrowserShowsTheInstructionAndAnswersTheFolder) {
    DialogServicesWin dialogs = Services();
    TestFolder testFolder;
    const std::string& folder = testFolder.path;
    std::optional<std::string> chosen;
    bool instructionShown = false;
    WithWatcher(
        [&](HWND dialog) {
            instructionShown = uitest::FindChildWithText(dialog, "Where to?") != nullptr;
            SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE,
                         reinterpret_cast<LPARAM>(folder.c_str()));
            uitest::PressButton(dialog, IDOK);
        },
        [&] { chosen = dialogs.ChooseFolder("Where to?"); });
    EXPECT_TRUE(instructionShown);
    EXPECT_EQ(chosen, std::optional<std::string>(folder));
    WithWatcher([](HWND dialog) { uitest::PressButton(dialog, IDCANCEL); },
                [&] { chosen = dialogs.ChooseFolder(""); });
    EXPECT_FALSE(chosen);
}

TEST(ClipboardServicesWinTest, TextRoundTripsAndTheWindowOwnsTheClipboard) {
    TestWindow window;
    ClipboardServicesWin clipboard([&] { return window.handle; });
    ASSERT_TRUE(clipboard.SetText("abc"));
    EXPECT_EQ(clipboard.Text(), std::optional<std::string>("abc"));
    EXPECT_EQ(GetClipboardOwner(), window.handle);
    ASSERT_TRUE(clipboard.SetText(""));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT)) << "cleared means the empty text";
    EXPECT_EQ(clipboard.Text(), std::optional<std::string>(""));
}

TEST(ApplicationServicesWinTest, ProgramPathIsThisProgram) {
    ApplicationServicesWin application;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    EXPECT_EQ(application.ProgramPath(), path);
}

}  // namespace
}  // namespace kestrel
