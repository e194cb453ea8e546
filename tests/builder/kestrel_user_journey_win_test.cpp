// kestrel.exe used as a user uses it, from the start dialog to the exported
// projector on the screen: every step goes through the builder's own windows
// and the system's file dialogs. On the way it saves screenshots of the
// builder's windows (start dialog, both main tabs, the four settings pages,
// Preferences, About) for a person to look at.
#include <windows.h>
// Needs the types of <windows.h>.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "builder/preferences.h"
#include "builder/project.h"
#include "builder/project_file_reader.h"
#include "builder/ui/page_ids.h"
#include "builder/ui/resource_ids.h"
#include "common/file_system.h"
#include "tests/builder/kept_registry_key_win.h"
#include "tests/builder/user_actions_win.h"
#include "tests/common/test_folder.h"
#include "tests/support/ui_test_support.h"
#include "tools/swfwriter/description.h"

namespace kestrel {
namespace {

using namespace uitest;

constexpr DWORD kWaitMs = 60000;
constexpr char kUserShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
// Where the system notes the folders it resolved.
constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

constexpr int kProjectorWidth = 400;
constexpr int kProjectorHeight = 300;
constexpr COLORREF kStageColour = RGB(0x1F, 0x6F, 0x78);
constexpr COLORREF kPanelColour = RGB(0xF2, 0xE8, 0xCF);

// A 320 x 240 stage with a panel in the middle; frame 1 loads the extra file
// "extra.txt" and traces what arrived.
std::string MovieDescription() {
    return "version 8\nstage 320 240\nrate 12\nbackground #1F6F78\n"
           "shape 1\n  fill #F2E8CF\n  rect 80 60 160 120 fill=1\nend\nplace 1 depth=1\n"
           "action\n"
           "push \"d\", 0, \"LoadVars\"\nnewObject\nsetVariable\n"
           "push \"d\"\ngetVariable\npush \"onData\"\nfunction \"\" (\"s\")\n"
           "push \"extra:\"\npush \"s\"\ngetVariable\nadd2\ntrace\nend\nsetMember\n"
           "push \"extra.txt\", 1\npush \"d\"\ngetVariable\npush \"load\"\ncallMethod\npop\n"
           "end\nshowframe\n";
}

// A 24-bit mask as large as the projector's window: black (the window)
// everywhere but a white top-right quarter-corner, so the shape keeps the
// whole box and still cuts a corner off.
std::vector<uint8_t> MaskBmp() {
    const int width = kProjectorWidth, height = kProjectorHeight;
    const int row = (width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> file(54 + static_cast<size_t>(row) * height, 0);
    auto store = [&file](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    store(2, static_cast<uint32_t>(file.size()), 4);
    store(10, 54, 4);
    store(14, 40, 4);
    store(18, width, 4);
    store(22, height, 4);
    store(26, 1, 2);
    store(28, 24, 2);
    for (int y = 0; y < height / 4; ++y) {
        const size_t line = 54 + static_cast<size_t>(height - 1 - y) * row;  // bottom-up
        for (int x = width * 3 / 4; x < width; ++x) {
            file[line + x * 3] = file[line + x * 3 + 1] = file[line + x * 3 + 2] = 0xFF;
        }
    }
    return file;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::vector<std::string> Lines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

void Screenshot(const std::string& name) {
    Sleep(700);  // let the last paint land
    MakeDirectory(SCREENSHOT_FOLDER);
    EXPECT_TRUE(SaveScreenshot(JoinPath(SCREENSHOT_FOLDER, name + ".bmp"))) << name;
}

// A visible dialog of the process holding a control with this id.
HWND WaitForDialogWith(DWORD processId, int controlId) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : FindTopLevelWindows(processId, "#32770", nullptr)) {
                if (IsWindowVisible(window) && GetDlgItem(window, controlId)) found = window;
            }
            return found != nullptr;
        },
        kWaitMs);
    return found;
}

HWND WaitForMainWindow(DWORD processId) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : FindTopLevelWindows(processId, "#32770", nullptr)) {
                if (IsWindowVisible(window) && WindowText(window).rfind("Kestrel: ", 0) == 0)
                    found = window;
            }
            return found != nullptr;
        },
        kWaitMs);
    return found;
}

