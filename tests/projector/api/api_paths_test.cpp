#include "projector/api/api_paths.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(ApiPaths, PartsOfAPath) {
    EXPECT_EQ(FolderPart("C:\\a\\b.txt"), "C:\\a");
    EXPECT_EQ(FolderPart("C:\\a\\b.txt", true), "C:\\a\\");
    EXPECT_EQ(FolderPart("b.txt"), "");
    EXPECT_EQ(FileNamePart("C:/a/b.tar.gz"), "b.tar.gz");
    EXPECT_EQ(FileNamePart("C:\\a\\b.tar.gz", true), "b.tar");
    EXPECT_EQ(Extension("C:\\a.b\\c"), "");
    EXPECT_EQ(Extension("c.txt", true), ".txt");
    EXPECT_EQ(WithTrailingBackslash("C:\\a"), "C:\\a\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\a\\"), "C:\\a\\");
    EXPECT_EQ(JoinWithBackslash("C:\\a\\", "\\b"), "C:\\a\\b");
    EXPECT_EQ(JoinWithBackslash("", "b"), "b");
}

TEST(ApiPaths, DriveRoots) {
    for (const char* root :
         {"C:", "c:\\", "Z:/", "\\", "/", "\\\\", "\\\\server", "\\\\server\\share",
          "\\\\server\\share\\", "\\\\?\\C:\\", "\\\\.\\D:"})
        EXPECT_TRUE(IsDriveRoot(root)) << root;
    for (const char* path :
         {"", "C:\\a", "a", "\\a", "\\\\server\\share\\dir", "\\\\?\\C:\\dir", "1:"})
        EXPECT_FALSE(IsDriveRoot(path)) << path;
}

TEST(ApiPaths, ResolvingAgainstTheProgramFolder) {
    EXPECT_EQ(ResolvePath("", "C:\\app"), "");
    EXPECT_EQ(ResolvePath("C:\\x", "C:\\app"), "C:\\x");
    EXPECT_EQ(ResolvePath("\\x", "C:\\app"), "\\x");
    EXPECT_EQ(ResolvePath("data\\x", "C:\\app\\"), "C:\\app\\data\\x");
}

}  // namespace
}  // namespace kestrel
