// The settings pages driven for real: the Windows and Output pages in a tab
// control of a stand-in main window, and the settings window with its four
// pages. Controls are worked by id as a user would (clicks, combo selections,
// typed text followed by the focus leaving) and the model, the undo history
// and the controls' shown and enabled state are checked.
#include <windows.h>
// After <windows.h>, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "builder/project.h"
#include "builder/project_editor.h"
#include "builder/ui/main_pages.h"
#include "builder/ui/page_host.h"
#include "builder/ui/page_ids.h"
#include "common/file_system.h"
#include "tests/builder/builder_test_support.h"
#include "tests/builder/builder_ui_driver_win.h"
#include "tests/support/ui_test_support.h"

namespace kestrel {
namespace {

using test::TestFolder;

LRESULT CALLBACK PlainWindowProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    return DefWindowProcA(window, message, w, l);
}

// The main window's part: a top-level window with a tab control, the
// project, its editor and what the pages ask of the main window.
class TestHost : public PageHost {
  public:
    explicit TestHost(const std::string& folder) : editor_(project_, folder) {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = PlainWindowProcedure;
        windowClass.hInstance = GetModuleHandle(nullptr);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = "KestrelPagesTestMain";
        RegisterClassA(&windowClass);
        main_ = CreateWindowExA(0, "KestrelPagesTestMain", "Kestrel: pages test",
                                WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 4, 4, 600, 470, nullptr,
                                nullptr, GetModuleHandle(nullptr), nullptr);
        tabs_ = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 6,
                                6, 574, 420, main_, reinterpret_cast<HMENU>(1034),
                                GetModuleHandle(nullptr), nullptr);
        SendMessageA(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                     FALSE);
        pages_ = CreateMainPages(*this, main_, tabs_);
        ShowWindow(main_, SW_SHOW);
        if (pages_) {
            pages_->ShowSettingsWindow(true);
            SetWindowPos(pages_->SettingsWindow(), nullptr, 560, 4, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            project_.SelectWindow(&project_.MainWindow());
            pages_->RefreshAll();
        }
    }
    ~TestHost() override {
        pages_.reset();
        DestroyWindow(main_);
    }

    Project& CurrentProject() override { return project_; }
    ProjectEditor& Editor() override { return editor_; }
    EditResult PerformEdit(const std::function<void(Project&)>& change) override {
        EditResult result = editor_.Edit(change);
        EditDone(result);
        return result;
    }
    void EditDone(EditResult result) override { undoableEdits += result == EditResult::Undoable; }
    void SetCurrentWindow(WindowData* window) override {
        project_.SelectWindow(window);
        RefreshAllPages();
    }
    void RefreshAllPages() override {
        if (pages_) pages_->RefreshAll();
    }
    void AddRecentMovie(const std::string& path) override { recentMovies.push_back(path); }
    FileDialogs& Dialogs() override { return dialogs; }
    Preferences& UserPreferences() override { return preferences; }
    void SetStatusText(const std::string&) override {}
    HWND MainWindowHandle() const override { return main_; }

    MainPages* Pages() { return pages_.get(); }
    HWND Main() const { return main_; }
    HWND WindowsPage() const { return GetDlgItem(main_, 2200); }
    HWND OutputPage() const { return GetDlgItem(main_, 2201); }
    HWND SettingsPage(int id) const { return GetDlgItem(pages_->SettingsWindow(), id); }
    WindowData& Current() { return *project_.CurrentWindow(); }

    test::FakeFileDialogs dialogs;
    Preferences preferences;
    std::vector<std::string> recentMovies;
    int undoableEdits = 0;

  private:
    Project project_;
    ProjectEditor editor_;
    HWND main_ = nullptr;
    HWND tabs_ = nullptr;
    std::unique_ptr<MainPages> pages_;
};

// --- working the controls -------------------------------------------------

HWND Control(HWND page, int id) {
    HWND control = GetDlgItem(page, id);
    EXPECT_NE(control, nullptr) << "control " << id;
    return control;
}

void Click(HWND page, int id) {
    SendMessageA(Control(page, id), BM_CLICK, 0, 0);
}

void Choose(HWND page, int id, int index) {
    HWND combo = Control(page, id);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

// Text typed into a box: its modified flag is set, as the keyboard sets it.
void TypeOnly(HWND page, int id, const std::string& text) {
    HWND edit = Control(page, id);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(edit, EM_SETMODIFY, TRUE, 0);
}

// Typed text, then the focus leaves the box.
void Type(HWND page, int id, const std::string& text) {
    TypeOnly(page, id, text);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, EN_KILLFOCUS),
                 reinterpret_cast<LPARAM>(Control(page, id)));
}

