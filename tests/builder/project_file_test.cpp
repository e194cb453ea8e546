#include <gtest/gtest.h>

#include "builder/project_file_reader.h"
#include "builder/project_file_writer.h"
#include "builder/project_paths.h"
#include "common/xml_text_writer.h"
#include "tests/builder/builder_test_support.h"

namespace kestrel {
namespace {

using test::TestFolder;

std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) text += std::string(line) + "\r\n";
    return text;
}

ProjectFileError Read(Project& project, const std::string& text) {
    return ReadProjectText(project, text.data(), text.size());
}

// A file around one data list whose main window has `windowAttributes`.
std::string ProjectWith(const std::string& listAttributes, const std::string& windowAttributes,
                        const std::string& windowContent = "") {
    return "<xml version=\"1.0\"><kestrel><skylet_datalist " + listAttributes + "><skylet " +
           windowAttributes + ">" + windowContent + "</skylet></skylet_datalist></kestrel></xml>";
}

TEST(ProjectFileTest, NewProjectIsWrittenByteForByte) {
    TestFolder folder;
    std::string movie = test::WriteMovie(folder, "intro.swf", 0, 11000, 0, 8000);
    Project project;
    project.SetOutputFolder("C:\\Users\\me\\Desktop");
    ASSERT_TRUE(project.MainWindow().SetMovie(movie));
    project.MainWindow().AddExtraFile("C:\\movies\\data.xml");
    project.SelectWindowByIndex(0);
    std::string window =
        "<skylet swf=\"" + EscapeXmlText(movie) +
        "\" window_name=\"MainWindow\" window_title=\"Window\" window_mask=\"\" "
        "window_type=\"standard\" window_style=\"normal\" window_has_maximize=\"true\" "
        "window_has_minimize=\"true\" window_has_close=\"true\" window_is_resizable=\"false\" "
        "window_is_visible=\"true\" window_has_menu=\"false\" window_size=\"swf_size\" "
        "window_position=\"custom\" window_x=\"20\" window_y=\"60\" window_width=\"550\" "
        "window_height=\"400\" window_width_percent=\"100\" window_height_percent=\"100\" "
        "window_fullscreen=\"false\" left_mouse_action=\"flash\" right_mouse_action=\"flash\" "
        "exit_on_escape=\"true\" use_flash_bgcolor=\"false\" flash_bgcolor=\"0\" "
        "flash_quality=\"high\" flash_scale=\"show_all\" flash_show_menu=\"true\" "
        "flash_loop_movie=\"false\">";
    std::string expected = Lines({
        "<xml version=\"1.0\">",
        "<kestrel version_major=\"1\" version_minor=\"1\">",
        "<skylet_datalist current_data=\"0\" output_folder=\"C:\\Users\\me\\Desktop\" "
        "output_macppc=\"false\" output_macppc_filename=\"UntitledPPC.app\" "
        "output_macintel=\"false\" output_macintel_filename=\"UntitledIntel.app\" "
        "output_macuniversal=\"false\" output_macuniversal_filename=\"Untitled.app\" "
        "output_mac_appicon=\"false\" output_mac_appicon_path=\"\" output_win=\"false\" "
        "output_win_filename=\"Untitled.exe\" output_win_appicon=\"false\" "
        "output_win_appicon_path=\"\" output_linux=\"false\" output_linux_filename=\"Untitledrh\" "
        "output_linux_appicon=\"false\" output_linux_appicon_path=\"\" "
        "output_default_filenames=\"true\" >",
        window.c_str(),
        "<more_files>",
        "<path src=\"C:\\movies\\data.xml\" />",
        "</more_files>",
        "<sub_data>",
        "</sub_data>",
        "</skylet>",
        "</skylet_datalist>",
        "</kestrel>",
        "",
        "</xml>",
    });
    EXPECT_EQ(WriteProjectText(project), expected);

    // The snapshot is the same data list in the xml wrapper alone.
    std::string snapshot = WriteSnapshotText(project);
    size_t list = expected.find("<skylet_datalist");
    size_t listEnd = expected.find("</kestrel>");
    EXPECT_EQ(snapshot, "<xml version=\"1.0\">\r\n" + expected.substr(list, listEnd - list) +
                            "\r\n</xml>\r\n");
}