void Command(HWND window, int id) {
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

// The control of the settings window's page on show.
HWND PageControl(HWND settings, int id) {
    HWND control = nullptr;
    WaitUntil([&] { return (control = FindControl(settings, id)) != nullptr; }, 5000);
    return control;
}

std::vector<std::string> FilesIn(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA(JoinPath(folder, pattern).c_str(), &found));
    if (!search) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(search.get(), &found));
    return names;
}

TEST(KestrelUserJourney, BuildsAShapedProjectorFromAMovieAndTheProjectorShowsIt) {
    test::TestFolder folder;
    const std::string temp = folder / "temp";
    const std::string out = folder / "out";
    MakeDirectory(temp);
    MakeDirectory(out);
    const std::string moviePath = folder / "movie.swf";
    const std::string maskPath = folder / "shape.bmp";
    const std::string extraPath = folder / "extra.txt";
    const std::string projectPath = folder / "journey.kstl";
    std::string error;
    auto movie = swf::CompileDescription(MovieDescription(), error);
    ASSERT_TRUE(movie) << error;
    ASSERT_TRUE(WriteFile(moviePath, *movie));
    ASSERT_TRUE(WriteFile(maskPath, MaskBmp()));
    ASSERT_TRUE(WriteFile(extraPath, {'h', 'e', 'l', 'l', 'o'}));

    // The builder's own settings for this run: no update check at start-up,
    // the start dialog's first choice, and the desktop (where a new project
    // exports to) in the test's folder.
    KeptRegistryKey preferences(kPreferencesKey);
    ASSERT_TRUE(preferences.SetDword("check_software_updates", 0));
    KeptRegistryKey resolvedFolders(kShellFolders);
    KeptRegistryKey shellFolders(kUserShellFolders);
    ASSERT_TRUE(shellFolders.SetString("Desktop", out, REG_EXPAND_SZ));

    TestProcess builder;
    StartOptions options;
    options.program = KESTREL_EXE;
    options.environment = {{"TMP", temp}, {"TEMP", temp}};
    ASSERT_TRUE(builder.start(options));
    const DWORD pid = builder.id();

    // Start dialog: a new projector from a movie, chosen in the open dialog.
    HWND start = WaitForDialogWith(pid, IDC_START_FROM_SWF);
    ASSERT_NE(start, nullptr);
    Screenshot("start_dialog");
    SendMessageA(GetDlgItem(start, IDC_START_FROM_SWF), BM_CLICK, 0, 0);
    PostClick(GetDlgItem(start, IDOK));
    HWND dialog = WaitForFileDialog(pid, kWaitMs);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(dialog), "Please choose a SWF file");
    ASSERT_TRUE(AnswerFileDialog(dialog, moviePath, kWaitMs));

    HWND main = WaitForMainWindow(pid);
    ASSERT_NE(main, nullptr);
    HWND settings = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            settings = WaitForTopLevelWindow(pid, "#32770", "Settings", 0);
            return settings && IsWindowVisible(settings);
        },
        kWaitMs));
    Screenshot("main_window_windows");
    HWND tabs = GetDlgItem(main, IDC_MAIN_TABS);
    ASSERT_NE(tabs, nullptr);
    PressKey(tabs, VK_RIGHT);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 1);
    // A new project exports nothing until an output is chosen.
    HWND windowsOutput = FindControl(main, IDC_OUTPUT_WIN);
    ASSERT_NE(windowsOutput, nullptr);
    EXPECT_EQ(SendMessageA(windowsOutput, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessageA(windowsOutput, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageA(windowsOutput, BM_GETCHECK, 0, 0), BST_CHECKED);
    Screenshot("main_window_output");
    PressKey(tabs, VK_LEFT);

    // Window page: title, a custom shape with its mask, a custom size.
    Command(main, ID_SETTINGS_TAB_WINDOW);
    HWND title = PageControl(settings, IDC_WINDOW_TITLE);
    ASSERT_NE(title, nullptr);
    Screenshot("settings_window_standard");
    TypeIntoEditBox(title, "Journey's End");
    PickComboItem(PageControl(settings, IDC_WINDOW_TYPE), 1);  // "Custom Shape"
    HWND maskBrowse = PageControl(settings, IDC_WINDOW_MASK_BROWSE);
    ASSERT_NE(maskBrowse, nullptr);
    PostClick(maskBrowse);
    dialog = WaitForFileDialog(pid, kWaitMs);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(AnswerFileDialog(dialog, maskPath, kWaitMs));
    EXPECT_TRUE(WaitUntil(
        [&] { return WindowText(PageControl(settings, IDC_WINDOW_MASK)) == "shape.bmp"; }, 5000));
    PickComboItem(PageControl(settings, IDC_WINDOW_SIZE), 0);  // "Custom"
    HWND width = PageControl(settings, IDC_WINDOW_WIDTH);
    HWND height = PageControl(settings, IDC_WINDOW_HEIGHT);
    ASSERT_TRUE(width && height);
    EXPECT_TRUE(IsWindowEnabled(width));
    TypeIntoEditBox(width, std::to_string(kProjectorWidth));
    TypeIntoEditBox(height, std::to_string(kProjectorHeight));
    EXPECT_EQ(WindowText(title), "Journey's End");
    Screenshot("settings_window");

    // Setup page: the extra file, chosen in the open dialog.
    Command(main, ID_SETTINGS_TAB_SETUP);
    HWND addFile = PageControl(settings, IDC_SETUP_ADD_FILE);
    ASSERT_NE(addFile, nullptr);
    PostClick(addFile);
    dialog = WaitForFileDialog(pid, kWaitMs);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(AnswerFileDialog(dialog, extraPath, kWaitMs));
    HWND files = PageControl(settings, IDC_SETUP_FILES);
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(files, LVM_GETITEMCOUNT, 0, 0) == 1; }, 5000));
    Screenshot("settings_setup");
    Command(main, ID_SETTINGS_TAB_INPUT);
    ASSERT_NE(PageControl(settings, IDC_LEFT_MOUSE), nullptr);
    Screenshot("settings_input");
    Command(main, ID_SETTINGS_TAB_FLASH);
    ASSERT_NE(PageControl(settings, IDC_QUALITY), nullptr);
    Screenshot("settings_flash");

    // Save As, in the save dialog.
    Command(main, ID_FILE_SAVE_AS);
    dialog = WaitForFileDialog(pid, kWaitMs);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(AnswerFileDialog(dialog, projectPath, kWaitMs));
    EXPECT_TRUE(WaitUntil([&] { return PathExists(projectPath); }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(main) == "Kestrel: " + projectPath; }, 5000));

    // Preferences (both tabs) and About, looked at and closed.
    Command(main, ID_EDIT_PREFERENCES);
    HWND preferencesBox = WaitForDialogWith(pid, IDC_PREFERENCES_TABS);
    ASSERT_NE(preferencesBox, nullptr);
    Screenshot("preferences_general");
    PressKey(GetDlgItem(preferencesBox, IDC_PREFERENCES_TABS), VK_RIGHT);
    Screenshot("preferences_updates");
    PressButton(preferencesBox, IDCANCEL);
    Command(main, ID_HELP_ABOUT);
    HWND about = WaitForMessageBox(pid, "About Kestrel", kWaitMs);
    ASSERT_NE(about, nullptr);
    Screenshot("about");
    PressButton(about, IDOK);

    // Export, and the box that says how it ended.
    Command(main, ID_FILE_EXPORT);
    HWND answer = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            answer = WaitForMessageBox(pid, "Exporting...", 0);
            if (!answer) answer = WaitForMessageBox(pid, "Error", 0);
            return answer != nullptr;
        },
        120000));
    EXPECT_EQ(MessageBoxText(answer), "Exporting has finished");
    PressButton(answer, IDOK);
    Command(main, ID_FILE_EXIT);
    uint32_t exitCode = 1;
    ASSERT_TRUE(builder.waitForExit(30000, &exitCode));
    EXPECT_EQ(exitCode, 0u);

    // The saved project holds what was typed and chosen.
    Project saved;
    ASSERT_EQ(LoadProjectFile(saved, projectPath), ProjectFileError::None);
    const WindowSettings& window = saved.MainWindow().Settings();
    EXPECT_EQ(window.windowTitle, "Journey's End");
    EXPECT_EQ(window.windowType, WindowType::Mask);
    EXPECT_EQ(window.windowSize, SizeMode::Custom);
    EXPECT_EQ(window.windowWidth, kProjectorWidth);
    EXPECT_EQ(window.windowHeight, kProjectorHeight);
    EXPECT_EQ(saved.MainWindow().ExtraFiles(), std::vector<std::string>{extraPath});
    EXPECT_TRUE(saved.OutputEnabled(ExportTarget::Windows));
    EXPECT_EQ(saved.Settings().outputFolder, out);

    // The projector, run from where the export put it.
    const std::vector<std::string> programs = FilesIn(out, "*.exe");
    ASSERT_EQ(programs.size(), 1u) << saved.OutputPath(ExportTarget::Windows);
    const std::string runTemp = folder / "run";
    MakeDirectory(runTemp);
    const std::string trace = folder / "trace.txt";
    TestProcess projector;
    ASSERT_TRUE(projector.start(
        {JoinPath(out, programs[0]),
         out,
         {{"TMP", runTemp + "\\"}, {"TEMP", runTemp + "\\"}, {"NPFP_TRACE_FILE", trace}}}));
    HWND shown = WaitForTopLevelWindow(projector.id(), "LK_KestrelSKWindow", nullptr, kWaitMs);
    ASSERT_NE(shown, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowShown(shown); }, 10000));
    EXPECT_EQ(WindowText(shown), "Journey's End");
    const RECT client = ClientRectangle(shown);
    EXPECT_EQ(client.right, kProjectorWidth);
    EXPECT_EQ(client.bottom, kProjectorHeight);
    // The shape: the whole box, less the white corner of the mask.
    Region shape(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(shown, shape.get()), ERROR);
    RECT box{};
    GetRgnBox(shape.get(), &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, kProjectorWidth);
    EXPECT_EQ(box.bottom, kProjectorHeight);
    EXPECT_FALSE(PtInRegion(shape.get(), kProjectorWidth - 10, 10));
    EXPECT_TRUE(PtInRegion(shape.get(), 10, 10));
    // The movie draws: its panel in the middle, its stage colour near a corner.
    EXPECT_TRUE(WaitUntil(
        [&] {
            return ReadClientPixel(shown, kProjectorWidth / 2, kProjectorHeight / 2) ==
                   kPanelColour;
        },
        20000));
    EXPECT_EQ(ReadClientPixel(shown, 10, kProjectorHeight - 10), kStageColour);
    // And reads the extra file installed next to it.
    std::vector<std::string> lines;
    WaitUntil([&] { return !(lines = Lines(trace)).empty(); }, 20000);
    EXPECT_EQ(lines, std::vector<std::string>{"extra:hello"});
    Screenshot("projector");

    CloseWindowPolitely(shown);
    uint32_t code = 1;
    EXPECT_TRUE(projector.waitForExit(20000, &code));
    EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace kestrel