void SelectRow(HWND page, int id, int row) {
    ListView_SetItemState(Control(page, id), row, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
}

std::string Text(HWND page, int id) {
    return uitest::WindowText(Control(page, id));
}
bool Enabled(HWND page, int id) {
    return IsWindowEnabled(Control(page, id)) != FALSE;
}
bool Shown(HWND page, int id) {
    return (GetWindowLongA(Control(page, id), GWL_STYLE) & WS_VISIBLE) != 0;
}
bool Checked(HWND page, int id) {
    return SendMessageA(Control(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
int Selection(HWND page, int id) {
    return static_cast<int>(SendMessageA(Control(page, id), CB_GETCURSEL, 0, 0));
}
int RowCount(HWND page, int id) {
    return ListView_GetItemCount(Control(page, id));
}
int SelectedRow(HWND page, int id) {
    return ListView_GetNextItem(Control(page, id), -1, LVNI_SELECTED);
}
std::string RowText(HWND page, int id, int row, int column) {
    char text[512] = {};
    ListView_GetItemText(Control(page, id), row, column, text, sizeof text);
    return text;
}

class PagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        host_ = std::make_unique<TestHost>(folder_.path());
        ASSERT_NE(host_->Pages(), nullptr);
        windows_ = host_->WindowsPage();
        output_ = host_->OutputPage();
        setup_ = host_->SettingsPage(ID_PAGE_SETUP);
        window_ = host_->SettingsPage(ID_PAGE_WINDOW);
        input_ = host_->SettingsPage(ID_PAGE_INPUT);
        flash_ = host_->SettingsPage(ID_PAGE_FLASH);
        ASSERT_TRUE(windows_ && output_ && setup_ && window_ && input_ && flash_);
    }
    void TearDown() override { host_.reset(); }

    std::string Movie(const std::string& name, int width = 550, int height = 400) {
        return test::WriteMovie(folder_, name, 0, width * 20, 0, height * 20);
    }
    size_t UndoCount() { return host_->Editor().History().Count(); }

    TestFolder folder_;
    std::unique_ptr<TestHost> host_;
    HWND windows_ = nullptr, output_ = nullptr, setup_ = nullptr, window_ = nullptr,
         input_ = nullptr, flash_ = nullptr;
};

// --- Windows page -----------------------------------------------------------

TEST_F(PagesTest, WindowsPageAddsRenamesSelectsAndRemovesWindows) {
    ASSERT_EQ(RowCount(windows_, IDC_WINDOW_LIST), 1);
    EXPECT_EQ(RowText(windows_, IDC_WINDOW_LIST, 0, 0), "MainWindow");
    EXPECT_EQ(Text(windows_, IDC_WINDOW_NAME), "MainWindow");

    Click(windows_, IDC_ADD_WINDOW);
    Click(windows_, IDC_ADD_WINDOW);
    ASSERT_EQ(RowCount(windows_, IDC_WINDOW_LIST), 3);
    EXPECT_EQ(SelectedRow(windows_, IDC_WINDOW_LIST), 2);
    EXPECT_EQ(host_->Current().Settings().windowName, "SubWindow");
    EXPECT_EQ(UndoCount(), 2u);

    Type(windows_, IDC_WINDOW_NAME, "Palette");
    EXPECT_EQ(host_->Current().Settings().windowName, "Palette");
    EXPECT_EQ(RowText(windows_, IDC_WINDOW_LIST, 2, 0), "Palette");
    EXPECT_EQ(SelectedRow(windows_, IDC_WINDOW_LIST), 2);
    EXPECT_EQ(UndoCount(), 3u);
    Type(windows_, IDC_WINDOW_NAME, "Palette");  // the same name: no entry
    EXPECT_EQ(UndoCount(), 3u);

    // A name typed but not yet applied goes with the window being left.
    TypeOnly(windows_, IDC_WINDOW_NAME, "Tools");
    SelectRow(windows_, IDC_WINDOW_LIST, 1);
    EXPECT_EQ(host_->CurrentProject().MainWindow().SubWindows()[1]->Settings().windowName, "Tools");
    EXPECT_EQ(host_->CurrentProject().CurrentWindow(),
              host_->CurrentProject().MainWindow().SubWindows()[0].get());
    EXPECT_EQ(Text(windows_, IDC_WINDOW_NAME), "SubWindow");

    // Removing selects the row above.
    SelectRow(windows_, IDC_WINDOW_LIST, 2);
    Click(windows_, IDC_REMOVE_WINDOW);
    ASSERT_EQ(RowCount(windows_, IDC_WINDOW_LIST), 2);
    EXPECT_EQ(SelectedRow(windows_, IDC_WINDOW_LIST), 1);

    Click(windows_, IDC_REMOVE_ALL_WINDOWS);
    EXPECT_EQ(RowCount(windows_, IDC_WINDOW_LIST), 1);
    EXPECT_EQ(host_->CurrentProject().CurrentWindow(), &host_->CurrentProject().MainWindow());
    EXPECT_EQ(SelectedRow(windows_, IDC_WINDOW_LIST), 0);
}

TEST_F(PagesTest, RemovingTheMainWindowIsRefusedWithABox) {
    test::ModalDriver driver;
    std::string text;
    driver.Answer("err", IDOK, &text);
    Click(windows_, IDC_REMOVE_WINDOW);
    EXPECT_TRUE(driver.Finished());
    EXPECT_EQ(text, "main");
    EXPECT_EQ(RowCount(windows_, IDC_WINDOW_LIST), 1);
    EXPECT_EQ(UndoCount(), 0u);
}

TEST_F(PagesTest, WindowsPageGrowsFromItsFirstLayoutAndNeverBelowIt) {
    HWND page = windows_;
    const int ids[] = {IDC_WINDOW_NAME, IDC_WINDOW_LIST, IDC_ADD_WINDOW, IDC_REMOVE_WINDOW,
                       IDC_REMOVE_ALL_WINDOWS};
    auto place = [&](int width, int height) {
        SetWindowPos(page, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
        std::vector<RECT> rects;
        for (int id : ids) rects.push_back(uitest::WindowRectangle(Control(page, id)));
        return rects;
    };
    auto width = [](const RECT& r) { return r.right - r.left; };
    auto height = [](const RECT& r) { return r.bottom - r.top; };
    // Smaller than its template the page keeps its first layout.
    std::vector<RECT> first = place(20, 20);
    std::vector<RECT> grown = place(900, 700);
    std::vector<RECT> more = place(1000, 750);
    for (int repeat = 0; repeat < 3; ++repeat) more = place(1000, 750);
    EXPECT_EQ(width(more[0]), width(grown[0]) + 100);  // the name box widens
    EXPECT_EQ(height(more[0]), height(grown[0]));
    EXPECT_EQ(width(more[1]), width(grown[1]) + 100);  // the list grows both ways
    EXPECT_EQ(height(more[1]), height(grown[1]) + 50);
    for (size_t button = 2; button < 5; ++button) {  // the buttons move right
        EXPECT_EQ(more[button].left, grown[button].left + 100);
        EXPECT_EQ(more[button].top, grown[button].top);
        EXPECT_EQ(width(more[button]), width(first[button]));
    }
    std::vector<RECT> back = place(10, 10);
    for (size_t i = 0; i < back.size(); ++i) {
        EXPECT_EQ(width(back[i]), width(first[i])) << ids[i];
        EXPECT_EQ(height(back[i]), height(first[i])) << ids[i];
        EXPECT_EQ(back[i].left - first[i].left, 0) << ids[i];
    }
}

// --- Output page ------------------------------------------------------------

TEST_F(PagesTest, OutputPageSetsFolderNamesAndIcon) {
    host_->dialogs.folderAnswers = {folder_.path()};
    Click(output_, IDC_OUTPUT_FOLDER_BROWSE);
    EXPECT_EQ(host_->CurrentProject().Settings().outputFolder, folder_.path());
    EXPECT_EQ(Text(output_, IDC_OUTPUT_FOLDER), folder_.path());

    // With default names on, the Windows name box stays disabled.
    Click(output_, IDC_OUTPUT_WIN);
    EXPECT_TRUE(host_->CurrentProject().Settings().outputWin);
    EXPECT_FALSE(Enabled(output_, IDC_OUTPUT_WIN_FILENAME));
    Click(output_, IDC_DEFAULT_FILENAMES);
    EXPECT_TRUE(Enabled(output_, IDC_OUTPUT_WIN_FILENAME));
    Type(output_, IDC_OUTPUT_WIN_FILENAME, "Show.exe");
    EXPECT_EQ(host_->CurrentProject().OutputFileName(ExportTarget::Windows), "Show.exe");
    // Turning default names on again refills the boxes.
    Click(output_, IDC_DEFAULT_FILENAMES);
    EXPECT_EQ(Text(output_, IDC_OUTPUT_WIN_FILENAME), "Untitled.exe");

    EXPECT_FALSE(Enabled(output_, IDC_OUTPUT_WIN_APPICON_BROWSE));
    EXPECT_EQ(Text(output_, IDC_OUTPUT_WIN_APPICON_PATH), "N/A");
    Click(output_, IDC_OUTPUT_WIN_APPICON);
    EXPECT_TRUE(Enabled(output_, IDC_OUTPUT_WIN_APPICON_BROWSE));
    host_->dialogs.openAnswers = {folder_ / "app.ico"};
    Click(output_, IDC_OUTPUT_WIN_APPICON_BROWSE);
    EXPECT_EQ(host_->CurrentProject().Settings().outputWinAppiconPath, folder_ / "app.ico");
    EXPECT_EQ(Text(output_, IDC_OUTPUT_WIN_APPICON_PATH), "app.ico");
    auto entries = host_->dialogs.requests.back().filter.Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].first, "Windows Icon (*.ico)");
    EXPECT_EQ(entries[1].first, "All Files (*.*)");
}

TEST_F(PagesTest, OutputPageShowsNotAvailableForAMissingFolderAndKeepsMacAndLinuxHidden) {
    host_->Editor().Edit([&](Project& p) {
        p.SetOutputFolder(folder_ / "gone");
        p.SetDefaultFileNames(false);
        p.SetOutputFileName(ExportTarget::MacPpc, "Old.app");
        p.SetOutputEnabled(ExportTarget::Linux, true);
    });
    host_->RefreshAllPages();
    EXPECT_EQ(Text(output_, IDC_OUTPUT_FOLDER), "N/A");
    EXPECT_EQ(Text(output_, IDC_OUTPUT_MACPPC_FILENAME), "Old.app");
    EXPECT_TRUE(Checked(output_, IDC_OUTPUT_LINUX));
    for (int id : {IDC_MAC_GROUP, IDC_OUTPUT_MACPPC, IDC_OUTPUT_MACPPC_FILENAME, IDC_OUTPUT_LINUX,
                   IDC_OUTPUT_LINUX_FILENAME, IDC_OUTPUT_MAC_APPICON_BROWSE})
        EXPECT_FALSE(Shown(output_, id)) << id;
    // Applying pending edits leaves them as they were.
    host_->Pages()->ApplyPendingEdits();
    EXPECT_EQ(host_->CurrentProject().OutputFileName(ExportTarget::MacPpc), "Old.app");
}

// --- Setup page ---------------------------------------------------------------

TEST_F(PagesTest, SetupPageTakesAMovieAndShowsItsFacts) {
    EXPECT_EQ(Text(setup_, IDC_SETUP_SWF), "N/A");
    EXPECT_EQ(Text(setup_, IDC_SETUP_FRAME_RATE), "N/A");
    std::string movie = Movie("intro.swf", 640, 480);
    host_->dialogs.openAnswers = {movie};
    Click(setup_, IDC_SETUP_SWF_BROWSE);
    EXPECT_EQ(Text(setup_, IDC_SETUP_SWF), movie);
    EXPECT_EQ(Text(setup_, IDC_SETUP_WIDTH), "640");
    EXPECT_EQ(Text(setup_, IDC_SETUP_HEIGHT), "480");
    EXPECT_EQ(Text(setup_, IDC_SETUP_VERSION), "8");
    EXPECT_EQ(Text(setup_, IDC_SETUP_FRAME_RATE), "24.0 fps");
    EXPECT_EQ(RowText(windows_, IDC_WINDOW_LIST, 0, 1), "intro.swf");
    EXPECT_EQ(Text(window_, IDC_WINDOW_WIDTH), "640");
    EXPECT_EQ(Text(window_, IDC_WINDOW_HEIGHT), "480");
    EXPECT_EQ(host_->recentMovies, std::vector<std::string>{movie});
    auto entries = host_->dialogs.requests.back().filter.Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].first, "Flash Animation (*.swf)");

    // A file that is no movie changes nothing and says nothing.
    std::string junk = folder_ / "junk.swf";
    test::WriteBytes(junk, test::BytesOf("no movie"));
    size_t undo = UndoCount();
    host_->dialogs.openAnswers = {junk};
    Click(setup_, IDC_SETUP_SWF_BROWSE);
    EXPECT_EQ(host_->Current().Settings().swf, movie);
    EXPECT_EQ(Text(setup_, IDC_SETUP_SWF), movie);
    EXPECT_EQ(UndoCount(), undo);
    EXPECT_EQ(host_->recentMovies.size(), 1u);
}

