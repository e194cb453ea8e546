// The builder's real windows in this process: the main window and its
// commands, the start dialog, Preferences, the replace question, message
// boxes, the application's start and end. Modal windows are answered by a
// ModalDriver; the file dialogs by FakeFileDialogs.
#include <windows.h>
// These need the types of <windows.h>.
#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <climits>
#include <string>

#include "builder/export/stub_resource_win.h"
#include "builder/project_paths.h"
#include "builder/registry_key_store_win.h"
#include "builder/ui/application.h"
#include "builder/ui/controls.h"
#include "builder/ui/dialog.h"
#include "builder/ui/main_window.h"
#include "builder/ui/message_box.h"
#include "builder/ui/message_loop.h"
#include "builder/ui/replace_question.h"
#include "builder/ui/resource_ids.h"
#include "builder/update_check.h"
#include "common/file_system.h"
#include "tests/builder/builder_test_support.h"
#include "tests/builder/builder_ui_driver_win.h"
#include "tests/support/loopback_http_server.h"
#include "tests/support/ui_test_support.h"

namespace kestrel {
namespace {

using test::FakeFileDialogs;
using test::FindThreadDialog;
using test::ModalDriver;
using test::PumpMessages;

const std::string kTestKey = "Software\\KestrelUiTest\\" + std::to_string(GetCurrentProcessId());

void DeleteTestKey() {
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\KestrelUiTest");
}

class CommonControls : public ::testing::Environment {
  public:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{};
        controls.dwSize = sizeof controls;
        controls.dwICC =
            ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES;
        InitCommonControlsEx(&controls);
    }
    void TearDown() override { DeleteTestKey(); }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new CommonControls);

std::string MenuText(HMENU menu, UINT id) {
    char buffer[512] = {};
    GetMenuStringA(menu, id, buffer, sizeof buffer, MF_BYCOMMAND);
    return buffer;
}

bool MenuEnabled(HWND window, UINT id) {
    const UINT state = GetMenuState(GetMenu(window), id, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

std::vector<std::string> FilesStartingWith(const std::string& folder, const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& name : ListFiles(folder)) {
        if (name.rfind(prefix, 0) == 0) found.push_back(name);
    }
    return found;
}

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        temp_ = folder_ / "_kestrel";
        MakeDirectory(temp_);
        preferences_.checkForUpdates = false;
        MainWindowServices services;
        services.preferences = &preferences_;
        services.dialogs = &dialogs_;
        services.tempFolder = temp_;
        services.preferencesKey = kTestKey;
        services.quit = [this] { ++quits_; };
        window_ = std::make_unique<MainWindow>(services);
        ASSERT_TRUE(window_->Create());
        ShowWindow(Handle(), SW_SHOW);
        PumpMessages(50);
    }

    void TearDown() override {
        window_.reset();
        PumpMessages(20);
    }

    HWND Handle() const { return window_->Handle(); }
    void Command(int id) { SendMessageA(Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    std::string Title() const { return uitest::WindowText(Handle()); }
    // One undoable change of the main window's title, shown on the pages as
    // if typed there (the pages apply what they show before a prompt).
    EditResult EditTitle(const std::string& title) {
        const EditResult result = window_->PerformEdit(
            [&](Project& project) { project.MainWindow().SetWindowTitle(title); });
        window_->RefreshAllPages();
        return result;
    }
    std::string MainTitle() {
        return window_->CurrentProject().MainWindow().Settings().windowTitle;
    }

    test::TestFolder folder_;
    std::string temp_;
    Preferences preferences_;
    FakeFileDialogs dialogs_;
    int quits_ = 0;
    std::unique_ptr<MainWindow> window_;
};

TEST_F(MainWindowTest, StartsUntitledWithItsMenuToolbarTabsAndStatusLine) {
    EXPECT_EQ(Title(), "Kestrel: Untitled");
    HMENU bar = GetMenu(Handle());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(MenuText(bar, ID_FILE_NEW), "New Project\tCtrl+N");
    EXPECT_EQ(MenuText(bar, ID_FILE_SAVE_AS), "Save Project As...\tCtrl+Shift+S");
    EXPECT_EQ(MenuText(bar, ID_EDIT_REDO), "Redo\tShift+Ctrl+Z");
    EXPECT_EQ(MenuText(bar, ID_HELP_ABOUT), "&About Kestrel...");
    HMENU file = GetSubMenu(bar, 0);
    EXPECT_EQ(GetMenuItemID(file, FILE_MENU_RECENT_PROJECTS_POSITION), static_cast<UINT>(-1));
    EXPECT_NE(GetSubMenu(file, FILE_MENU_RECENT_PROJECTS_POSITION), nullptr);
    EXPECT_NE(GetSubMenu(file, FILE_MENU_RECENT_SWFS_POSITION), nullptr);
    EXPECT_FALSE(MenuEnabled(Handle(), ID_EDIT_UNDO));
    EXPECT_FALSE(MenuEnabled(Handle(), ID_EDIT_REDO));
    HWND toolbar = GetDlgItem(Handle(), IDC_TOOLBAR);
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), 7);
    EXPECT_NE(GetDlgItem(Handle(), IDC_MAIN_TABS), nullptr);
    EXPECT_NE(GetDlgItem(Handle(), IDC_STATUS_LINE), nullptr);
}