// Every field off its default, texts with every escaped byte, sub-windows
// nested two deep, extra files and a current sub-window.
void FillEveryField(Project& project, const TestFolder& folder) {
    const std::string tricky = "Q\"A&B'C<D>E\r\nF\tG \x7f\x80\xe9\xff;&#x41;&amp";
    WindowData& main = project.MainWindow();
    ASSERT_TRUE(main.SetMovie(test::WriteMovie(folder, "m\xe9 & 'x'.swf", 0, 2000, 0, 1000)));
    main.SetWindowName(tricky);
    main.SetWindowTitle("Title " + tricky);
    main.SetWindowMask("C:\\masks\\<mask>.png");
    main.SetWindowType(WindowType::Transparent);
    main.SetWindowStyle(WindowStyle::NoBorder);
    main.SetWindowHasMaximize(false);
    main.SetWindowHasMinimize(false);
    main.SetWindowHasClose(false);
    main.SetWindowIsResizable(true);
    main.SetWindowIsVisible(false);
    main.SetWindowHasMenu(true);
    main.SetWindowSize(SizeMode::ScreenPercent);
    main.SetWindowPosition(PositionMode::Center);
    main.SetWindowX(-2147483647 - 1);
    main.SetWindowY(2147483647);
    main.SetWindowWidth(777);
    main.SetWindowHeight(-5);
    main.SetWindowWidthPercent(50);
    main.SetWindowHeightPercent(25);
    main.SetWindowFullscreen(true);
    main.SetLeftMouseAction(MouseAction::Drag);
    main.SetRightMouseAction(MouseAction::CustomMenu);
    main.SetExitOnEscape(false);
    main.SetUseFlashBgcolor(true);
    main.SetFlashBgcolor(0xFFFFFFFFu);
    main.SetFlashQuality(FlashQuality::AutoLow);
    main.SetFlashScale(FlashScale::ExactFit);
    main.SetFlashShowMenu(false);
    main.SetFlashLoopMovie(true);
    main.AddExtraFile("C:\\data\\" + tricky);
    main.AddExtraFile("C:\\data\\folder");
    main.AddExtraFile("C:\\data\\folder");

    WindowData* first = main.AddSubWindow();
    first->SetWindowName("SubWindow");
    first->SetWindowTitle("First");
    first->AddExtraFile("C:\\sub\\one.txt");
    WindowData* nested = first->AddSubWindow();
    nested->SetWindowTitle("Nested");
    nested->SetFlashQuality(FlashQuality::Low);
    WindowData* second = main.AddSubWindow();
    second->SetWindowTitle("Second \xe9");
    second->SetWindowStyle(WindowStyle::Modal);
    project.SelectWindow(second);

    project.SetOutputFolder("C:\\out \xe9 & <x>");
    project.SetMacIconPath("C:\\icons\\a'b.icns");
    project.SetWindowsIconPath("C:\\icons\\a\"b.ico");
    project.SetUseMacIcon(true);
    project.SetUseWindowsIcon(true);
    project.SetUseLinuxIcon(true);
    project.SetDefaultFileNames(false);
    const char* names[] = {"p\xe9.app", "i&.app", "u<>.app", "w\".exe", "l\tl"};
    for (size_t i = 0; i < std::size(kExportTargets); ++i) {
        project.SetOutputEnabled(kExportTargets[i], true);
        project.SetOutputFileName(kExportTargets[i], names[i]);
    }
}

