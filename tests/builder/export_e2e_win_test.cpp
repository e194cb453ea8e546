// A projector exported from a project runs under Wine: its window opens with
// the project's title, the movie reads the extra file and the attached
// folder, the mask's region data is unpacked, and the program carries the
// project's icon and the plug-in it was given.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>

#include "builder/export/export_command.h"
#include "builder/export/mask_conversion.h"
#include "common/file_system.h"
#include "common/win_handles.h"
#include "tests/builder/data_module_win.h"
#include "tests/builder/pe_test_image.h"
#include "tests/player/shell/movie_script_text.h"
#include "tests/projector/app/projector_fixture.h"
#include "tests/support/ui_test_support.h"
#include "tools/swfwriter/description.h"

namespace kestrel {
namespace {

using skylet_test::ProjectorFolder;
using skylet_test::ReadWholeFile;
using skylet_test::WriteWholeFile;

constexpr DWORD kTimeoutMs = 60000;

// new LoadVars or XML whose onData traces `label:` and what arrived, then
// loads `url` into it.
std::string LoadAndTrace(const std::string& variable, const std::string& className,
                         const std::string& label, const std::string& url) {
    return "push \"" + variable + "\", 0, \"" + className + "\"\nnewObject\nsetVariable\npush \"" +
           variable + "\"\ngetVariable\npush \"onData\"\nfunction \"\" (\"s\")\npush \"" + label +
           ":\"\npush \"s\"\ngetVariable\nadd2\ntrace\nend\nsetMember\npush \"" + url +
           "\", 1\npush \"" + variable + "\"\ngetVariable\npush \"load\"\ncallMethod\npop\n";
}

// A 24-bit bottom-up BMP: black (the window) left of `split`, white beyond.
std::vector<uint8_t> MaskBmp(int width, int height, int split) {
    const int row = (width * 3 + 3) / 4 * 4;
    std::vector<uint8_t> file(54 + static_cast<size_t>(row) * height, 0);
    file[0] = 'B';
    file[1] = 'M';
    pe::Store32(file, 2, static_cast<uint32_t>(file.size()));
    pe::Store32(file, 10, 54);
    pe::Store32(file, 14, 40);
    pe::Store32(file, 18, static_cast<uint32_t>(width));
    pe::Store32(file, 22, static_cast<uint32_t>(height));
    pe::Store16(file, 26, 1);
    pe::Store16(file, 28, 24);
    for (int y = 0; y < height; ++y) {
        for (int x = split; x < width; ++x) {
            size_t at = 54 + static_cast<size_t>(y) * row + x * 3;
            file[at] = file[at + 1] = file[at + 2] = 0xFF;
        }
    }
    return file;
}

// One 32 x 32 image of one colour.
std::vector<uint8_t> IconFile(COLORREF color) {
    std::vector<uint8_t> image(40, 0);
    pe::Store32(image, 0, 40);
    pe::Store32(image, 4, 32);
    pe::Store32(image, 8, 64);
    pe::Store16(image, 12, 1);
    pe::Store16(image, 14, 32);
    for (int i = 0; i < 32 * 32; ++i) {
        image.insert(image.end(), {GetBValue(color), GetGValue(color), GetRValue(color), 0xFF});
    }
    image.resize(image.size() + 4 * 32, 0);
    std::vector<uint8_t> file;
    pe::Append16(file, 0);
    pe::Append16(file, 1);
    pe::Append16(file, 1);
    file.insert(file.end(), {32, 32, 0, 0});
    pe::Append16(file, 1);
    pe::Append16(file, 32);
    pe::Append32(file, static_cast<uint32_t>(image.size()));
    pe::Append32(file, 22);
    file.insert(file.end(), image.begin(), image.end());
    return file;
}

COLORREF IconCentre(HICON icon) {
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info)) return CLR_INVALID;
    GdiObject<HBITMAP> color(info.hbmColor);
    GdiObject<HBITMAP> mask(info.hbmMask);
    MemoryDC dc(CreateCompatibleDC(nullptr));
    HGDIOBJ old = SelectObject(dc.get(), color.get());
    COLORREF pixel = GetPixel(dc.get(), 16, 16);
    SelectObject(dc.get(), old);
    return pixel;
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

TEST(ExportedProjector, RunsWithItsMovieExtraFilesMaskAndIcon) {
    ProjectorFolder folder;
    const std::string source = JoinPath(folder.work(), "source");
    const std::string out = JoinPath(folder.work(), "out");
    MakeDirectory(source);
    MakeDirectory(out);
    const std::string frameOne = LoadAndTrace("d", "LoadVars", "data", "data.txt") +
                                 LoadAndTrace("x", "XML", "folder", "assets/a.xml");
    std::string error;
    auto movie = swf::CompileDescription(shell_test::MovieWithFrameOne(frameOne), error);
    ASSERT_TRUE(movie) << error;
    ASSERT_TRUE(WriteWholeFile(JoinPath(source, "movie.swf"), *movie));
    ASSERT_TRUE(WriteWholeFile(JoinPath(source, "data.txt"), {'h', 'e', 'l', 'l', 'o'}));
    MakeDirectory(JoinPath(source, "assets"));
    ASSERT_TRUE(
        WriteWholeFile(JoinPath(JoinPath(source, "assets"), "a.xml"), {'<', 'a', '/', '>'}));
    ASSERT_TRUE(WriteWholeFile(JoinPath(source, "shape.bmp"), MaskBmp(200, 100, 120)));
    const COLORREF iconColor = RGB(200, 40, 90);
    ASSERT_TRUE(WriteWholeFile(JoinPath(source, "app.ico"), IconFile(iconColor)));

    Project project;
    project.SetOutputFolder(out);
    project.SetProjectName("Exported");
    project.SetOutputEnabled(ExportTarget::Windows, true);
    project.SetWindowsIconPath(JoinPath(source, "app.ico"));
    project.SetUseWindowsIcon(true);
    WindowData& main = project.MainWindow();
    ASSERT_TRUE(main.SetMovie(JoinPath(source, "movie.swf")));
    main.SetWindowTitle("Exported \xe9");
    main.SetWindowMask(JoinPath(source, "shape.bmp"));
    main.SetWindowType(WindowType::Mask);
    main.AddExtraFile(JoinPath(source, "data.txt"));
    main.AddExtraFile(JoinPath(source, "assets"));

    ExportContext context;
    context.stub = ReadWholeFile(SKYLET_EXE);
    // The plug-in carried again through the resource writer: the projector
    // must find and load the replaced library.
    context.plugin = ReadWholeFile(NPFP_DLL);
    ASSERT_FALSE(context.plugin.empty());
    context.convertMask = ConvertMaskImage;
    ExportResult result = RunExport(project, context);
    ASSERT_EQ(result.outcome, ExportOutcome::Finished) << result.message;
    const std::string program = JoinPath(out, "Exported.exe");

    const std::string trace = JoinPath(folder.work(), "trace.txt");
    const std::string temp = folder.temp() + "\\";
    uitest::TestProcess process;
    ASSERT_TRUE(process.start(
        {program, folder.work(), {{"TMP", temp}, {"TEMP", temp}, {"NPFP_TRACE_FILE", trace}}}));
    HWND window =
        uitest::WaitForTopLevelWindow(process.id(), "LK_KestrelSKWindow", nullptr, kTimeoutMs);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(uitest::WindowText(window), "Exported \xe9");

    std::vector<std::string> lines;
    uitest::WaitUntil(
        [&] {
            lines = Lines(trace);
            return lines.size() >= 2;
        },
        30000);
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<std::string>{"data:hello", "folder:<a/>"}));

    // The mask item unpacked as the region data the export computed.
    const std::vector<std::string> unpack = folder.unpackFolders();
    ASSERT_EQ(unpack.size(), 1u);
    std::vector<uint8_t> expected;
    std::string message;
    ASSERT_TRUE(ConvertMaskImage(JoinPath(source, "shape.bmp"), &expected, &message));
    EXPECT_EQ(ReadWholeFile(JoinPath(JoinPath(folder.temp(), unpack[0]), "shape.bmp")), expected);

    // The running program's own file shows the project's icon.
    test::DataModule data = test::LoadAsData(program);
    ASSERT_TRUE(data);
    EXPECT_EQ(IconCentre(test::LoadGroupIcon(data.get(), 107, 32).get()), iconColor);

    uitest::CloseWindowPolitely(window);
    uint32_t code = 1;
    EXPECT_TRUE(process.waitForExit(20000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(folder.unpackFolders().empty());
}

}  // namespace
}  // namespace kestrel