TEST_F(MainWindowTest, EditsAreUndoableWithSnapshotsAndTheMenuFollows) {
    ASSERT_EQ(EditTitle("First"), EditResult::Undoable);
    EXPECT_EQ(EditTitle("First"), EditResult::Unchanged);
    ASSERT_EQ(EditTitle("Second"), EditResult::Undoable);
    EXPECT_EQ(window_->History().Count(), 2u);
    EXPECT_TRUE(MenuEnabled(Handle(), ID_EDIT_UNDO));
    EXPECT_FALSE(MenuEnabled(Handle(), ID_EDIT_REDO));
    const std::string pid = std::to_string(GetCurrentProcessId());
    EXPECT_EQ(FilesStartingWith(temp_, "_undo" + pid + "_").size(), 2u);
    EXPECT_EQ(FilesStartingWith(temp_, "_redo" + pid + "_").size(), 2u);

    Command(ID_EDIT_UNDO);
    EXPECT_EQ(MainTitle(), "First");
    EXPECT_TRUE(MenuEnabled(Handle(), ID_EDIT_REDO));
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(MainTitle(), "Window");
    EXPECT_FALSE(MenuEnabled(Handle(), ID_EDIT_UNDO));
    Command(ID_EDIT_REDO);
    EXPECT_EQ(MainTitle(), "First");
}

TEST_F(MainWindowTest, SaveWithoutAPathAsksForOneThenWritesTitlesAndRemembers) {
    EditTitle("Saved title");
    const std::string path = folder_ / "show.kstl";
    dialogs_.saveAnswers.push_back(path);
    Command(ID_FILE_SAVE);
    ASSERT_TRUE(PathExists(path));
    ASSERT_EQ(dialogs_.requests.size(), 1u);
    EXPECT_EQ(dialogs_.requests[0].initialName, "Untitled.kstl");
    EXPECT_EQ(dialogs_.requests[0].defaultExtension, "kstl");
    EXPECT_EQ(Title(), "Kestrel: " + path);
    EXPECT_EQ(window_->ProjectPath(), path);
    EXPECT_EQ(window_->CurrentProject().Settings().projectName, "show");
    ASSERT_FALSE(preferences_.recentProjects.Entries().empty());
    EXPECT_TRUE(SamePath(preferences_.recentProjects.Entries()[0], path));
    HMENU recent = GetSubMenu(GetSubMenu(GetMenu(Handle()), 0), FILE_MENU_RECENT_PROJECTS_POSITION);
    EXPECT_EQ(MenuText(recent, kRecentProjectsCommandBase), path);
    EXPECT_FALSE(window_->History().HasUnsavedChanges());

    // A second Save writes to the same file without asking.
    EditTitle("Changed");
    Command(ID_FILE_SAVE);
    EXPECT_EQ(dialogs_.requests.size(), 1u);
    // A file deleted meanwhile goes through Save as again.
    RemoveFile(path);
    dialogs_.saveAnswers.push_back(folder_ / "again.kstl");
    Command(ID_FILE_SAVE);
    EXPECT_EQ(dialogs_.requests.size(), 2u);
    EXPECT_EQ(dialogs_.requests[1].initialName, "show.kstl");
    EXPECT_TRUE(PathExists(folder_ / "again.kstl"));

    // With the file name only in the title.
    preferences_.displayFullPath = false;
    Command(ID_FILE_SAVE);
    EXPECT_EQ(Title(), "Kestrel: again.kstl");
}

TEST_F(MainWindowTest, OpenLoadsTheProjectAndClearsTheHistory) {
    EditTitle("In the file");
    const std::string path = folder_ / "stored.kstl";
    dialogs_.saveAnswers.push_back(path);
    Command(ID_FILE_SAVE_AS);
    EditTitle("Unsaved");
    ASSERT_TRUE(window_->History().HasUnsavedChanges());

    ModalDriver driver;
    std::string question;
    driver.Answer("Save Changes", IDNO, &question);
    dialogs_.openAnswers.push_back(path);
    Command(ID_FILE_OPEN);
    EXPECT_TRUE(driver.Finished());
    EXPECT_EQ(question, "Save changes before closing?");
    EXPECT_EQ(MainTitle(), "In the file");
    EXPECT_EQ(window_->History().Count(), 0u);
    EXPECT_FALSE(MenuEnabled(Handle(), ID_EDIT_UNDO));
    EXPECT_EQ(Title(), "Kestrel: " + path);
}

TEST_F(MainWindowTest, FailedOpensShowTheirMessageAndKeepTheProject) {
    const std::string damaged = folder_ / "damaged.kstl";
    test::WriteBytes(damaged, test::BytesOf("<kestrel><not closed"));
    const std::string noProject = folder_ / "other.kstl";
    test::WriteBytes(noProject, test::BytesOf("<other/>"));
    const struct {
        std::string path;
        const char* message;
    } cases[] = {
        {folder_ / "missing.kstl", "Invalid project file."},
        {folder_.path(), "Invalid project file."},
        {damaged, "Unable to open the project file."},
        {noProject, "Unable to read the project file. The project file may be invalid or corrupt."},
    };
    EditTitle("Kept");
    for (const auto& c : cases) {
        ModalDriver driver;
        std::string text;
        driver.Answer("Error", IDOK, &text);
        EXPECT_FALSE(window_->OpenProjectFile(c.path));
        EXPECT_EQ(text, c.message) << c.path;
        EXPECT_EQ(MainTitle(), "Kept");
        EXPECT_EQ(Title(), "Kestrel: Untitled");
        EXPECT_EQ(window_->History().Count(), 1u);
    }
}