TEST_F(PagesTest, ThreeFilesAddedAtOnceAreOneUndoEntry) {
    EXPECT_FALSE(Enabled(setup_, IDC_SETUP_REMOVE));
    EXPECT_FALSE(Enabled(setup_, IDC_SETUP_REMOVE_ALL));
    host_->dialogs.openManyAnswers = {{folder_ / "c.txt", folder_ / "a.txt", folder_ / "b.txt"}};
    Click(setup_, IDC_SETUP_ADD_FILE);
    ASSERT_EQ(RowCount(setup_, IDC_SETUP_FILES), 3);
    EXPECT_EQ(RowText(setup_, IDC_SETUP_FILES, 0, 0), "a.txt");
    EXPECT_EQ(RowText(setup_, IDC_SETUP_FILES, 2, 0), "c.txt");
    EXPECT_EQ(RowText(setup_, IDC_SETUP_FILES, 0, 1), "File");
    EXPECT_EQ(UndoCount(), 1u);
    EXPECT_TRUE(Enabled(setup_, IDC_SETUP_REMOVE_ALL));
    auto entries = host_->dialogs.requests.back().filter.Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].first, "All Files(*.*)");

    host_->dialogs.folderAnswers = {folder_.path()};
    Click(setup_, IDC_SETUP_ADD_FOLDER);
    EXPECT_EQ(RowText(setup_, IDC_SETUP_FILES, 3, 1), "Folder");

    SelectRow(setup_, IDC_SETUP_FILES, 2);
    EXPECT_TRUE(Enabled(setup_, IDC_SETUP_REMOVE));
    Click(setup_, IDC_SETUP_REMOVE);
    ASSERT_EQ(RowCount(setup_, IDC_SETUP_FILES), 3);
    EXPECT_EQ(SelectedRow(setup_, IDC_SETUP_FILES), 1);
    EXPECT_EQ(RowText(setup_, IDC_SETUP_FILES, 2, 1), "Folder");

    Click(setup_, IDC_SETUP_REMOVE_ALL);
    EXPECT_EQ(RowCount(setup_, IDC_SETUP_FILES), 0);
    EXPECT_FALSE(Enabled(setup_, IDC_SETUP_REMOVE_ALL));

    // Undo back to just after the three files.
    ASSERT_TRUE(host_->Editor().Undo());
    ASSERT_TRUE(host_->Editor().Undo());
    ASSERT_TRUE(host_->Editor().Undo());
    host_->RefreshAllPages();
    EXPECT_EQ(RowCount(setup_, IDC_SETUP_FILES), 3);
    ASSERT_TRUE(host_->Editor().Undo());
    host_->RefreshAllPages();
    EXPECT_EQ(RowCount(setup_, IDC_SETUP_FILES), 0);
}

