#include <gtest/gtest.h>

#include "builder/cli/cli_command.h"
#include "builder/pe/pe_image.h"
#include "builder/project.h"
#include "builder/project_file_reader.h"
#include "common/file_system.h"
#include "tests/builder/builder_test_support.h"
#include "tests/builder/pe_test_image.h"

namespace kestrel::cli {
namespace {

using test::BytesOf;
using test::ListTree;
using test::ReadBytes;
using test::WriteBytes;

struct CliRun {
    test::TestFolder folder;
    std::string out, err;
    std::string stub = folder / "stub.exe";
    std::string movie;
    std::string project = folder / "show.kstl";

    CliRun() {
        pe::ResourceList resources = {pe::test::Resource(
            pe::ResourceName::Text("NPFP"), pe::ResourceName::Id(130), 1033, "stand-in")};
        WriteBytes(stub, pe::test::MakeTestImage(resources));
        movie = test::WriteMovie(folder, "movie.swf", 0, 11000, 0, 8000);
    }
    int Run(std::vector<std::string> args) {
        out.clear();
        err.clear();
        Console console{[this](const std::string& t) { out += t; },
                        [this](const std::string& t) { err += t; }};
        return RunCli(args, console);
    }
    std::string Exe(const std::string& name = "show.exe") const { return folder / name; }
};

TEST(KestrelCli, EveryCommandHasHelpAndBadUsageIsExitCodeTwo) {
    CliRun cli;
    for (const char* command : {"export", "new", "set", "info", "list", "unpack"}) {
        EXPECT_EQ(cli.Run({command, "--help"}), kExitOk) << command;
        EXPECT_EQ(cli.out.rfind(std::string("usage: kestrel-cli ") + command, 0), 0u) << cli.out;
        EXPECT_EQ(cli.Run({command}), kExitUsage) << command;
        EXPECT_NE(cli.err.find("kestrel-cli: "), std::string::npos) << command;
    }
    EXPECT_EQ(cli.Run({"--help"}), kExitOk);
    EXPECT_NE(cli.out.find("Exit codes"), std::string::npos);
    EXPECT_EQ(cli.Run({}), kExitUsage);
    EXPECT_EQ(cli.Run({"frobnicate"}), kExitUsage);
    EXPECT_EQ(cli.Run({"export", cli.project, "--colour"}), kExitUsage);
}

TEST(KestrelCli, NewSetExportListAndUnpack) {
    CliRun cli;
    ASSERT_EQ(cli.Run({"new", cli.project, cli.movie}), kExitOk) << cli.err;
    EXPECT_EQ(cli.Run({"new", cli.project, cli.movie}), kExitExists);
    WriteBytes(cli.folder / "data.txt", BytesOf("data"));
    ASSERT_EQ(cli.Run({"set", cli.project, "window_title=Caf\xe9 & \"co\"", "window_size=custom",
                       "window_width=640", "more_files+=" + (cli.folder / "data.txt"),
                       "output_win_filename=show.exe", "flash_quality=ultra"}),
              kExitOk)
        << cli.err;
    Project project;
    ASSERT_EQ(LoadProjectFile(project, cli.project), ProjectFileError::None);
    const WindowSettings& main = project.MainWindow().Settings();
    EXPECT_EQ(main.windowTitle, "Caf\xe9 & \"co\"");
    EXPECT_EQ(main.windowSize, WindowSizeMode::Custom);
    EXPECT_EQ(main.windowWidth, 640);
    EXPECT_EQ(main.windowHeight, 400);
    EXPECT_EQ(main.flashQuality, FlashQuality::High);  // an unknown word changes nothing
    EXPECT_EQ(project.MainWindow().ExtraFiles().size(), 1u);
    EXPECT_TRUE(project.OutputEnabled(ExportTarget::Windows));
    EXPECT_EQ(project.OutputFileName(ExportTarget::Windows), "show.exe");
    EXPECT_EQ(cli.Run({"set", cli.project, "no_such_setting=1"}), kExitUsage);
    EXPECT_EQ(cli.Run({"set", cli.project, "--window", "1", "window_title=x"}), kExitUsage);

    ASSERT_EQ(cli.Run({"export", cli.project, "--stub", cli.stub}), kExitOk) << cli.err;
    const test::Bytes first = ReadBytes(cli.Exe());
    EXPECT_EQ(cli.Run({"export", cli.project, "--stub", cli.stub}), kExitExists);
    EXPECT_NE(cli.err.find("--overwrite"), std::string::npos);
    EXPECT_EQ(ReadBytes(cli.Exe()), first);
    ASSERT_EQ(cli.Run({"export", cli.project, "--stub", cli.stub, "--overwrite"}), kExitOk)
        << cli.err;

    ASSERT_EQ(cli.Run({"list", cli.Exe()}), kExitOk) << cli.err;
    EXPECT_NE(cli.out.find("file\t4\tdata.txt\n"), std::string::npos) << cli.out;
    EXPECT_NE(cli.out.find("\tmovie.swf\n"), std::string::npos) << cli.out;
    EXPECT_NE(cli.out.find("settings\t"), std::string::npos) << cli.out;
    ASSERT_EQ(cli.Run({"unpack", cli.Exe(), cli.folder / "unpacked"}), kExitOk) << cli.err;
    EXPECT_EQ(ListTree(cli.folder / "unpacked"),
              (std::set<std::string>{"data.txt", "movie.swf", "sk.dat"}));
    EXPECT_EQ(cli.Run({"unpack", cli.stub, cli.folder / "nothing"}), kExitFailed);
    EXPECT_NE(cli.err.find("(102)"), std::string::npos) << cli.err;
}

TEST(KestrelCli, ExportFailuresNameTheFileAndKeepTheOldOutput) {
    CliRun cli;
    ASSERT_EQ(cli.Run({"new", cli.project, cli.movie}), kExitOk);
    ASSERT_EQ(cli.Run({"set", cli.project, "more_files+=" + (cli.folder / "gone.txt"),
                       "output_win_filename=show.exe"}),
              kExitOk);
    WriteBytes(cli.Exe(), BytesOf("old"));
    EXPECT_EQ(cli.Run({"export", cli.project, "--stub", cli.stub, "--overwrite"}), kExitFailed);
    EXPECT_NE(cli.err.find("gone.txt"), std::string::npos) << cli.err;
    EXPECT_EQ(ReadBytes(cli.Exe()), BytesOf("old"));
    EXPECT_EQ(cli.Run({"export", cli.project, "--stub", cli.folder / "nostub.exe"}), kExitFailed);
    EXPECT_NE(cli.err.find("nostub.exe"), std::string::npos) << cli.err;
    EXPECT_EQ(cli.Run({"info", cli.stub}), kExitFailed);
}

TEST(KestrelCli, APluginMustBeA32BitDllWithTheThreeEntryPoints) {
    struct Case {
        const char* what;
        bool is64Bit;
        bool isDll;
        std::vector<std::string> exports;
        const char* complaint;  // empty: accepted
    };
    const Case cases[] = {
        {"a real plug-in", false, true, {"NP_GetEntryPoints", "NP_Initialize", "NP_Shutdown"}, ""},
        {"no shutdown", false, true, {"NP_GetEntryPoints", "NP_Initialize"}, "NP_Shutdown"},
        {"64-bit", true, true, {"NP_GetEntryPoints", "NP_Initialize", "NP_Shutdown"}, "32-bit"},
        {"a program",
         false,
         false,
         {"NP_GetEntryPoints", "NP_Initialize", "NP_Shutdown"},
         "not a DLL"},
    };
    for (const Case& c : cases) {
        CliRun cli;
        ASSERT_EQ(cli.Run({"new", cli.project, cli.movie}), kExitOk);
        pe::test::TestImageOptions options;
        options.is64Bit = c.is64Bit;
        options.isDll = c.isDll;
        options.exports = c.exports;
        WriteBytes(cli.folder / "plugin.dll", pe::test::MakeTestImage({}, options));
        int code = cli.Run(
            {"export", cli.project, "--stub", cli.stub, "--plugin", cli.folder / "plugin.dll"});
        if (!*c.complaint) {
            ASSERT_EQ(code, kExitOk) << c.what << ": " << cli.err;
            pe::PeImage exported;
            ASSERT_EQ(exported.Open(ReadBytes(cli.Exe())), pe::PeError::None);
            EXPECT_EQ(
                exported.Find(pe::ResourceName::Text("NPFP"), pe::ResourceName::Id(130))->data,
                ReadBytes(cli.folder / "plugin.dll"));
        } else {
            EXPECT_EQ(code, kExitFailed) << c.what;
            EXPECT_NE(cli.err.find(c.complaint), std::string::npos) << c.what << ": " << cli.err;
            EXPECT_FALSE(PathExists(cli.Exe())) << c.what;
        }
    }
}

TEST(KestrelCli, RelativePathsInAProjectFileAreTakenFromItsFolder) {
    CliRun cli;
    MakeDirectory(cli.folder / "assets");
    WriteBytes(JoinPath(cli.folder / "assets", "a.txt"), BytesOf("a"));
    WriteBytes(
        cli.project,
        BytesOf(
            "<xml version=\"1.0\">\r\n<kestrel version_major=\"1\" version_minor=\"1\">\r\n"
            "<skylet_datalist output_folder=\"out\" output_win=\"true\" >\r\n"
            "<skylet swf=\"movie.swf\" window_is_visible=\"true\">\r\n<more_files>\r\n"
            "<path src=\"assets\" />\r\n</more_files>\r\n<sub_data>\r\n</sub_data>\r\n</skylet>\r\n"
            "</skylet_datalist>\r\n</kestrel>\r\n\r\n</xml>\r\n"));
    MakeDirectory(cli.folder / "out");
    ASSERT_EQ(cli.Run({"export", cli.project, "--stub", cli.stub}), kExitOk) << cli.err;
    ASSERT_EQ(cli.Run({"list", JoinPath(cli.folder / "out", "show.exe")}), kExitOk) << cli.err;
    EXPECT_NE(cli.out.find("\tmovie.swf\n"), std::string::npos) << cli.out;
    EXPECT_NE(cli.out.find("assets"), std::string::npos) << cli.out;
}

TEST(KestrelCli, ABigExportReportsProgressOnStderr) {
    CliRun cli;
    ASSERT_EQ(cli.Run({"new", cli.project, cli.movie}), kExitOk);
    WriteBytes(cli.folder / "big.bin", test::Bytes(6u << 20, 0x42));
    ASSERT_EQ(cli.Run({"set", cli.project, "more_files+=" + (cli.folder / "big.bin")}), kExitOk);
    ASSERT_EQ(cli.Run({"export", cli.project, "--stub", cli.stub}), kExitOk) << cli.err;
    EXPECT_NE(cli.err.find("exporting: 100% (6 of 6 MB)\n"), std::string::npos) << cli.err;
    EXPECT_TRUE(cli.out.empty());
}

TEST(KestrelCli, InfoShowsTheHeader) {
    CliRun cli;
    ASSERT_EQ(cli.Run({"info", cli.movie}), kExitOk);
    EXPECT_EQ(cli.out, "compressed: no\nversion: 8\nfile length: " +
                           std::to_string(ReadBytes(cli.movie).size()) +
                           "\nwidth: 550\nheight: 400\nframe rate: 24.0 fps\nframe count: 1\n");
}

}  // namespace
}  // namespace kestrel::cli
