#include "projector/api/file_system_family.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/projector/api/fake_file_system.h"
#include "tests/projector/api/family_call.h"

namespace kestrel {
namespace {

using test::B64;
using test::Text;

class FileSystemFamilyTest : public ::testing::Test {
  protected:
    std::string Answer(std::string_view method, std::vector<std::string> args) {
        return test::FamilyAnswer(family, method, args);
    }
    test::FakeFileSystem fs;
    FileSystemFamily family{fs};
};

TEST_F(FileSystemFamilyTest, MethodsWithoutEffectAnswerFixedValues) {
    fs.AddFile("C:\\a.txt", "x");
    for (const char* method :
         {"copyFile", "moveFile", "renameFile", "copyFolder", "setFileExtension"})
        EXPECT_EQ(Answer(method, {B64("C:\\a.txt"), B64("C:\\b.txt")}), "<false/>") << method;
    EXPECT_EQ(Answer("getFileCreator", {B64("C:\\a.txt")}), "<null/>");
    EXPECT_EQ(Answer("getFileType", {B64("C:\\a.txt")}), "<null/>");
    EXPECT_FALSE(fs.Has("C:\\b.txt"));
    EXPECT_EQ(Answer("nothing", {}), "(none)");
    EXPECT_EQ(Answer("FileExists", {B64("C:\\a.txt")}), "(none)");
}

TEST_F(FileSystemFamilyTest, ExistenceDeletionAndCreation) {
    fs.AddFile("C:\\a.txt");
    fs.AddFolder("C:\\d");
    EXPECT_EQ(Answer("fileExists", {B64("C:\\a.txt")}), "<true/>");
    EXPECT_EQ(Answer("folderExists", {B64("C:\\a.txt")}), "<true/>");
    EXPECT_EQ(Answer("fileExists", {B64("C:\\d")}), "<true/>");
    EXPECT_EQ(Answer("fileExists", {B64("")}), "<false/>");
    EXPECT_EQ(Answer("fileExists", {}), "<false/>");
    EXPECT_EQ(Answer("deleteFile", {B64("C:\\missing")}), "<true/>");
    EXPECT_EQ(Answer("deleteFile", {B64("")}), "<true/>");
    EXPECT_EQ(Answer("deleteFile", {B64("C:\\a.txt")}), "<true/>");
    EXPECT_FALSE(fs.Has("C:\\a.txt"));
    EXPECT_EQ(Answer("deleteFile", {B64("C:\\d")}), "<false/>");
}

TEST_F(FileSystemFamilyTest, CreateFolderIsTrueOverAFolderOnlyNotOverAFile) {
    fs.AddFolder("C:\\d");
    fs.AddFile("C:\\f");
    EXPECT_EQ(Answer("createFolder", {B64("C:\\d")}), "<true/>");
    EXPECT_EQ(Answer("createFolder", {B64("C:\\f")}), "<false/>");
    EXPECT_EQ(Answer("createFolder", {B64("C:\\new")}), "<true/>");
    EXPECT_EQ(fs.Kind("C:\\new"), PathKind::Folder);
    EXPECT_EQ(Answer("createFolder", {B64("C:\\x\\y")}), "<false/>") << "parents are not created";
    EXPECT_EQ(Answer("createFolder", {B64("")}), "<false/>");
}

TEST_F(FileSystemFamilyTest, DeleteFolderRefusesEmptyPathsAndDriveRoots) {
    fs.AddFile("C:\\keep.txt");
    for (const char* path :
         {"", "C:", "C:\\", "c:/", "\\", "/", "\\\\server\\share\\", "\\\\?\\C:\\"}) {
        EXPECT_EQ(Answer("deleteFolder", {B64(path), B64("true")}), "<false/>") << path;
    }
    EXPECT_TRUE(fs.calls.empty()) << fs.calls.front();
    EXPECT_TRUE(fs.Has("C:\\keep.txt"));
}

TEST_F(FileSystemFamilyTest, DeleteFolderRecursiveRemovesTheTreeButNeverEntersLinks) {
    fs.AddFolder("C:\\app");
    fs.AddFolder("C:\\app\\data");
    fs.AddFile("C:\\app\\data\\a.txt", "a");
    fs.AddFolder("C:\\app\\data\\sub");
    fs.AddFile("C:\\app\\data\\sub\\b.txt", "b");
    fs.AddFolderLink("C:\\app\\data\\link");
    fs.AddFolder("C:\\elsewhere");
    fs.AddFile("C:\\elsewhere\\precious.txt", "p");

    EXPECT_EQ(Answer("deleteFolder", {B64("data"), B64("false")}), "<false/>");
    EXPECT_TRUE(fs.Has("C:\\app\\data\\a.txt"));
    EXPECT_EQ(Answer("deleteFolder", {B64("data"), B64("TRUE")}), "<true/>");
    EXPECT_FALSE(fs.Has("C:\\app\\data"));
    EXPECT_TRUE(fs.Has("C:\\elsewhere\\precious.txt"));
    // The relative path was resolved once, against the program's folder, and
    // that one path served the listing and every removal.
    for (const std::string& call : fs.calls)
        EXPECT_EQ(call.find(" C:\\app\\data"), call.find(' ')) << call;
    EXPECT_EQ(std::count(fs.calls.begin(), fs.calls.end(), "list C:\\app\\data\\link"), 0);
    EXPECT_EQ(std::count(fs.calls.begin(), fs.calls.end(), "remove C:\\app\\data\\link"), 1);
}

TEST_F(FileSystemFamilyTest, DeleteFolderOfALinkNeverEmptiesItsTarget) {
    // What the link shows is its target's content.
    fs.AddFolderLink("C:\\link");
    fs.AddFile("C:\\link\\inside.txt");
    fs.linksStay = true;  // as under Wine, which cannot remove a link to a folder
    EXPECT_EQ(Answer("deleteFolder", {B64("C:\\link\\"), B64("true")}), "<false/>");
    EXPECT_TRUE(fs.Has("C:\\link\\inside.txt"));
    EXPECT_EQ(std::count(fs.calls.begin(), fs.calls.end(), "list C:\\link"), 0);
    fs.linksStay = false;
    EXPECT_EQ(Answer("deleteFolder", {B64("C:\\link\\"), B64("true")}), "<true/>");
    EXPECT_FALSE(fs.Has("C:\\link"));
}

TEST_F(FileSystemFamilyTest, DeleteFolderOfAFileOrNothing) {
    fs.AddFile("C:\\f", "x");
    EXPECT_EQ(Answer("deleteFolder", {B64("C:\\f"), B64("true")}), "<false/>");
    EXPECT_TRUE(fs.Has("C:\\f"));
    EXPECT_EQ(Answer("deleteFolder", {B64("C:\\none"), B64("true")}), "<false/>");
}

TEST_F(FileSystemFamilyTest, SaveFileWritesTextModeAndNeverOverwrites) {
    EXPECT_EQ(Answer("saveFile", {B64("C:\\s.txt"), B64("one\ntwo")}), "<true/>");
    EXPECT_EQ(fs.nodes["C:\\s.txt"].bytes, "one\r\ntwo");
    EXPECT_EQ(Answer("saveFile", {B64("C:\\s.txt"), B64("other")}), "<false/>");
    EXPECT_EQ(fs.nodes["C:\\s.txt"].bytes, "one\r\ntwo");
    fs.AddFolder("C:\\d");
    EXPECT_EQ(Answer("saveFile", {B64("C:\\d"), B64("x")}), "<false/>");
    EXPECT_EQ(Answer("saveFile", {B64(""), B64("x")}), "<false/>");
}

TEST_F(FileSystemFamilyTest, SaveFileLosesARaceWithoutOverwriting) {
    fs.raceOnCreate = true;
    EXPECT_EQ(Answer("saveFile", {B64("C:\\r.txt"), B64("mine")}), "<false/>");
    EXPECT_EQ(fs.nodes["C:\\r.txt"].bytes, "other writer");
}

TEST_F(FileSystemFamilyTest, FailedWriteOrCloseLeavesNoPartialFile) {
    for (bool failWrite : {true, false}) {
        fs.failWrite = failWrite;
        fs.failClose = !failWrite;
        for (const char* method : {"saveFile", "saveFileHEX"}) {
            EXPECT_EQ(Answer(method, {B64("C:\\p.bin"), B64("ABCDEF")}), "<false/>") << method;
            EXPECT_FALSE(fs.Has("C:\\p.bin")) << method << (failWrite ? " write" : " close");
        }
    }
    fs.failWrite = fs.failClose = false;
    fs.failCreate = true;
    EXPECT_EQ(Answer("saveFileHEX", {B64("C:\\p.bin"), B64("00")}), "<false/>");
}

TEST(HexText, DecodesPairsWithALeadingLoneDigit) {
    const std::pair<const char*, std::string> cases[] = {
        {"ABC", std::string("\x0A\xBC", 2)},
        {"0G1", std::string("\x00\x01", 2)},
        {"ff00", std::string("\xFF\x00", 2)},
        {"", ""},
        {"7", "\x07"},
        {"zz", std::string(1, '\0')},
    };
    for (const auto& [hex, bytes] : cases) EXPECT_EQ(BytesOfHexText(hex), bytes) << hex;
}

TEST_F(FileSystemFamilyTest, SaveFileHexWritesBinaryBytes) {
    EXPECT_EQ(Answer("saveFileHEX", {B64("C:\\h.bin"), B64("ABC")}), "<true/>");
    EXPECT_EQ(fs.nodes["C:\\h.bin"].bytes, std::string("\x0A\xBC", 2));
}

TEST_F(FileSystemFamilyTest, ListingsTakeEveryEntryOrOnlyFolders) {
    fs.AddFolder("C:\\app\\list");
    fs.AddFile("C:\\app\\list\\file.txt");
    fs.AddFolder("C:\\app\\list\\sub");
    auto items = [](const std::string& answer) {
        std::multiset<std::string> names;
        std::size_t at = 0;
        while ((at = answer.find("<string>", at)) != std::string::npos) {
            at += 8;
            names.insert(Base64Decode(answer.substr(at, answer.find('<', at) - at)));
        }
        return names;
    };
    EXPECT_EQ(items(Answer("listFiles", {B64("list")})),
              (std::multiset<std::string>{".", "..", "file.txt", "sub"}));
    EXPECT_EQ(items(Answer("listFolders", {B64("C:\\app\\list")})),
              (std::multiset<std::string>{".", "..", "sub"}));
    EXPECT_EQ(Answer("listFiles", {B64("C:\\none")}), "<array></array>");
    EXPECT_EQ(Answer("listFolders", {B64("")}), "<array></array>");
    EXPECT_EQ(Answer("listFolders", {B64("C:\\app\\list")}).substr(0, 41),
              "<array><property id='0'><string>Lg==</str");
}

TEST_F(FileSystemFamilyTest, Extensions) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\a\\b.txt", "txt"}, {"b.tar.gz", "gz"}, {"C:\\a.d\\noext", ""}, {"", ""}, {"x.", ""},
    };
    for (const auto& [path, extension] : cases)
        EXPECT_EQ(Answer("getFileExtension", {B64(path)}), Text(extension)) << path;
}