TEST_F(MainWindowTest, TheSaveChangesPromptCancelsSavesOrGoesOn) {
    EditTitle("Edited");
    {
        // Cancel leaves project, history and title alone.
        ModalDriver driver;
        driver.Answer("Save Changes", IDCANCEL);
        Command(ID_FILE_NEW);
        EXPECT_TRUE(driver.Finished());
        EXPECT_EQ(MainTitle(), "Edited");
        EXPECT_EQ(window_->History().Count(), 1u);
    }
    {
        // Yes saves; a cancelled Save as aborts the command.
        ModalDriver driver;
        driver.Answer("Save Changes", IDYES);
        EXPECT_FALSE(window_->Exit());
        EXPECT_EQ(quits_, 0);
    }
    {
        ModalDriver driver;
        driver.Answer("Save Changes", IDYES);
        dialogs_.saveAnswers.push_back(folder_ / "kept.kstl");
        EXPECT_TRUE(window_->Exit());
        EXPECT_EQ(quits_, 1);
        EXPECT_TRUE(PathExists(folder_ / "kept.kstl"));
    }
    // Save, then undo: no prompt, as the saved flag stays.
    Command(ID_EDIT_UNDO);
    EXPECT_TRUE(window_->Exit());
    EXPECT_EQ(quits_, 2);
}

TEST_F(MainWindowTest, NewResetsThenRunsTheStartDialog) {
    dialogs_.saveAnswers.push_back(folder_ / "before.kstl");
    EditTitle("Before");
    Command(ID_FILE_SAVE);
    ModalDriver driver;
    bool mainHiddenMeanwhile = false;
    driver.OnDialog("Kestrel", [&](HWND start) {
        mainHiddenMeanwhile = !IsWindowVisible(Handle());
        SendDlgItemMessageA(start, IDC_START_EMPTY, BM_CLICK, 0, 0);
        test::PostClick(start, IDOK);
    });
    Command(ID_FILE_NEW);
    EXPECT_TRUE(driver.Finished());
    EXPECT_TRUE(mainHiddenMeanwhile);
    EXPECT_TRUE(IsWindowVisible(Handle()));
    EXPECT_EQ(Title(), "Kestrel: Untitled");
    EXPECT_EQ(MainTitle(), "Window");
    EXPECT_EQ(window_->History().Count(), 0u);
    EXPECT_EQ(preferences_.startCommand, StartCommand::NewProject);
}

TEST_F(MainWindowTest, StartDialogFromAMovieSetsTheMainWindowsMovie) {
    const std::string movie = test::WriteMovie(folder_, "intro.swf", 0, 400 * 20, 0, 300 * 20);
    dialogs_.openAnswers.push_back(movie);
    ModalDriver driver;
    bool listEnabled = true;
    driver.OnDialog("Kestrel", [&](HWND start) {
        listEnabled = IsWindowEnabled(GetDlgItem(start, IDC_START_RECENT_LIST));
        test::SaveTestScreenshot("start_dialog");
        test::PostClick(start, IDOK);
    });
    EXPECT_EQ(window_->RunStart(), IDOK);
    EXPECT_FALSE(listEnabled);  // the first radio is checked by default
    const WindowSettings& main = window_->CurrentProject().MainWindow().Settings();
    EXPECT_TRUE(SamePath(main.swf, movie));
    EXPECT_EQ(main.movieWidth, 400);
    EXPECT_EQ(main.windowHeight, 300);
    ASSERT_EQ(dialogs_.requests.size(), 1u);
    EXPECT_EQ(dialogs_.requests[0].title, "Please choose a SWF file");
    EXPECT_EQ(dialogs_.requests[0].filter.Entries()[0].first, "Flash Animation (*.swf)");
}

TEST_F(MainWindowTest, StartDialogOpensARecentProjectOrSaysItIsGone) {
    dialogs_.saveAnswers.push_back(folder_ / "recent.kstl");
    EditTitle("Recent one");
    Command(ID_FILE_SAVE);
    const std::string gone = folder_ / "gone.kstl";
    preferences_.recentProjects.Add(gone);  // most recent, but deleted
    preferences_.startCommand = StartCommand::OpenProject;
    ModalDriver driver;
    std::string error;
    driver.OnDialog("Kestrel", [&](HWND start) {
        HWND list = GetDlgItem(start, IDC_START_RECENT_LIST);
        EXPECT_TRUE(IsWindowEnabled(list));
        EXPECT_EQ(ListView_GetItemCount(list), 2);
        test::PostClick(start, IDOK);  // the first entry: the deleted file
    });
    driver.Answer("Error", IDOK, &error);
    driver.OnDialog("Kestrel", [&](HWND start) {
        HWND list = GetDlgItem(start, IDC_START_RECENT_LIST);
        ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        test::PostClick(start, IDOK);
    });
    EXPECT_EQ(window_->RunStart(), IDOK);
    EXPECT_EQ(error, "Invalid project file.");
    EXPECT_EQ(MainTitle(), "Recent one");
    EXPECT_EQ(Title(), "Kestrel: " + (folder_ / "recent.kstl"));
}

