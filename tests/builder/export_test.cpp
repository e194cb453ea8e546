#include <gtest/gtest.h>

#include <algorithm>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

#include "builder/export/export_command.h"
#include "builder/export/plist_text.h"
#include "builder/pe/icon_file.h"
#include "builder/pe/pe_image.h"
#include "common/file_system.h"
#include "common/payload_reader.h"
#include "common/settings_reader.h"
#include "tests/builder/builder_test_support.h"
#include "tests/builder/pe_test_image.h"

namespace kestrel {
namespace {

using test::BytesOf;
using test::ListTree;
using test::ReadBytes;
using test::WriteBytes;

const pe::ResourceName kGroup = pe::ResourceName::Id(pe::kResourceTypeGroupIcon);

std::vector<uint8_t> FakeStub() {
    pe::ResourceList list = {
        pe::test::Resource(pe::ResourceName::Id(3), pe::ResourceName::Id(1), 1033, "icon"),
        pe::test::Resource(kGroup, pe::ResourceName::Id(107), 1033, ""),
        pe::test::Resource(pe::ResourceName::Text("NPFP"), pe::ResourceName::Id(130), 1033,
                           "stand-in player")};
    pe::Append16(list[1].data, 0);
    pe::Append16(list[1].data, 1);
    pe::Append16(list[1].data, 1);
    list[1].data.insert(list[1].data.end(), {32, 32, 0, 0, 1, 0, 32, 0, 4, 0, 0, 0, 1, 0});
    pe::SortResources(&list);
    return pe::test::MakeTestImage(list);
}

// A project with a main window (movie, extra file, extra folder, mask) and
// two sub-windows: one with a movie and a mask, one with neither.
struct ExportFixture {
    test::TestFolder folder;
    std::string out = folder / "out";
    std::string unpack = folder / "unpack";
    Project project;
    ExportContext context;
    std::vector<std::string> warnings;
    std::vector<std::string> asked;
    ReplaceAnswer answer = ReplaceAnswer::Replace;

    ExportFixture() {
        MakeDirectory(out);
        MakeDirectory(unpack);
        MakeDirectory(folder / "assets");
        WriteBytes(JoinPath(folder / "assets", "a.txt"), BytesOf("asset"));
        WriteBytes(folder / "notes.txt", BytesOf("notes"));
        WriteBytes(folder / "shape.png", BytesOf("REGION main"));
        WriteBytes(folder / "second.png", BytesOf("REGION second"));
        MakeDirectory(folder / "pr_tmp");
        MakeDirectory(JoinPath(folder / "pr_tmp", "English.lproj"));
        WriteBytes(JoinPath(JoinPath(folder / "pr_tmp", "English.lproj"), "InfoPlist.strings"),
                   BytesOf("x"));

        project.SetOutputFolder(out);
        project.SetProjectName("Show");
        project.SetOutputEnabled(ExportTarget::Windows, true);
        WindowData& main = project.MainWindow();
        EXPECT_TRUE(main.SetMovie(test::WriteMovie(folder, "main.swf", 0, 11000, 0, 8000)));
        main.SetWindowTitle("Caf\xe9 & \"co\"");
        main.AddExtraFile(folder / "notes.txt");
        main.AddExtraFile(folder / "assets");
        main.SetWindowMask(folder / "shape.png");
        WindowData* second = main.AddSubWindow();
        second->SetWindowName("second");
        EXPECT_TRUE(second->SetMovie(test::WriteMovie(folder, "two.swf", 0, 2000, 0, 2000)));
        second->SetWindowMask(folder / "second.png");
        main.AddSubWindow()->SetWindowName("empty");

        context.stub = FakeStub();
        context.macResourcesFolder = folder / "pr_tmp";
        context.convertMask = [](const std::string& path, std::vector<uint8_t>* region,
                                 std::string* message) {
            *region = ReadBytes(path);
            if (region->size() > 6 && std::string(region->begin(), region->begin() + 6) == "REGION")
                return true;
            *message = "not an image";
            return false;
        };
        context.warn = [this](const std::string& text) { warnings.push_back(text); };
        context.askReplace = [this](const std::string& name, const std::string& where) {
            asked.push_back(name + " in " + where);
            return answer;
        };
    }

    ExportResult Run() { return RunExport(project, context); }