TEST_F(FileSystemFamilyTest, SizesInEveryUnit) {
    fs.AddFile("C:\\app\\big.bin");
    fs.nodes["C:\\app\\big.bin"].facts.size = 1572864;
    fs.AddFile("C:\\small.bin");
    fs.nodes["C:\\small.bin"].facts.size = 1023;
    fs.AddFile("C:\\huge.bin");
    fs.nodes["C:\\huge.bin"].facts.size = 5ull << 30;
    EXPECT_EQ(Answer("getFileSizeBytes", {B64("big.bin")}), "<number>1572864</number>");
    EXPECT_EQ(Answer("getFileSizeKBytes", {B64("big.bin")}), "<number>1536</number>");
    EXPECT_EQ(Answer("getFileSizeMBytes", {B64("big.bin")}), "<number>1.50</number>");
    EXPECT_EQ(Answer("getFileSizeKBytes", {B64("C:\\small.bin")}), "<number>0</number>");
    EXPECT_EQ(Answer("getFileSizeBytes", {B64("C:\\huge.bin")}), "<number>5368709120</number>");
    EXPECT_EQ(Answer("getFileSizeGBytes", {B64("C:\\huge.bin")}), "<number>5.00</number>");
    EXPECT_EQ(Answer("getFileSizeBytes", {B64("C:\\none")}), "<number>0</number>");
    EXPECT_EQ(Answer("getFileSizeMBytes", {}), "<number>0.00</number>");
}