TEST_F(PagesTest, TooManyFilesForTheDialogSaysSo) {
    host_->dialogs.tooManyFiles = true;
    test::ModalDriver driver;
    std::string text;
    driver.Answer("Error", IDOK, &text);
    Click(setup_, IDC_SETUP_ADD_FILE);
    EXPECT_TRUE(driver.Finished());
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(RowCount(setup_, IDC_SETUP_FILES), 0);
    EXPECT_EQ(UndoCount(), 0u);
}

// --- Window page --------------------------------------------------------------

TEST_F(PagesTest, TitleIsStoredWholeAndTheSameTitleMakesNoEntry) {
    std::string title(1000, 't');
    title += "end";
    Type(window_, IDC_WINDOW_TITLE, title);
    EXPECT_EQ(host_->Current().Settings().windowTitle, title);
    EXPECT_EQ(UndoCount(), 1u);
    Type(window_, IDC_WINDOW_TITLE, title);
    EXPECT_EQ(UndoCount(), 1u);
    Choose(window_, IDC_WINDOW_TYPE, 0);  // already Standard
    EXPECT_EQ(UndoCount(), 1u);
}

TEST_F(PagesTest, WindowTypeShowsMaskOrWindowButtons) {
    const int buttons[] = {IDC_WINDOW_HAS_MINIMIZE, IDC_WINDOW_HAS_MAXIMIZE, IDC_WINDOW_HAS_CLOSE,
                           IDC_WINDOW_IS_RESIZABLE, IDC_WINDOW_HAS_MENU};
    const int mask[] = {IDC_WINDOW_MASK_LABEL, IDC_WINDOW_MASK, IDC_WINDOW_MASK_BROWSE};
    struct Case {
        int type;
        bool maskShown;
        bool buttonsShown;
    } cases[] = {{1, true, false}, {2, false, false}, {0, false, true}};
    for (const Case& c : cases) {
        Choose(window_, IDC_WINDOW_TYPE, c.type);
        EXPECT_EQ(static_cast<int>(host_->Current().Settings().windowType), c.type);
        for (int id : mask) EXPECT_EQ(Shown(window_, id), c.maskShown) << c.type << " " << id;
        for (int id : buttons) EXPECT_EQ(Shown(window_, id), c.buttonsShown) << c.type << " " << id;
        EXPECT_TRUE(Shown(window_, IDC_WINDOW_IS_VISIBLE));
    }
    host_->dialogs.openAnswers = {folder_ / "shape.png"};
    Choose(window_, IDC_WINDOW_TYPE, 1);
    Click(window_, IDC_WINDOW_MASK_BROWSE);
    EXPECT_EQ(host_->Current().Settings().windowMask, folder_ / "shape.png");
    EXPECT_EQ(Text(window_, IDC_WINDOW_MASK), "shape.png");
}

