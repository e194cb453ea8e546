// The families' Win32 hosts on the real system (under Wine): what they read
// from folder entries, how they create, list, stream, link and keep registry
// values.
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "common/file_system.h"
#include "common/win_handles.h"
#include "projector/api/file_system_host_win.h"
#include "projector/api/registry_host_win.h"
#include "tests/support/unix_links_win.h"

namespace kestrel::projector {
namespace {

constexpr char kTestKey[] = "SOFTWARE\\KestrelHostTest";

class SystemHostsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char current[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, current);
        root = JoinPath(current, "hosts_test_" + std::to_string(GetCurrentProcessId()));
        RemoveDirectoryTree(root);
        ASSERT_NE(MakeDirectory(root), MakeDirectoryResult::Failed);
    }
    void TearDown() override {
        for (const std::string& link : links) uitest::RemoveUnixLink(link);
        RemoveDirectoryTree(root);
        SHDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
    }
    std::string At(const std::string& name) const { return JoinPath(root, name); }
    bool Write(const std::string& name, const std::string& bytes) {
        std::unique_ptr<NewFile> file;
        return files.CreateNew(At(name), file) == CreateNewResult::Created && file->Write(bytes) &&
               file->Close();
    }

    std::string root;
    std::vector<std::string> links;
    SystemFileSystem files{"C:\\unpack"};
};

TEST_F(SystemHostsTest, CreateNewNeverOpensWhatExists) {
    ASSERT_TRUE(Write("a.txt", "first"));
    std::unique_ptr<NewFile> file;
    EXPECT_EQ(files.CreateNew(At("a.txt"), file), CreateNewResult::Exists);
    EXPECT_EQ(file, nullptr);
    MakeDirectory(At("d"));
    EXPECT_EQ(files.CreateNew(At("d"), file), CreateNewResult::Exists);
    EXPECT_EQ(files.CreateNew(At("none\\x.txt"), file), CreateNewResult::Failed);
    EXPECT_EQ(files.Facts(At("a.txt"))->size, 5u);
}