TEST_F(MainWindowTest, ExportWritesTheProjectorAndAsksBeforeReplacing) {
    const std::string movie = test::WriteMovie(folder_, "movie.swf", 0, 200 * 20, 0, 100 * 20);
    const std::string output = folder_ / "out";
    MakeDirectory(output);
    window_->PerformEdit([&](Project& project) {
        project.MainWindow().SetMovie(movie);
        project.SetOutputFolder(output);
        project.SetOutputEnabled(ExportTarget::Windows, true);
        project.SetOutputFileName(ExportTarget::Windows, "Show.exe");
    });
    const std::string exe = output + "\\Show.exe";
    std::vector<uint8_t> stub;
    ASSERT_TRUE(LoadStubResource(nullptr, &stub));
    {
        ModalDriver driver;
        std::string text;
        driver.Answer("Exporting...", IDOK, &text);
        Command(ID_FILE_EXPORT);
        EXPECT_TRUE(driver.Finished());
        EXPECT_EQ(text, "Exporting has finished");
    }
    const test::Bytes built = test::ReadBytes(exe);
    ASSERT_GT(built.size(), stub.size());
    EXPECT_TRUE(std::equal(stub.begin(), stub.begin() + 2, built.begin()));  // "MZ"
    EXPECT_EQ(uitest::WindowText(GetDlgItem(Handle(), IDC_STATUS_LINE)), "");
    // No work folder is left behind.
    EXPECT_TRUE(ListFolders(temp_).empty());

    {
        // Don't Replace keeps the old file; the export still finishes.
        test::WriteBytes(exe, test::BytesOf("old"));
        ModalDriver driver;
        std::string question;
        driver.OnDialog("Kestrel", [&](HWND dialog) {
            question = uitest::WindowText(FindWindowExA(dialog, nullptr, "Static", nullptr));
            EXPECT_EQ(GetDlgItem(dialog, kReplaceStopId), nullptr);  // one output: short form
            EXPECT_FALSE(IsWindowEnabled(Handle()));
            test::PostClick(dialog, kReplaceDontReplaceId);
        });
        driver.Answer("Exporting...", IDOK);
        Command(ID_FILE_EXPORT);
        EXPECT_TRUE(driver.Finished());
        EXPECT_EQ(question, "The item \"Show.exe\" in " + output + " already exists. Replace it?");
        EXPECT_EQ(test::ReadBytes(exe), test::BytesOf("old"));
        EXPECT_TRUE(IsWindowEnabled(Handle()));
    }
    {
        // Closing the question stops: nothing is built and nothing is said.
        ModalDriver driver;
        driver.OnDialog("Kestrel", [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); });
        driver.Then([] {
            EXPECT_EQ(FindThreadDialog("Exporting..."), nullptr);
            return true;
        });
        Command(ID_FILE_EXPORT);
        PumpMessages(200);
        EXPECT_TRUE(driver.Finished());
        EXPECT_EQ(test::ReadBytes(exe), test::BytesOf("old"));
    }
    {
        // Always overwrite: no question.
        preferences_.alwaysOverwrite = true;
        ModalDriver driver;
        driver.Answer("Exporting...", IDOK);
        Command(ID_FILE_EXPORT);
        EXPECT_TRUE(driver.Finished());
        EXPECT_EQ(test::ReadBytes(exe).size(), built.size());
    }
}

TEST_F(MainWindowTest, ExportWithNoOutputChosenSaysNothingWasExported) {
    window_->PerformEdit([&](Project& project) {
        project.SetOutputFolder(folder_.path());
        for (ExportTarget target : kExportTargets) project.SetOutputEnabled(target, false);
    });
    ModalDriver driver;
    std::string text;
    driver.Answer("Exporting...", IDOK, &text);
    Command(ID_FILE_EXPORT);
    EXPECT_TRUE(driver.Finished());
    EXPECT_EQ(text.rfind("Nothing was exported", 0), 0u) << text;
    EXPECT_TRUE(ListFolders(temp_).empty());
}

TEST_F(MainWindowTest, ExportWithoutAStubSaysItFailed) {
    window_.reset();
    MainWindowServices services;
    services.preferences = &preferences_;
    services.dialogs = &dialogs_;
    services.tempFolder = temp_;
    services.loadStub = [](std::vector<uint8_t>*) { return false; };
    window_ = std::make_unique<MainWindow>(services);
    ASSERT_TRUE(window_->Create());
    ModalDriver driver;
    std::string text;
    driver.Answer("Error", IDOK, &text);
    Command(ID_FILE_EXPORT);
    EXPECT_EQ(text, "An error occurred while trying to export the files");
}