TEST_F(PagesTest, ModalStyleDisablesCaptionButtonsAndKeepsTheirValues) {
    Click(window_, IDC_WINDOW_HAS_MAXIMIZE);
    EXPECT_FALSE(host_->Current().Settings().windowHasMaximize);
    Choose(window_, IDC_WINDOW_STYLE, 1);
    EXPECT_EQ(host_->Current().Settings().windowStyle, WindowStyle::Modal);
    for (int id : {IDC_WINDOW_HAS_MINIMIZE, IDC_WINDOW_HAS_MAXIMIZE, IDC_WINDOW_HAS_CLOSE})
        EXPECT_FALSE(Enabled(window_, id)) << id;
    EXPECT_TRUE(Checked(window_, IDC_WINDOW_HAS_MINIMIZE));
    EXPECT_FALSE(Checked(window_, IDC_WINDOW_HAS_MAXIMIZE));
    EXPECT_TRUE(Enabled(window_, IDC_WINDOW_IS_RESIZABLE));
    Choose(window_, IDC_WINDOW_STYLE, 2);
    EXPECT_TRUE(Enabled(window_, IDC_WINDOW_HAS_CLOSE));
}

TEST_F(PagesTest, SizeModesDecideWhatTheSizeBoxesShowAndSet) {
    host_->dialogs.openAnswers = {Movie("stage.swf", 300, 200)};
    Click(setup_, IDC_SETUP_SWF_BROWSE);
    // Match SWF (the default): disabled, showing the movie's size.
    EXPECT_FALSE(Enabled(window_, IDC_WINDOW_WIDTH));
    EXPECT_EQ(Text(window_, IDC_WINDOW_WIDTH), "300");
    EXPECT_FALSE(Shown(window_, IDC_WINDOW_WIDTH_PERCENT));

    Choose(window_, IDC_WINDOW_SIZE, 0);
    EXPECT_TRUE(Enabled(window_, IDC_WINDOW_WIDTH));
    Type(window_, IDC_WINDOW_WIDTH, "800");
    EXPECT_EQ(host_->Current().Settings().windowWidth, 800);

    Choose(window_, IDC_WINDOW_SIZE, 2);
    EXPECT_TRUE(Shown(window_, IDC_WINDOW_WIDTH_PERCENT));
    EXPECT_TRUE(Shown(window_, IDC_WINDOW_HEIGHT_PERCENT));
    EXPECT_EQ(Text(window_, IDC_WINDOW_WIDTH), "100");
    Type(window_, IDC_WINDOW_WIDTH, "50");
    Type(window_, IDC_WINDOW_HEIGHT, "75");
    EXPECT_EQ(host_->Current().Settings().windowWidthPercent, 50);
    EXPECT_EQ(host_->Current().Settings().windowHeightPercent, 75);
    EXPECT_EQ(host_->Current().Settings().windowWidth, 800);

    Choose(window_, IDC_WINDOW_SIZE, 1);
    EXPECT_EQ(host_->Current().Settings().windowWidth, 300);
    EXPECT_EQ(Text(window_, IDC_WINDOW_WIDTH), "300");
}

TEST_F(PagesTest, NumberBoxesTakeZeroForTextAndSaturate) {
    struct Case {
        const char* text;
        int32_t value;
        const char* shown;
    } cases[] = {
        {"abc", 0, "0"},
        {"-40", -40, "-40"},
        {"99999999999", INT_MAX, "2147483647"},
        {"-99999999999", INT_MIN, "-2147483648"},
    };
    for (const Case& c : cases) {
        Type(window_, IDC_WINDOW_X, c.text);
        EXPECT_EQ(host_->Current().Settings().windowX, c.value) << c.text;
        EXPECT_EQ(Text(window_, IDC_WINDOW_X), c.shown);
    }
    Choose(window_, IDC_WINDOW_POSITION, 1);
    for (int id : {IDC_WINDOW_X, IDC_WINDOW_Y, IDC_WINDOW_X_LABEL, IDC_WINDOW_Y_LABEL})
        EXPECT_FALSE(Shown(window_, id)) << id;
    Choose(window_, IDC_WINDOW_POSITION, 0);
    EXPECT_TRUE(Shown(window_, IDC_WINDOW_Y));
}

TEST_F(PagesTest, PendingTextIsAppliedBeforeSaveOrExport) {
    TypeOnly(window_, IDC_WINDOW_TITLE, "Typed");
    TypeOnly(window_, IDC_WINDOW_Y, "77");
    host_->Pages()->ApplyPendingEdits();
    EXPECT_EQ(host_->Current().Settings().windowTitle, "Typed");
    EXPECT_EQ(host_->Current().Settings().windowY, 77);
    EXPECT_EQ(UndoCount(), 2u);

    // A box the user did not type into never writes back, even when the
    // model changed behind the page.
    host_->Editor().Edit([](Project& p) { p.MainWindow().SetWindowTitle("Elsewhere"); });
    host_->Pages()->ApplyPendingEdits();
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(IDC_WINDOW_TITLE, EN_KILLFOCUS),
                 reinterpret_cast<LPARAM>(Control(window_, IDC_WINDOW_TITLE)));
    EXPECT_EQ(host_->Current().Settings().windowTitle, "Elsewhere");
}

