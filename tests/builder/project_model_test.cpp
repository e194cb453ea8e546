#include <gtest/gtest.h>

#include "builder/change_counter.h"
#include "builder/project.h"
#include "builder/project_paths.h"
#include "tests/builder/builder_test_support.h"

namespace kestrel {
namespace {

using test::TestFolder;

TEST(ProjectModelTest, NewProjectHasOneVisibleMainWindowAndUntitledOutputs) {
    Project project;
    const WindowSettings& main = project.MainWindow().Settings();
    EXPECT_EQ(main.windowName, "MainWindow");
    EXPECT_TRUE(main.windowIsVisible);
    EXPECT_EQ(main.windowSize, SizeMode::SwfSize);
    EXPECT_EQ(main.windowTitle, "Window");
    EXPECT_EQ(main.windowX, 20);
    EXPECT_EQ(main.windowHeight, 240);
    EXPECT_EQ(main.movieWidth, 100);
    EXPECT_EQ(main.flashQuality, FlashQuality::High);
    EXPECT_TRUE(project.MainWindow().SubWindows().empty());
    EXPECT_EQ(project.CurrentWindow(), nullptr);
    EXPECT_EQ(project.Settings().outputFolder, DesktopFolder());
    EXPECT_EQ(project.Settings().projectName, "Untitled");
    const char* names[] = {"UntitledPPC.app", "UntitledIntel.app", "Untitled.app", "Untitled.exe",
                           "Untitledrh"};
    for (size_t i = 0; i < std::size(kExportTargets); ++i) {
        EXPECT_EQ(project.OutputFileName(kExportTargets[i]), names[i]);
        EXPECT_FALSE(project.OutputEnabled(kExportTargets[i]));
        EXPECT_FALSE(project.ExportPermission(kExportTargets[i]));
    }
    // A new sub-window is invisible.
    EXPECT_FALSE(project.MainWindow().AddSubWindow()->Settings().windowIsVisible);
}

TEST(ProjectModelTest, ProjectNameDerivesFileNamesOnlyWhenDefaultsAreOn) {
    Project project;
    ChangeCounter::Reset();
    project.SetProjectName("Show");
    EXPECT_EQ(project.OutputFileName(ExportTarget::MacPpc), "ShowPPC.app");
    EXPECT_EQ(project.OutputFileName(ExportTarget::MacIntel), "ShowIntel.app");
    EXPECT_EQ(project.OutputFileName(ExportTarget::MacUniversal), "Show.app");
    EXPECT_EQ(project.OutputFileName(ExportTarget::Windows), "Show.exe");
    EXPECT_EQ(project.OutputFileName(ExportTarget::Linux), "Showrh");
    EXPECT_EQ(ChangeCounter::Read(), 0);

    project.SetDefaultFileNames(false);
    EXPECT_EQ(ChangeCounter::Read(true), 1);
    project.SetProjectName("Other");
    EXPECT_EQ(project.OutputFileName(ExportTarget::Windows), "Show.exe");
    project.SetOutputFileName(ExportTarget::Windows, "Mine.exe");
    project.SetDefaultFileNames(true);
    EXPECT_EQ(project.OutputFileName(ExportTarget::Windows), "Other.exe");
    project.SetProjectName("");
    EXPECT_EQ(project.OutputFileName(ExportTarget::Linux), "Untitledrh");
}

TEST(ProjectModelTest, OutputPathJoinsTheAbsoluteFolderAndTheFileName) {
    Project project;
    project.SetOutputFolder("out");
    EXPECT_EQ(project.OutputPath(ExportTarget::Windows),
              JoinPath(JoinPath(ProgramFolder(), "out"), "Untitled.exe"));
}

TEST(ProjectModelTest, SettersCountOnlyRealChanges) {
    Project project;
    WindowData& window = project.MainWindow();
    struct Case {
        const char* name;
        std::function<void()> set;
        int changes;
    } cases[] = {
        {"x twice", [&] { window.SetWindowX(5), window.SetWindowX(5); }, 1},
        {"x to its value", [&] { window.SetWindowX(5); }, 0},
        {"name", [&] { window.SetWindowName("Other"); }, 0},
        {"title", [&] { window.SetWindowTitle("T"), window.SetWindowTitle("T"); }, 1},
        {"quality", [&] { window.SetFlashQuality(FlashQuality::Best); }, 1},
        {"bgcolor", [&] { window.SetFlashBgcolor(0xFFFFFF); }, 1},
        {"flags", [&] { window.SetWindowHasMenu(true), window.SetFlashLoopMovie(false); }, 1},
        {"mask case",
         [&] { window.SetWindowMask("/a/Mask.png"), window.SetWindowMask("/A/MASK.PNG"); }, 1},
        {"folder", [&] { project.SetOutputFolder("/Out"), project.SetOutputFolder("/out"); }, 1},
        {"icon", [&] { project.SetWindowsIconPath("/i.ico"), project.SetUseWindowsIcon(true); }, 2},
        {"target", [&] { project.SetOutputEnabled(ExportTarget::Linux, true); }, 1},
        {"file name", [&] { project.SetOutputFileName(ExportTarget::Linux, "Untitledrh"); }, 0},
        {"permission", [&] { project.SetExportPermission(ExportTarget::Windows, true); }, 0},
        {"extra file", [&] { window.AddExtraFile("/f"), window.AddExtraFile("/f"); }, 2},
        {"remove extra", [&] { window.RemoveExtraFile(5), window.RemoveExtraFile(0); }, 1},
        {"clear extras", [&] { window.ClearExtraFiles(), window.ClearExtraFiles(); }, 1},
        {"size mode custom", [&] { window.SetWindowSize(SizeMode::Custom); }, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChangeCounter::Reset();
        c.set();
        EXPECT_EQ(ChangeCounter::Read(), c.changes);
    }
    EXPECT_EQ(window.Settings().windowName, "Other");
    EXPECT_EQ(window.Settings().windowMask, "/a/Mask.png");
    EXPECT_TRUE(window.ExtraFiles().empty());
    EXPECT_EQ(ChangeCounter::Read(true), 1);
    EXPECT_EQ(ChangeCounter::Read(), 0);
}

TEST(ProjectModelTest, ExtraFilesAreStoredInAbsoluteForm) {
    WindowData window;
    window.AddExtraFile("data.xml");
    window.AddExtraFile("C:\\movies\\x.txt");
    EXPECT_EQ(window.ExtraFiles()[0], JoinPath(ProgramFolder(), "data.xml"));
    EXPECT_EQ(window.ExtraFiles()[1], "C:\\movies\\x.txt");
}

TEST(ProjectModelTest, MovieSizeFollowsTheSizeMode) {
    TestFolder folder;
    std::string movie = test::WriteMovie(folder, "m.swf", 0, 11000, 0, 8000);
    Project project;
    WindowData& window = project.MainWindow();

    ChangeCounter::Reset();
    ASSERT_TRUE(window.SetMovie(movie));
    EXPECT_EQ(window.Settings().swf, movie);
    EXPECT_EQ(window.Settings().windowWidth, 550);
    EXPECT_EQ(window.Settings().windowHeight, 400);
    EXPECT_EQ(ChangeCounter::Read(true), 3);  // path, width, height

    // In custom mode the size is remembered and applied when the mode returns.
    window.SetWindowSize(SizeMode::Custom);
    window.SetWindowWidth(300);
    ASSERT_TRUE(window.SetMovie(test::WriteMovie(folder, "n.swf", 100, 4100, 0, 2000, true)));
    EXPECT_EQ(window.Settings().windowWidth, 300);
    EXPECT_EQ(window.Settings().movieWidth, 200);
    window.SetWindowSize(SizeMode::SwfSize);
    EXPECT_EQ(window.Settings().windowWidth, 200);
    EXPECT_EQ(window.Settings().windowHeight, 100);

    // An unreadable movie changes nothing.
    test::WriteBytes(folder / "bad.swf", test::BytesOf("GIF89a"));
    ChangeCounter::Reset();
    EXPECT_FALSE(window.SetMovie(folder / "bad.swf"));
    EXPECT_FALSE(window.SetMovie(folder / "missing.swf"));
    EXPECT_EQ(window.Settings().swf, folder / "n.swf");
    EXPECT_EQ(window.Settings().movieWidth, 200);
    EXPECT_EQ(ChangeCounter::Read(), 0);
}

TEST(ProjectModelTest, WindowIndexSelectionAndRemoval) {
    Project project;
    WindowData& main = project.MainWindow();
    WindowData* subs[] = {main.AddSubWindow(), main.AddSubWindow(), main.AddSubWindow()};
    WindowData* nested = subs[0]->AddSubWindow();
    EXPECT_EQ(subs[0]->Parent(), &main);
    EXPECT_EQ(main.Parent(), nullptr);

    EXPECT_EQ(project.WindowIndexOf(&main), 0);
    EXPECT_EQ(project.WindowIndexOf(subs[2]), 3);
    EXPECT_EQ(project.WindowIndexOf(nested), -1);
    EXPECT_EQ(project.WindowIndexOf(nullptr), -1);

    EXPECT_TRUE(project.SelectWindowByIndex(3));
    EXPECT_EQ(project.CurrentWindow(), subs[2]);
    for (int index : {4, -1}) {
        EXPECT_FALSE(project.SelectWindowByIndex(index));
        EXPECT_EQ(project.CurrentWindow(), nullptr);
    }
    EXPECT_FALSE(project.SelectWindow(nested));
    EXPECT_TRUE(project.SelectWindow(&main));
    EXPECT_TRUE(project.SelectWindow(subs[1]));

    EXPECT_FALSE(project.RemoveSubWindow(&main));
    EXPECT_FALSE(project.RemoveSubWindow(nullptr));
    EXPECT_EQ(project.CurrentWindow(), subs[1]);
    EXPECT_TRUE(project.RemoveSubWindow(nested));  // not found: answers true, changes nothing
    EXPECT_EQ(project.CurrentWindow(), subs[1]);
    EXPECT_TRUE(project.RemoveSubWindow(subs[0]));
    EXPECT_EQ(project.CurrentWindow(), nullptr);
    ASSERT_EQ(main.SubWindows().size(), 2u);
    EXPECT_EQ(project.WindowAt(1), subs[1]);

    project.SelectWindowByIndex(2);
    project.RemoveAllSubWindows();
    EXPECT_TRUE(main.SubWindows().empty());
    EXPECT_EQ(project.CurrentWindow(), nullptr);
}

TEST(ProjectModelTest, ResetRestoresDefaultsWithoutCounting) {
    Project project;
    project.MainWindow().SetWindowTitle("T");
    project.MainWindow().AddSubWindow();
    project.SetOutputEnabled(ExportTarget::Windows, true);
    project.SetExportPermission(ExportTarget::Windows, true);
    project.SetProjectName("Show");
    project.SelectWindowByIndex(1);
    ChangeCounter::Reset();
    project.Reset();
    EXPECT_EQ(ChangeCounter::Read(), 0);
    EXPECT_EQ(project.MainWindow().Settings().windowTitle, "Window");
    EXPECT_TRUE(project.MainWindow().SubWindows().empty());
    EXPECT_EQ(project.CurrentWindow(), nullptr);
    EXPECT_FALSE(project.OutputEnabled(ExportTarget::Windows));
    EXPECT_FALSE(project.ExportPermission(ExportTarget::Windows));
    EXPECT_EQ(project.OutputFileName(ExportTarget::Windows), "Untitled.exe");
}

TEST(ProjectPathsTest, AbsoluteFormAndNames) {
    EXPECT_TRUE(IsAbsolutePath("C:\\x"));
    EXPECT_TRUE(IsAbsolutePath("\\\\server\\share"));
    EXPECT_TRUE(IsAbsolutePath("/x"));
    EXPECT_FALSE(IsAbsolutePath("x\\y"));
    EXPECT_EQ(AbsoluteFormFrom("", "/base"), "");
    EXPECT_EQ(AbsoluteFormFrom("a/../b", "/base"), JoinPath("/base", "a/../b"));
    EXPECT_TRUE(SamePath("C:\\Movies\\A.swf", "c:\\movies\\a.SWF"));
    EXPECT_FALSE(SamePath("C:\\a.swf", "C:\\a.swf2"));
    EXPECT_EQ(BaseNameWithoutExtension("C:\\p\\Show.kstl"), "Show");
    EXPECT_EQ(BaseNameWithoutExtension("/p/a.b.kstl"), "a.b");
    EXPECT_EQ(BaseNameWithoutExtension("/p/.kstl"), ".kstl");
}

}  // namespace
}  // namespace kestrel