    std::string Projector() const { return out + kPathSeparator + "Show.exe"; }

    PayloadReader Unpack() {
        PayloadReader reader(unpack);
        EXPECT_EQ(reader.open(Projector()), PayloadError::None);
        EXPECT_EQ(reader.scan(), PayloadError::None);
        return reader;
    }
};

TEST(ExportWindows, WritesTheStubThenEveryItemThenTheSettings) {
    ExportFixture f;
    ExportResult result = f.Run();
    ASSERT_EQ(result.outcome, ExportOutcome::Finished) << result.message;
    const test::Bytes exported = ReadBytes(f.Projector());
    ASSERT_GT(exported.size(), f.context.stub.size());
    EXPECT_TRUE(std::equal(f.context.stub.begin(), f.context.stub.end(), exported.begin()));
    EXPECT_EQ(ListTree(f.out), (std::set<std::string>{"Show.exe"}));  // no work folder left

    PayloadReader reader = f.Unpack();
    EXPECT_EQ(ListTree(f.unpack),
              (std::set<std::string>{"main.swf", "two.swf", "notes.txt", "assets/", "assets/a.txt",
                                     "shape.png", "second.png", "sk.dat"}));
    EXPECT_EQ(ReadBytes(JoinPath(f.unpack, "second.png")), BytesOf("REGION second"));
    std::string settingsPath;
    ASSERT_EQ(reader.settingsPath(&settingsPath), PayloadError::None);
    SettingsResult settings = ReadSettingsDocument(settingsPath, f.unpack);
    ASSERT_EQ(settings.error, SettingsError::None);
    EXPECT_EQ(settings.mainWindow.title, "Caf\xe9 & \"co\"");
    EXPECT_EQ(settings.mainWindow.moviePath, JoinPath(f.unpack, "main.swf"));
    EXPECT_EQ(settings.mainWindow.maskPath, JoinPath(f.unpack, "shape.png"));
    EXPECT_EQ(settings.mainWindow.width, 550);
    ASSERT_EQ(settings.mainWindow.additionalWindows.size(), 2u);
    EXPECT_EQ(settings.mainWindow.additionalWindows[0].moviePath, JoinPath(f.unpack, "two.swf"));
    EXPECT_EQ(settings.mainWindow.additionalWindows[1].name, "empty");
}

TEST(ExportWindows, MaskItemsCarryTheirWindowIndexes) {
    ExportFixture f;
    ASSERT_EQ(f.Run().outcome, ExportOutcome::Finished);
    // Read the mask items' indexes straight from the file: the last mask
    // item written sits right before the first file item.
    const test::Bytes bytes = ReadBytes(f.Projector());
    const std::string text(bytes.begin(), bytes.end());
    size_t second = text.find("REGION second");
    ASSERT_NE(second, std::string::npos);
    const size_t indexAt = second + 13 + 4 + 10 + 4;  // blob, its length, "second.png", its length
    EXPECT_EQ(bytes[indexAt], 1);
    const size_t mainAt = text.find("REGION main") + 11 + 4 + 9 + 4;
    EXPECT_EQ(bytes[mainAt], 0);
}

TEST(ExportWindows, ReplacesTheIconWithEveryImageAndCarriesAnotherPlugin) {
    ExportFixture f;
    WriteBytes(f.folder / "app.ico", pe::test::MakeIconFile(3));
    f.project.SetWindowsIconPath(f.folder / "app.ico");
    f.project.SetUseWindowsIcon(true);
    f.context.plugin = BytesOf("another player");
    ASSERT_EQ(f.Run().outcome, ExportOutcome::Finished);
    pe::PeImage image;
    ASSERT_EQ(image.Open(ReadBytes(f.Projector())), pe::PeError::None);
    const pe::ResourceEntry* group = image.Find(kGroup, pe::ResourceName::Id(107));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->data[4], 3);
    EXPECT_EQ(image.Find(pe::ResourceName::Text("NPFP"), pe::ResourceName::Id(130))->data,
              BytesOf("another player"));
    EXPECT_TRUE(f.warnings.empty());
    f.Unpack();  // the payload still reads behind the rewritten stub
}

TEST(ExportWindows, AnUnusableIconKeepsTheStubsIconAndSaysSo) {
    ExportFixture f;
    WriteBytes(f.folder / "bad.ico", BytesOf("not an icon at all"));
    f.project.SetWindowsIconPath(f.folder / "bad.ico");
    f.project.SetUseWindowsIcon(true);
    ASSERT_EQ(f.Run().outcome, ExportOutcome::Finished);
    const test::Bytes exported = ReadBytes(f.Projector());
    EXPECT_TRUE(std::equal(f.context.stub.begin(), f.context.stub.end(), exported.begin()));
    ASSERT_EQ(f.warnings.size(), 1u);
    EXPECT_NE(f.warnings[0].find("bad.ico"), std::string::npos);
}

// Each case breaks one thing; the export must fail naming it and leave the
// old projector byte for byte and no work folder.
TEST(ExportWindows, RefusesWhatCannotBeCarriedAndLeavesTheOldOutput) {
    struct Case {
        const char* what;
        std::function<void(ExportFixture&)> breakIt;
        const char* named;
    };
    const Case cases[] = {
        {"missing movie", [](ExportFixture& f) { RemoveFile(f.folder / "two.swf"); }, "two.swf"},
        {"missing extra file", [](ExportFixture& f) { RemoveFile(f.folder / "notes.txt"); },
         "notes.txt"},
        {"missing mask", [](ExportFixture& f) { RemoveFile(f.folder / "shape.png"); }, "shape.png"},
        {"mask not an image",
         [](ExportFixture& f) { WriteBytes(f.folder / "shape.png", BytesOf("junk")); },
         "shape.png"},
        {"missing icon",
         [](ExportFixture& f) {
             f.project.SetWindowsIconPath(f.folder / "gone.ico");
             f.project.SetUseWindowsIcon(true);
         },
         "gone.ico"},
        {"missing Mac icon",
         [](ExportFixture& f) {
             f.project.SetOutputEnabled(ExportTarget::MacPpc, true);
             f.project.SetMacIconPath(f.folder / "gone.icns");
             f.project.SetUseMacIcon(true);
         },
         "gone.icns"},
        {"settings name",
         [](ExportFixture& f) {
             WriteBytes(f.folder / "SK.DAT", BytesOf("x"));
             f.project.MainWindow().AddExtraFile(f.folder / "SK.DAT");
         },
         "SK.DAT"},
        {"plug-in name",
         [](ExportFixture& f) {
             WriteBytes(f.folder / "npfp.dll", BytesOf("x"));
             f.project.MainWindow().AddExtraFile(f.folder / "npfp.dll");
         },
         "npfp.dll"},
        {"device name",
         [](ExportFixture& f) {
             WriteBytes(f.folder / "aux.txt", BytesOf("x"));
             f.project.MainWindow().AddExtraFile(f.folder / "aux.txt");
         },
         "aux.txt"},
        {"two masks one name",
         [](ExportFixture& f) {
             MakeDirectory(f.folder / "other");
             WriteBytes(JoinPath(f.folder / "other", "shape.png"), BytesOf("REGION other"));
             f.project.MainWindow().SubWindows()[1]->SetWindowMask(
                 JoinPath(f.folder / "other", "shape.png"));
         },
         "shape.png"},
        {"empty output name",
         [](ExportFixture& f) { f.project.SetOutputFileName(ExportTarget::Windows, ""); }, "\"\""},
        {"output name with a separator",
         [](ExportFixture& f) {
             f.project.SetOutputFileName(ExportTarget::Windows, "../Show.exe");
         },
         "../Show.exe"},
        {"output name ..",
         [](ExportFixture& f) { f.project.SetOutputFileName(ExportTarget::Windows, ".."); },
         "\"..\""},
    };
    for (const Case& c : cases) {
        ExportFixture f;
        WriteBytes(f.Projector(), BytesOf("old projector"));
        f.context.alwaysOverwrite = true;
        c.breakIt(f);
        ExportResult result = f.Run();
        EXPECT_EQ(result.outcome, ExportOutcome::Failed) << c.what;
        EXPECT_NE(result.message.find(c.named), std::string::npos)
            << c.what << ": " << result.message;
        EXPECT_EQ(ReadBytes(f.Projector()), BytesOf("old projector")) << c.what;
        EXPECT_EQ(ListTree(f.out), (std::set<std::string>{"Show.exe"})) << c.what;
    }
}

#ifndef _WIN32
// The file-size limit makes every write beyond it fail, as a full disk does.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        signal(SIGXFSZ, SIG_DFL);
    }

  private:
    rlimit old_{};
};

