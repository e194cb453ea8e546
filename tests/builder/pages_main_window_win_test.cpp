// The settings pages inside the builder's real main window: the window
// shows the new project's main window on every page, edits through the pages
// reach the main window's undo history, undo reloads the pages, and the
// Windows page grows with the main window.
#include <gtest/gtest.h>
#include <windows.h>
// After <windows.h>, which it needs.
#include <commctrl.h>

#include <string>

#include "builder/ui/main_window.h"
#include "builder/ui/page_ids.h"
#include "builder/ui/resource_ids.h"
#include "tests/builder/builder_ui_driver_win.h"
#include "tests/common/test_folder.h"
#include "tests/support/ui_test_support.h"

namespace kestrel {
namespace {

std::string TextOf(HWND page, int id) {
    return uitest::WindowText(GetDlgItem(page, id));
}

TEST(PagesInMainWindowTest, PagesEditTheMainWindowsProject) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    test::TestFolder folder;
    Preferences preferences;
    preferences.checkForUpdates = false;
    test::FakeFileDialogs dialogs;  // nothing queued: every question is cancelled
    MainWindowServices services;
    services.preferences = &preferences;
    services.dialogs = &dialogs;
    services.tempFolder = folder.path();
    services.quit = [] {};
    MainWindow main(services);
    ASSERT_TRUE(main.Create());
    ShowWindow(main.Handle(), SW_SHOW);
    MainPages* pages = main.Pages();
    ASSERT_NE(pages, nullptr);
    pages->ShowSettingsWindow(true);

    HWND windows = GetDlgItem(main.Handle(), ID_PAGE_WINDOWS);
    HWND settings = pages->SettingsWindow();
    HWND windowPage = GetDlgItem(settings, ID_PAGE_WINDOW);
    ASSERT_TRUE(windows && settings && windowPage);
    EXPECT_EQ(uitest::WindowText(settings), "Settings");

    // A new project shows its main window.
    HWND list = GetDlgItem(windows, IDC_WINDOW_LIST);
    EXPECT_EQ(ListView_GetItemCount(list), 1);
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 0);
    EXPECT_EQ(TextOf(windows, IDC_WINDOW_NAME), "MainWindow");
    EXPECT_EQ(TextOf(windowPage, IDC_WINDOW_TITLE), "Window");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(windowPage, IDC_WINDOW_TITLE)));

    // An edit through a page is one entry of the main window's history, and
    // undo brings the page back.
    HWND title = GetDlgItem(windowPage, IDC_WINDOW_TITLE);
    SendMessageA(title, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Show"));
    SendMessageA(title, EM_SETMODIFY, TRUE, 0);  // as typing sets it
    SendMessageA(windowPage, WM_COMMAND, MAKEWPARAM(IDC_WINDOW_TITLE, EN_KILLFOCUS),
                 reinterpret_cast<LPARAM>(title));
    EXPECT_EQ(main.CurrentProject().MainWindow().Settings().windowTitle, "Show");
    EXPECT_EQ(main.History().Count(), 1u);
    SendMessageA(main.Handle(), WM_COMMAND, ID_EDIT_UNDO, 0);
    EXPECT_EQ(TextOf(windowPage, IDC_WINDOW_TITLE), "Window");

    // Typed but not applied: Save and Export apply it first.
    SendMessageA(title, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Typed"));
    SendMessageA(title, EM_SETMODIFY, TRUE, 0);
    pages->ApplyPendingEdits();
    EXPECT_EQ(main.CurrentProject().MainWindow().Settings().windowTitle, "Typed");

    // The Windows page grows with the main window.
    int listWidth = uitest::WindowRectangle(list).right - uitest::WindowRectangle(list).left;
    RECT frame = uitest::WindowRectangle(main.Handle());
    SetWindowPos(main.Handle(), nullptr, 0, 0, frame.right - frame.left + 120,
                 frame.bottom - frame.top + 40, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(uitest::WindowRectangle(list).right - uitest::WindowRectangle(list).left,
              listWidth + 120);

    SetWindowPos(main.Handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    SetWindowPos(main.Handle(), nullptr, 4, 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT mainRect = uitest::WindowRectangle(main.Handle());
    SetWindowPos(settings, HWND_TOP, mainRect.right + 4, 4, 0, 0, SWP_NOSIZE);
    test::SaveTestScreenshot("main_window_with_pages");
}

}  // namespace
}  // namespace kestrel