TEST(FileTimes, CalendarFieldsStayInUtcWithMonthsFromZero) {
    constexpr std::uint64_t kTicksPerSecond = 10000000;
    constexpr std::uint64_t kUnixEpoch = 116444736000000000ull;  // 1970-01-01 in file time
    struct Case {
        std::uint64_t ticks;
        XmlDateParts parts;
    } cases[] = {
        {0, {1601, 0, 1, 0, 0, 0}},
        {kUnixEpoch, {1970, 0, 1, 0, 0, 0}},
        // 2026-01-01 00:30:00 UTC
        {kUnixEpoch + 1767227400ull * kTicksPerSecond, {2026, 0, 1, 0, 30, 0}},
        // 2024-02-29 23:59:59 UTC
        {kUnixEpoch + 1709251199ull * kTicksPerSecond, {2024, 1, 29, 23, 59, 59}},
        // 2000-12-31 12:00:00 UTC
        {kUnixEpoch + 978264000ull * kTicksPerSecond + 1234, {2000, 11, 31, 12, 0, 0}},
    };
    for (const Case& c : cases) {
        XmlDateParts parts = DatePartsOfFileTime(c.ticks);
        EXPECT_EQ(XmlDate(parts), XmlDate(c.parts)) << c.ticks;
    }
}