TEST(ExportWindows, AWriteThatFailsHalfWayLeavesTheOldOutputs) {
    ExportFixture f;
    WriteBytes(f.folder / "big.bin", test::Bytes(1 << 20, 0x42));
    f.project.MainWindow().AddExtraFile(f.folder / "big.bin");
    WriteBytes(f.Projector(), BytesOf("old projector"));
    f.context.alwaysOverwrite = true;
    ExportResult result;
    {
        FileSizeLimit limit(256 << 10);
        result = f.Run();
    }
    EXPECT_EQ(result.outcome, ExportOutcome::Failed);
    EXPECT_NE(result.message.find("Show.exe"), std::string::npos) << result.message;
    EXPECT_EQ(ReadBytes(f.Projector()), BytesOf("old projector"));
    EXPECT_EQ(ListTree(f.out), (std::set<std::string>{"Show.exe"}));

    // The same for a folder target: the old folder stays whole.
    f.project.SetOutputEnabled(ExportTarget::Windows, false);
    f.project.SetOutputEnabled(ExportTarget::Linux, true);
    const std::string linuxFolder = f.out + kPathSeparator + "Showrh";
    MakeDirectory(linuxFolder);
    WriteBytes(JoinPath(linuxFolder, "old"), BytesOf("old"));
    {
        FileSizeLimit limit(256 << 10);
        result = f.Run();
    }
    EXPECT_EQ(result.outcome, ExportOutcome::Failed);
    EXPECT_NE(result.message.find("big.bin"), std::string::npos) << result.message;
    EXPECT_EQ(ListTree(f.out), (std::set<std::string>{"Show.exe", "Showrh/", "Showrh/old"}));
}
#endif

