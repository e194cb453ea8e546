// The Help command's Win32 side: which viewer it asks for each mix of files
// beside the program and each answer of the viewers (through a recording
// display, so no help window or browser opens), the real error box, and the
// real HTML Help viewer on the compiled help.
#include "builder/ui/help_viewer_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "builder/help_location.h"
#include "common/file_system.h"
#include "tests/support/ui_test_support.h"

namespace kestrel {
namespace {

class RecordingDisplay : public HelpDisplay {
  public:
    bool compiledShows = true;
    bool pageShows = true;
    std::vector<std::string> calls;  // "chm PATH", "page PATH", "error TEXT"

    bool ShowCompiledHelp(HWND, const std::string& chmPath) override {
        calls.push_back("chm " + chmPath);
        return compiledShows;
    }
    bool ShowPage(HWND, const std::string& pagePath) override {
        calls.push_back("page " + pagePath);
        return pageShows;
    }
    void ShowError(HWND, const std::string& text) override { calls.push_back("error " + text); }
};

// A fresh program folder with the help files asked for.
std::string ProgramFolderWith(bool compiled, bool pages) {
    const std::string folder = JoinPath(::testing::TempDir(), "help_viewer_test");
    RemoveDirectoryTree(folder);
    MakeDirectory(folder);
    if (compiled) std::ofstream(JoinPath(folder, kCompiledHelpName)) << "ITSF";
    if (pages) {
        MakeDirectory(JoinPath(folder, kHelpPagesFolder));
        std::ofstream(JoinPath(JoinPath(folder, kHelpPagesFolder), kHelpStartPage)) << "<html>";
    }
    return folder;
}

struct ViewerCase {
    const char* name;
    bool compiled, pages;            // files present
    bool compiledShows, pageShows;   // what the viewers answer
    std::vector<std::string> calls;  // "chm", "page", "missing", "not shown", in order
    bool shown;
};

class OpenHelpTest : public ::testing::TestWithParam<ViewerCase> {};

TEST_P(OpenHelpTest, AsksTheViewersInTurnAndSaysWhenNoneShowedIt) {
    const ViewerCase& c = GetParam();
    const std::string folder = ProgramFolderWith(c.compiled, c.pages);
    RecordingDisplay display;
    display.compiledShows = c.compiledShows;
    display.pageShows = c.pageShows;

    EXPECT_EQ(OpenHelpFrom(nullptr, folder, display), c.shown);

    std::vector<std::string> expected;
    for (const std::string& call : c.calls) {
        if (call == "chm") expected.push_back("chm " + JoinPath(folder, kCompiledHelpName));
        if (call == "page")
            expected.push_back("page " +
                               JoinPath(JoinPath(folder, kHelpPagesFolder), kHelpStartPage));
        if (call == "missing") expected.push_back(std::string("error ") + kHelpMissingText);
        if (call == "not shown") expected.push_back(std::string("error ") + kHelpNotShownText);
    }
    EXPECT_EQ(display.calls, expected);
    RemoveDirectoryTree(folder);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenHelpTest,
    ::testing::Values(
        ViewerCase{"NothingThere", false, false, true, true, {"missing"}, false},
        ViewerCase{"CompiledShown", true, true, true, true, {"chm"}, true},
        ViewerCase{"CompiledFailsPagesShown", true, true, false, true, {"chm", "page"}, true},
        ViewerCase{"PagesOnly", false, true, true, true, {"page"}, true},
        ViewerCase{"CompiledFailsNoPages", true, false, false, true, {"chm", "not shown"}, false},
        ViewerCase{
            "NeitherViewerShows", true, true, false, false, {"chm", "page", "not shown"}, false}),
    [](const ::testing::TestParamInfo<ViewerCase>& info) { return info.param.name; });

// The real box: titled "Error", saying the help is missing; pressed from a
// second thread while the box's own loop runs.
TEST(SystemHelpDisplay, ErrorBoxIsTitledErrorAndNamesTheMissingHelp) {
    std::string text;
    std::thread presser([&] {
        HWND box = uitest::WaitForMessageBox(GetCurrentProcessId(), "Error", 15000);
        if (!box) return;
        text = uitest::MessageBoxText(box);
        uitest::PressButton(box, IDOK);
    });
    SystemHelpDisplay().ShowError(nullptr, kHelpMissingText);
    presser.join();
    EXPECT_EQ(text, kHelpMissingText);
}

#ifdef KESTREL_HELP_CHM
// The compiled help opens in the system's HTML Help viewer.
TEST(SystemHelpDisplay, CompiledHelpOpensInTheViewer) {
    ASSERT_TRUE(PathExists(KESTREL_HELP_CHM)) << KESTREL_HELP_CHM;
    ASSERT_TRUE(SystemHelpDisplay().ShowCompiledHelp(nullptr, KESTREL_HELP_CHM));
    std::vector<HWND> viewers =
        uitest::FindTopLevelWindows(GetCurrentProcessId(), "HH Parent", nullptr);
    ASSERT_FALSE(viewers.empty());
    EXPECT_EQ(uitest::WindowText(viewers[0]), "Kestrel Help");

    // Let the viewer lay out and paint, then keep a picture for a person to look at.
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 1500) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(20);
    }
    MakeDirectory("screenshots");
    EXPECT_TRUE(uitest::SaveScreenshot(JoinPath("screenshots", "help_viewer.bmp")));
    for (HWND viewer : viewers) DestroyWindow(viewer);
}
#endif

}  // namespace
}  // namespace kestrel