TEST(ProjectFileTest, EveryFieldSurvivesARoundTrip) {
    TestFolder folder;
    Project original;
    FillEveryField(original, folder);
    std::string path = folder / "Show.kstl";
    ASSERT_EQ(SaveProjectFile(original, path), ProjectFileError::None);
    EXPECT_EQ(original.Settings().projectName, "Show");

    Project loaded;
    ASSERT_EQ(LoadProjectFile(loaded, path), ProjectFileError::None);
    EXPECT_EQ(WriteProjectText(loaded), WriteProjectText(original));
    EXPECT_EQ(loaded.Settings().projectName, "Show");

    const WindowSettings& main = loaded.MainWindow().Settings();
    EXPECT_EQ(main.windowName, original.MainWindow().Settings().windowName);
    EXPECT_EQ(main.windowTitle, original.MainWindow().Settings().windowTitle);
    EXPECT_EQ(main.swf, original.MainWindow().Settings().swf);
    EXPECT_EQ(main.windowWidth, 777);  // the file's width, not the movie's
    EXPECT_EQ(main.movieWidth, 100);
    EXPECT_EQ(main.windowX, -2147483647 - 1);
    EXPECT_EQ(main.flashBgcolor, 0xFFFFFFFFu);
    EXPECT_EQ(main.flashQuality, FlashQuality::AutoLow);
    EXPECT_EQ(loaded.MainWindow().ExtraFiles(), original.MainWindow().ExtraFiles());
    ASSERT_EQ(loaded.MainWindow().SubWindows().size(), 2u);
    const WindowData& first = *loaded.MainWindow().SubWindows()[0];
    ASSERT_EQ(first.SubWindows().size(), 1u);
    EXPECT_EQ(first.SubWindows()[0]->Settings().windowTitle, "Nested");
    EXPECT_EQ(first.SubWindows()[0]->Parent(), &first);
    EXPECT_EQ(loaded.WindowIndexOf(loaded.CurrentWindow()), 2);
    EXPECT_EQ(loaded.Settings().outputFolder, original.Settings().outputFolder);
    EXPECT_EQ(loaded.OutputFileName(ExportTarget::Linux), "l\tl");
    EXPECT_TRUE(loaded.OutputEnabled(ExportTarget::Linux));
    EXPECT_FALSE(loaded.Settings().outputDefaultFilenames);

    // Snapshots carry the same.
    Project restored;
    std::string snapshot = WriteSnapshotText(original);
    ASSERT_EQ(ReadSnapshotText(restored, snapshot.data(), snapshot.size()), ProjectFileError::None);
    EXPECT_EQ(WriteSnapshotText(restored), snapshot);
}

TEST(ProjectFileTest, EscapedBytesAreWrittenAsTheirReferences) {
    Project project;
    project.MainWindow().SetWindowTitle("\xe9\"&'<>\r\n");
    std::string text = WriteProjectText(project);
    EXPECT_NE(text.find("window_title=\"&#xe9;&quot;&amp;&apos;&lt;&gt;&#x0d;&#x0a;\""),
              std::string::npos);
}

