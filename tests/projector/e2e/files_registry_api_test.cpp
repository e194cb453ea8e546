// The "FileSystem.", "File." and "Registry." families through a real projector:
// a movie calls them, traces every answer, and the test checks the answers and
// what they did to files, links and registry values.
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "common/net/base64.h"
#include "common/win_handles.h"
#include "tests/projector/app/projector_fixture.h"
#include "tests/projector/e2e/call_script.h"
#include "tests/projector/e2e/running_projector_win.h"
#include "tests/support/unix_links_win.h"

namespace kestrel::e2e {
namespace {

using skylet_test::ProjectorFolder;

constexpr char kTestKey[] = "SOFTWARE\\KestrelFilesApiTest";

// A pushed argument: the text in Base64, quoted.
std::string Coded(const std::string& text) {
    return "\"" + Base64Encode(text) + "\"";
}

std::set<std::string> DecodedList(const std::string& joined) {
    std::set<std::string> items;
    std::stringstream stream(joined);
    std::string item;
    while (std::getline(stream, item, ',')) items.insert(Base64Decode(item));
    return items;
}

bool WriteText(const std::string& path, const std::string& text) {
    return skylet_test::WriteWholeFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}
std::string ReadText(const std::string& path) {
    std::vector<uint8_t> bytes = skylet_test::ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SetModifiedTime(const std::string& path, WORD year, WORD month, WORD day, WORD hour,
                     WORD minute, WORD second) {
    KernelHandle file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return false;
    SYSTEMTIME utc{year, month, 0, day, hour, minute, second, 0};
    FILETIME time;
    return SystemTimeToFileTime(&utc, &time) && SetFileTime(file.get(), nullptr, nullptr, &time);
}

struct RegistryValueRead {
    DWORD type = 0;
    std::string data;
};
RegistryValueRead ReadValue(const char* name) {
    RegistryValueRead value;
    DWORD size = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, kTestKey, name, RRF_RT_ANY, &value.type, nullptr, &size) !=
        ERROR_SUCCESS)
        return value;
    value.data.resize(size);
    RegGetValueA(HKEY_CURRENT_USER, kTestKey, name, RRF_RT_ANY, &value.type, value.data.data(),
                 &size);
    value.data.resize(size);
    return value;
}

class FilesRegistryApi : public ::testing::Test {
  protected:
    void SetUp() override {
        SHDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
        HKEY rawKey = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &rawKey, nullptr),
                  ERROR_SUCCESS);
        RegistryKey key(rawKey);
        auto set = [&](const char* name, DWORD type, const std::string& data) {
            RegSetValueExA(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(data.size()));
        };
        set("long", REG_SZ, std::string(3000, 'L') + '\0');
        set("oneByte", REG_DWORD, std::string("\x07", 1));
        set("dword", REG_DWORD, std::string("\x2A\0\0\0", 4));
        set("half", REG_BINARY, std::string("\0\0\0\0\0\0\xE0\x3F", 8));
        set("multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
    }
    void TearDown() override {
        for (const std::string& link : links) uitest::RemoveUnixLink(link);
        SHDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, kTestKey);
    }
    std::vector<std::string> links;
};