TEST_F(MainWindowTest, PreferencesOkStoresTheValuesAndCancelChangesNothing) {
    preferences_.recentProjects.Add(folder_ / "a.kstl");
    preferences_.recentProjects.Add(folder_ / "b.kstl");
    {
        ModalDriver driver;
        driver.OnDialog("Kestrel Preferences", [&](HWND dialog) {
            HWND page = FindWindowExA(dialog, nullptr, "#32770", nullptr);
            SendDlgItemMessageA(page, IDC_PREFERENCES_FULL_PATH, BM_SETCHECK, BST_UNCHECKED, 0);
            test::PostClick(dialog, IDCANCEL);
        });
        Command(ID_EDIT_PREFERENCES);
        EXPECT_TRUE(driver.Finished());
        EXPECT_TRUE(preferences_.displayFullPath);
    }
    ModalDriver driver;
    int shownMaximum = -1;
    driver.OnDialog("Kestrel Preferences", [&](HWND dialog) {
        HWND general = GetDlgItem(dialog, ID_PAGE_PREFERENCES_GENERAL);
        HWND updates = GetDlgItem(dialog, ID_PAGE_PREFERENCES_UPDATES);
        ASSERT_TRUE(general && updates);
        HWND projects = GetDlgItem(general, IDC_PREFERENCES_RECENT_PROJECTS);
        EXPECT_EQ(SendMessageA(projects, CB_GETCOUNT, 0, 0), 11);
        shownMaximum = static_cast<int>(SendMessageA(projects, CB_GETCURSEL, 0, 0));
        SendMessageA(projects, CB_SETCURSEL, 1, 0);
        SendMessageA(general, WM_COMMAND,
                     MAKEWPARAM(IDC_PREFERENCES_RECENT_PROJECTS, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(projects));
        SendDlgItemMessageA(general, IDC_PREFERENCES_RECENT_SWFS, CB_SETCURSEL, 10, 0);
        SendDlgItemMessageA(general, IDC_PREFERENCES_FULL_PATH, BM_SETCHECK, BST_UNCHECKED, 0);
        // The second tab shows the Updates page.
        HWND tabs = GetDlgItem(dialog, IDC_PREFERENCES_TABS);
        TabCtrl_SetCurSel(tabs, 1);
        NMHDR change{tabs, IDC_PREFERENCES_TABS, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageA(dialog, WM_NOTIFY, IDC_PREFERENCES_TABS, reinterpret_cast<LPARAM>(&change));
        EXPECT_TRUE(IsWindowVisible(updates));
        EXPECT_FALSE(IsWindowVisible(general));
        test::SaveTestScreenshot("preferences");
        SendDlgItemMessageA(updates, IDC_PREFERENCES_AUTO_CHECK, BM_SETCHECK, BST_UNCHECKED, 0);
        test::PostClick(dialog, IDOK);
    });
    preferences_.checkForUpdates = true;
    Command(ID_EDIT_PREFERENCES);
    EXPECT_TRUE(driver.Finished());
    EXPECT_EQ(shownMaximum, 5);
    EXPECT_EQ(preferences_.recentProjects.Maximum(), 1);
    EXPECT_EQ(preferences_.recentMovies.Maximum(), 10);
    EXPECT_FALSE(preferences_.displayFullPath);
    EXPECT_FALSE(preferences_.checkForUpdates);
    HMENU recent = GetSubMenu(GetSubMenu(GetMenu(Handle()), 0), FILE_MENU_RECENT_PROJECTS_POSITION);
    EXPECT_EQ(GetMenuItemCount(recent), 1);
}

TEST_F(MainWindowTest, CheckForUpdatesAnswersForEachOutcome) {
    test::LoopbackHttpServer server;
    ASSERT_TRUE(server.Listening());
    {
        auto key = RegistryKeyStore::Open(kTestKey, RegistryKeyStore::Access::Write);
        ASSERT_TRUE(key);
        WriteString(*key, kUpdateServerValueName, server.Url(""));
    }
    const std::string query = "/swupdate/swvers.php?pcd=7961";
    const struct {
        const char* body;
        const char* status;
        const char* caption;
        const char* text;
    } cases[] = {
        {"1.1", "200 OK", "Software Updates...", "No updates are available at this time."},
        {"1.2", "200 OK", "Software Updates...",
         "A newer version of Kestrel is available. Please visit https://larkspur.example to "
         "download it."},
        {"1.2", "404 Not Found", "Error",
         "Kestrel was unable to check for updates. Please make sure you are connected to the "
         "internet"},
    };
    for (const auto& c : cases) {
        server.SetResponse(query, c.body, c.status);
        ModalDriver driver;
        std::string text;
        driver.OnDialog("Kestrel Preferences", [](HWND dialog) {
            HWND updates = GetDlgItem(dialog, ID_PAGE_PREFERENCES_UPDATES);
            test::PostClick(updates, IDC_PREFERENCES_CHECK_NOW);
        });
        driver.Answer(c.caption, IDOK, &text);
        driver.Press("Kestrel Preferences", IDCANCEL);
        Command(ID_EDIT_PREFERENCES);
        EXPECT_TRUE(driver.Finished()) << c.body;
        EXPECT_EQ(text, c.text);
    }
}

TEST_F(MainWindowTest, ResizingGrowsTheTabsAndMovesTheStatusLineButNeverShrinks) {
    HWND tabs = GetDlgItem(Handle(), IDC_MAIN_TABS);
    HWND status = GetDlgItem(Handle(), IDC_STATUS_LINE);
    const RECT tabsBefore = uitest::WindowRectangle(tabs);
    const RECT statusBefore = uitest::WindowRectangle(status);
    RECT window = uitest::WindowRectangle(Handle());
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    SetWindowPos(Handle(), nullptr, 0, 0, width + 120, height + 80, SWP_NOMOVE | SWP_NOZORDER);
    RECT tabsAfter = uitest::WindowRectangle(tabs);
    RECT statusAfter = uitest::WindowRectangle(status);
    EXPECT_EQ(tabsAfter.right - tabsAfter.left, tabsBefore.right - tabsBefore.left + 120);
    EXPECT_EQ(tabsAfter.bottom - tabsAfter.top, tabsBefore.bottom - tabsBefore.top + 80);
    EXPECT_EQ(statusAfter.top - statusBefore.top, 80);
    EXPECT_EQ(statusAfter.right - statusAfter.left, statusBefore.right - statusBefore.left);
    test::SaveTestScreenshot("main_window");

    SetWindowPos(Handle(), nullptr, 0, 0, width - 100, height - 60, SWP_NOMOVE | SWP_NOZORDER);
    tabsAfter = uitest::WindowRectangle(tabs);
    statusAfter = uitest::WindowRectangle(status);
    EXPECT_EQ(tabsAfter.right - tabsAfter.left, tabsBefore.right - tabsBefore.left);
    EXPECT_EQ(tabsAfter.bottom - tabsAfter.top, tabsBefore.bottom - tabsBefore.top);
    EXPECT_EQ(statusAfter.top - window.top, statusBefore.top - window.top);
}

TEST_F(MainWindowTest, ExitKeepsTheNormalPlaceEvenWhenMinimised) {
    SetWindowPos(Handle(), nullptr, 70, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(Handle(), SW_MINIMIZE);
    PumpMessages(50);
    EXPECT_TRUE(window_->Exit());
    EXPECT_EQ(preferences_.mainWindowX, 70);
    EXPECT_EQ(preferences_.mainWindowY, 90);
    EXPECT_GT(preferences_.mainWindowWidth, 100);
}

TEST_F(MainWindowTest, EveryCommandAndToolbarButtonRunsOnce) {
    // Each command with whatever it opens answered; the window stays usable.
    const std::string movie = test::WriteMovie(folder_, "m.swf", 0, 2000, 0, 2000);
    preferences_.recentMovies.Add(movie);
    preferences_.recentProjects.Add(folder_ / "none.kstl");
    window_->PerformEdit([](Project& project) { project.MainWindow().SetWindowTitle("x"); });
    {
        // OK in Preferences rebuilds the submenus from the lists.
        ModalDriver driver;
        driver.Press("Kestrel Preferences", IDOK);
        Command(ID_EDIT_PREFERENCES);
    }
    const struct {
        int id;
        std::function<void(ModalDriver&)> answer;
    } commands[] = {
        {ID_FILE_SAVE, [&](ModalDriver&) { dialogs_.saveAnswers.push_back(folder_ / "c.kstl"); }},
        {ID_FILE_SAVE_AS,
         [&](ModalDriver&) { dialogs_.saveAnswers.push_back(folder_ / "d.kstl"); }},
        {ID_FILE_OPEN, [&](ModalDriver&) { dialogs_.openAnswers.push_back(folder_ / "c.kstl"); }},
        {ID_FILE_NEW, [](ModalDriver& driver) { driver.Press("Kestrel", IDCANCEL); }},
        {ID_FILE_EXPORT, [](ModalDriver& driver) { driver.Answer("Exporting...", IDOK); }},
        {kRecentMoviesCommandBase, [](ModalDriver&) {}},
        // The most recent project is the one just opened: it opens again.
        {kRecentProjectsCommandBase,
         [](ModalDriver& driver) { driver.Answer("Save Changes", IDNO); }},
        {ID_EDIT_UNDO, [](ModalDriver&) {}},
        {ID_EDIT_REDO, [](ModalDriver&) {}},
        {ID_EDIT_PREFERENCES,
         [](ModalDriver& driver) { driver.Press("Kestrel Preferences", IDCANCEL); }},
        {ID_SETTINGS_TAB_SETUP, [](ModalDriver&) {}},
        {ID_SETTINGS_TAB_WINDOW, [](ModalDriver&) {}},
        {ID_SETTINGS_TAB_INPUT, [](ModalDriver&) {}},
        {ID_SETTINGS_TAB_FLASH, [](ModalDriver&) {}},
        // The help opens in a viewer, or a box says there is none.
        {ID_HELP_CONTENTS, [](ModalDriver& driver) { driver.AnswerIfShown(IDOK, 1000); }},
        {ID_HELP_ABOUT,
         [](ModalDriver& driver) {
             driver.OnDialog("About Kestrel", [](HWND about) {
                 EXPECT_EQ(uitest::WindowText(GetDlgItem(about, IDC_VERSION_LINE)),
                           "Version 1.001");
                 test::SaveTestScreenshot("about");
                 test::PostClick(about, IDOK);
             });
         }},
        {ID_FILE_EXIT, [](ModalDriver&) {}},
    };
    window_->PerformEdit([&](Project& project) {
        project.SetOutputFolder(folder_.path());
        project.SetOutputEnabled(ExportTarget::Windows, true);
    });
    for (const auto& command : commands) {
        ModalDriver driver;
        command.answer(driver);
        Command(command.id);
        if (command.id == kRecentMoviesCommandBase) {
            // The recent movie goes to the window the pages show.
            EXPECT_TRUE(SamePath(window_->CurrentProject().MainWindow().Settings().swf, movie));
        }
        PumpMessages(20);
        EXPECT_TRUE(driver.Finished()) << command.id;
        EXPECT_TRUE(IsWindowEnabled(Handle())) << command.id;
    }
    EXPECT_EQ(quits_, 1);
    EXPECT_EQ(Title(), "Kestrel: " + (folder_ / "c.kstl"));

    // The toolbar sends the same commands (New after an unsaved edit).
    window_->PerformEdit([](Project& project) { project.MainWindow().SetWindowTitle("y"); });
    HWND toolbar = GetDlgItem(Handle(), IDC_TOOLBAR);
    const int buttons = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    std::vector<int> sent;
    for (int index = 0; index < buttons; ++index) {
        TBBUTTON button{};
        SendMessageA(toolbar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button));
        if (button.fsStyle & BTNS_SEP) continue;
        sent.push_back(button.idCommand);
        ModalDriver driver;
        if (button.idCommand == ID_FILE_NEW) {
            driver.Answer("Save Changes", IDNO).Press("Kestrel", IDCANCEL);
        }
        if (button.idCommand == ID_FILE_OPEN) dialogs_.openAnswers.push_back(folder_ / "c.kstl");
        if (button.idCommand == ID_FILE_EXPORT) driver.Answer(nullptr, IDOK);
        if (button.idCommand == ID_HELP_CONTENTS) driver.AnswerIfShown(IDOK, 1000);
        SendMessageA(Handle(), WM_COMMAND, MAKEWPARAM(button.idCommand, BN_CLICKED),
                     reinterpret_cast<LPARAM>(toolbar));
        test::WaitUntilFinished(driver, 3000);
        EXPECT_TRUE(driver.Finished()) << button.idCommand;
    }
    EXPECT_EQ(sent, (std::vector<int>{ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_EXPORT,
                                      ID_HELP_CONTENTS}));
}

TEST_F(MainWindowTest, AcceleratorsReachTheMainWindowButClipboardKeysAreNotTaken) {
    HACCEL table = LoadAcceleratorsA(GetModuleHandle(nullptr), MAKEINTRESOURCEA(IDR_ACCELERATORS));
    ASSERT_NE(table, nullptr);
    ACCEL entries[64];
    const int count = CopyAcceleratorTableA(table, entries, 64);
    ASSERT_GT(count, 0);
    for (int index = 0; index < count; ++index) {
        for (int clipboard : {57607, 57634, 57635, 57637, 57680, 57681}) {
            EXPECT_NE(entries[index].cmd, clipboard);
        }
    }

    // Ctrl+Z typed anywhere in the thread undoes through the hook.
    EditTitle("Typed");
    AcceleratorHook hook(Handle(), table);
    ASSERT_TRUE(hook.Installed());
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    PostMessageA(GetDlgItem(Handle(), IDC_MAIN_TABS), WM_KEYDOWN, 'Z', 1);
    PumpMessages(50);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(MainTitle(), "Window");
    EXPECT_EQ(window_->History().Position(), 0u);
}

// The toolkit on its own.

TEST(Controls, EditTextsAreReadWholeAndNumbersSaturate) {
    OwnedWindow parent(CreateWindowExA(0, "STATIC", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                       nullptr, nullptr, nullptr, nullptr));
    EditBox edit;
    ControlCreateArgs args;
    args.parent = parent.get();
    args.id = 100;
    args.rect = {0, 0, 200, 20};
    args.style = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
    ASSERT_TRUE(edit.Create(args));
    const std::string longTitle(700, 't');
    edit.SetText(longTitle);
    EXPECT_EQ(edit.Text(), longTitle);
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"42", 42},
        {"-7", -7},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},
        {"99999999999999999999999", INT_MAX},
    };
    for (const auto& c : cases) {
        edit.SetText(c.text);
        EXPECT_EQ(edit.Integer(), c.value) << c.text;
    }
    edit.DestroyWindow();
    EXPECT_EQ(edit.Handle(), nullptr);
}