TEST(ExportCommand, AsksBeforeReplacingAndHonoursTheAnswer) {
    ExportFixture f;
    f.project.SetOutputEnabled(ExportTarget::Linux, true);
    WriteBytes(f.Projector(), BytesOf("old projector"));
    MakeDirectory(f.out + kPathSeparator + "Showrh");

    f.answer = ReplaceAnswer::DontReplace;
    EXPECT_EQ(f.Run().outcome, ExportOutcome::Finished);
    EXPECT_EQ(f.asked, (std::vector<std::string>{"Show.exe in " + f.out, "Showrh in " + f.out}));
    EXPECT_EQ(ReadBytes(f.Projector()), BytesOf("old projector"));
    EXPECT_EQ(ListTree(f.out), (std::set<std::string>{"Show.exe", "Showrh/"}));

    f.asked.clear();
    f.answer = ReplaceAnswer::Stop;
    EXPECT_EQ(f.Run().outcome, ExportOutcome::Stopped);
    EXPECT_EQ(f.asked.size(), 1u);
    EXPECT_EQ(ReadBytes(f.Projector()), BytesOf("old projector"));

    f.asked.clear();
    f.answer = ReplaceAnswer::ReplaceAll;
    EXPECT_EQ(f.Run().outcome, ExportOutcome::Finished);
    EXPECT_EQ(f.asked.size(), 1u);
    EXPECT_NE(ReadBytes(f.Projector()), BytesOf("old projector"));
    EXPECT_TRUE(PathExists(JoinPath(f.out + kPathSeparator + "Showrh", "sk.dat")));
}