// --- Input and Flash pages ----------------------------------------------------

TEST_F(PagesTest, MouseListsPutSendToFlashBeforeIgnore) {
    EXPECT_EQ(Selection(input_, IDC_LEFT_MOUSE), 1);  // the default: Send to Flash
    char item[64] = {};
    SendMessageA(Control(input_, IDC_LEFT_MOUSE), CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, "Send to Flash");
    Choose(input_, IDC_LEFT_MOUSE, 2);
    EXPECT_EQ(host_->Current().Settings().leftMouseAction, MouseAction::Ignore);
    Choose(input_, IDC_RIGHT_MOUSE, 3);
    EXPECT_EQ(host_->Current().Settings().rightMouseAction, MouseAction::CustomMenu);
    Click(input_, IDC_EXIT_ON_ESCAPE);
    EXPECT_FALSE(host_->Current().Settings().exitOnEscape);
    EXPECT_EQ(UndoCount(), 3u);
}

TEST_F(PagesTest, ColourButtonTakesTheChosenColourAndCustomColours) {
    EXPECT_FALSE(Enabled(flash_, IDC_BGCOLOR));
    Click(flash_, IDC_USE_BGCOLOR);
    EXPECT_TRUE(host_->Current().Settings().useFlashBgcolor);
    EXPECT_TRUE(Enabled(flash_, IDC_BGCOLOR));

    host_->dialogs.colourAnswers = {0x00336699};
    Click(flash_, IDC_BGCOLOR);
    EXPECT_EQ(host_->Current().Settings().flashBgcolor, 0x00336699u);
    // The chooser works on the preferences' custom colours.
    EXPECT_EQ(host_->dialogs.customColoursGiven, &host_->preferences.customColours);
    size_t undo = UndoCount();  // cancelled next: no entry
    Click(flash_, IDC_BGCOLOR);
    EXPECT_EQ(UndoCount(), undo);

    Choose(flash_, IDC_QUALITY, 5);
    EXPECT_EQ(host_->Current().Settings().flashQuality, FlashQuality::Best);
    Choose(flash_, IDC_SCALE, 2);
    EXPECT_EQ(host_->Current().Settings().flashScale, FlashScale::ExactFit);
    Click(flash_, IDC_SHOW_FLASH_MENU);
    EXPECT_FALSE(host_->Current().Settings().flashShowMenu);
}

// --- settings window ----------------------------------------------------------

TEST_F(PagesTest, SettingsTabsShowOnePageAtATime) {
    HWND settings = host_->Pages()->SettingsWindow();
    EXPECT_EQ(uitest::WindowText(settings), "Settings");
    HWND tabs = GetDlgItem(settings, IDC_SETTINGS_TABS);
    HWND pages[] = {setup_, window_, input_, flash_};
    for (int tab = 3; tab >= 0; --tab) {
        TabCtrl_SetCurSel(tabs, tab);
        NMHDR header{tabs, IDC_SETTINGS_TABS, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageA(settings, WM_NOTIFY, IDC_SETTINGS_TABS, reinterpret_cast<LPARAM>(&header));
        for (int page = 0; page < 4; ++page)
            EXPECT_EQ(IsWindowVisible(pages[page]) != FALSE, page == tab) << tab << " " << page;
    }
    host_->Pages()->SelectSettingsTab(2);
    EXPECT_EQ(host_->Pages()->SettingsTab(), 2);
    EXPECT_TRUE(IsWindowVisible(input_));
    // Made larger (a stored size), the tabs and the shown page grow with it.
    RECT frame = uitest::WindowRectangle(settings);
    RECT tabs0 = uitest::WindowRectangle(tabs);
    SetWindowPos(settings, nullptr, 0, 0, frame.right - frame.left + 30,
                 frame.bottom - frame.top + 20, SWP_NOMOVE | SWP_NOZORDER);
    RECT tabs1 = uitest::WindowRectangle(tabs);
    EXPECT_EQ(tabs1.right - tabs1.left, tabs0.right - tabs0.left + 30);
    EXPECT_EQ(tabs1.bottom - tabs1.top, tabs0.bottom - tabs0.top + 20);
    EXPECT_LT(uitest::WindowRectangle(input_).right, tabs1.right);
    EXPECT_GT(uitest::WindowRectangle(input_).right, tabs0.right);
    // Closing hides it.
    SendMessageA(settings, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(settings));
    EXPECT_TRUE(IsWindow(settings));
}

TEST_F(PagesTest, WithoutACurrentWindowEverySettingsControlIsDisabled) {
    host_->SetCurrentWindow(nullptr);
    int checked = 0;
    for (HWND page : {setup_, window_, input_, flash_}) {
        for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            std::string kind = uitest::WindowClassName(child);
            if (kind == "Static" && GetDlgCtrlID(child) == -1) continue;  // labels
            if (kind == "Button" && (GetWindowLongA(child, GWL_STYLE) & 0xF) == BS_GROUPBOX)
                continue;
            EXPECT_FALSE(IsWindowEnabled(child)) << GetDlgCtrlID(child);
            ++checked;
        }
    }
    EXPECT_GT(checked, 30);
    for (int id : {IDC_SETUP_SWF, IDC_SETUP_WIDTH, IDC_SETUP_HEIGHT, IDC_SETUP_VERSION,
                   IDC_SETUP_FRAME_RATE})
        EXPECT_EQ(Text(setup_, id), "N/A");
    EXPECT_FALSE(Enabled(windows_, IDC_WINDOW_NAME));
    EXPECT_FALSE(Enabled(windows_, IDC_REMOVE_WINDOW));
}

