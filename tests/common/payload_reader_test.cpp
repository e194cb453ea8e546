#include "common/payload_reader.h"

#include <gtest/gtest.h>

#include "common/file_system.h"
#include "tests/common/payload_test_support.h"
#include "tests/common/test_folder.h"

namespace kestrel {
namespace {

using test::Bytes;
using test::BytesOf;
using test::RawPayload;

// An executable and its unpack folder side by side in a test folder.
struct Projector {
    test::TestFolder folder;
    std::string exe = folder / "app.exe";
    std::string unpack = folder / "unpack";
    PayloadReader reader{unpack};

    Projector() { MakeDirectory(unpack); }

    PayloadError unpackBytes(const Bytes& bytes) {
        test::WriteBytes(exe, bytes);
        PayloadError error = reader.open(exe);
        return error == PayloadError::None ? reader.scan() : error;
    }
    std::string content(const std::string& name) const {
        Bytes bytes = test::ReadBytes(JoinPath(unpack, name));
        return std::string(bytes.begin(), bytes.end());
    }
    std::set<std::string> unpacked() const { return test::ListTree(unpack); }
    // Everything in the test folder other than the executable and the unpack folder.
    std::set<std::string> outside() const {
        std::set<std::string> entries = test::ListTree(folder.path());
        std::set<std::string> stray;
        for (const std::string& entry : entries) {
            if (entry != "app.exe" && entry.rfind("unpack/", 0) != 0) stray.insert(entry);
        }
        return stray;
    }
};

TEST(PayloadReader, UnpacksEveryItemKindAndRecordsPaths) {
    Projector p;
    RawPayload payload;
    payload.startMarker()
        .maskItem("main.rgn", "region-0", 0)
        .maskItem("second.rgn", "region-1", 1)
        .fileItem("movie.swf", "FWS movie")
        .startMarker()
        .fileItem("a.txt", "alpha")
        .fileItem("b.txt", "beta")
        .blob("assets")
        .trailer(8)
        .startMarker()
        .blob("empty")
        .trailer(8)
        .settingsItem("<xml/>")
        .endMark();

    ASSERT_EQ(p.unpackBytes(payload.bytes()), PayloadError::None);
    EXPECT_EQ(p.unpacked(),
              (std::set<std::string>{"main.rgn", "second.rgn", "movie.swf", "assets/",
                                     "assets/a.txt", "assets/b.txt", "empty/", "sk.dat"}));
    EXPECT_EQ(p.content("movie.swf"), "FWS movie");
    EXPECT_EQ(p.content("second.rgn"), "region-1");
    EXPECT_EQ(p.content(JoinPath("assets", "b.txt")), "beta");
    std::string settings;
    ASSERT_EQ(p.reader.settingsPath(&settings), PayloadError::None);
    EXPECT_EQ(settings, JoinPath(p.unpack, "sk.dat"));
    EXPECT_EQ(p.reader.filePaths().size(), 3u);
    EXPECT_EQ(p.reader.maskPaths().size(), 2u);

    p.reader.cleanUp();
    EXPECT_EQ(p.unpacked(), (std::set<std::string>{"assets/", "empty/"}));
}

TEST(PayloadReader, DuplicateFilesKeepTheEarlierWrittenAndMasksTheLaterWritten) {
    Projector p;
    RawPayload payload;
    payload.startMarker()
        .maskItem("m.rgn", "mask written first", 0)
        .maskItem("m.rgn", "mask written last", 1)
        .fileItem("a.txt", "file written first")
        .fileItem("a.txt", "file written last")
        .settingsItem("<xml/>")
        .endMark();
    ASSERT_EQ(p.unpackBytes(payload.bytes()), PayloadError::None);
    EXPECT_EQ(p.content("a.txt"), "file written first");
    EXPECT_EQ(p.content("m.rgn"), "mask written last");
}

TEST(PayloadReader, UnknownItemTypeEndsTheScanSuccessfully) {
    Projector p;
    RawPayload payload;
    payload.startMarker()
        .fileItem("before.txt", "never unpacked")
        .blob("odd")
        .trailer(42)
        .fileItem("after.txt", "unpacked")
        .settingsItem("<xml/>")
        .endMark();
    ASSERT_EQ(p.unpackBytes(payload.bytes()), PayloadError::None);
    EXPECT_EQ(p.unpacked(), (std::set<std::string>{"after.txt", "sk.dat"}));
}

TEST(PayloadReader, NestedFolderIsCreatedDirectlyInTheUnpackFolder) {
    Projector p;
    RawPayload payload;
    payload.startMarker()
        .startMarker()
        .fileItem("outer.txt", "o")
        .startMarker()
        .fileItem("inner.txt", "i")
        .blob("inner")
        .trailer(8)
        .blob("outer")
        .trailer(8)
        .settingsItem("<xml/>")
        .endMark();
    ASSERT_EQ(p.unpackBytes(payload.bytes()), PayloadError::None);
    EXPECT_EQ(p.unpacked(), (std::set<std::string>{"outer/", "outer/outer.txt", "inner/",
                                                   "inner/inner.txt", "sk.dat"}));
}

TEST(PayloadReader, DeeplyNestedFoldersAreDamage) {
    Projector p;
    RawPayload payload;
    payload.startMarker();
    for (int i = 0; i < 40; ++i) payload.startMarker();
    for (int i = 0; i < 40; ++i) payload.blob("f" + std::to_string(i)).trailer(8);
    payload.settingsItem("<xml/>").endMark();
    EXPECT_EQ(p.unpackBytes(payload.bytes()), PayloadError::Damaged);
    EXPECT_TRUE(p.outside().empty());
}

TEST(PayloadReader, OpenAndScanCodes) {
    {
        Projector p;
        EXPECT_EQ(p.reader.open(p.folder / "missing.exe"), PayloadError::NotFound);
    }
    {
        Projector p;
        EXPECT_EQ(p.reader.open(p.unpack), PayloadError::CannotOpen);
    }
    // A stub without payload ends with 102 whatever its last bytes are.
    const std::vector<std::string> stubs = {"",
                                            "K",
                                            "LK",
                                            "\xEELK",
                                            "MZ plain stub",
                                            "\xFF\xEELk",
                                            "\xFF\xEE"
                                            "LKx",
                                            "xxxx\xFE\xEELK"};
    for (const std::string& stub : stubs) {
        Projector p;
        EXPECT_EQ(p.unpackBytes(BytesOf(stub)), PayloadError::NoEndMark) << stub;
        EXPECT_TRUE(p.unpacked().empty());
    }
}

TEST(PayloadReader, SettingsPathNeedsAnUnpackedSettingsFile) {
    Projector p;
    RawPayload payload;
    payload.startMarker().fileItem("movie.swf", "m").endMark();
    ASSERT_EQ(p.unpackBytes(payload.bytes()), PayloadError::None);
    std::string settings;
    EXPECT_EQ(p.reader.settingsPath(&settings), PayloadError::NoSettings);

    Projector q;
    ASSERT_EQ(q.unpackBytes(RawPayload().startMarker().settingsItem("<xml/>").endMark().bytes()),
              PayloadError::None);
    ASSERT_EQ(q.reader.settingsPath(&settings), PayloadError::None);
    EXPECT_EQ(q.unpacked(), std::set<std::string>{"sk.dat"});
    RemoveFile(settings);
    EXPECT_EQ(q.reader.settingsPath(&settings), PayloadError::NoSettings);
}

TEST(PayloadReader, RefusedNamesAreConsumedWithoutWriting) {
    const std::vector<std::string> names = {"",
                                            ".",
                                            "..",
                                            "a/b",
                                            "a\\b",
                                            "c:evil",
                                            "../evil",
                                            "..\\evil",
                                            "/abs",
                                            "CON",
                                            "nul.txt",
                                            "Com1",
                                            "lpt9.log",
                                            "trailing.",
                                            "trailing ",
                                            ".. ",
                                            std::string(256, 'n'),
                                            std::string("nul\0byte", 8)};
    for (const std::string& name : names) {
        SCOPED_TRACE("name: " + name);
        Projector p;
        RawPayload payload;
        payload.startMarker()
            .maskItem(name, "region", 0)
            .fileItem(name, "file")
            .startMarker()
            .fileItem("inside.txt", "x")
            .blob(name)
            .trailer(8)
            .fileItem("good.txt", "good")
            .settingsItem("<xml/>")
            .endMark();
        ASSERT_EQ(p.unpackBytes(payload.bytes()), PayloadError::None);
        EXPECT_EQ(p.unpacked(), (std::set<std::string>{"good.txt", "sk.dat"}));
        EXPECT_TRUE(p.outside().empty());
        EXPECT_EQ(p.reader.maskPaths().size(), 0u);
    }
}

TEST(PayloadReader, LengthsReachingOutsideTheFileAreDamage) {
    struct Case {
        const char* what;
        RawPayload payload;
    };
    std::vector<Case> cases;
    cases.push_back(
        {"blob longer than the file",
         RawPayload().startMarker().blob("x").word(0xFFFFFFFF).blob("a").trailer(5).endMark()});
    cases.push_back(
        {"name longer than the file", RawPayload().word(0x7FFFFFF0).trailer(5).endMark()});
    cases.push_back(
        {"settings blob reaching before the file", RawPayload("").word(9).trailer(1).endMark()});
    cases.push_back({"trailer cut", RawPayload("").word(1).endMark()});
    cases.push_back(
        {"folder without its start marker", RawPayload("").blob("dir").trailer(8).endMark()});
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        Projector p;
        EXPECT_EQ(p.unpackBytes(c.payload.bytes()), PayloadError::Damaged);
        EXPECT_TRUE(p.outside().empty());
    }
}

// Every cut of a small payload, with the end mark put back behind the cut
// (so the scan starts inside the damage) or without (a plain truncation),
// and every missing front: a clean result or a damage code, never a crash,
// never a file outside the unpack folder.
TEST(PayloadReader, EveryTruncationFailsCleanly) {
    RawPayload full;
    full.startMarker()
        .maskItem("m.rgn", "region", 0)
        .fileItem("movie.swf", "movie bytes")
        .startMarker()
        .fileItem("a.txt", "alpha")
        .blob("assets")
        .trailer(8)
        .settingsItem("<xml version=\"1.0\"/>")
        .endMark();
    const Bytes& bytes = full.bytes();
    Bytes endMark(std::begin(kPayloadEndMark), std::end(kPayloadEndMark));
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        Bytes prefix(bytes.begin(), bytes.begin() + cut);
        {
            Projector p;
            EXPECT_EQ(p.unpackBytes(prefix), PayloadError::NoEndMark);
        }
        {
            Projector p;
            Bytes marked = prefix;
            marked.insert(marked.end(), endMark.begin(), endMark.end());
            PayloadError error = p.unpackBytes(marked);
            EXPECT_TRUE(error == PayloadError::None || error == PayloadError::Damaged);
            EXPECT_TRUE(p.outside().empty());
            p.reader.cleanUp();
        }
        {
            Projector p;
            PayloadError error = p.unpackBytes(Bytes(bytes.begin() + cut, bytes.end()));
            if (cut + sizeof kPayloadEndMark > bytes.size()) {
                EXPECT_EQ(error, PayloadError::NoEndMark);
            } else {
                EXPECT_TRUE(error == PayloadError::None || error == PayloadError::Damaged);
            }
            EXPECT_TRUE(p.outside().empty());
        }
    }
}

TEST(PayloadReader, LargeBlobIsCopiedAcrossChunks) {
    Projector p;
    std::string big(PayloadReader::kCopyChunkSize * 2 + 12345, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 4093);
    RawPayload payload;
    payload.startMarker().fileItem("big.bin", big).settingsItem("<xml/>").endMark();
    ASSERT_EQ(p.unpackBytes(payload.bytes()), PayloadError::None);
    EXPECT_EQ(p.content("big.bin"), big);
}

}  // namespace
}  // namespace kestrel