TEST(MessageBoxes, LongTextsShowWholeAndMissingStringsSayError) {
    const std::string longText(700, 'w');
    ModalDriver driver;
    std::string shown;
    std::string caption;
    driver.Answer("Long", IDOK, &shown);
    driver.OnDialog(nullptr, [&](HWND box) {
        caption = uitest::WindowText(box);
        shown += "|" + uitest::MessageBoxText(box);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    ShowError(nullptr, "Long", longText);
    ShowResourceError(nullptr, 9999, 9998);
    EXPECT_EQ(shown, longText + "|Error");
    EXPECT_EQ(caption, "Error");
}

class PlainDialog : public Dialog {
  protected:
    bool OnInit() override { return true; }
};

TEST(ModalDialogs, EnableExactlyWhatTheyDisabledAlsoThroughTheCloseBox) {
    OwnedWindow owner(CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                      200, 100, nullptr, nullptr, nullptr, nullptr));
    OwnedWindow alreadyOff(CreateWindowExA(0, "STATIC", "off", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                           0, 200, 100, nullptr, nullptr, nullptr, nullptr));
    EnableWindow(alreadyOff.get(), FALSE);
    bool ownerDisabled = false;
    ModalDriver driver;
    driver.OnDialog("Replace", [&](HWND dialog) {
        ownerDisabled = !IsWindowEnabled(owner.get());
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    });
    PlainDialog dialog;
    const INT_PTR result =
        dialog.RunModalFromTemplate(owner.get(), "Replace", 200, 100,
                                    WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_SYSMODAL);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner.get()));
    EXPECT_FALSE(IsWindowEnabled(alreadyOff.get()));
}