// The tooltip texts of a page's controls, by control id. A tooltip window's
// owner is the page's top-level window; its tools name the page.
std::map<int, std::string> TooltipsOf(HWND page) {
    std::map<int, std::string> tips;
    for (HWND tip = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr); tip;
         tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) {
        DWORD process = 0;
        GetWindowThreadProcessId(tip, &process);
        if (process != GetCurrentProcessId()) continue;
        int count = static_cast<int>(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[256] = {};
            TOOLINFOA tool{};
            tool.cbSize = TTTOOLINFOA_V2_SIZE;
            tool.lpszText = text;
            if (!SendMessageA(tip, TTM_ENUMTOOLSA, static_cast<WPARAM>(i),
                              reinterpret_cast<LPARAM>(&tool)))
                continue;
            if (tool.hwnd == page) tips[GetDlgCtrlID(reinterpret_cast<HWND>(tool.uId))] = text;
        }
    }
    return tips;
}

TEST_F(PagesTest, EveryListedControlHasItsTooltip) {
    struct Page {
        HWND* page;
        std::vector<int> ids;
    } pages[] = {
        {&windows_,
         {IDC_WINDOW_NAME, IDC_WINDOW_LIST, IDC_ADD_WINDOW, IDC_REMOVE_WINDOW,
          IDC_REMOVE_ALL_WINDOWS}},
        {&output_,
         {IDC_OUTPUT_FOLDER, IDC_OUTPUT_FOLDER_BROWSE, IDC_DEFAULT_FILENAMES, IDC_OUTPUT_WIN,
          IDC_OUTPUT_WIN_FILENAME, IDC_OUTPUT_WIN_APPICON, IDC_OUTPUT_WIN_APPICON_PATH,
          IDC_OUTPUT_WIN_APPICON_BROWSE}},
        {&setup_,
         {IDC_SETUP_SWF, IDC_SETUP_SWF_BROWSE, IDC_SETUP_WIDTH, IDC_SETUP_HEIGHT, IDC_SETUP_VERSION,
          IDC_SETUP_FRAME_RATE, IDC_SETUP_FILES, IDC_SETUP_ADD_FILE, IDC_SETUP_ADD_FOLDER,
          IDC_SETUP_REMOVE, IDC_SETUP_REMOVE_ALL}},
        {&window_,
         {IDC_WINDOW_TITLE, IDC_WINDOW_TYPE, IDC_WINDOW_MASK, IDC_WINDOW_MASK_BROWSE,
          IDC_WINDOW_STYLE, IDC_WINDOW_HAS_MINIMIZE, IDC_WINDOW_HAS_MAXIMIZE, IDC_WINDOW_HAS_CLOSE,
          IDC_WINDOW_IS_RESIZABLE, IDC_WINDOW_IS_VISIBLE, IDC_WINDOW_HAS_MENU, IDC_WINDOW_SIZE,
          IDC_WINDOW_WIDTH, IDC_WINDOW_HEIGHT, IDC_WINDOW_POSITION, IDC_WINDOW_X, IDC_WINDOW_Y}},
        {&input_, {IDC_LEFT_MOUSE, IDC_RIGHT_MOUSE, IDC_EXIT_ON_ESCAPE}},
        {&flash_, {IDC_BGCOLOR, IDC_QUALITY, IDC_SHOW_FLASH_MENU, IDC_SCALE}},
    };
    for (const Page& page : pages) {
        std::map<int, std::string> tips = TooltipsOf(*page.page);
        EXPECT_EQ(tips.size(), page.ids.size());
        for (int id : page.ids) EXPECT_FALSE(tips[id].empty()) << "control " << id;
    }
    EXPECT_EQ(TooltipsOf(windows_)[IDC_WINDOW_NAME], "Flash variable name for the window");
    EXPECT_EQ(TooltipsOf(window_).count(IDC_WINDOW_FULLSCREEN), 0u);
}