TEST(ExportBundles, AMacBundleHasTheTreePlistAndPkgInfo) {
    ExportFixture f;
    f.project.SetOutputEnabled(ExportTarget::Windows, false);
    f.project.SetOutputEnabled(ExportTarget::MacUniversal, true);
    WriteBytes(f.folder / "R&D.icns", BytesOf("icns"));
    f.project.SetMacIconPath(f.folder / "R&D.icns");
    f.project.SetUseMacIcon(true);
    std::vector<std::string> statuses;
    f.context.status = [&](const std::string& text) { statuses.push_back(text); };
    ExportResult result = f.Run();
    ASSERT_EQ(result.outcome, ExportOutcome::Finished) << result.message;
    EXPECT_EQ(statuses, (std::vector<std::string>{"Building Mac Universal Binary", ""}));
    const std::string contents = JoinPath(f.out + kPathSeparator + "Show.app", "Contents");
    const std::string resources = JoinPath(contents, "Resources");
    EXPECT_EQ(ListTree(f.out + kPathSeparator + "Show.app"),
              (std::set<std::string>{"Contents/", "Contents/Info.plist", "Contents/PkgInfo",
                                     "Contents/MacOS/", "Contents/Resources/",
                                     "Contents/Resources/English.lproj/",
                                     "Contents/Resources/English.lproj/InfoPlist.strings",
                                     "Contents/Resources/main.swf", "Contents/Resources/two.swf",
                                     "Contents/Resources/notes.txt", "Contents/Resources/assets/",
                                     "Contents/Resources/assets/a.txt", "Contents/Resources/sk.dat",
                                     "Contents/Resources/_mask_/", "Contents/Resources/R&D.icns"}));
    EXPECT_EQ(ReadBytes(JoinPath(contents, "PkgInfo")), BytesOf("APPLLKsk"));
    const test::Bytes plist = ReadBytes(JoinPath(contents, "Info.plist"));
    const std::string text(plist.begin(), plist.end());
    EXPECT_NE(text.find("\r\n\t<key>CFBundleIconFile</key>\r\n<string>R&amp;D.icns</string>\r\n"),
              std::string::npos);
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n", 0), 0u);
    EXPECT_NE(text.find("<string>com.larkspur.kestrel.flash</string>"), std::string::npos);
}

TEST(ExportBundles, AFailedBundleLeavesTheOldOneUntouched) {
    ExportFixture f;
    f.project.SetOutputEnabled(ExportTarget::Windows, false);
    f.project.SetOutputEnabled(ExportTarget::MacPpc, true);
    const std::string bundle = f.out + kPathSeparator + "ShowPPC.app";
    MakeDirectory(bundle);
    WriteBytes(JoinPath(bundle, "old"), BytesOf("old"));
    RemoveDirectoryTree(JoinPath(f.folder / "pr_tmp", "English.lproj"));
    f.context.alwaysOverwrite = true;
    ExportResult result = f.Run();
    EXPECT_EQ(result.outcome, ExportOutcome::Failed);
    EXPECT_NE(result.message.find("English.lproj"), std::string::npos) << result.message;
    EXPECT_EQ(ListTree(f.out), (std::set<std::string>{"ShowPPC.app/", "ShowPPC.app/old"}));
}

TEST(ExportBundles, AnEmptyBundleNameIsRefusedBeforeAnythingIsDeleted) {
    ExportFixture f;
    f.project.SetOutputEnabled(ExportTarget::Windows, false);
    f.project.SetDefaultFileNames(false);
    f.project.SetOutputEnabled(ExportTarget::MacIntel, true);
    f.project.SetOutputFileName(ExportTarget::MacIntel, "");
    WriteBytes(JoinPath(f.out, "keep.txt"), BytesOf("keep"));
    f.context.alwaysOverwrite = true;
    EXPECT_EQ(f.Run().outcome, ExportOutcome::Failed);
    EXPECT_EQ(ListTree(f.out), (std::set<std::string>{"keep.txt"}));
}

TEST(ExportBundles, TheLinuxFolderHoldsTheSettingsMoviesAndExtraFiles) {
    ExportFixture f;
    f.project.SetOutputEnabled(ExportTarget::Windows, false);
    f.project.SetOutputEnabled(ExportTarget::Linux, true);
    ASSERT_EQ(f.Run().outcome, ExportOutcome::Finished);
    EXPECT_EQ(ListTree(f.out), (std::set<std::string>{"Showrh/", "Showrh/sk.dat", "Showrh/main.swf",
                                                      "Showrh/two.swf", "Showrh/notes.txt",
                                                      "Showrh/assets/", "Showrh/assets/a.txt"}));
}

TEST(ExportBundles, PlistTextEscapesAndConvertsToUtf8) {
    EXPECT_EQ(PlistText("a<b>&'\"\x80\xe9\x01"),
              "a&lt;b&gt;&amp;&apos;&quot;\xe2\x82\xac\xc3\xa9\xef\xbf\xbd");
}

}  // namespace
}  // namespace kestrel