TEST(ReplaceQuestion, AnswersWithApplyToAll) {
    const struct {
        int button;
        bool all;
        ReplaceAnswer expected;
    } cases[] = {
        {kReplaceReplaceId, false, ReplaceAnswer::Replace},
        {kReplaceReplaceId, true, ReplaceAnswer::ReplaceAll},
        {kReplaceDontReplaceId, false, ReplaceAnswer::DontReplace},
        {kReplaceDontReplaceId, true, ReplaceAnswer::DontReplaceAll},
        {kReplaceStopId, false, ReplaceAnswer::Stop},
    };
    for (const auto& c : cases) {
        ModalDriver driver;
        std::vector<std::string> buttons;
        driver.OnDialog("Kestrel", [&](HWND dialog) {
            buttons = uitest::ButtonTexts(dialog);
            if (c.all) {
                SendDlgItemMessageA(dialog, kReplaceApplyToAllId, BM_SETCHECK, BST_CHECKED, 0);
            }
            test::PostClick(dialog, c.button);
        });
        EXPECT_EQ(AskReplace(nullptr, "Show.exe", "C:\\out", true), c.expected);
        EXPECT_EQ(buttons,
                  (std::vector<std::string>{"Apply To All", "Don't Replace", "Stop", "Replace"}));
    }
}