TEST(ProjectFileTest, ValuesAreDecodedAsTheBuilderReadsThem) {
    struct Case {
        const char* attributes;
        std::function<void(const Project&)> check;
    } cases[] = {
        {"window_is_visible=\"TRUE\" window_has_menu=\"True\"",
         [](const Project& p) {
             EXPECT_TRUE(p.MainWindow().Settings().windowIsVisible);
             EXPECT_TRUE(p.MainWindow().Settings().windowHasMenu);
         }},
        {"window_has_close=\"1\" window_has_minimize=\"yes\"",
         [](const Project& p) {
             EXPECT_FALSE(p.MainWindow().Settings().windowHasClose);
             EXPECT_FALSE(p.MainWindow().Settings().windowHasMinimize);
         }},
        {"window_x=\"12px\" window_y=\"px\" window_width=\" -7\"",
         [](const Project& p) {
             EXPECT_EQ(p.MainWindow().Settings().windowX, 12);
             EXPECT_EQ(p.MainWindow().Settings().windowY, 0);
             EXPECT_EQ(p.MainWindow().Settings().windowWidth, -7);
         }},
        {"window_x=\"99999999999\" window_y=\"-99999999999\" flash_bgcolor=\"99999999999\"",
         [](const Project& p) {
             EXPECT_EQ(p.MainWindow().Settings().windowX, 2147483647);
             EXPECT_EQ(p.MainWindow().Settings().windowY, -2147483647 - 1);
             EXPECT_EQ(p.MainWindow().Settings().flashBgcolor, 4294967295u);
         }},
        {"flash_quality=\"ultra\" window_type=\"Mask\" flash_scale=\"exact_fit\"",
         [](const Project& p) {
             EXPECT_EQ(p.MainWindow().Settings().flashQuality, FlashQuality::High);
             EXPECT_EQ(p.MainWindow().Settings().windowType, WindowType::Standard);
             EXPECT_EQ(p.MainWindow().Settings().flashScale, FlashScale::ExactFit);
         }},
        {"window_title=\"a&#x41;&#x141;&#x4;b&#x;&#x41&foo;&amp;lt;\"",
         [](const Project& p) {
             EXPECT_EQ(p.MainWindow().Settings().windowTitle,
                       "aAA\x04"
                       "b&#x;&#x41&foo;&lt;");
         }},
        {"window_title=\"tab\there\" window_mask=\"m.png\"",
         [](const Project& p) {
             EXPECT_EQ(p.MainWindow().Settings().windowTitle, "tab\there");
             EXPECT_EQ(p.MainWindow().Settings().windowMask, JoinPath(ProgramFolder(), "m.png"));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.attributes);
        Project project;
        ASSERT_EQ(Read(project, ProjectWith("", c.attributes)), ProjectFileError::None);
        c.check(project);
    }
}

TEST(ProjectFileTest, CurrentDataSelectsOnlyAnExistingWindow) {
    std::string subWindows = "<sub_data><skylet/><skylet/><skylet/></sub_data>";
    struct Case {
        const char* listAttributes;
        int index;
    } cases[] = {{"", -1},
                 {"current_data=\"-1\"", -1},
                 {"current_data=\"0\"", 0},
                 {"current_data=\"3\"", 3},
                 {"current_data=\"4\"", -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.listAttributes);
        Project project;
        ASSERT_EQ(Read(project, ProjectWith(c.listAttributes, "", subWindows)),
                  ProjectFileError::None);
        EXPECT_EQ(project.WindowIndexOf(project.CurrentWindow()), c.index);
    }
}

TEST(ProjectFileTest, MissingMovieLoadsWithEmptySwfAndOtherSettings) {
    Project project;
    ASSERT_EQ(Read(project, ProjectWith("output_linux=\"true\" output_folder=\"out\"",
                                        "swf=\"C:\\gone\\movie.swf\" window_title=\"T\"",
                                        "<more_files><path src=\"rel.txt\"/><path/></more_files>")),
              ProjectFileError::None);
    EXPECT_EQ(project.MainWindow().Settings().swf, "");
    EXPECT_EQ(project.MainWindow().Settings().windowTitle, "T");
    EXPECT_TRUE(project.OutputEnabled(ExportTarget::Linux));
    EXPECT_EQ(project.Settings().outputFolder, "out");  // as written
    EXPECT_EQ(project.MainWindow().ExtraFiles(),
              std::vector<std::string>{JoinPath(ProgramFolder(), "rel.txt")});
}

TEST(ProjectFileTest, FilesWithoutAProjectAreRefusedAndChangeNothing) {
    auto nested = [](int depth) {
        std::string open, close;
        for (int i = 0; i < depth; ++i) {
            open += "<sub_data><skylet window_title=\"deep\">";
            close += "</skylet></sub_data>";
        }
        return ProjectWith("", "", open + close);
    };
    struct Case {
        const char* name;
        std::string text;
        ProjectFileError error;
    } cases[] = {
        {"not xml", "this is not xml <", ProjectFileError::CannotOpen},
        {"empty", "", ProjectFileError::CannotOpen},
        {"declaration and kestrel root",
         "<?xml version=\"1.0\"?><kestrel><skylet_datalist/></kestrel>",
         ProjectFileError::CannotRead},
        {"other xml", "<xml><other/></xml>", ProjectFileError::CannotRead},
        {"too deep", nested(kMaxSubWindowDepth + 1), ProjectFileError::CannotRead},
        {"deep enough", nested(kMaxSubWindowDepth), ProjectFileError::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Project project;
        project.MainWindow().SetWindowTitle("kept");
        EXPECT_EQ(Read(project, c.text), c.error);
        if (c.error != ProjectFileError::None) {
            EXPECT_EQ(project.MainWindow().Settings().windowTitle, "kept");
        }
    }

    TestFolder folder;
    Project project;
    project.SetProjectName("Kept");
    EXPECT_EQ(LoadProjectFile(project, folder / "missing.kstl"), ProjectFileError::InvalidFile);
    EXPECT_EQ(LoadProjectFile(project, ""), ProjectFileError::InvalidFile);
    test::WriteBytes(folder / "other.kstl", test::BytesOf("<xml><other/></xml>"));
    EXPECT_EQ(LoadProjectFile(project, folder / "other.kstl"), ProjectFileError::CannotRead);
    EXPECT_EQ(project.Settings().projectName, "Kept");
    EXPECT_STREQ(ToString(ProjectFileError::CannotRead),
                 "Unable to read the project file. The project file may be invalid or corrupt.");
}

TEST(ProjectFileTest, AnInterruptedSaveLeavesTheOldFileByteForByte) {
    TestFolder folder;
    std::string path = folder / "Show.kstl";
    Project old;
    ASSERT_EQ(SaveProjectFile(old, path), ProjectFileError::None);
    test::Bytes before = test::ReadBytes(path);

    Project changed;
    FillEveryField(changed, folder);
    std::string text = WriteProjectText(changed);
    for (uint64_t limit :
         {uint64_t{0}, uint64_t{1}, uint64_t{text.size() / 2}, uint64_t{text.size() - 1}}) {
        SCOPED_TRACE(limit);
        EXPECT_EQ(SaveTextFile(path, text, limit), ProjectFileError::CannotWrite);
        EXPECT_EQ(test::ReadBytes(path), before);
        EXPECT_FALSE(PathExists(path + ".partial"));
        EXPECT_EQ(test::ListTree(folder.path()).size(), 2u);  // the project and the movie
    }
    // A leftover of a crashed save is replaced, and gone afterwards.
    test::WriteBytes(path + ".partial", test::BytesOf("leftover from an earlier run"));
    EXPECT_EQ(SaveTextFile(path, text, text.size()), ProjectFileError::None);
    EXPECT_EQ(test::ReadBytes(path), test::BytesOf(text));
    EXPECT_FALSE(PathExists(path + ".partial"));

    // No folder to write into, or a folder in the way of the name.
    EXPECT_EQ(SaveProjectFile(changed, JoinPath(folder / "none", "x.kstl")),
              ProjectFileError::CannotCreate);
    ASSERT_EQ(MakeDirectory(folder / "dir.kstl"), MakeDirectoryResult::Created);
    EXPECT_EQ(SaveProjectFile(changed, folder / "dir.kstl"), ProjectFileError::CannotCreate);
    EXPECT_EQ(changed.Settings().projectName, "Untitled");
    EXPECT_FALSE(PathExists(folder / "dir.kstl.partial"));
}

}  // namespace
}  // namespace kestrel
