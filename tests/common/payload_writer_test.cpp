#include "common/payload_writer.h"

#include <gtest/gtest.h>

#include "common/file_system.h"
#include "common/payload_reader.h"
#include "common/projector_payload.h"
#include "common/settings_reader.h"
#include "tests/common/payload_test_support.h"
#include "tests/common/test_folder.h"

namespace kestrel {
namespace {

using test::Bytes;
using test::BytesOf;
using test::RawPayload;

std::string Text(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

TEST(PayloadWriter, FieldsAndItemsHaveTheirExactBytes) {
    test::TestFolder folder;
    std::string out = folder / "out.bin";
    PayloadWriter writer(out);
    EXPECT_EQ(writer.writeStartMarker(), 8u);
    EXPECT_EQ(writer.writeFileItem("a.txt", BytesOf("hello")), 26u);
    EXPECT_EQ(writer.writeMaskItem(BytesOf("rgn"), "m.rgn", 2), 28u);
    EXPECT_EQ(writer.writeSettingsItem("<xml/>"), 18u);
    EXPECT_TRUE(writer.writeEndMark());

    RawPayload expected("");
    expected.startMarker()
        .blob("hello")
        .blob("a.txt")
        .trailer(5, 18)
        .blob("rgn")
        .blob("m.rgn")
        .word(2)
        .trailer(7, 20)
        .blob("<xml/>")
        .trailer(1, 10)
        .endMark();
    EXPECT_EQ(test::ReadBytes(out), expected.bytes());
}

TEST(PayloadWriter, AppendsBehindTheStub) {
    test::TestFolder folder;
    std::string out = folder / "app.exe";
    test::WriteBytes(out, BytesOf("MZ stub"));
    PayloadWriter writer(out);
    writer.writeStartMarker();
    ASSERT_TRUE(writer.writeEndMark());
    EXPECT_EQ(Text(test::ReadBytes(out)).substr(0, 7), "MZ stub");
    EXPECT_EQ(test::ReadBytes(out).size(), 7u + 8u + 4u);
}

TEST(PayloadWriter, RefusesUnsafeNamesAndStaysFailed) {
    const std::vector<std::string> refused = {std::string(256, 'x'), "", "..", "a:b", "CON"};
    for (const std::string& name : refused) {
        test::TestFolder folder;
        PayloadWriter writer(folder / "out.bin");
        EXPECT_EQ(writer.writeFileItem(name, BytesOf("data")), 0u) << name;
        EXPECT_EQ(writer.error(), PayloadWriteError::NameRefused);
        EXPECT_EQ(writer.writeStartMarker(), 0u);
        EXPECT_FALSE(writer.writeEndMark());
        EXPECT_TRUE(test::ReadBytes(folder / "out.bin").empty());
    }
    test::TestFolder folder;
    PayloadWriter writer(folder / "out.bin");
    EXPECT_EQ(writer.writeName(std::string(255, 'x')), 259u);
    EXPECT_TRUE(writer.ok());
}

TEST(PayloadWriter, UnreadableSourceGivesAnEmptyBlob) {
    test::TestFolder folder;
    PayloadWriter writer(folder / "out.bin");
    EXPECT_EQ(writer.writeFileItem(folder / "missing.swf"), 4u + 15u + 8u);
    EXPECT_TRUE(writer.writeEndMark());
    RawPayload expected("");
    expected.blob("").blob("missing.swf").trailer(5, 19).endMark();
    EXPECT_EQ(test::ReadBytes(folder / "out.bin"), expected.bytes());
}

TEST(PayloadWriter, FolderItemCarriesItsFilesButNotSubfolders) {
    test::TestFolder folder;
    std::string assets = folder / "assets";
    MakeDirectory(assets);
    MakeDirectory(JoinPath(assets, "sub"));
    test::WriteBytes(JoinPath(assets, "one.txt"), BytesOf("1"));
    test::WriteBytes(JoinPath(JoinPath(assets, "sub"), "deep.txt"), BytesOf("d"));

    PayloadWriter writer(folder / "out.bin");
    EXPECT_EQ(writer.writeFolderItem(assets), 8u + (1 + 4 + 7 + 4 + 8) + (6 + 4) + 8u);
    EXPECT_TRUE(writer.writeEndMark());
    RawPayload expected("");
    expected.startMarker()
        .blob("1")
        .blob("one.txt")
        .trailer(5, 16)
        .blob("assets")
        .trailer(8, 34)
        .endMark();
    EXPECT_EQ(test::ReadBytes(folder / "out.bin"), expected.bytes());
}

TEST(PayloadWriter, PathLastComponent) {
    const std::pair<std::string, std::string> cases[] = {
        {"movie.swf", "movie.swf"}, {"/a/b/movie.swf", "movie.swf"}, {"C:\\a\\b.swf", "b.swf"},
        {"dir/sub/", "sub"},        {"mixed\\x/y.txt", "y.txt"},     {"", ""}};
    for (const auto& [path, last] : cases) EXPECT_EQ(PathLastComponent(path), last) << path;
}

// The whole projector sequence, read back by the reader and the settings reader.
TEST(ProjectorPayload, RoundTripsWindowsFilesFoldersAndMasks) {
    test::TestFolder folder;
    std::string source = folder / "source";
    MakeDirectory(source);
    test::WriteBytes(JoinPath(source, "main.swf"), BytesOf("FWS main"));
    test::WriteBytes(JoinPath(source, "second.swf"), BytesOf("FWS second"));
    test::WriteBytes(JoinPath(source, "readme.txt"), BytesOf("read me"));
    std::string media = JoinPath(source, "media");
    MakeDirectory(media);
    test::WriteBytes(JoinPath(media, "clip.flv"), BytesOf("clip"));
    std::string empty = JoinPath(source, "empty");
    MakeDirectory(empty);

    ProjectorPayload payload;
    payload.mainWindow.moviePath = "main.swf";
    payload.mainWindow.title = "Main \"window\" & <co>";
    payload.mainWindow.maskPath = "main.png";
    payload.mainWindow.type = WindowType::Mask;
    WindowDefinition second;
    second.moviePath = "second.swf";
    second.name = "second";
    second.visible = true;
    payload.mainWindow.additionalWindows.push_back(second);
    payload.windows.resize(2);
    payload.windows[0].moviePath = JoinPath(source, "main.swf");
    payload.windows[0].attachments = {
        {JoinPath(source, "readme.txt"), false}, {media, true}, {empty, true}};
    payload.windows[0].maskName = "main.png";
    payload.windows[0].maskRegion = BytesOf("region data");
    payload.windows[1].moviePath = JoinPath(source, "second.swf");

    std::string exe = folder / "app.exe";
    test::WriteBytes(exe, BytesOf("MZ stub"));
    ASSERT_EQ(WriteProjectorPayload(exe, payload), PayloadWriteError::None);

    std::string unpack = folder / "unpack";
    MakeDirectory(unpack);
    PayloadReader reader(unpack);
    ASSERT_EQ(reader.open(exe), PayloadError::None);
    ASSERT_EQ(reader.scan(), PayloadError::None);
    EXPECT_EQ(test::ListTree(unpack),
              (std::set<std::string>{"main.swf", "second.swf", "readme.txt", "media/",
                                     "media/clip.flv", "empty/", "main.png", "sk.dat"}));
    EXPECT_EQ(Text(test::ReadBytes(JoinPath(unpack, "main.png"))), "region data");
    EXPECT_EQ(Text(test::ReadBytes(JoinPath(unpack, "second.swf"))), "FWS second");

    std::string settingsPath;
    ASSERT_EQ(reader.settingsPath(&settingsPath), PayloadError::None);
    SettingsResult settings = ReadSettingsDocument(settingsPath, unpack);
    ASSERT_EQ(settings.error, SettingsError::None);
    EXPECT_EQ(settings.mainWindow.title, payload.mainWindow.title);
    EXPECT_EQ(settings.mainWindow.moviePath, JoinPath(unpack, "main.swf"));
    EXPECT_EQ(settings.mainWindow.maskPath, JoinPath(unpack, "main.png"));
    EXPECT_EQ(settings.mainWindow.type, WindowType::Mask);
    ASSERT_EQ(settings.mainWindow.additionalWindows.size(), 1u);
    EXPECT_EQ(settings.mainWindow.additionalWindows[0].name, "second");
    EXPECT_TRUE(settings.mainWindow.additionalWindows[0].visible);
}

}  // namespace
}  // namespace kestrel