TEST_F(FileSystemFamilyTest, DatesOfFilesAndFolders) {
    fs.AddFolder("C:\\app\\d");
    fs.nodes["C:\\app\\d"].facts.created = 116444736000000000ull;
    fs.nodes["C:\\app\\d"].facts.modified = 116444736000000000ull + 36000000000ull;
    EXPECT_EQ(Answer("getFileCreateDate", {B64("d")}), XmlDate({1970, 0, 1, 0, 0, 0}));
    EXPECT_EQ(Answer("getFileModifiedDate", {B64("C:\\app\\d")}), XmlDate({1970, 0, 1, 1, 0, 0}));
    EXPECT_EQ(Answer("getFileModifiedDate", {B64("C:\\none")}), "<null/>");
    EXPECT_EQ(Answer("getFileCreateDate", {B64("")}), "<null/>");
}

TEST_F(FileSystemFamilyTest, SpecialFolders) {
    fs.shellFolders = {{16, "C:\\desk16"}, {5, "C:\\docs"}, {28, "C:\\local"}};
    const std::pair<const char*, std::string> cases[] = {
        {"desktop", Text("C:\\desk16")},
        {"documents", Text("C:\\docs")},
        {"app_files", Text("C:\\temp\\lkskso_1\\")},
        {"application_support", Text("C:\\local")},
        {"music", Text("C:\\temp\\")},
        {"temp", Text("C:\\temp\\")},
        {"trash", Text("C:\\temp\\")},
        {"library", "<null/>"},
        {"preferences", "<null/>"},
        {"startmenu", "<null/>"},
        {"Desktop", "<null/>"},
        {"", "<null/>"},
    };
    for (const auto& [key, answer] : cases)
        EXPECT_EQ(Answer("getSpecialFolder", {key}), answer) << key;
    fs.shellFolders.clear();
    EXPECT_EQ(Answer("getSpecialFolder", {"application_support"}), Text("C:\\app"));
}