// Every control of every page once, in a user's order: each makes exactly
// the undo entries it should (selecting a row makes none).
TEST_F(PagesTest, EveryControlOfEveryPageMakesItsEdit) {
    host_->dialogs.folderAnswers = {folder_.path(), folder_.path()};
    host_->dialogs.openAnswers = {Movie("all.swf"), folder_ / "app.ico", folder_ / "mask.png"};
    host_->dialogs.openManyAnswers = {{folder_ / "one.txt", folder_ / "two.txt"}};
    host_->dialogs.colourAnswers = {0xFF};
    enum Kind { kClick, kChoose, kType, kSelect };
    struct Step {
        HWND* page;
        int id;
        Kind kind;
        int index;
        const char* text;
        int edits;
    };
    auto run = [this](const std::vector<Step>& steps) {
        for (const Step& s : steps) {
            int before = host_->undoableEdits;
            switch (s.kind) {
                case kClick:
                    Click(*s.page, s.id);
                    break;
                case kChoose:
                    Choose(*s.page, s.id, s.index);
                    break;
                case kType:
                    Type(*s.page, s.id, s.text);
                    break;
                case kSelect:
                    SelectRow(*s.page, s.id, s.index);
                    break;
            }
            EXPECT_EQ(host_->undoableEdits, before + s.edits) << "control " << s.id;
        }
    };
    run({
        {&windows_, IDC_ADD_WINDOW, kClick, 0, nullptr, 1},
        {&windows_, IDC_WINDOW_NAME, kType, 0, "Second", 1},
        {&output_, IDC_OUTPUT_FOLDER_BROWSE, kClick, 0, nullptr, 1},
        {&output_, IDC_OUTPUT_WIN, kClick, 0, nullptr, 1},
        {&output_, IDC_DEFAULT_FILENAMES, kClick, 0, nullptr, 1},
        {&output_, IDC_OUTPUT_WIN_FILENAME, kType, 0, "Second.exe", 1},
        {&output_, IDC_OUTPUT_WIN_APPICON, kClick, 0, nullptr, 1},
        {&setup_, IDC_SETUP_SWF_BROWSE, kClick, 0, nullptr, 1},
        {&output_, IDC_OUTPUT_WIN_APPICON_BROWSE, kClick, 0, nullptr, 1},
        {&setup_, IDC_SETUP_ADD_FILE, kClick, 0, nullptr, 1},
        {&setup_, IDC_SETUP_ADD_FOLDER, kClick, 0, nullptr, 1},
        {&setup_, IDC_SETUP_FILES, kSelect, 1, nullptr, 0},
        {&setup_, IDC_SETUP_REMOVE, kClick, 0, nullptr, 1},
        {&setup_, IDC_SETUP_REMOVE_ALL, kClick, 0, nullptr, 1},
        {&window_, IDC_WINDOW_TITLE, kType, 0, "Second window", 1},
        {&window_, IDC_WINDOW_TYPE, kChoose, 1, nullptr, 1},
        {&window_, IDC_WINDOW_MASK_BROWSE, kClick, 0, nullptr, 1},
        {&window_, IDC_WINDOW_TYPE, kChoose, 0, nullptr, 1},
        {&window_, IDC_WINDOW_STYLE, kChoose, 2, nullptr, 1},
        {&window_, IDC_WINDOW_HAS_MINIMIZE, kClick, 0, nullptr, 1},
        {&window_, IDC_WINDOW_HAS_MAXIMIZE, kClick, 0, nullptr, 1},
        {&window_, IDC_WINDOW_HAS_CLOSE, kClick, 0, nullptr, 1},
        {&window_, IDC_WINDOW_IS_RESIZABLE, kClick, 0, nullptr, 1},
        {&window_, IDC_WINDOW_IS_VISIBLE, kClick, 0, nullptr, 1},
        {&window_, IDC_WINDOW_HAS_MENU, kClick, 0, nullptr, 1},
        {&window_, IDC_WINDOW_FULLSCREEN, kClick, 0, nullptr, 1},
        {&window_, IDC_WINDOW_SIZE, kChoose, 0, nullptr, 1},
        {&window_, IDC_WINDOW_WIDTH, kType, 0, "321", 1},
        {&window_, IDC_WINDOW_HEIGHT, kType, 0, "123", 1},
        {&window_, IDC_WINDOW_X, kType, 0, "5", 1},
        {&window_, IDC_WINDOW_Y, kType, 0, "6", 1},
        {&window_, IDC_WINDOW_POSITION, kChoose, 1, nullptr, 1},
        {&input_, IDC_LEFT_MOUSE, kChoose, 0, nullptr, 1},
        {&input_, IDC_RIGHT_MOUSE, kChoose, 2, nullptr, 1},
        {&input_, IDC_EXIT_ON_ESCAPE, kClick, 0, nullptr, 1},
        {&flash_, IDC_USE_BGCOLOR, kClick, 0, nullptr, 1},
        {&flash_, IDC_BGCOLOR, kClick, 0, nullptr, 1},
        {&flash_, IDC_QUALITY, kChoose, 0, nullptr, 1},
        {&flash_, IDC_SHOW_FLASH_MENU, kClick, 0, nullptr, 1},
        {&flash_, IDC_SCALE, kChoose, 1, nullptr, 1},
    });
    const WindowSettings& second = host_->Current().Settings();
    EXPECT_EQ(second.windowName, "Second");
    EXPECT_EQ(second.windowTitle, "Second window");
    EXPECT_EQ(second.windowWidth, 321);
    EXPECT_EQ(second.windowMask, folder_ / "mask.png");
    EXPECT_EQ(second.flashBgcolor, 0xFFu);
    EXPECT_EQ(second.flashScale, FlashScale::NoBorder);
    EXPECT_EQ(host_->CurrentProject().Settings().outputWinAppiconPath, folder_ / "app.ico");

    run({
        {&windows_, IDC_ADD_WINDOW, kClick, 0, nullptr, 1},
        {&windows_, IDC_WINDOW_LIST, kSelect, 0, nullptr, 0},
        {&windows_, IDC_WINDOW_LIST, kSelect, 2, nullptr, 0},
        {&windows_, IDC_REMOVE_WINDOW, kClick, 0, nullptr, 1},
        {&windows_, IDC_REMOVE_ALL_WINDOWS, kClick, 0, nullptr, 1},
    });
    EXPECT_TRUE(host_->CurrentProject().MainWindow().SubWindows().empty());
}

TEST_F(PagesTest, Screenshots) {
    host_->dialogs.openAnswers = {Movie("intro.swf")};
    Click(setup_, IDC_SETUP_SWF_BROWSE);
    host_->dialogs.openManyAnswers = {{folder_ / "readme.txt", folder_ / "data.xml"}};
    Click(setup_, IDC_SETUP_ADD_FILE);
    Click(windows_, IDC_ADD_WINDOW);
    SelectRow(windows_, IDC_WINDOW_LIST, 0);
    test::SaveTestScreenshot("pages_windows");
    host_->Pages()->SelectMainTab(1);
    test::SaveTestScreenshot("pages_output");
    const char* names[] = {"settings_setup", "settings_window", "settings_input", "settings_flash"};
    for (int tab = 0; tab < 4; ++tab) {
        host_->Pages()->SelectSettingsTab(tab);
        test::SaveTestScreenshot(names[tab]);
    }
    Choose(window_, IDC_WINDOW_TYPE, 1);
    Choose(window_, IDC_WINDOW_SIZE, 2);
    host_->Pages()->SelectSettingsTab(1);
    test::SaveTestScreenshot("settings_window_mask_percent");
}

}  // namespace
}  // namespace kestrel