TEST(SystemFileDialogs, OpenAndCancel) {
    auto dialogs = CreateSystemFileDialogs();
    FileDialogArgs args;
    args.title = "Pick one";
    args.filter = FileFilter({"*.kstl"}, true);
    ModalDriver driver;
    driver.Press("Pick one", IDCANCEL);
    std::string path = "unchanged";
    EXPECT_FALSE(dialogs->OpenFile(args, &path));
    EXPECT_EQ(path, "unchanged");
    EXPECT_TRUE(driver.Finished());
}

TEST(Application, StartsWithItsFoldersAndKeysAndSavesPreferencesAtExit) {
    DeleteTestKey();
    test::TestFolder folder;
    const std::string library = JoinPath(ProgramFolder(), "lkxcom.dll");
    test::WriteBytes(library, test::BytesOf("icons"));
    ApplicationOptions options;
    options.preferencesKey = kTestKey;
    options.classesKey = kTestKey + "\\Classes";
    options.tempParent = folder.path();
    {
        auto key = RegistryKeyStore::Open(kTestKey, RegistryKeyStore::Access::Write);
        WriteDword(*key, "main_window_x", 123);
        WriteDword(*key, "check_software_updates", 0);
    }
    Application application(options);
    EXPECT_TRUE(application.OnInit());
    RemoveFile(library);
    EXPECT_TRUE(IsDirectory(folder / "_kestrel"));
    EXPECT_EQ(application.UserPreferences().mainWindowX, 123);
    EXPECT_FALSE(application.UserPreferences().checkForUpdates);

    char command[1024] = {};
    LONG size = sizeof command;
    ASSERT_EQ(RegQueryValueA(HKEY_CURRENT_USER,
                             (options.classesKey + "\\Kestrel.kstl\\shell\\open\\command").c_str(),
                             command, &size),
              ERROR_SUCCESS);
    EXPECT_NE(std::string(command).find("\" \"%1\""), std::string::npos) << command;
    EXPECT_EQ(std::string(command).front(), '"');
    char type[64] = {};
    size = sizeof type;
    RegQueryValueA(HKEY_CURRENT_USER, (options.classesKey + "\\.kstl").c_str(), type, &size);
    EXPECT_STREQ(type, "Kestrel.kstl");

    application.UserPreferences().mainWindowY = 321;
    application.UserPreferences().startCommand = StartCommand::OpenProject;
    EXPECT_TRUE(application.OnExit());
    auto key = RegistryKeyStore::Open(kTestKey, RegistryKeyStore::Access::Read);
    EXPECT_EQ(ReadDword(*key, "main_window_y"), 321u);
    EXPECT_EQ(ReadString(*key, "project_command", 64), "open");
}

TEST(Application, CommandLineGivesTheProjectPath) {
    EXPECT_EQ(ProjectFromCommandLine(""), "");
    EXPECT_EQ(ProjectFromCommandLine("   "), "");
    EXPECT_EQ(ProjectFromCommandLine("\"C:\\My Shows\\a.kstl\""), "C:\\My Shows\\a.kstl");
    EXPECT_EQ(ProjectFromCommandLine(" C:\\a.kstl "), "C:\\a.kstl");
}

}  // namespace
}  // namespace kestrel