TEST_F(FileSystemFamilyTest, ShortcutsUseResolvedPaths) {
    EXPECT_EQ(Answer("createShortcut", {B64("prog.exe"), B64("C:\\link.lnk")}), "<true/>");
    ASSERT_EQ(fs.shortcuts.size(), 1u);
    EXPECT_EQ(fs.shortcuts[0].first, "C:\\app\\prog.exe");
    EXPECT_EQ(Answer("createShortcut", {B64("prog.exe"), B64("")}), "<false/>");
    fs.failShortcut = true;
    EXPECT_EQ(Answer("createShortcut", {B64("prog.exe"), B64("C:\\long.lnk")}), "<false/>");
}

TEST(StreamModes, OnlyCLibraryModesAreAccepted) {
    for (const char* mode : {"r", "w", "a", "r+", "rb", "wb+", "w+b", "at", "a+t", "rt+"})
        EXPECT_TRUE(IsValidStreamMode(mode)) << mode;
    for (const char* mode :
         {"", "x", "R", "W", "rw", "r++", "rbt", "bb", "wx", "r, ccs=UTF-8", "+r"})
        EXPECT_FALSE(IsValidStreamMode(mode)) << mode;
}

class FileObjectTest : public FileSystemFamilyTest {
  protected:
    std::string NewObject() {
        std::string answer = Answer("File.new", {});
        return answer.substr(8, answer.find('<', 8) - 8);
    }
};

TEST_F(FileObjectTest, IdsCountUpAndUnknownIdsGiveNoValue) {
    int first = std::stoi(NewObject());
    int second = std::stoi(NewObject());
    EXPECT_GE(first, 1);
    EXPECT_EQ(second, first + 1);
    for (const char* method : {"File.open", "File.close", "File.getc", "File.tell", "File.eof"})
        EXPECT_EQ(Answer(method, {"999999"}), "(none)") << method;
    EXPECT_EQ(Answer("File.bogus", {std::to_string(first)}), "(none)");
}

TEST_F(FileObjectTest, WritesReadsSeeksAndTells) {
    std::string id = NewObject();
    EXPECT_EQ(Answer("File.open", {id, B64("C:\\f.txt"), B64("w+b")}), "<true/>");
    EXPECT_EQ(Answer("File.puts", {id, B64("ab\nc")}), "(none)");
    EXPECT_EQ(Answer("File.putc", {id, B64("\xFF"
                                           "d")}),
              "(none)");
    EXPECT_EQ(Answer("File.tell", {id}), "<number>6</number>");
    EXPECT_EQ(Answer("File.seek", {id, "0", "beg"}), "<number>0</number>");
    EXPECT_EQ(Answer("File.gets", {id}), Text("ab\n"));
    EXPECT_EQ(Answer("File.getc", {id}), Text("c"));
    EXPECT_EQ(Answer("File.getc", {id}), Text("\xFF"));
    EXPECT_EQ(Answer("File.seek", {id, "-1", "end"}), "<number>0</number>");
    EXPECT_EQ(Answer("File.getc", {id}), Text("d"));
    EXPECT_EQ(Answer("File.eof", {id}), "<false/>");
    EXPECT_EQ(Answer("File.getc", {id}), "<null/>");
    EXPECT_EQ(Answer("File.eof", {id}), "<true/>");
    EXPECT_EQ(Answer("File.gets", {id}), "<null/>");
    // "END" is no origin word: it seeks from the start.
    EXPECT_EQ(Answer("File.seek", {id, "1", "END"}), "<number>0</number>");
    EXPECT_EQ(Answer("File.tell", {id}), "<number>1</number>");
    EXPECT_EQ(Answer("File.seek", {id, "-5", "cur"}), "<number>-1</number>");
    EXPECT_EQ(Answer("File.seek", {id, "5000000000", "beg"}), "<number>0</number>");
    EXPECT_EQ(Answer("File.tell", {id}), "<number>5000000000</number>");
    EXPECT_EQ(Answer("File.close", {id}), "(none)");
    EXPECT_EQ(fs.openStreams, 0);
    EXPECT_EQ(fs.nodes["C:\\f.txt"].bytes.substr(0, 6),
              "ab\nc\xFF"
              "d");
}

