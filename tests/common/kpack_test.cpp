#include <gtest/gtest.h>

#include "common/file_system.h"
#include "common/payload_reader.h"
#include "common/settings_reader.h"
#include "test_folder.h"
#include "tools/kpack/kpack_command.h"

namespace kestrel {
namespace {

using test::BytesOf;

struct KpackRun {
    test::TestFolder folder;
    std::string stub = folder / "stub.exe";
    std::string out = folder / "app.exe";
    std::string unpack = folder / "unpack";

    KpackRun() {
        test::WriteBytes(stub, BytesOf("MZ stub"));
        test::WriteBytes(folder / "movie.swf", BytesOf("FWS main"));
        test::WriteBytes(folder / "two.swf", BytesOf("FWS two"));
        test::WriteBytes(folder / "region.bin", BytesOf("RGN"));
        MakeDirectory(folder / "assets");
        test::WriteBytes(JoinPath(folder / "assets", "a.txt"), BytesOf("a"));
        MakeDirectory(unpack);
    }
    int run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--stub", stub, "--out", out});
        return RunKpack(args);
    }
    PayloadError unpackOut(PayloadReader& reader) {
        PayloadError error = reader.open(out);
        return error == PayloadError::None ? reader.scan() : error;
    }
};

TEST(Kpack, PacksWindowsFilesFoldersAndMasks) {
    KpackRun k;
    ASSERT_EQ(k.run({"--movie", k.folder / "movie.swf", "--folder", k.folder / "assets", "--mask",
                     "shape.png", k.folder / "region.bin", "--set", "window_title=Caf\xe9 & co",
                     "--set", "window_is_visible=true", "--window", "--movie", k.folder / "two.swf",
                     "--set", "window_name=two"}),
              0);
    const test::Bytes packed = test::ReadBytes(k.out);
    ASSERT_GT(packed.size(), 7u);
    EXPECT_EQ(std::string(packed.begin(), packed.begin() + 7), "MZ stub");

    PayloadReader reader(k.unpack);
    ASSERT_EQ(k.unpackOut(reader), PayloadError::None);
    EXPECT_EQ(test::ListTree(k.unpack),
              (std::set<std::string>{"movie.swf", "two.swf", "assets/", "assets/a.txt", "shape.png",
                                     "sk.dat"}));
    std::string settingsPath;
    ASSERT_EQ(reader.settingsPath(&settingsPath), PayloadError::None);
    SettingsResult settings = ReadSettingsDocument(settingsPath, k.unpack);
    ASSERT_EQ(settings.error, SettingsError::None);
    EXPECT_EQ(settings.mainWindow.title, "Caf\xe9 & co");
    EXPECT_TRUE(settings.mainWindow.visible);
    EXPECT_EQ(settings.mainWindow.moviePath, JoinPath(k.unpack, "movie.swf"));
    EXPECT_EQ(settings.mainWindow.maskPath, JoinPath(k.unpack, "shape.png"));
    ASSERT_EQ(settings.mainWindow.additionalWindows.size(), 1u);
    EXPECT_EQ(settings.mainWindow.additionalWindows[0].name, "two");
    EXPECT_EQ(settings.mainWindow.additionalWindows[0].moviePath, JoinPath(k.unpack, "two.swf"));
}

TEST(Kpack, CarriesAGivenSettingsDocumentByteForByte) {
    KpackRun k;
    const test::Bytes damaged = BytesOf("<xml><windows><window window_title=\"x\"");
    test::WriteBytes(k.folder / "sk.xml", damaged);
    ASSERT_EQ(k.run({"--settings", k.folder / "sk.xml"}), 0);
    PayloadReader reader(k.unpack);
    ASSERT_EQ(k.unpackOut(reader), PayloadError::None);
    std::string settingsPath;
    ASSERT_EQ(reader.settingsPath(&settingsPath), PayloadError::None);
    EXPECT_EQ(test::ReadBytes(settingsPath), damaged);
}

TEST(Kpack, NoSettingsGivesAPayloadWithoutSettings) {
    KpackRun k;
    ASSERT_EQ(k.run({"--no-settings", "--file", k.folder / "movie.swf"}), 0);
    PayloadReader reader(k.unpack);
    ASSERT_EQ(k.unpackOut(reader), PayloadError::None);
    std::string settingsPath;
    EXPECT_EQ(reader.settingsPath(&settingsPath), PayloadError::NoSettings);
}

TEST(Kpack, RefusesBadArguments) {
    const std::vector<std::vector<std::string>> cases = {{"--bogus"},
                                                         {"--set", "no_such_attribute=1"},
                                                         {"--set", "missing_equals"},
                                                         {"--file", "/no/such/file.swf"},
                                                         {"--folder", "/no/such/folder"},
                                                         {"--movie"},
                                                         {"--mask", "only_name"},
                                                         {"--settings", "/no/such/sk.xml"}};
    for (const auto& args : cases) {
        KpackRun k;
        EXPECT_EQ(k.run(args), 1) << args[0];
    }
    EXPECT_EQ(RunKpack({"--out", "x.exe"}), 1);
    EXPECT_EQ(RunKpack({"--help"}), 0);
}

}  // namespace
}  // namespace kestrel
