#include "common/unpack_folder.h"

#include <gtest/gtest.h>

#include "common/file_system.h"
#include "tests/common/test_folder.h"

namespace kestrel {
namespace {

TEST(UnpackFolder, NameShowsTheTickCountSigned) {
    EXPECT_EQ(UnpackFolderName(1234), "lkskso_1234");
    EXPECT_EQ(UnpackFolderName(0x7FFFFFFFu), "lkskso_2147483647");
    EXPECT_EQ(UnpackFolderName(0x80000000u), "lkskso_-2147483648");
    EXPECT_EQ(UnpackFolderName(0xFFFFFFFFu), "lkskso_-1");
    EXPECT_EQ(UnpackFolderName(5, 2), "lkskso_5_2");
}

TEST(UnpackFolder, TakenNamesAreNeverShared) {
    test::TestFolder temp;
    std::string first = CreateUnpackFolder(temp.path(), 77);
    std::string second = CreateUnpackFolder(temp.path(), 77);
    std::string third = CreateUnpackFolder(temp.path(), 77);
    EXPECT_EQ(first, temp / "lkskso_77");
    EXPECT_EQ(second, temp / "lkskso_77_1");
    EXPECT_EQ(third, temp / "lkskso_77_2");
    EXPECT_TRUE(IsDirectory(first) && IsDirectory(second) && IsDirectory(third));
}

TEST(UnpackFolder, TempFolderWithTrailingSeparator) {
    test::TestFolder temp;
    std::string withSeparator = temp.path() + kPathSeparator;
    EXPECT_EQ(CreateUnpackFolder(withSeparator, 1), temp / "lkskso_1");
}

TEST(FileSystem, RemoveDirectoryTreeRemovesEverythingDepthFirst) {
    test::TestFolder temp;
    std::string root = temp / "root";
    MakeDirectory(root);
    MakeDirectory(JoinPath(root, "a"));
    MakeDirectory(JoinPath(JoinPath(root, "a"), "b"));
    test::WriteBytes(JoinPath(root, "f.txt"), test::BytesOf("f"));
    test::WriteBytes(JoinPath(JoinPath(JoinPath(root, "a"), "b"), "g.txt"), test::BytesOf("g"));
    EXPECT_TRUE(RemoveDirectoryTree(root));
    EXPECT_FALSE(PathExists(root));
    EXPECT_FALSE(RemoveDirectoryTree(root));
}

TEST(FileSystem, JoinPathAddsOneSeparator) {
    std::string sep(1, kPathSeparator);
    EXPECT_EQ(JoinPath("dir", "f"), "dir" + sep + "f");
    EXPECT_EQ(JoinPath("dir" + sep, "f"), "dir" + sep + "f");
    EXPECT_EQ(JoinPath("", "f"), "f");
}

}  // namespace
}  // namespace kestrel