TEST_F(FileObjectTest, ZeroBytesAndLongLines) {
    fs.AddFile("C:\\z.bin", std::string("\0x", 2) + std::string(2000, 'L') + "\n");
    std::string id = NewObject();
    ASSERT_EQ(Answer("File.open", {id, B64("C:\\z.bin"), B64("rb")}), "<true/>");
    EXPECT_EQ(Answer("File.getc", {id}), "<string></string>");
    EXPECT_EQ(Answer("File.gets", {id}), Text("x" + std::string(1022, 'L')));
    EXPECT_EQ(Answer("File.tell", {id}), "<number>1024</number>");
}

TEST_F(FileObjectTest, OpenClosesTheOldStreamAndChecksTheMode) {
    fs.AddFile("C:\\a.txt", "a");
    fs.AddFile("C:\\b.txt", "b");
    std::string id = NewObject();
    EXPECT_EQ(Answer("File.open", {id, B64("C:\\a.txt"), B64("r")}), "<true/>");
    EXPECT_EQ(Answer("File.open", {id, B64("C:\\b.txt"), B64("r")}), "<true/>");
    EXPECT_EQ(fs.openStreams, 1);
    EXPECT_EQ(Answer("File.getc", {id}), Text("b"));
    for (const char* mode : {"q", "rw", "W", ""}) {
        EXPECT_EQ(Answer("File.open", {id, B64("C:\\a.txt"), B64(mode)}), "<false/>") << mode;
        EXPECT_EQ(fs.openStreams, 0);
    }
    EXPECT_EQ(fs.openedModes.size(), 2u) << "an invalid mode never reaches the C library";
    EXPECT_EQ(Answer("File.open", {id, B64("C:\\none.txt"), B64("r")}), "<false/>");
}

TEST_F(FileObjectTest, CallsOnAClosedObjectTouchNoStream) {
    std::string id = NewObject();
    EXPECT_EQ(Answer("File.getc", {id}), "<null/>");
    EXPECT_EQ(Answer("File.gets", {id}), "<null/>");
    EXPECT_EQ(Answer("File.puts", {id, B64("x")}), "(none)");
    EXPECT_EQ(Answer("File.seek", {id, "0", "beg"}), "<number>-1</number>");
    EXPECT_EQ(Answer("File.tell", {id}), "<number>-1</number>");
    EXPECT_EQ(Answer("File.eof", {id}), "<false/>");
    EXPECT_EQ(Answer("File.close", {id}), "(none)");
}

TEST(FileObjectLifetime, StreamsCloseWhenTheFamilyGoes) {
    test::FakeFileSystem fs;
    fs.AddFile("C:\\a.txt", "a");
    {
        FileSystemFamily family(fs);
        std::vector<std::string> ids;
        for (int i = 0; i < 3; ++i) {
            ids.push_back(family.Call("File.new", {}).value().substr(8));
            ids.back().resize(ids.back().find('<'));
            std::string path = B64("C:\\a.txt"), mode = B64("r");
            std::string_view args[] = {ids.back(), path, mode};
            EXPECT_EQ(family.Call("File.open", ApiArguments(args, 3)), "<true/>");
        }
        EXPECT_EQ(fs.openStreams, 3);
    }
    EXPECT_EQ(fs.openStreams, 0);
}

}  // namespace
}  // namespace kestrel