TEST_F(FilesRegistryApi, MovieCallsEveryMethodAndSeesItsEffects) {
    ProjectorFolder folder;
    const std::string work = folder.work();
    auto at = [&](const std::string& name) { return JoinPath(work, name); };

    // Trees to delete: one with a link to a folder that must survive.
    for (const char* name : {"tree", "tree\\sub", "tree\\sub\\deep", "plain", "plain\\inner",
                             "outside", "list", "list\\two", "busy"})
        MakeDirectory(at(name));
    ASSERT_TRUE(WriteText(at("tree\\a.txt"), "a"));
    ASSERT_TRUE(WriteText(at("tree\\sub\\deep\\c.txt"), "c"));
    ASSERT_TRUE(WriteText(at("plain\\inner\\p.txt"), "p"));
    ASSERT_TRUE(WriteText(at("outside\\precious.txt"), "keep me"));
    ASSERT_TRUE(WriteText(at("list\\one.txt"), "1"));
    ASSERT_TRUE(uitest::MakeUnixLink(at("outside"), at("tree\\link")));
    links.push_back(at("tree\\link"));
    ASSERT_TRUE(uitest::MakeUnixLink(at("outside"), at("list\\linked")));
    links.push_back(at("list\\linked"));
    ASSERT_TRUE(uitest::MakeUnixLink(at("outside"), at("onlyLink")));
    links.push_back(at("onlyLink"));
    ASSERT_TRUE(WriteText(at("exists.txt"), "keep"));
    ASSERT_TRUE(WriteText(at("gone.txt"), "x"));
    ASSERT_TRUE(WriteText(at("big.bin"), std::string(1572864, 'b')));
    ASSERT_TRUE(WriteText(at("dated.txt"), "d"));
    ASSERT_TRUE(SetModifiedTime(at("dated.txt"), 2001, 2, 3, 4, 5, 6));
    // Held open without sharing for the whole run: its size still answers.
    ASSERT_TRUE(WriteText(at("locked.bin"), std::string(3000, 'k')));
    KernelHandle locked(
        CreateFileA(at("locked.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(locked);

    CallScript script;
    script.Call("exists", "FileSystem.fileExists", {Base64Encode(at("exists.txt"))})
        .Call("folderExists", "FileSystem.folderExists", {Base64Encode(at("tree"))})
        .Call("missing", "FileSystem.fileExists", {Base64Encode(at("none"))})
        .Call("copy", "FileSystem.copyFile",
              {Base64Encode(at("exists.txt")), Base64Encode(at("copy.txt"))})
        .Call("listFiles", "FileSystem.listFiles", {Base64Encode("list")})
        .Call("listFolders", "FileSystem.listFolders", {Base64Encode(at("list"))})
        .Call("listNone", "FileSystem.listFiles", {Base64Encode(at("none"))})
        .Call("save", "FileSystem.saveFile",
              {Base64Encode(at("saved.txt")), Base64Encode("one\ntwo")})
        .Call("saveAgain", "FileSystem.saveFile",
              {Base64Encode(at("saved.txt")), Base64Encode("other")})
        .Call("saveExisting", "FileSystem.saveFile",
              {Base64Encode(at("exists.txt")), Base64Encode("x")})
        .Call("saveNoFolder", "FileSystem.saveFile",
              {Base64Encode(at("nofolder\\x.txt")), Base64Encode("x")})
        .Call("hex", "FileSystem.saveFileHEX", {Base64Encode(at("hex.bin")), Base64Encode("ABC")})
        .Call("mkdir", "FileSystem.createFolder", {Base64Encode(at("made"))})
        .Call("mkdirAgain", "FileSystem.createFolder", {Base64Encode(at("made"))})
        .Call("mkdirFile", "FileSystem.createFolder", {Base64Encode(at("exists.txt"))})
        .Call("deleteFile", "FileSystem.deleteFile", {Base64Encode(at("gone.txt"))})
        .Call("deleteMissing", "FileSystem.deleteFile", {Base64Encode(at("gone.txt"))})
        .Call("rmEmpty", "FileSystem.deleteFolder", {Base64Encode(""), Base64Encode("true")})
        .Call("rmRoot", "FileSystem.deleteFolder", {Base64Encode("C:\\"), Base64Encode("true")})
        .Call("rmFlat", "FileSystem.deleteFolder",
              {Base64Encode(at("plain")), Base64Encode("false")})
        .Call("rmPlain", "FileSystem.deleteFolder", {Base64Encode("plain"), Base64Encode("true")})
        .Call("rmTree", "FileSystem.deleteFolder", {Base64Encode(at("tree")), Base64Encode("true")})
        .Call("rmLink", "FileSystem.deleteFolder",
              {Base64Encode(at("onlyLink") + "\\"), Base64Encode("true")})
        .Call("ext", "FileSystem.getFileExtension", {Base64Encode("C:\\x.y\\z.tar.gz")})
        .Call("bytes", "FileSystem.getFileSizeBytes", {Base64Encode("big.bin")})
        .Call("kbytes", "FileSystem.getFileSizeKBytes", {Base64Encode(at("big.bin"))})
        .Call("mbytes", "FileSystem.getFileSizeMBytes", {Base64Encode(at("big.bin"))})
        .Call("lockedBytes", "FileSystem.getFileSizeBytes", {Base64Encode(at("locked.bin"))})
        .Call("creator", "FileSystem.getFileCreator", {Base64Encode(at("big.bin"))})
        .Date("modified", "FileSystem.getFileModifiedDate", Coded(at("dated.txt")))
        .Date("folderModified", "FileSystem.getFileModifiedDate", Coded(at("list")))
        .Call("createdYear", "FileSystem.getFileCreateDate", {Base64Encode(at("dated.txt"))})
        .Call("dateMissing", "FileSystem.getFileModifiedDate", {Base64Encode(at("none"))})
        .Call("temp", "FileSystem.getSpecialFolder", {"temp"})
        .Call("appFiles", "FileSystem.getSpecialFolder", {"app_files"})
        .Call("library", "FileSystem.getSpecialFolder", {"library"})
        .Call("shortcut", "FileSystem.createShortcut",
              {Base64Encode(at("exists.txt")), Base64Encode(at("exists.lnk"))})
        .Call("longShortcut", "FileSystem.createShortcut",
              {Base64Encode(at("exists.txt")), Base64Encode(at(std::string(300, 's') + ".lnk"))})
        // File streams.
        .Keep("f", "new", "FileSystem.File.new")
        .CallWith("open", "FileSystem.File.open", "f",
                  {Base64Encode(at("stream.bin")), Base64Encode("w+b")})
        .CallWith("puts", "FileSystem.File.puts", "f", {Base64Encode("hello\n")})
        .CallWith("putc", "FileSystem.File.putc", "f", {Base64Encode("\xFF")})
        .CallWith("tell", "FileSystem.File.tell", "f")
        .CallWith("seek", "FileSystem.File.seek", "f", {"0", "beg"})
        .CallWith("gets", "FileSystem.File.gets", "f")
        .CallWith("getc", "FileSystem.File.getc", "f")
        .CallWith("getcEnd", "FileSystem.File.getc", "f")
        .CallWith("eof", "FileSystem.File.eof", "f")
        .CallWith("farSeek", "FileSystem.File.seek", "f", {"5000000000", "beg"})
        .CallWith("farTell", "FileSystem.File.tell", "f")
        .CallWith("badMode", "FileSystem.File.open", "f",
                  {Base64Encode(at("stream.bin")), Base64Encode("rw")})
        .CallWith("heldOpen", "FileSystem.File.open", "f",
                  {Base64Encode(at("big.bin")), Base64Encode("rb")})
        .Call("heldBytes", "FileSystem.getFileSizeBytes", {Base64Encode(at("big.bin"))})
        .CallWith("close", "FileSystem.File.close", "f")
        .Call("unknownFile", "FileSystem.File.tell", {"99999"})
        // Registry values of every type.
        .Keep("k", "regOpen", "Registry.open",
              {Base64Encode("KestrelFilesApiTest"), Base64Encode("user")})
        .CallWith("long", "Registry.getString", "k", {Base64Encode("long")})
        .CallWith("oneByte", "Registry.getInteger", "k", {Base64Encode("oneByte")})
        .CallWith("dword", "Registry.getInteger", "k", {Base64Encode("dword")})
        .CallWith("dwordFlag", "Registry.getBoolean", "k", {Base64Encode("dword")})
        .CallWith("half", "Registry.getFloat", "k", {Base64Encode("half")})
        .CallWith("multi", "Registry.getString", "k", {Base64Encode("multi")})
        .CallWith("setString", "Registry.setString", "k",
                  {Base64Encode("s"), Base64Encode(std::string(2000, 'S'))})
        .CallWith("getString", "Registry.getString", "k", {Base64Encode("s")})
        .CallWith("setInteger", "Registry.setInteger", "k", {Base64Encode("i"), "-5"})
        .CallWith("setBoolean", "Registry.setBoolean", "k", {Base64Encode("b"), "TRUE"})
        .CallWith("setFloat", "Registry.setFloat", "k", {Base64Encode("f"), "0.125"})
        .CallWith("getFloat", "Registry.getFloat", "k", {Base64Encode("f")})
        .CallWith("keyExists", "Registry.keyExists", "k", {Base64Encode("i")})
        .CallWith("keyMissing", "Registry.keyExists", "k", {Base64Encode("nothing")})
        .Keep("c", "child", "Registry.open",
              {Base64Encode("KestrelFilesApiTest\\Child"), Base64Encode("user")})
        .CallWith("deleteKey", "Registry.deleteKey", "c", {Base64Encode("")})
        .Keep("m", "machineOpen", "Registry.open",
              {Base64Encode("KestrelFilesApiTest"), Base64Encode("system")})
        .CallWith("machineSet", "Registry.setInteger", "m", {Base64Encode("where"), "1"})
        .Keep("u", "upperOpen", "Registry.open",
              {Base64Encode("KestrelFilesApiTest"), Base64Encode("SYSTEM")})
        .CallWith("upperSet", "Registry.setInteger", "u", {Base64Encode("where"), "2"})
        .Call("desktop", "FileSystem.getSpecialFolder", {"desktop"})
        .CallWith("regClose", "Registry.close", "k")
        .CallWith("regCloseAgain", "Registry.close", "k")
        .CallWith("afterClose", "Registry.getString", "k", {Base64Encode("s")});

    ProjectorPayload payload = MainWindowPayload("Files");
    std::map<std::string, std::string> answers;
    {
        RunningProjector projector(folder, payload, Compile(script.MovieInFrameOne()));
        ASSERT_TRUE(projector.started());
        answers = Answers(projector.waitForTrace("done", 60000));
    }
    locked.reset();
    ASSERT_FALSE(answers.empty());

    const std::map<std::string, std::string> expected = {
        {"exists", "true"},
        {"folderExists", "true"},
        {"missing", "false"},
        {"copy", "false"},
        {"listNone", ""},
        {"save", "true"},
        {"saveAgain", "false"},
        {"saveExisting", "false"},
        {"saveNoFolder", "false"},
        {"hex", "true"},
        {"mkdir", "true"},
        {"mkdirAgain", "true"},
        {"mkdirFile", "false"},
        {"deleteFile", "true"},
        {"deleteMissing", "true"},
        {"rmEmpty", "false"},
        {"rmRoot", "false"},
        {"rmFlat", "false"},
        {"rmPlain", "true"},
        {"ext", Base64Encode("gz")},
        {"bytes", "1572864"},
        {"kbytes", "1536"},
        {"mbytes", "1.5"},
        {"lockedBytes", "3000"},
        {"creator", "null"},
        {"modified", "2001-1-3-4-5-6"},
        {"dateMissing", "null"},
        {"temp", Base64Encode(folder.temp() + "\\")},
        {"library", "null"},
        {"shortcut", "true"},
        {"longShortcut", "false"},
        {"open", "true"},
        {"puts", "undefined"},
        {"tell", "7"},
        {"seek", "0"},
        {"gets", Base64Encode("hello\n")},
        {"getc", Base64Encode("\xFF")},
        {"getcEnd", "null"},
        {"eof", "true"},
        {"farSeek", "0"},
        {"farTell", "5000000000"},
        {"badMode", "false"},
        {"heldOpen", "true"},
        {"heldBytes", "1572864"},
        {"close", "undefined"},
        {"unknownFile", "undefined"},
        {"long", Base64Encode(std::string(3000, 'L'))},
        {"oneByte", "7"},
        {"dword", "42"},
        {"dwordFlag", "true"},
        {"half", "0.5"},
        {"multi", "null"},
        {"setString", "true"},
        {"getString", Base64Encode(std::string(2000, 'S'))},
        {"setInteger", "true"},
        {"setBoolean", "true"},
        {"setFloat", "true"},
        {"getFloat", "0.125"},
        {"keyExists", "true"},
        {"keyMissing", "false"},
        {"deleteKey", "true"},
        {"regClose", "true"},
        {"regCloseAgain", "false"},
        {"afterClose", "null"},
    };
    for (const auto& [label, answer] : expected) EXPECT_EQ(answers[label], answer) << label;

    EXPECT_EQ(DecodedList(answers["listFiles"]),
              (std::set<std::string>{".", "..", "one.txt", "two", "linked"}));
    EXPECT_EQ(DecodedList(answers["listFolders"]),
              (std::set<std::string>{".", "..", "two", "linked"}));
    EXPECT_EQ(Base64Decode(answers["appFiles"]).rfind(folder.temp() + "\\lkskso_", 0), 0u)
        << Base64Decode(answers["appFiles"]);
    EXPECT_EQ(answers["folderModified"].find("undefined"), std::string::npos)
        << "a folder has dates too";
    EXPECT_EQ(answers["createdYear"], "[object Object]");
    EXPECT_NE(answers["regOpen"], "");
    // Wine cannot remove a Unix link to a folder, so the tree's folder itself
    // stays there (answer false); on Windows the link goes and the answer is true.
    EXPECT_TRUE(answers["rmTree"] == "true" || answers["rmTree"] == "false") << answers["rmTree"];
    EXPECT_TRUE(answers["rmLink"] == "true" || answers["rmLink"] == "false") << answers["rmLink"];

    // Effects on the files.
    EXPECT_EQ(ReadText(at("saved.txt")), "one\r\ntwo");
    EXPECT_EQ(ReadText(at("exists.txt")), "keep");
    EXPECT_EQ(ReadText(at("hex.bin")), std::string("\x0A\xBC", 2));
    EXPECT_FALSE(Exists(at("copy.txt")));
    EXPECT_FALSE(Exists(at("nofolder")));
    EXPECT_TRUE(IsDirectory(at("made")));
    EXPECT_FALSE(Exists(at("gone.txt")));
    EXPECT_FALSE(Exists(at("plain")));
    EXPECT_TRUE(Exists(at("exists.lnk")));
    EXPECT_EQ(ReadText(at("stream.bin")), "hello\n\xFF");
    // The tree is emptied but the folder its link points to is untouched.
    EXPECT_FALSE(Exists(at("tree\\a.txt")));
    EXPECT_FALSE(Exists(at("tree\\sub")));
    EXPECT_EQ(ReadText(at("outside\\precious.txt")), "keep me");

    // Effects on the registry.
    RegistryValueRead text = ReadValue("s");
    EXPECT_EQ(text.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(text.data, std::string(2000, 'S') + '\0');
    RegistryValueRead integer = ReadValue("i");
    EXPECT_EQ(integer.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(integer.data, std::string("\xFB\xFF\xFF\xFF", 4));
    EXPECT_EQ(ReadValue("b").data, std::string("\x01\0\0\0", 4));
    RegistryValueRead real = ReadValue("f");
    EXPECT_EQ(real.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(real.data, std::string("\0\0\0\0\0\0\xC0\x3F", 8));
    // "system" is the local machine; "SYSTEM" is not that word, so the current user.
    EXPECT_EQ(answers["machineSet"], "true");
    EXPECT_EQ(answers["upperSet"], "true");
    EXPECT_EQ(ReadValue("where").data, std::string("\x02\0\0\0", 4));
    DWORD where = 0, size = sizeof where;
    EXPECT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, kTestKey, "where", RRF_RT_REG_DWORD, nullptr, &where,
                           &size),
              ERROR_SUCCESS);
    EXPECT_EQ(where, 1u);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, kTestKey);
    EXPECT_FALSE(Base64Decode(answers["desktop"]).empty());

    HKEY child = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kTestKey) + "\\Child").c_str(), 0,
                            KEY_READ, &child),
              ERROR_SUCCESS);
    RegistryKey opened(child);
}

}  // namespace
}  // namespace kestrel::e2e