TEST_F(SystemHostsTest, FactsComeFromTheEntryEvenForLockedFilesAndFolders) {
    ASSERT_TRUE(Write("locked.bin", std::string(70000, 'x')));
    KernelHandle locked(CreateFileA(At("locked.bin").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(locked);
    std::optional<FileFacts> facts = files.Facts(At("locked.bin"));
    locked.reset();
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->size, 70000u);
    EXPECT_GT(facts->modified, 116444736000000000ull) << "after 1970";
    std::optional<FileFacts> folder = files.Facts(root);
    ASSERT_TRUE(folder);
    EXPECT_GT(folder->modified, 0u);
    EXPECT_FALSE(files.Facts(At("none")));
    EXPECT_EQ(files.Kind(root), PathKind::Folder);
    EXPECT_EQ(files.Kind(At("locked.bin")), PathKind::File);
    EXPECT_EQ(files.Kind(At("none")), PathKind::Missing);
}

TEST_F(SystemHostsTest, ListingsMarkLinksAndRemovalsLeaveTargets) {
    MakeDirectory(At("list"));
    MakeDirectory(At("list\\sub"));
    MakeDirectory(At("target"));
    ASSERT_TRUE(Write("list\\f.txt", "f"));
    ASSERT_TRUE(Write("target\\keep.txt", "k"));
    ASSERT_TRUE(uitest::MakeUnixLink(At("target"), At("list\\link")));
    links.push_back(At("list\\link"));
    std::optional<std::vector<FolderEntry>> entries = files.ListFolder(At("list"));
    ASSERT_TRUE(entries);
    auto find = [&](const std::string& name) {
        return std::find_if(entries->begin(), entries->end(),
                            [&](const FolderEntry& e) { return e.name == name; });
    };
    for (const char* name : {".", "..", "sub", "f.txt", "link"})
        EXPECT_NE(find(name), entries->end()) << name;
    EXPECT_EQ(entries->size(), 5u);
    EXPECT_TRUE(find("sub")->folder && !find("sub")->link);
    EXPECT_FALSE(find("f.txt")->folder);
    EXPECT_TRUE(find("link")->folder && find("link")->link);
    EXPECT_TRUE(files.IsLink(At("list\\link")));
    EXPECT_FALSE(files.IsLink(At("list\\sub")));
    EXPECT_FALSE(files.ListFolder(At("none")));
    EXPECT_FALSE(files.RemoveFolder(At("list"))) << "not empty";
    files.RemoveFolder(At("list\\link"));
    EXPECT_TRUE(PathExists(At("target\\keep.txt")));
}

TEST_F(SystemHostsTest, StreamsHave64BitPositionsAndCloseWhenDestroyed) {
    std::unique_ptr<FileStream> stream = files.OpenStream(At("s.bin"), "w+b");
    ASSERT_TRUE(stream);
    EXPECT_TRUE(stream->Put(std::string("ab\ncd", 5)));
    EXPECT_EQ(stream->Tell(), 5);
    EXPECT_EQ(stream->Seek(0, SeekOrigin::Begin), 0);
    EXPECT_EQ(stream->GetLine(1023), std::optional<std::string>("ab\n"));
    EXPECT_EQ(stream->GetByte(), std::optional<unsigned char>('c'));
    EXPECT_EQ(stream->Seek(-1, SeekOrigin::End), 0);
    EXPECT_EQ(stream->GetByte(), std::optional<unsigned char>('d'));
    EXPECT_FALSE(stream->GetByte());
    EXPECT_TRUE(stream->AtEnd());
    EXPECT_EQ(stream->Seek(5000000000LL, SeekOrigin::Begin), 0);
    EXPECT_EQ(stream->Tell(), 5000000000LL);
    EXPECT_NE(stream->Seek(-1, SeekOrigin::Begin), 0);
    // While the stream is open nobody gets the file to themselves; afterwards they do.
    KernelHandle exclusive(
        CreateFileA(At("s.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(exclusive);
    stream.reset();
    exclusive.reset(
        CreateFileA(At("s.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(exclusive);
    EXPECT_FALSE(files.OpenStream(At("none.txt"), "r"));
}

TEST_F(SystemHostsTest, ShortcutsAreSavedUnderTheirExactNameOrNotAtAll) {
    ASSERT_TRUE(Write("t.txt", "t"));
    EXPECT_TRUE(files.CreateShortcut(At("t.txt"), At("t.lnk")));
    EXPECT_TRUE(PathExists(At("t.lnk")));
    EXPECT_TRUE(files.CreateShortcut(At("t.txt"), At("noext")));
    EXPECT_TRUE(PathExists(At("noext")));
    const std::string tooLong = At(std::string(300, 'n'));
    EXPECT_FALSE(files.CreateShortcut(At("t.txt"), tooLong));
    EXPECT_FALSE(files.CreateShortcut(At(std::string(300, 't')), At("u.lnk")));
    EXPECT_FALSE(PathExists(At("u.lnk")));
}

TEST_F(SystemHostsTest, PathsAndFolders) {
    EXPECT_EQ(files.FullPath("C:\\a\\..\\"), "C:\\");
    EXPECT_EQ(files.FullPath("C:\\a\\.\\b"), "C:\\a\\b");
    const std::string temp = files.TempFolder();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\');
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string folder(program);
    folder.resize(folder.find_last_of('\\'));
    EXPECT_EQ(files.ProgramFolder(), folder);
    EXPECT_TRUE(files.ShellFolder(5));  // documents
    EXPECT_EQ(files.UnpackFolder(), "C:\\unpack");
}

TEST(SystemRegistryTest, LongStringsShortNumbersAndTheKeysLife) {
    SHDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
    SystemRegistry registry;
    std::unique_ptr<RegistryKeyHandle> key =
        registry.CreateKey(RegistryRoot::CurrentUser, kTestKey);
    ASSERT_TRUE(key);
    const std::string text(100000, 'r');
    EXPECT_TRUE(key->Write("long", RegistryValueType::String, text + '\0'));
    std::optional<RegistryValue> value = key->Read("long");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<std::uint32_t>(REG_SZ));
    EXPECT_EQ(value->data, text + '\0');
    EXPECT_TRUE(key->Write("short", RegistryValueType::Dword, std::string("\x07", 1)));
    EXPECT_EQ(key->Read("short")->data, std::string("\x07", 1));
    EXPECT_TRUE(key->Write("empty", RegistryValueType::String, ""));
    EXPECT_EQ(key->Read("empty")->data, "");
    EXPECT_TRUE(key->QueryType("short"));
    EXPECT_FALSE(key->QueryType("none"));
    EXPECT_FALSE(key->Read("none"));

    std::unique_ptr<RegistryKeyHandle> child =
        registry.CreateKey(RegistryRoot::CurrentUser, std::string(kTestKey) + "\\Child");
    ASSERT_TRUE(child);
    EXPECT_FALSE(key->DeleteSelf()) << "a key with sub-keys stays";
    EXPECT_TRUE(child->DeleteSelf());
    EXPECT_TRUE(child->Close());
    EXPECT_FALSE(child->Close());
    EXPECT_TRUE(key->Close());
    EXPECT_FALSE(key->Read("long"));
    SHDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
}

}  // namespace
}  // namespace kestrel::projector
